// CHyperLink: a static-text control that acts as a link. It draws its text
// in the link colours, is underlined while the pointer is over it, shows the
// link cursor and a tooltip with its target, and on a click opens the target
// through the shell, or else through the browser registered for ".htm".
#pragma once

#include <cstdint>
#include <string>

#include "framework/Font.h"
#include "framework/Static.h"
#include "framework/ToolTipCtrl.h"

class CHyperLink : public CStatic {
 public:
  CHyperLink();
  ~CHyperLink() override;

  // Resizes and places the control around its current text.
  void FitToText();
  // Takes the link cursor (cursor 106 of the Windows directory's
  // winhlp32.exe) unless there is one already.
  void LoadLinkCursor();
  // 1: always underlined; 0: never; -1: underlined while the pointer is over it.
  void SetUnderlineMode(int32_t mode);
  void MarkVisited(BOOL bVisited);

  // Opens target: the shell first, then the ".htm" browser command. Above 32
  // is success; otherwise the shell's code, or WinExec's when the browser
  // command was started and failed.
  static int32_t OpenTarget(const char* target, int showCommand);
  // Copies the default value of root\subKey into out (outSize bytes; out
  // may hold subKey). 0 on success; otherwise the status of opening the key,
  // or of reading its value when it is missing, not text, not terminated or
  // too long, and out is left as it was.
  static LONG QueryRegDefault(HKEY root, const char* subKey, char* out, size_t outSize);
  // The English failure message for code, with the exclamation icon.
  void ShowOpenError(int32_t code);

  COLORREF m_clrLink;
  COLORREF m_clrVisited;
  COLORREF m_clrHover;
  BOOL m_bHot;
  BOOL m_bLinkVisited;
  int32_t m_nUnderlineMode;
  BOOL m_bFitToText;
  std::string m_strTarget;
  CFont m_fontUnderlined;
  CFont m_fontPlain;
  HCURSOR m_hLinkCursor;
  CToolTipCtrl m_wndTip;
  UINT m_nHoverTimerId;

  BOOL DestroyWindow() override;
  BOOL PreTranslateMessage(MSG* pMsg) override;

 protected:
  // The attach step: runs when the object is bound to its window.
  void PreSubclassWindow() override;
  // The colour request and the click, reflected from the parent.
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  HBRUSH OnCtlColor(HDC hDC);
  BOOL OnSetCursor();
  void OnMouseMove();
  void OnTimer();
  BOOL OnEraseBkgnd(HDC hDC);
  void OnClicked();
  LRESULT OnDestroy();
  void SwitchFont(const CFont& font);
};
