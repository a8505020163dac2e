// The group property command of the main dialog (button 1050).
#include "TabrixDlg.h"

void CTabrixDlg::OnSetGroupProp() {
  // The group property dialog (template 173) is not part of the program yet:
  // the button leaves the library and the rows alone.
}
