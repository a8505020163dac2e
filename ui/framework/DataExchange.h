// The data-exchange step of a dialog: one routine, DoDataExchange, moves
// values between the dialog's members and its controls in either direction.
// A check that fails calls Fail(), which puts the focus on the control last
// prepared (selecting an edit box's whole text) and stops the exchange.
#pragma once

#include <string>

#include "Win32.h"

class CWnd;

class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

  BOOL m_bSaveAndValidate;  // TRUE: controls to members (closing); FALSE: members to controls
  CWnd* m_pDlgWnd;

  HWND PrepareCtrl(int nIDC);
  HWND PrepareEditCtrl(int nIDC);
  void Fail();
  bool Failed() const { return m_bFailed; }

 private:
  HWND m_hWndLastControl;
  bool m_bEditLastControl;
  bool m_bFailed;
};

// Binds control nIDC to rControl (subclassing it) the first time; later runs
// do nothing.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// The whole text of control nIDC.
void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value);
