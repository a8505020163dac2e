// CWinApp: the one application object. WinMain (AppMain.cpp) hands the
// program to it: InitInstance, then the message loop when InitInstance asks
// for one, and ExitInstance.
#pragma once

#include <string>

#include "Win32.h"

class CWnd;

class CWinApp {
 public:
  // The application's name, or null for the executable's file name without
  // its extension.
  explicit CWinApp(const char* pszAppName = nullptr);
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // FALSE ends the program at once (no message loop).
  virtual BOOL InitInstance();
  // The message loop; returns the exit code.
  virtual int Run();
  virtual int ExitInstance();

  HINSTANCE m_hInstance;
  std::string m_strAppName;  // caption of the program's message boxes
  CWnd* m_pMainWnd;          // the window the program's dialogs belong to
};

CWinApp* AfxGetApp();
// The application's name; the executable's file name without its extension
// when there is no application object.
std::string AfxGetAppName();
// The module holding the dialog templates, icons and strings.
HINSTANCE AfxGetResourceHandle();
// The list view, progress bar and the other common controls, registered once.
void AfxInitCommonControls();
// A string resource; empty when it is missing.
std::string AfxLoadString(UINT nID);

// "C:\dir\Tabrix.exe" -> "Tabrix": no folder, no last extension. The path is
// in the process's path form (PathText.h), the name GBK for the captions.
std::string AppNameFromModulePath(const char* path);

// WinMain's work: runs the application object.
int AfxWinMain(HINSTANCE hInstance, int nCmdShow);
