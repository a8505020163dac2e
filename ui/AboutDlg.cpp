#include "AboutDlg.h"

CAboutDlg::CAboutDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_HYPERLINK, m_wndLink);
}
