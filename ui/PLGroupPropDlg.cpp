#include "PLGroupPropDlg.h"

#include "GroupPropLogic.h"
#include "framework/MessageBox.h"

namespace {

// One text and its edit box, with the box's byte limit.
void ExchangeLimited(CDataExchange* pDX, int nIDC, std::string& value, size_t limit) {
  DDX_Text(pDX, nIDC, value);
  if (pDX->Failed()) return;
  if (!pDX->m_bSaveAndValidate) {
    ::SendMessageA(pDX->m_pDlgWnd->GetDlgItem(nIDC), EM_LIMITTEXT, limit, 0);
    return;
  }
  // The narrow text shows '?' for a character GBK lacks: refused, as the
  // phrase window refuses such a phrase, never stored as '?'.
  std::string gbk;
  if (!pDX->m_pDlgWnd->GetDlgItemTextGbk(nIDC, &gbk)) {
    AfxMessageBox(pDX->m_pDlgWnd->m_hWnd, GroupTextNoGbkFormMessage(), MB_ICONEXCLAMATION);
    pDX->Fail();
    return;
  }
  value = gbk;
  if (TextWithinLimit(value, limit)) return;
  AfxMessageBox(pDX->m_pDlgWnd->m_hWnd, LimitMessage(limit).c_str(), MB_ICONEXCLAMATION);
  pDX->Fail();
}

}  // namespace

CPLGroupPropDlg::CPLGroupPropDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

CPLGroupPropDlg::~CPLGroupPropDlg() = default;

void CPLGroupPropDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  ExchangeLimited(pDX, IDC_PROP_REMARK, m_strRemark, GROUP_REMARK_LIMIT);
  ExchangeLimited(pDX, IDC_PROP_NAME, m_strName, GROUP_NAME_LIMIT);
  ExchangeLimited(pDX, IDC_PROP_EDITOR, m_strEditor, GROUP_EDITOR_LIMIT);
}

BOOL CPLGroupPropDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  HWND hName = GetDlgItem(IDC_PROP_NAME);
  ::SetFocus(hName);
  ::SendMessageA(hName, EM_SETSEL, 0, -1);
  return FALSE;  // the focus is set
}
