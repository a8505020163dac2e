#include "TabrixApp.h"

#include <string>
#include <vector>

#include "FileNames.h"
#include "TabrixDlg.h"
#include "framework/PathText.h"

CTabrixApp theApp;

namespace {

// The files named on the command line (a double click on a .wbk runs
// `Tabrix.exe "<file>"`), read in their wide form so that any name arrives.
std::vector<std::string> CommandLineFiles() {
  std::vector<std::string> files;
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (!argv) return files;
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] != L'\0') files.push_back(PathFromSystem(argv[i]));
  }
  ::LocalFree(argv);
  return files;
}

}  // namespace

// The editor's paths are UTF-8 from its first moment, before any file is
// opened: every name the system hands over reaches its file, whatever the
// code page can spell. The window tests, which link this object, run so too.
CTabrixApp::CTabrixApp() { SetPathCodePage(PATH_CODEPAGE_UTF8); }

CTabrixApp::~CTabrixApp() = default;

BOOL CTabrixApp::InitInstance() {
  CTabrixDlg dlg;
  dlg.m_arrStartFiles = CommandLineFiles();
  m_pMainWnd = &dlg;
  dlg.DoModal();
  // The dialog ends with this function; nothing may point at it afterwards.
  m_pMainWnd = nullptr;
  return FALSE;
}
