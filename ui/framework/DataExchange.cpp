#include "DataExchange.h"

#include "Wnd.h"

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate),
      m_pDlgWnd(pDlgWnd),
      m_hWndLastControl(nullptr),
      m_bEditLastControl(false),
      m_bFailed(false) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
  m_hWndLastControl = m_pDlgWnd->GetDlgItem(nIDC);
  m_bEditLastControl = false;
  return m_hWndLastControl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
  HWND hWnd = PrepareCtrl(nIDC);
  m_bEditLastControl = true;
  return hWnd;
}

void CDataExchange::Fail() {
  m_bFailed = true;
  if (!m_bSaveAndValidate || !m_hWndLastControl) return;
  ::SetFocus(m_hWndLastControl);
  if (m_bEditLastControl) ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (pDX->Failed() || rControl.m_hWnd) return;
  HWND hWnd = pDX->PrepareCtrl(nIDC);
  if (!hWnd || !rControl.SubclassWindow(hWnd)) pDX->Fail();
}

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value) {
  if (pDX->Failed()) return;
  HWND hWnd = pDX->PrepareEditCtrl(nIDC);
  if (!hWnd) {
    pDX->Fail();
    return;
  }
  if (pDX->m_bSaveAndValidate) {
    const int length = ::GetWindowTextLengthA(hWnd);
    std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    const int copied = ::GetWindowTextA(hWnd, &text[0], static_cast<int>(text.size()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    value = text;
  } else {
    ::SetWindowTextA(hWnd, value.c_str());
  }
}
