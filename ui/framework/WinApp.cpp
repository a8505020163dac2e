#include "WinApp.h"

#include <cstring>

#include "GbkText.h"
#include "PathText.h"
#include "Wnd.h"

namespace {

CWinApp* g_pApp = nullptr;

std::string ModuleAppName() {
  wchar_t path[MAX_PATH + 1] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  return AppNameFromModulePath(PathFromSystem(path).c_str());
}

}  // namespace

std::string AppNameFromModulePath(const char* path) {
  return PathTextInGbk(FileTitleFromPath(path));
}

CWinApp::CWinApp(const char* pszAppName)
    : m_hInstance(nullptr), m_strAppName(pszAppName ? pszAppName : ""), m_pMainWnd(nullptr) {
  g_pApp = this;
}

CWinApp::~CWinApp() {
  if (g_pApp == this) g_pApp = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run() {
  MSG msg;
  for (;;) {
    const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    HWND hMain = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    if (hMain && CWnd::WalkPreTranslateTree(hMain, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  const int exitCode = ExitInstance();
  return exitCode ? exitCode : static_cast<int>(msg.wParam);
}

int CWinApp::ExitInstance() { return 0; }

CWinApp* AfxGetApp() { return g_pApp; }

std::string AfxGetAppName() {
  if (g_pApp && !g_pApp->m_strAppName.empty()) return g_pApp->m_strAppName;
  return ModuleAppName();
}

HINSTANCE AfxGetResourceHandle() {
  if (g_pApp && g_pApp->m_hInstance) return g_pApp->m_hInstance;
  return ::GetModuleHandleA(nullptr);
}

void AfxInitCommonControls() {
  static bool done = false;
  if (done) return;
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES |
                                              ICC_PROGRESS_CLASS | ICC_TAB_CLASSES};
  done = ::InitCommonControlsEx(&icc) != FALSE;
}

std::string AfxLoadString(UINT nID) {
  char buffer[512] = {};
  const int length = ::LoadStringA(AfxGetResourceHandle(), nID, buffer, sizeof buffer);
  return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

int AfxWinMain(HINSTANCE hInstance, int) {
  CWinApp* pApp = AfxGetApp();
  if (!pApp) return 1;
  pApp->m_hInstance = hInstance;
  if (pApp->m_strAppName.empty()) pApp->m_strAppName = ModuleAppName();
  AfxInitCommonControls();
  if (!pApp->InitInstance()) return pApp->ExitInstance();
  return pApp->Run();
}
