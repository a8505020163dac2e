// The order in which a save talks to the system, seen by strace: the
// temporary created exclusively, written, flushed, closed, renamed over the
// target, and the folder flushed. Any other order can lose the library on a
// power cut or write through a planted link.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>

#include "LibfileTestSupport.h"

using namespace tabrix_test;

#ifdef __linux__
TEST(SaveSyscalls, CreateExclusiveWriteFlushRenameFlushFolder) {
  if (std::system("strace -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace is not installed";
  CScratchDir dir;
  const std::string target = dir.Path("lib.wbk");
  WriteAll(target, Bytes{1, 2, 3});  // an old file to replace
  const std::string log = dir.Path("strace.log");
  // LeakSanitizer cannot run under ptrace.
  const std::string command = "ASAN_OPTIONS=detect_leaks=0 strace -f -qq -o '" + log +
                              "' -e trace=openat,open,write,fsync,fdatasync,close,rename,renameat,"
                              "renameat2 '" TABRIX_SAVE_ONCE "' '" +
                              target + "'";
  ASSERT_EQ(0, std::system(command.c_str()));

  std::ifstream in(log);
  std::string line;
  enum {
    kCreate,
    kWrite,
    kFlush,
    kClose,
    kRename,
    kOpenFolder,
    kFlushFolder,
    kDone
  } step = kCreate;
  std::string fd, temp, folderFd;
  const std::regex create("openat\\(AT_FDCWD, \"(" + target +
                          "\\.~tmp[^\"]*)\", [^)]*O_CREAT\\|O_EXCL\\|O_NOFOLLOW[^)]*\\) = (\\d+)");
  std::smatch m;
  while (step != kDone && std::getline(in, line)) {
    // strace -f puts the process id first.
    line = std::regex_replace(line, std::regex("^\\d+ +"), "");
    switch (step) {
      case kCreate:
        if (std::regex_search(line, m, create)) {
          temp = m[1];
          fd = m[2];
          step = kWrite;
        }
        break;
      case kWrite:
        if (line.rfind("write(" + fd + ",", 0) == 0) step = kFlush;
        break;
      case kFlush:
        if (line.rfind("fsync(" + fd + ")", 0) == 0 || line.rfind("fdatasync(" + fd + ")", 0) == 0)
          step = kClose;
        ASSERT_NE(0u, line.rfind("rename", 0)) << "renamed before the flush: " << line;
        ASSERT_NE(0u, line.rfind("close(" + fd + ")", 0)) << "closed before the flush";
        break;
      case kClose:
        if (line.rfind("close(" + fd + ")", 0) == 0) step = kRename;
        break;
      case kRename:
        if (line.find("rename") != std::string::npos) {
          EXPECT_NE(std::string::npos, line.find("\"" + temp + "\"")) << line;
          EXPECT_NE(std::string::npos, line.find("\"" + target + "\"")) << line;
          EXPECT_NE(std::string::npos, line.find(" = 0")) << line;
          step = kOpenFolder;
        }
        break;
      case kOpenFolder:
        if (std::regex_search(line, m,
                              std::regex("openat\\(AT_FDCWD, \"" + dir.Dir() +
                                         "\", O_RDONLY[^)]*O_DIRECTORY[^)]*\\) = (\\d+)"))) {
          folderFd = m[1];
          step = kFlushFolder;
        }
        break;
      case kFlushFolder:
        if (std::regex_search(line, std::regex("^fsync\\(" + folderFd + "\\) += 0"))) step = kDone;
        break;
      case kDone:
        break;
    }
  }
  EXPECT_EQ(kDone, step) << "the save stopped matching at step " << step << "; see " << log;
  CTabrix loaded;
  EXPECT_EQ(1, loaded.Load(target.c_str()));
  EXPECT_EQ(50000u, loaded.m_arrPhrase.GetCount());
}
#endif
