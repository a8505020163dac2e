#include "Dialog.h"

#include <string>

#include "MessageBox.h"
#include "UiScript.h"
#include "WinApp.h"

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate),
      m_pParentWnd(pParentWnd),
      m_bModal(false),
      m_bEndModal(false),
      m_nModalResult(-1) {}

CDialog::~CDialog() {
  if (!m_hWnd) return;
  // The derived parts are gone: the window's last messages must not reach
  // this object any more.
  HWND hWnd = m_hWnd;
  ::SetWindowLongPtrA(hWnd, DWLP_USER, 0);
  UnregisterPermanent();
  m_hWnd = nullptr;
  ::DestroyWindow(hWnd);
}

HWND CDialog::OwnerForModal() const {
  HWND hOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
  if (!hOwner) {
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd && pApp->m_pMainWnd != this) hOwner = pApp->m_pMainWnd->m_hWnd;
  }
  return hOwner ? ::GetAncestor(hOwner, GA_ROOT) : nullptr;
}

INT_PTR CDialog::DoModal() {
  if (m_hWnd) return -1;
  AfxInitCommonControls();
  HWND hOwner = OwnerForModal();
  const bool bDisableOwner = hOwner && ::IsWindowEnabled(hOwner);
  if (bDisableOwner) ::EnableWindow(hOwner, FALSE);

  m_bModal = true;
  m_bEndModal = false;
  m_nModalResult = -1;
  HWND hWnd = ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), hOwner,
                                   &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  if (hWnd) {
    if (!m_bEndModal && m_hWnd && !::IsWindowVisible(hWnd)) ::ShowWindow(hWnd, SW_SHOWNORMAL);
    CUiScript* pScript = CUiScript::Active();
    if (pScript && !m_bEndModal && !pScript->TakeModalDialog(m_nIDTemplate, *this)) {
      EndDialog(IDCANCEL);
    }
    RunModalLoop();
  }

  if (bDisableOwner) ::EnableWindow(hOwner, TRUE);
  if (hWnd && ::IsWindow(hWnd)) {
    if (hOwner && ::GetActiveWindow() == hWnd) ::SetActiveWindow(hOwner);
    ::DestroyWindow(hWnd);
  }
  m_bModal = false;
  return m_nModalResult;
}

