// The application: runs the main dialog and ends when it closes.
#pragma once

#include "framework/WinApp.h"

class CTabrixApp : public CWinApp {
 public:
  CTabrixApp();
  ~CTabrixApp() override;

  // Runs the main dialog modally; always FALSE, so the program ends with it.
  BOOL InitInstance() override;
};

extern CTabrixApp theApp;
