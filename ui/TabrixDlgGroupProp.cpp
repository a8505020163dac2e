// The main dialog's "设定属性" command: edits the group at the selection mark.
#include "GroupPropLogic.h"
#include "PLGroupPropDlg.h"
#include "TabrixDlg.h"

void CTabrixDlg::OnSetGroupProp() {
  const int nMark = m_ctrlList.GetSelectionMark();
  // Row i shows group i; a mark that names no group does nothing.
  if (nMark < 0 || static_cast<uint32_t>(nMark) >= m_library.GetGroupCount()) return;
  const tagGROUPINFO* pGroup = m_library.GetGroup(static_cast<uint32_t>(nMark));
  if (!pGroup) return;

  CPLGroupPropDlg dlg;
  dlg.m_strName = FieldText(pGroup->szName, sizeof pGroup->szName);
  dlg.m_strEditor = FieldText(pGroup->szEditor, sizeof pGroup->szEditor);
  dlg.m_strRemark = FieldText(pGroup->szRemark, sizeof pGroup->szRemark);
  if (dlg.DoModal() != IDOK) return;

  tagGROUPINFO* pEdit = m_library.GetGroup(static_cast<uint32_t>(nMark));
  if (!pEdit) return;
  // The dialog has checked the limits, so each text fits its field.
  if (StoreFieldText(pEdit->szName, sizeof pEdit->szName, dlg.m_strName)) {
    m_ctrlList.SetItemText(nMark, 0, pEdit->szName);
  }
  if (StoreFieldText(pEdit->szEditor, sizeof pEdit->szEditor, dlg.m_strEditor)) {
    m_ctrlList.SetItemText(nMark, 2, pEdit->szEditor);
  }
  if (StoreFieldText(pEdit->szRemark, sizeof pEdit->szRemark, dlg.m_strRemark)) {
    m_ctrlList.SetItemText(nMark, 3, pEdit->szRemark);
  }
}
