// The About box, opened from the system menu item "关于 Tabrix(&A)...".
#include "TabrixDlg.h"

void CTabrixDlg::ShowAboutBox() {
  // The About box (template 100) is not part of the program yet.
}