void CDialog::RunModalLoop() {
  while (!m_bEndModal && m_hWnd) {
    MSG msg;
    const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      // WM_QUIT belongs to the loop outside this one.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (WalkPreTranslateTree(m_hWnd, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

BOOL CDialog::Create(CWnd* pParentWnd) {
  if (m_hWnd) return FALSE;
  AfxInitCommonControls();
  if (pParentWnd) m_pParentWnd = pParentWnd;
  m_bModal = false;
  m_nModalResult = -1;
  HWND hWnd = ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                                   m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr,
                                   &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  return hWnd != nullptr;
}

void CDialog::EndDialog(int nResult) {
  m_nModalResult = nResult;
  if (m_bModal) {
    m_bEndModal = true;
    if (m_hWnd) PostMessage(WM_NULL);  // wakes the modal loop
  } else if (m_hWnd) {
    ::DestroyWindow(m_hWnd);
  }
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  DoDataExchange(&dx);
  return !dx.Failed();
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  // Keyboard navigation: Tab, arrows, Enter for the default button, Esc.
  if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
    return ::IsDialogMessageA(m_hWnd, pMsg);
  }
  return FALSE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  CenterWindow();
  return TRUE;
}

int CDialog::MessageBox(const char* text, const char* caption, UINT nType) {
  return AfxMessageBox(m_hWnd, text, nType, caption);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM) {
  // Code 1 is an accelerator's command, which stands for the click.
  if (HIWORD(wParam) != BN_CLICKED && HIWORD(wParam) != 1) return FALSE;
  return OnClicked(LOWORD(wParam));
}

BOOL CDialog::OnClicked(UINT nID) {
  switch (nID) {
    case IDOK:
      OnOK();
      return TRUE;
    case IDCANCEL:
      OnCancel();
      return TRUE;
    default:
      return FALSE;
  }
}

BOOL CDialog::OnNotify(WPARAM, LPARAM, LRESULT*) { return FALSE; }

BOOL CDialog::OnSysCommand(UINT, LPARAM) { return FALSE; }

BOOL CDialog::OnPaint() { return FALSE; }

HCURSOR CDialog::OnQueryDragIcon() { return nullptr; }

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnDialogMessage(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

void CDialog::OnHandlerException(UINT, const char* pszWhat) {
  // The box runs a message loop of its own: a handler that fails again while
  // it is up is written to the debugger's output only, not stacked on it.
  static bool s_bShowing = false;
  if (s_bShowing) return;
  struct tagSHOWING {
    tagSHOWING() { s_bShowing = true; }
    ~tagSHOWING() { s_bShowing = false; }
  } showing;
  std::string text = "程序内部出错，这次操作没有完成。";
  if (pszWhat && *pszWhat) {
    text += '\n';
    text += pszWhat;
  }
  AfxMessageBox(m_hWnd, text.c_str(), MB_ICONERROR);
}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  switch (message) {
    case WM_INITDIALOG:
      *pResult = OnInitDialog();
      return TRUE;
    case WM_COMMAND: {
      CWnd* pChild = FromHandlePermanent(reinterpret_cast<HWND>(lParam));
      if (pChild && pChild != this && pChild->OnChildNotify(message, wParam, lParam, pResult)) {
        return TRUE;
      }
      *pResult = 0;
      return OnCommand(wParam, lParam);
    }
    case WM_NOTIFY: {
      const NMHDR* pHdr = reinterpret_cast<const NMHDR*>(lParam);
      CWnd* pChild = pHdr ? FromHandlePermanent(pHdr->hwndFrom) : nullptr;
      if (pChild && pChild != this && pChild->OnChildNotify(message, wParam, lParam, pResult)) {
        return TRUE;
      }
      return OnNotify(wParam, lParam, pResult);
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR: {
      CWnd* pChild = FromHandlePermanent(reinterpret_cast<HWND>(lParam));
      if (pChild && pChild != this && pChild->OnChildNotify(message, wParam, lParam, pResult)) {
        return TRUE;
      }
      return OnDialogMessage(message, wParam, lParam, pResult);
    }
    case WM_SYSCOMMAND:
      *pResult = 0;
      return OnSysCommand(static_cast<UINT>(wParam), lParam);
    case WM_PAINT:
      *pResult = 0;
      return OnPaint();
    case WM_QUERYDRAGICON: {
      HCURSOR hCursor = OnQueryDragIcon();
      *pResult = reinterpret_cast<LRESULT>(hCursor);
      return hCursor != nullptr;
    }
    default:
      return OnDialogMessage(message, wParam, lParam, pResult);
  }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // A handler that failed leaves the message to the platform's default.
  return CallGuarded(hWnd, message, INT_PTR{FALSE},
                     [=] { return DispatchDialogMessage(hWnd, message, wParam, lParam); });
}

INT_PTR CDialog::DispatchDialogMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CDialog* pDlg;
  if (message == WM_INITDIALOG) {
    pDlg = reinterpret_cast<CDialog*>(lParam);
    ::SetWindowLongPtrA(hWnd, DWLP_USER, reinterpret_cast<LONG_PTR>(pDlg));
    pDlg->RegisterPermanent(hWnd);
  } else {
    pDlg = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
  }
  if (!pDlg) return FALSE;
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(hWnd, DWLP_USER, 0);
    pDlg->UnregisterPermanent();
    pDlg->m_hWnd = nullptr;
    pDlg->PostNcDestroy();
    return FALSE;
  }

  LRESULT lResult = 0;
  if (!pDlg->OnWndMsg(message, wParam, lParam, &lResult)) return FALSE;
  switch (message) {
    // These answer through the procedure's own result.
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORDLG:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
      return static_cast<INT_PTR>(lResult);
    default:
      if (::IsWindow(hWnd)) ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, lResult);
      return TRUE;
  }
}
