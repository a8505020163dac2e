// wbk.exe on Windows takes its arguments wide and opens files by their wide
// names: a folder whose name code page 936 cannot spell (Greek and Korean
// here) holds the lists it imports, the library it writes and reads, and the
// files it exports. The contents stay GBK.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "FileNames.h"
#include "ScratchDir.h"
#include "Tabrix.h"
#include "WbkProcess.h"

namespace {

std::wstring Wide(const std::string& text, UINT codePage) {
  const int n = MultiByteToWideChar(codePage, 0, text.c_str(), -1, nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.c_str(), -1, &out[0], n);
  out.resize(static_cast<size_t>(n) - 1);
  return out;
}

bool WriteFileW(const std::wstring& path, const std::string& bytes) {
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

std::string ReadFileW(const std::wstring& path) {
  std::string bytes;
  FILE* f = _wfopen(path.c_str(), L"rb");
  if (!f) return bytes;
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, n);
  std::fclose(f);
  return bytes;
}

// Runs wbk.exe with a wide command line; its output goes to a file, read back.
int RunWide(const std::wstring& args, const std::wstring& outFile, std::string* pOut) {
  const std::wstring program = Wide(WbkProgramPath(), CP_ACP);
  std::wstring line = L"\"" + program + L"\" " + args;
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE out = CreateFileW(outFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = out;
  si.hStdError = out;
  PROCESS_INFORMATION pi = {};
  const BOOL started = CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &si, &pi);
  DWORD status = static_cast<DWORD>(-1);
  if (started) {
    WaitForSingleObject(pi.hProcess, INFINITE);
    GetExitCodeProcess(pi.hProcess, &status);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  CloseHandle(out);
  *pOut = ReadFileW(outFile);
  return started ? static_cast<int>(status) : -1;
}

TEST(WbkWideNames, AFolderNamedOutsideTheCodePageIsReadAndWritten) {
  CScratchDir scratch;
  // Ελληνικά 한국어: no character of it is in code page 936.
  const std::wstring dir = Wide(scratch.Dir(), CP_ACP) +
                           L"\\\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac-\uD55C\uAD6D\uC5B4";
  ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
  const std::wstring list = dir + L"\\\uD55C.txt";    // a list whose own name is Korean
  ASSERT_TRUE(WriteFileW(list, "北京 9\n上海 5\n"));  // GBK contents
  const std::wstring lib = dir + L"\\lib.wbk";
  const std::wstring log = Wide(scratch.Path("log.txt"), CP_ACP);
  std::string out;

  EXPECT_EQ(0, RunWide(L"import \"" + lib + L"\" \"" + list + L"\"", log, &out)) << out;
  const std::string saved = ReadFileW(lib);
  ASSERT_FALSE(saved.empty()) << out;

  EXPECT_EQ(0, RunWide(L"info \"" + lib + L"\"", log, &out)) << out;
  EXPECT_NE(std::string::npos, out.find("phrases: 2")) << out;

  const std::wstring exported = dir + L"\\\u03b1.txt";
  EXPECT_EQ(0, RunWide(L"export \"" + lib + L"\" -o \"" + exported + L"\"", log, &out)) << out;
  const std::string text = ReadFileW(exported);
  EXPECT_NE(std::string::npos, text.find("北京\t9")) << text;  // GBK, as imported

  // A save over the library in that folder, the safe way (temporary beside it).
  EXPECT_EQ(0, RunWide(L"delete-group \"" + lib + L"\" \"" + lib + L"\" 0", log, &out)) << out;
  EXPECT_NE(saved, ReadFileW(lib));

  // The core reads the same folder when paths are UTF-8.
  SetPathCodePage(PATH_CODEPAGE_UTF8);
  std::string utf8(WideCharToMultiByte(CP_UTF8, 0, lib.c_str(), -1, nullptr, 0, nullptr, nullptr),
                   '\0');
  WideCharToMultiByte(CP_UTF8, 0, lib.c_str(), -1, &utf8[0], static_cast<int>(utf8.size()), nullptr,
                      nullptr);
  utf8.resize(utf8.size() - 1);
  CTabrix back;
  EXPECT_EQ(1, back.Load(utf8.c_str()));
  EXPECT_EQ(0u, back.GetGroupCount());
  SetPathCodePage(PATH_CODEPAGE_ANSI);

  DeleteFileW(exported.c_str());
  DeleteFileW(lib.c_str());
  DeleteFileW(list.c_str());
  EXPECT_TRUE(RemoveDirectoryW(dir.c_str()));
}

}  // namespace

#endif
