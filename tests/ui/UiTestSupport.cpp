#include "UiTestSupport.h"

#include "Tabrix.h"
#include "framework/Wnd.h"

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (CWnd::WalkPreTranslateTree(nullptr, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

std::string WindowTextGbk(HWND hWnd) {
  const int length = GetWindowTextLengthW(hWnd);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(hWnd, &text[0], length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  if (text.empty()) return std::string();
  const int size = WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                       0, nullptr, nullptr);
  std::string result(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), &result[0], size, nullptr,
                      nullptr);
  return result;
}

bool WriteLibrary(const std::string& path, const std::vector<tagTESTGROUP>& groups) {
  CTabrix library;
  for (const tagTESTGROUP& group : groups) {
    const uint8_t index =
        library.AddGroup(group.strName.c_str(), group.strEditor.c_str(), group.strRemark.c_str());
    if (index == TABRIX_NO_GROUP) return false;
    library.GetGroup(index)->bEnable = group.bEnable;
    for (const std::string& phrase : group.phrases) {
      if (!library.AddPhrase(phrase.c_str(), static_cast<uint8_t>(phrase.size()), 1, 1, index)) {
        return false;
      }
    }
  }
  return library.Save(path.c_str()) != 0;
}

std::string BackslashPath(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

namespace {

struct tagFINDDIALOG {
  HWND hOwner;
  HWND hFound;
};

BOOL CALLBACK FindOwnedDialog(HWND hWnd, LPARAM lParam) {
  tagFINDDIALOG* pFind = reinterpret_cast<tagFINDDIALOG*>(lParam);
  char name[16] = {};
  GetClassNameA(hWnd, name, sizeof name);
  if (lstrcmpA(name, "#32770") == 0 && IsWindowVisible(hWnd) && IsWindowEnabled(hWnd) &&
      GetWindow(hWnd, GW_OWNER) == pFind->hOwner) {
    pFind->hFound = hWnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

COwnedDialogDriver::COwnedDialogDriver(HWND hOwner, Action action)
    : m_bDone(false),
      m_thread(&COwnedDialogDriver::Run, this, hOwner, GetCurrentThreadId(), std::move(action)) {}

COwnedDialogDriver::~COwnedDialogDriver() {
  if (m_thread.joinable()) m_thread.join();
}

void COwnedDialogDriver::Run(HWND hOwner, DWORD uiThread, Action action) {
  for (int i = 0; i < 400; ++i) {
    tagFINDDIALOG find = {hOwner, nullptr};
    EnumThreadWindows(uiThread, FindOwnedDialog, reinterpret_cast<LPARAM>(&find));
    if (find.hFound && action(find.hFound)) {
      m_bDone = true;
      return;
    }
    Sleep(50);
  }
}
