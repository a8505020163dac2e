// The package test's hands inside Wine (tests/package/run-package.sh):
//
//   package_probe version FILE VERSION DESCRIPTION
//                                        FILE's version resource (Chinese, code
//                                        page 936) says VERSION, in its texts and
//                                        its numbers, product Tabrix, DESCRIPTION
//   package_probe open FILE GROUPS VERSION
//                                        FILE opened as Windows opens it (its
//                                        file type's open command, through
//                                        ShellExecuteEx) shows GROUPS rows in
//                                        the editor's main window, whose About
//                                        box names VERSION; then it is closed
//   package_probe run COMMAND_LINE       starts the command line as it is
//                                        and exits with its status
//   package_probe registry KEY...        prints the keys (HKLM\..., HKCU\...,
//                                        HKCR\...; the 64-bit view) that exist,
//                                        "KEY" a line, and their string
//                                        values, "KEY<TAB>NAME<TAB>DATA" (NAME
//                                        empty for the default value), in
//                                        UTF-8: one process for what would
//                                        take a "reg query" a value
//
// Exit 0 when it holds; 1 with the reason otherwise.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <tuple>
#include <vector>

#include "E2eWindows.h"

namespace {

const char kMainCaption[] = "青柚输入法:词库编辑器";
const char kAboutCaption[] = "关于 Tabrix";
const int kGroupList = 1204;
const int kAboutMenuItem = 16;

// The text of a StringFileInfo value in the Chinese (PRC, code page 936) table.
std::string VersionString(const std::vector<char>& data, const char* file, const char* name) {
  const std::string path = std::string("\\StringFileInfo\\080403a8\\") + name;
  char* text = nullptr;
  UINT length = 0;
  if (!::VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) ||
      !text) {
    Fail("%s's version resource has no %s", file, name);
  }
  return text;
}

int CheckVersion(const char* file, const char* expected, const char* description) {
  DWORD handle = 0;
  const DWORD size = ::GetFileVersionInfoSizeA(file, &handle);
  if (size == 0) Fail("%s has no version resource", file);
  std::vector<char> data(size);
  if (!::GetFileVersionInfoA(file, 0, size, data.data())) Fail("cannot read %s's version", file);

  ExpectText("ProductVersion", VersionString(data, file, "ProductVersion"), expected);
  ExpectText("FileVersion", VersionString(data, file, "FileVersion"), expected);
  ExpectText("ProductName", VersionString(data, file, "ProductName"), "Tabrix");
  ExpectText("FileDescription", VersionString(data, file, "FileDescription"), description);

  // The numbers, the parts a version leaves out being 0 (x.y is x.y.0.0).
  unsigned parts[4] = {0, 0, 0, 0};
  std::sscanf(expected, "%u.%u.%u.%u", &parts[0], &parts[1], &parts[2], &parts[3]);
  char wanted[64];
  std::snprintf(wanted, sizeof wanted, "%u.%u.%u.%u", parts[0], parts[1], parts[2], parts[3]);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!::VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || !fixed) {
    Fail("%s has no fixed version", file);
  }
  for (const auto& [what, ms, ls] :
       {std::make_tuple("file version numbers", fixed->dwFileVersionMS, fixed->dwFileVersionLS),
        std::make_tuple("product version numbers", fixed->dwProductVersionMS,
                        fixed->dwProductVersionLS)}) {
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "%u.%u.%u.%u", static_cast<unsigned>(HIWORD(ms)),
                  static_cast<unsigned>(LOWORD(ms)), static_cast<unsigned>(HIWORD(ls)),
                  static_cast<unsigned>(LOWORD(ls)));
    ExpectText(what, numbers, wanted);
  }

  // One translation: Chinese (PRC), code page 936.
  DWORD* translation = nullptr;
  if (!::VerQueryValueA(data.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
      length < sizeof(DWORD)) {
    Fail("%s's version resource names no language", file);
  }
  char language[32];
  std::snprintf(language, sizeof language, "%04x %u", static_cast<unsigned>(LOWORD(*translation)),
                static_cast<unsigned>(HIWORD(*translation)));
  ExpectText("language and code page", language, "0804 936");
  Log("%s: version %s (%s)", file, wanted, description);
  return 0;
}

