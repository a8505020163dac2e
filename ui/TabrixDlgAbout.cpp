// The About box, opened from the system menu item "关于 Tabrix(&A)...".
#include "AboutDlg.h"
#include "TabrixDlg.h"

void CTabrixDlg::ShowAboutBox() {
  // Without an owner of its own, the box is modal over the main window.
  CAboutDlg dlgAbout;
  dlgAbout.DoModal();
}
