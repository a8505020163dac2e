// CDialog: a dialog built from a template, modal (DoModal, with the
// framework's own message loop so that PreTranslateMessage reaches the
// controls) or modeless (Create). Its dialog procedure dispatches to the
// virtual handlers below; notifications about a control that has a wrapper of
// its own are first offered to that wrapper (OnChildNotify: reflection). A
// handler's exception stops at the dialog procedure and is shown in a message
// box; the dialog goes on.
#pragma once

#include "DataExchange.h"
#include "Wnd.h"

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  // A modeless dialog still open is destroyed with its object.
  ~CDialog() override;

  // Runs the dialog modally over its owner (the parent given, else the
  // application's main window); returns the EndDialog result, -1 on failure.
  virtual INT_PTR DoModal();
  // Creates the dialog modeless; TRUE on success.
  BOOL Create(CWnd* pParentWnd = nullptr);
  // Modal: leaves the modal loop with nResult. Modeless: destroys the window.
  void EndDialog(int nResult);
  // Runs DoDataExchange in the given direction; FALSE when a check failed.
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

  bool IsModal() const { return m_bModal; }
  // The result EndDialog was last given, -1 before.
  int GetEndResult() const { return m_nModalResult; }

  BOOL PreTranslateMessage(MSG* pMsg) override;

  // A message box owned by this dialog, captioned with the application's
  // name unless a caption is given.
  int MessageBox(const char* text, const char* caption = nullptr, UINT nType = MB_OK);

  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;

 protected:
  virtual void DoDataExchange(CDataExchange* pDX);
  // Binds the controls (UpdateData(FALSE)) and centres the dialog. TRUE: the
  // platform puts the focus on the first control.
  virtual BOOL OnInitDialog();
  // WM_COMMAND; TRUE when handled. The default hands a click (BN_CLICKED),
  // like an accelerator's command, to OnClicked and leaves the other
  // notifications alone.
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  // Button nID was clicked; TRUE when handled. The default runs OnOK for IDOK
  // and OnCancel for IDCANCEL.
  virtual BOOL OnClicked(UINT nID);
  // WM_NOTIFY; TRUE when handled, with the result in *pResult.
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // WM_SYSCOMMAND; FALSE hands it to the platform's default handling.
  virtual BOOL OnSysCommand(UINT nID, LPARAM lParam);
  // WM_PAINT; FALSE leaves the painting to the platform.
  virtual BOOL OnPaint();
  // WM_QUERYDRAGICON; null leaves the answer to the platform.
  virtual HCURSOR OnQueryDragIcon();
  // OK: the closing data exchange, then EndDialog(IDOK) when it passed.
  virtual void OnOK();
  // Cancel, Esc, the close box: EndDialog(IDCANCEL).
  virtual void OnCancel();
  // Every other message (timers, mouse, ...); TRUE when handled, with the
  // result in *pResult.
  virtual BOOL OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // A message box with MB_ICONERROR saying that the command was not carried
  // out, and the exception's text; one at a time.
  void OnHandlerException(UINT message, const char* pszWhat) override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  static INT_PTR DispatchDialogMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  void RunModalLoop();
  HWND OwnerForModal() const;

  bool m_bModal;
  bool m_bEndModal;
  int m_nModalResult;
};
