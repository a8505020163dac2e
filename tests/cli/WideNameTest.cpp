// wbk.exe on Windows takes its arguments wide and opens files by their wide
// names: a folder whose name code page 936 cannot spell (Korean and an
// accented Greek letter here) holds the lists it imports, the library it writes and reads, and the
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

std::string Utf8(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
  out.resize(static_cast<size_t>(n) - 1);
  return out;
}

bool WriteFileW(const std::wstring& path, const std::string& bytes) {
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

// A path as the console shows it: what its code page lacks is '?'.
std::string Shown(const std::wstring& path) {
  UINT cp = GetConsoleOutputCP();
  if (cp == 0) cp = GetACP();
  BOOL lossy = FALSE;
  const DWORD flags = cp == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL* pLossy = cp == CP_UTF8 ? nullptr : &lossy;
  const int n = WideCharToMultiByte(cp, flags, path.c_str(), -1, nullptr, 0, "?", pLossy);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(cp, flags, path.c_str(), -1, &out[0], n, "?", pLossy);
  out.resize(static_cast<size_t>(n) - 1);
  return out;
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

// A folder by its wide name, removed with what it holds when the test ends:
// the scratch folder's own cleanup lists names narrowly and would not reach
// these.
class CWideFolder {
 public:
  explicit CWideFolder(const std::wstring& path) : m_strPath(path) {
    m_bMade = CreateDirectoryW(path.c_str(), nullptr) != FALSE;
  }
  ~CWideFolder() { Remove(m_strPath); }
  bool Made() const { return m_bMade; }
  const std::wstring& Path() const { return m_strPath; }

 private:
  static void Remove(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          Remove(folder + L"\\" + name);
        } else {
          DeleteFileW((folder + L"\\" + name).c_str());
        }
      } while (FindNextFileW(h, &data));
      FindClose(h);
    }
    RemoveDirectoryW(folder.c_str());
  }

  std::wstring m_strPath;
  bool m_bMade;
};

struct tagWIDERUN {
  int nStatus;
  std::string strOut;
  std::string strErr;
};

// Runs wbk.exe with a wide command line; its output and errors read back.
tagWIDERUN RunWide(const CScratchDir& scratch, const std::vector<std::wstring>& args) {
  const std::string outFile = scratch.Path("out.txt");
  const std::string errFile = scratch.Path("err.txt");
  const int status = RunProgramWide(args, outFile, errFile);
  return {status, ReadFileW(WidenAnsi(outFile)), ReadFileW(WidenAnsi(errFile))};
}

TEST(WbkWideNames, AFolderNamedOutsideTheCodePageIsReadAndWritten) {
  CScratchDir scratch;
  // Ελληνικά-한국어: code page 936 has the Greek letters but not the accented
  // ά, nor any Korean one.
  CWideFolder folder(Wide(scratch.Dir(), CP_ACP) +
                     L"\\\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac-\uD55C\uAD6D\uC5B4");
  ASSERT_TRUE(folder.Made());
  const std::wstring dir = folder.Path();
  // A list whose own name is partly Korean; its contents are GBK.
  const std::wstring list = dir + L"\\\u5730\u540d\uD55C.txt";  // 地名한.txt
  ASSERT_TRUE(WriteFileW(list, "北京 9\n上海 5\n广州 3\n"));
  const std::wstring lib = dir + L"\\lib.wbk";

  tagWIDERUN run = RunWide(scratch, {L"import", lib, list});
  EXPECT_EQ(0, run.nStatus) << run.strErr;
  // The Korean character has no GBK form.
  EXPECT_NE(std::string::npos, run.strErr.find("'_' in the group's name")) << run.strErr;
  const std::string saved = ReadFileW(lib);
  ASSERT_FALSE(saved.empty()) << run.strErr;

  run = RunWide(scratch, {L"info", lib});
  EXPECT_EQ(0, run.nStatus) << run.strErr;
  EXPECT_NE(std::string::npos, run.strOut.find("phrases: 3")) << run.strOut;

  run = RunWide(scratch, {L"find", lib, L"\u5317\u4eac"});  // 北京, given wide
  EXPECT_EQ(0, run.nStatus) << run.strErr;
  EXPECT_EQ("北京\t9\t0\n", run.strOut);

  const std::wstring exported = dir + L"\\\u03b1.txt";  // α.txt
  run = RunWide(scratch, {L"export", lib, L"-o", exported});
  EXPECT_EQ(0, run.nStatus) << run.strErr;
  const std::string text = ReadFileW(exported);
  EXPECT_NE(std::string::npos, text.find("北京\t9")) << text;  // GBK, as imported

  // A folder of group files inside it: the group's GBK name as a wide name.
  const std::wstring groups = dir + L"\\\uAD6D";
  run = RunWide(scratch, {L"export", lib, L"--dir", groups});
  EXPECT_EQ(0, run.nStatus) << run.strErr;
  EXPECT_EQ(text, ReadFileW(groups + L"\\000-\u5730\u540d_.txt"));  // 000-地名_.txt

  // Saves over the library in that folder, the safe way (a temporary file
  // beside it): a list of texts to remove from there, then a group deleted.
  const std::wstring removeList = dir + L"\\\u03b2.txt";
  ASSERT_TRUE(WriteFileW(removeList, "上海\n"));
  run = RunWide(scratch, {L"remove", lib, lib, L"--phrases", removeList});
  EXPECT_EQ(0, run.nStatus) << run.strErr;
  // The path in the message: '?' for what the console cannot show.
  EXPECT_EQ("removed 1 phrases -> " + Shown(lib) + "\n", run.strOut);

  // The core reads the same folder when paths are UTF-8.
  SetPathCodePage(PATH_CODEPAGE_UTF8);
  CTabrix back;
  EXPECT_EQ(1, back.Load(Utf8(lib).c_str()));
  SetPathCodePage(PATH_CODEPAGE_ANSI);
  ASSERT_EQ(1u, back.GetGroupCount());
  EXPECT_STREQ("地名_", back.GetGroup(0)->szName);
  EXPECT_EQ(2u, back.GetGroup(0)->dwCount);

  run = RunWide(scratch, {L"delete-group", lib, lib, L"0"});
  EXPECT_EQ(0, run.nStatus) << run.strErr;
  SetPathCodePage(PATH_CODEPAGE_UTF8);
  EXPECT_EQ(1, back.Load(Utf8(lib).c_str()));
  SetPathCodePage(PATH_CODEPAGE_ANSI);
  EXPECT_EQ(0u, back.GetGroupCount());

  const std::wstring missing = dir + L"\\\uD55C.wbk";
  run = RunWide(scratch, {L"info", missing});
  EXPECT_EQ(2, run.nStatus);
  EXPECT_EQ(0u, run.strErr.find("error: " + Shown(missing) + ": cannot be read")) << run.strErr;
}

}  // namespace

#endif
