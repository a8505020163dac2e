// The real wbk program on inputs that are not regular files (a device, a
// FIFO, a folder) and on regular files too large to hold: a clear refusal or
// a bounded run, never a read without end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "Tabrix.h"
#include "TestText.h"
#include "WbkProcess.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

struct tagRUN {
  int nStatus;
  std::string strOut;
  std::string strErr;
};

// Far below what reading a device or the large files here whole would take,
// far above what the program needs otherwise.
constexpr unsigned long long kAddressSpace = 192ull << 20;
constexpr unsigned long long kLargeFile = 384ull << 20;

// A refusal is at once; reading the large files here takes a few seconds.
tagRUN RunBounded(const CScratchDir& dir, const std::vector<std::string>& args,
                  unsigned seconds = 10) {
  tagWBKLIMITS limits;
  limits.nAddressSpace = WBK_TEST_ASAN ? 0 : kAddressSpace;
  limits.nSeconds = seconds;
  std::string out = dir.Path("stdout.txt"), err = dir.Path("stderr.txt");
  int status = RunProgram(args, out, err, limits);
  return tagRUN{status, ReadBytes(out), ReadBytes(err)};
}

using tabrix_test::Joined;

std::string GoodLibrary(const CScratchDir& dir) {
  std::string path = dir.Path("good.wbk");
  CTabrix lib;
  lib.AddGroup("a", "", "");
  lib.AddPhrase("b", 5, 3, 1, 0);
  EXPECT_TRUE(lib.Save(path.c_str()));
  return path;
}

// Every command that reads the file, in each place a file is read.
std::vector<std::vector<std::string>> CommandsReading(const CScratchDir& dir,
                                                      const std::string& input) {
  std::string out = dir.Path("out.wbk");
  std::string lib = GoodLibrary(dir);
  std::string text = dir.Write("t.txt", "c\t5\n");
  return {
      {"check", input},
      {"check", "--json", input},
      {"import", out, input},
      {"import", out, input, "--encoding", "utf-8"},
      {"import", out, input, "--encoding", "gbk"},
      {"import", out, text, input},
      {"import", out, text, "--base", input},
      {"info", input},
      {"export", input},
      {"merge", out, lib, input},
  };
}

void ExpectRefused(const CScratchDir& dir, const std::string& input, const std::string& kind) {
  for (const std::vector<std::string>& args : CommandsReading(dir, input)) {
    tagRUN r = RunBounded(dir, args);
    EXPECT_EQ(r.nStatus, EXIT_FAILED) << Joined(args) << r.strErr;
    EXPECT_NE(r.strErr.find(input + ": not a regular file (" + kind + ")"), std::string::npos)
        << Joined(args) << r.strErr;
    EXPECT_EQ(r.strOut, "") << Joined(args);
    EXPECT_FALSE(FileExists(dir.Path("out.wbk"))) << Joined(args);
  }
}

TEST(WbkUnusualInput, AFolderIsRefusedByName) {
  CScratchDir dir;
  std::string folder = dir.Path("folder");
  ASSERT_TRUE(MakeFolder(folder));
  ExpectRefused(dir, folder, "a folder");
}

#ifndef _WIN32

TEST(WbkUnusualInput, ADeviceIsRefusedBeforeItIsRead) {
  CScratchDir dir;
  ExpectRefused(dir, "/dev/zero", "a device");
  ExpectRefused(dir, "/dev/null", "a device");
}

TEST(WbkUnusualInput, AFifoIsRefusedWithoutWaitingOrReading) {
  CScratchDir dir;
  std::string fifo = dir.Path("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // Held open at both ends here, with bytes waiting: a reader would neither
  // block nor find it empty, so the bytes still there show nothing was read.
  int fd = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  const std::string waiting = "a\t5\n";
  ASSERT_EQ(write(fd, waiting.data(), waiting.size()), static_cast<ssize_t>(waiting.size()));
  ExpectRefused(dir, fifo, "a FIFO");
  char back[16] = {};
  EXPECT_EQ(read(fd, back, sizeof back), static_cast<ssize_t>(waiting.size()));
  EXPECT_EQ(std::string(back), waiting);
  close(fd);
  // With no writer at all the open itself must not wait.
  tagRUN r = RunBounded(dir, {"import", dir.Path("out.wbk"), fifo, "--encoding", "gbk"});
  EXPECT_EQ(r.nStatus, EXIT_FAILED);
  EXPECT_NE(r.strErr.find("not a regular file (a FIFO)"), std::string::npos) << r.strErr;
}

// A regular file of the given length that is all zero bytes after head, with
// no disk blocks behind the zeros.
std::string SparseFile(const CScratchDir& dir, const std::string& name, const std::string& head,
                       unsigned long long length) {
  std::string path = dir.Write(name, head);
  EXPECT_EQ(truncate(path.c_str(), static_cast<off_t>(length)), 0) << path;
  return path;
}

// A file of NUL bytes is no text: refused at once, in bounded memory,
// whatever encoding it is said to be in.
TEST(WbkUnusualInput, ALargeFileOfNulBytesIsRefusedAtOnce) {
  CScratchDir dir;
  std::string zeros = SparseFile(dir, "zeros.txt", "", kLargeFile);
  std::string bad = SparseFile(dir, "bad.txt", "\xFF", kLargeFile);
  for (const auto& run :
       {std::vector<std::string>{"import", dir.Path("out.wbk"), zeros},
        std::vector<std::string>{"import", dir.Path("out.wbk"), bad, "--encoding", "utf-8"}}) {
    tagRUN r = RunBounded(dir, run);
    EXPECT_EQ(r.nStatus, EXIT_FAILED) << r.strErr;
    EXPECT_NE(r.strErr.find(": not a text file: line 1 holds a NUL byte"), std::string::npos)
        << r.strErr;
    EXPECT_FALSE(FileExists(dir.Path("out.wbk")));
  }
}

TEST(WbkUnusualInput, CheckOfAFileTooLargeForMemoryFailsCleanly) {
  if (WBK_TEST_ASAN) GTEST_SKIP() << "no address-space limit on a sanitized program";
  CScratchDir dir;
  std::string large = SparseFile(dir, "large.wbk", "", kLargeFile);
  tagRUN r = RunBounded(dir, {"check", large});
  EXPECT_EQ(r.nStatus, EXIT_FAILED) << r.strErr;
  EXPECT_NE(r.strErr.find("large.wbk: too large to be checked in memory"), std::string::npos)
      << r.strErr;
}

#endif

}  // namespace
