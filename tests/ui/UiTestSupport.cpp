#include "UiTestSupport.h"

#include "Tabrix.h"
#include "framework/Wnd.h"

namespace {
const char kKey[] = "SOFTWARE\\Brimfold\\corvane3";
const char kParentKey[] = "SOFTWARE\\Brimfold";
const char kValue[] = "path_svr_data";
}  // namespace

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

CInstalledKey::CInstalledKey() { Remove(); }

CInstalledKey::~CInstalledKey() { Remove(); }

void CInstalledKey::Remove() {
  RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kKey, KEY_WOW64_64KEY, 0);
  RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kParentKey, KEY_WOW64_64KEY, 0);
}

bool CInstalledKey::Create() {
  HKEY hKey = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                      nullptr, &hKey, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(hKey);
  return true;
}

bool CInstalledKey::SetValue(DWORD type, const void* data, DWORD size) {
  HKEY hKey = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                      nullptr, &hKey, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LONG status = RegSetValueExA(hKey, kValue, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(hKey);
  return status == ERROR_SUCCESS;
}

bool CInstalledKey::SetText(DWORD type, const std::string& text) {
  return SetValue(type, text.c_str(), static_cast<DWORD>(text.size() + 1));
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

COwnedDialogDriver::~COwnedDialogDriver() { m_thread.join(); }

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