int OpenAsWindowsDoes(const char* file, int groups, const char* version) {
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = "open";
  info.lpFile = file;
  info.nShow = SW_SHOWNORMAL;
  if (!::ShellExecuteExA(&info) || !info.hProcess) {
    Fail("ShellExecuteEx could not open %s (error %lu)", file,
         static_cast<unsigned long>(::GetLastError()));
  }
  CProgramWindows windows;
  windows.Attach(info.hProcess, ::GetProcessId(info.hProcess));
  HWND hMain = windows.WaitForMainDialog(kMainCaption);
  CRemoteList list(::GetDlgItem(hMain, kGroupList), info.hProcess);
  list.WaitForCount(groups);
  Log("%s opened in Tabrix: %d groups, the first \"%s\"", file, list.Count(),
      list.Text(0, 0).c_str());

  // The About box names the same version as the files' properties.
  if (!::PostMessageA(hMain, WM_SYSCOMMAND, kAboutMenuItem, 0)) Fail("cannot post WM_SYSCOMMAND");
  HWND hAbout = windows.WaitForOwnedDialog(hMain, kAboutCaption, "the About box");
  const std::string versionLine = std::string("青柚输入法词库编辑器 ") + version + " 版";
  bool bShown = false;
  for (HWND h = ::GetWindow(hAbout, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    if (WindowText(h) == versionLine) bShown = true;
  }
  if (!bShown) Fail("the About box does not show \"%s\"", versionLine.c_str());
  Log("the About box shows \"%s\"", versionLine.c_str());
  PressButton(hAbout, IDOK);
  windows.WaitForModalEnd(hMain);

  PressButton(hMain, IDCANCEL);
  if (::WaitForSingleObject(info.hProcess, kWaitMs) != WAIT_OBJECT_0) {
    Fail("Tabrix did not end after \"退出\"");
  }
  ::CloseHandle(info.hProcess);
  return 0;
}

// Starts a command line as the shell and the installed-programs list do
// (CreateProcess with the line as it is: the installer's /D= is taken
// unquoted, spaces and all) and returns the program's exit status.
int RunCommandLine(const char* line) {
  std::string buffer(line);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessA(nullptr, &buffer[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    Fail("cannot start %s (error %lu)", line, static_cast<unsigned long>(::GetLastError()));
  }
  ::CloseHandle(process.hThread);
  if (::WaitForSingleObject(process.hProcess, 6 * kWaitMs) != WAIT_OBJECT_0) {
    Fail("%s did not end", line);
  }
  DWORD status = 1;
  ::GetExitCodeProcess(process.hProcess, &status);
  ::CloseHandle(process.hProcess);
  Log("%s: exit status %lu", line, static_cast<unsigned long>(status));
  return static_cast<int>(status);
}

std::string Utf8(const wchar_t* text, int length) {
  if (length <= 0) return std::string();
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text, length, &out[0], size, nullptr, nullptr);
  return out;
}

void PrintKey(const char* name) {
  const char* slash = std::strchr(name, '\\');
  const std::string root = slash ? std::string(name, slash) : std::string(name);
  HKEY hRoot = nullptr;
  if (root == "HKLM") hRoot = HKEY_LOCAL_MACHINE;
  if (root == "HKCU") hRoot = HKEY_CURRENT_USER;
  if (root == "HKCR") hRoot = HKEY_CLASSES_ROOT;
  if (!hRoot) Fail("%s: the root must be HKLM, HKCU or HKCR", name);
  HKEY hKey = nullptr;
  if (::RegOpenKeyExA(hRoot, slash ? slash + 1 : "", 0, KEY_READ | KEY_WOW64_64KEY, &hKey) !=
      ERROR_SUCCESS) {
    return;
  }
  std::printf("%s\n", name);
  for (DWORD i = 0;; ++i) {
    wchar_t valueName[16384];
    DWORD nameLength = sizeof valueName / sizeof valueName[0];
    DWORD type = 0;
    DWORD bytes = 0;
    LONG rc = ::RegEnumValueW(hKey, i, valueName, &nameLength, nullptr, &type, nullptr, &bytes);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc != ERROR_SUCCESS) Fail("%s: cannot read value %lu", name, static_cast<unsigned long>(i));
    if (type != REG_SZ && type != REG_EXPAND_SZ) continue;
    std::vector<wchar_t> data(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    nameLength = sizeof valueName / sizeof valueName[0];
    rc = ::RegEnumValueW(hKey, i, valueName, &nameLength, nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &size);
    if (rc != ERROR_SUCCESS) Fail("%s: cannot read value %lu", name, static_cast<unsigned long>(i));
    const std::string text = Utf8(data.data(), static_cast<int>(std::wcslen(data.data())));
    std::printf("%s\t%s\t%s\n", name, Utf8(valueName, static_cast<int>(nameLength)).c_str(),
                text.c_str());
  }
  ::RegCloseKey(hKey);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "registry") {
    for (int i = 2; i < argc; ++i) PrintKey(argv[i]);
    return 0;
  }
  if (argc == 5 && std::string(argv[1]) == "version") {
    return CheckVersion(argv[2], argv[3], argv[4]);
  }
  if (argc == 3 && std::string(argv[1]) == "run") return RunCommandLine(argv[2]);
  if (argc == 5 && std::string(argv[1]) == "open") {
    return OpenAsWindowsDoes(argv[2], std::atoi(argv[3]), argv[4]);
  }
  std::fprintf(stderr,
               "usage: package_probe version FILE VERSION DESCRIPTION | open FILE GROUPS VERSION | "
               "run COMMAND_LINE | registry KEY...\n");
  return 2;
}
