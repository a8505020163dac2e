// The group property dialog: edits the name, the editor and the remark of
// one group. The caller fills the three texts, runs the dialog and, when it
// returns IDOK, reads them back. Texts are GBK; limits count bytes.
#pragma once

#include <string>

#include "framework/Dialog.h"
#include "resource.h"

class CPLGroupPropDlg : public CDialog {
 public:
  enum { IDD = IDD_GROUP_PROP };

  explicit CPLGroupPropDlg(CWnd* pParent = nullptr);
  ~CPLGroupPropDlg() override;

  std::string m_strRemark;  // edit IDC_PROP_REMARK, at most 199 bytes
  std::string m_strName;    // edit IDC_PROP_NAME, at most 49 bytes
  std::string m_strEditor;  // edit IDC_PROP_EDITOR, at most 49 bytes

 protected:
  // Opening: each text into its box, whose input is then limited. Closing:
  // each box into its text; a text over its limit stops the exchange with a
  // message, the focus and the whole text selected in that box.
  void DoDataExchange(CDataExchange* pDX) override;
  // The focus starts in the name box, its text selected.
  BOOL OnInitDialog() override;
};
