// The package test's hands inside Wine (tests/package/run-package.sh):
//
//   package_probe version FILE VERSION   FILE's version resource says VERSION
//   package_probe open FILE GROUPS       FILE opened as Windows opens it (its
//                                        file type's open command, through
//                                        ShellExecuteEx) shows GROUPS rows in
//                                        the editor's main window, which is
//                                        then closed
//
// Exit 0 when it holds; 1 with the reason otherwise.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "E2eWindows.h"

namespace {

const char kMainCaption[] = "青柚输入法:词库编辑器";
const int kGroupList = 1204;

int CheckVersion(const char* file, const char* expected) {
  DWORD handle = 0;
  const DWORD size = ::GetFileVersionInfoSizeA(file, &handle);
  if (size == 0) Fail("%s has no version resource", file);
  std::vector<char> data(size);
  if (!::GetFileVersionInfoA(file, 0, size, data.data())) Fail("cannot read %s's version", file);
  char* text = nullptr;
  UINT length = 0;
  if (!::VerQueryValueA(data.data(), "\\StringFileInfo\\080403a8\\ProductVersion",
                        reinterpret_cast<void**>(&text), &length) ||
      !text) {
    Fail("%s's version resource has no ProductVersion", file);
  }
  ExpectText("ProductVersion", text, expected);
  VS_FIXEDFILEINFO* fixed = nullptr;
  if (!::VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || !fixed) {
    Fail("%s has no fixed version", file);
  }
  char numbers[32];
  std::snprintf(numbers, sizeof numbers, "%u.%u",
                static_cast<unsigned>(HIWORD(fixed->dwFileVersionMS)),
                static_cast<unsigned>(LOWORD(fixed->dwFileVersionMS)));
  ExpectText("FileVersion numbers", std::string(expected).substr(0, std::strlen(numbers)), numbers);
  Log("%s: version %s", file, text);
  return 0;
}

int OpenAsWindowsDoes(const char* file, int groups) {
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
  PressButton(hMain, IDCANCEL);
  if (::WaitForSingleObject(info.hProcess, kWaitMs) != WAIT_OBJECT_0) {
    Fail("Tabrix did not end after \"退出\"");
  }
  ::CloseHandle(info.hProcess);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "version") return CheckVersion(argv[2], argv[3]);
  if (argc == 4 && std::string(argv[1]) == "open") {
    return OpenAsWindowsDoes(argv[2], std::atoi(argv[3]));
  }
  std::fprintf(stderr, "usage: package_probe version FILE VERSION | open FILE GROUPS\n");
  return 2;
}
