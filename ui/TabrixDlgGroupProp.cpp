// The main dialog's "设定属性" command: edits the group at the selection mark.
#include "GroupPropLogic.h"
#include "PLGroupPropDlg.h"
#include "PhraseMessages.h"
#include "TabrixDlg.h"

void CTabrixDlg::OnSetGroupProp() {
  const int nMark = MarkedGroup();
  if (nMark < 0) return;
  const tagGROUPINFO* pGroup = m_library.GetGroup(static_cast<uint32_t>(nMark));
  if (!pGroup) return;

  CPLGroupPropDlg dlg;
  dlg.m_strName = FieldText(pGroup->szName, sizeof pGroup->szName);
  dlg.m_strEditor = FieldText(pGroup->szEditor, sizeof pGroup->szEditor);
  dlg.m_strRemark = FieldText(pGroup->szRemark, sizeof pGroup->szRemark);
  if (dlg.DoModal() != IDOK) return;

  // The dialog has checked the limits, so each text fits its field; the
  // three are one step of the history.
  if (!m_history.SetGroupText(m_library, static_cast<uint32_t>(nMark), dlg.m_strName.c_str(),
                              dlg.m_strEditor.c_str(), dlg.m_strRemark.c_str())) {
    MessageBox(EditFailedMessage());
    return;
  }
  const tagGROUPINFO& group = *m_library.GetGroup(static_cast<uint32_t>(nMark));
  m_ctrlList.SetItemText(nMark, 0, FieldText(group.szName, sizeof group.szName).c_str());
  SetGroupCells(nMark, group);
  UpdateCaption();
}
