#include "UiTestSupport.h"

#include <shlobj.h>  // DROPFILES

#include <algorithm>
#include <cstring>

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

std::wstring WideGbk(const std::string& gbk) {
  if (gbk.empty()) return std::wstring();
  const int n = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), &out[0], n);
  return out;
}

std::string GbkWide(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int size = WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                       0, nullptr, nullptr);
  std::string result(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), &result[0], size,
                        nullptr, nullptr);
  }
  return result;
}

std::string WindowTextGbk(HWND hWnd) {
  const int length = GetWindowTextLengthW(hWnd);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(hWnd, &text[0], length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return GbkWide(text);
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

BOOL CALLBACK FindOwnedDialogProc(HWND hWnd, LPARAM lParam) {
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

HWND FindOwnedDialog(HWND hOwner) {
  tagFINDDIALOG find = {hOwner, nullptr};
  EnumThreadWindows(GetWindowThreadProcessId(hOwner, nullptr), FindOwnedDialogProc,
                    reinterpret_cast<LPARAM>(&find));
  return find.hFound;
}

HWND FileNameEdit(HWND hDialog) {
  HWND hEdit = GetDlgItem(hDialog, 0x480);
  char name[16] = {};
  if (hEdit) GetClassNameA(hEdit, name, sizeof name);
  if (hEdit && lstrcmpiA(name, "Edit") == 0) return hEdit;
  HWND hCombo = GetDlgItem(hDialog, 0x47C);
  if (!hCombo) return nullptr;
  HWND hInner = FindWindowExA(hCombo, nullptr, "ComboBox", nullptr);
  return FindWindowExA(hInner ? hInner : hCombo, nullptr, "Edit", nullptr);
}

COwnedDialogDriver::Action AnswerFileDialog(const std::string& path) {
  if (path.empty()) {
    return [](HWND hDialog) {
      if (!FileNameEdit(hDialog)) return false;
      PostMessageA(hDialog, WM_COMMAND, IDCANCEL,
                   reinterpret_cast<LPARAM>(GetDlgItem(hDialog, IDCANCEL)));
      return true;
    };
  }
  return AnswerFileDialogWide(WideGbk(path));
}

COwnedDialogDriver::Action AnswerFileDialogWide(const std::wstring& path) {
  return [path](HWND hDialog) {
    HWND hEdit = FileNameEdit(hDialog);
    if (!hEdit) return false;
    SendMessageW(hEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(hDialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(hDialog, IDOK)));
    return true;
  };
}

COwnedDialogDriver::Action AnswerOverwriteQuestion(const std::wstring& path, int nAnswer,
                                                   std::string* pQuestion) {
  return [path, nAnswer, pQuestion](HWND hDialog) {
    HWND hEdit = FileNameEdit(hDialog);
    if (!hEdit) return false;
    HWND hOwner = GetWindow(hDialog, GW_OWNER);
    SendMessageW(hEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(hDialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(hDialog, IDOK)));
    // The question is a message box owned by the file dialog.
    HWND hBox = nullptr;
    for (int i = 0; i < 200 && !hBox && IsWindow(hDialog); ++i) {
      Sleep(25);
      hBox = FindOwnedDialog(hDialog);
    }
    if (!hBox) return true;
    if (GetDlgItem(hBox, IDYES) && GetDlgItem(hBox, IDNO)) {
      *pQuestion = WindowTextGbk(GetDlgItem(hBox, 0xFFFF));
    }
    PostMessageA(hBox, WM_COMMAND, nAnswer, reinterpret_cast<LPARAM>(GetDlgItem(hBox, nAnswer)));
    if (nAnswer == IDNO) {
      // Cancelled once it takes input again.
      for (int i = 0; i < 200 && FindOwnedDialog(hOwner) != hDialog; ++i) Sleep(25);
      PostMessageA(hDialog, WM_COMMAND, IDCANCEL,
                   reinterpret_cast<LPARAM>(GetDlgItem(hDialog, IDCANCEL)));
    }
    return true;
  };
}

HDROP MakeDrop(const std::vector<std::wstring>& paths) {
  size_t chars = 1;
  for (const std::wstring& p : paths) chars += p.size() + 1;
  HGLOBAL hMem = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
  DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(hMem));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  wchar_t* out = reinterpret_cast<wchar_t*>(drop + 1);
  for (const std::wstring& p : paths) {
    std::memcpy(out, p.c_str(), (p.size() + 1) * sizeof(wchar_t));
    out += p.size() + 1;
  }
  *out = L'\0';
  GlobalUnlock(hMem);
  return static_cast<HDROP>(hMem);
}

COwnedDialogDriver::COwnedDialogDriver(HWND hOwner, Action action)
    : m_bDone(false),
      m_thread(&COwnedDialogDriver::Run, this, hOwner, GetCurrentThreadId(), std::move(action)) {}

COwnedDialogDriver::~COwnedDialogDriver() {
  if (m_thread.joinable()) m_thread.join();
}

void COwnedDialogDriver::Run(HWND hOwner, DWORD uiThread, Action action) {
  for (int i = 0; i < 400; ++i) {
    tagFINDDIALOG find = {hOwner, nullptr};
    EnumThreadWindows(uiThread, FindOwnedDialogProc, reinterpret_cast<LPARAM>(&find));
    if (find.hFound && action(find.hFound)) {
      m_bDone = true;
      return;
    }
    Sleep(50);
  }
}

bool WriteFileWide(const std::wstring& path, const std::string& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = bytes.empty() ||
                  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  return ok && written == bytes.size();
}

bool ReadFileWide(const std::wstring& path, std::string* pBytes) {
  pBytes->clear();
  HANDLE h =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  char buffer[4096];
  DWORD got = 0;
  BOOL ok;
  while ((ok = ReadFile(h, buffer, sizeof buffer, &got, nullptr)) && got > 0) {
    pBytes->append(buffer, got);
  }
  CloseHandle(h);
  return ok != FALSE;
}

std::vector<std::wstring> FolderNamesWide(const std::wstring& dir) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(h, &data));
  FindClose(h);
  std::sort(names.begin(), names.end());
  return names;
}

void RemoveFilesWide(const std::wstring& dir) {
  for (const std::wstring& name : FolderNamesWide(dir)) {
    const std::wstring path = dir + L"\\" + name;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
  }
}
