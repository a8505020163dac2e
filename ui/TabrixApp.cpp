#include "TabrixApp.h"

#include "TabrixDlg.h"

CTabrixApp theApp;

CTabrixApp::CTabrixApp() = default;

CTabrixApp::~CTabrixApp() = default;

BOOL CTabrixApp::InitInstance() {
  CTabrixDlg dlg;
  m_pMainWnd = &dlg;
  dlg.DoModal();
  // The dialog ends with this function; nothing may point at it afterwards.
  m_pMainWnd = nullptr;
  return FALSE;
}
