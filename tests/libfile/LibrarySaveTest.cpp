#include <gtest/gtest.h>

#include "LibfileTestSupport.h"

#ifdef __linux__
#include <sys/stat.h>

#include <cstdio>
#endif

using namespace tabrix_test;

namespace {

void BuildSmallLibrary(CTabrix& library) {
  ASSERT_EQ(0, library.AddGroup("first", "me", "some remark"));
  ASSERT_EQ(1, library.AddGroup("second", "", ""));
  const char* texts[] = {"\xB0\xA1\xB0\xA2", "dog", "cat", "\xC4\xE3\xBA\xC3", ""};
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(library.AddPhrase(texts[i], 255, uint8_t(i), 1, i % 2));
}

// Low-level operations of one successful save of library.
uint32_t CountSaveOperations(CTabrix& library, const CScratchDir& dir) {
  CFileFaultSeam::FailAt(0);
  EXPECT_EQ(1, library.Save(dir.Path("count.wbk").c_str()));
  const uint32_t count = CFileFaultSeam::GetCount();
  std::filesystem::remove(dir.Path("count.wbk"));
  return count;
}

}  // namespace

// Fails each low-level operation of a save in turn (open, every write, the
// size patch, flush, close, the final replace): the save reports failure,
// the previous file stays byte for byte, and no temporary file remains.
TEST(LibrarySave, AnyFailedOperationKeepsThePreviousFile) {
  SeamGuard guard;
  CScratchDir dir;
  CTabrix library;
  BuildSmallLibrary(library);
  const uint32_t operations = CountSaveOperations(library, dir);
  ASSERT_GE(operations, 12u);

  const std::string target = dir.Path("lib.wbk");
  const Bytes previous = {'o', 'l', 'd', ' ', 'f', 'i', 'l', 'e'};
  for (uint32_t k = 1; k <= operations; ++k) {
    WriteAll(target, previous);
    CProgressLog log;
    log.Attach(library);
    CFileFaultSeam::FailAt(k);
    EXPECT_EQ(0, library.Save(target.c_str())) << "failing operation " << k;
    CFileFaultSeam::FailAt(0);
    if (k == operations) {
      // The last step flushes the folder after the replace: the new file is
      // in place, but the save cannot promise it survives a power cut.
      CTabrix loaded;
      EXPECT_EQ(1, loaded.Load(target.c_str()));
      ExpectSameLibrary(library, loaded);
    } else {
      EXPECT_EQ(previous, ReadAll(target)) << "failing operation " << k;
    }
    EXPECT_EQ(std::vector<std::string>{"lib.wbk"}, dir.Names()) << "failing operation " << k;
    if (!log.calls.empty()) {
      EXPECT_EQ(2, log.calls.back().first) << "progress left open";
    }
    library.m_funProgress = nullptr;  // the log ends with this round
  }

  CFileFaultSeam::FailAt(operations + 1);
  ASSERT_EQ(1, library.Save(target.c_str()));
  CTabrix loaded;
  ASSERT_EQ(1, loaded.Load(target.c_str()));
  ExpectSameLibrary(library, loaded);
  EXPECT_EQ(std::vector<std::string>{"lib.wbk"}, dir.Names());
}

TEST(LibrarySave, AnyFailedOperationCreatesNothing) {
  SeamGuard guard;
  CScratchDir dir;
  CTabrix library;
  BuildSmallLibrary(library);
  const uint32_t operations = CountSaveOperations(library, dir);
  // The last step flushes the folder after the replace (see above).
  for (uint32_t k = 1; k < operations; ++k) {
    CFileFaultSeam::FailAt(k);
    EXPECT_EQ(0, library.Save(dir.Path("new.wbk").c_str())) << "failing operation " << k;
    EXPECT_TRUE(dir.Names().empty()) << "failing operation " << k;
  }
}

TEST(LibrarySave, MissingFolderFails) {
  CScratchDir dir;
  CTabrix library;
  BuildSmallLibrary(library);
  EXPECT_EQ(0, library.Save(dir.Path("missing/lib.wbk").c_str()));
  EXPECT_TRUE(dir.Names().empty());
  EXPECT_EQ(0, library.Save(""));
  EXPECT_EQ(0, library.Save(nullptr));
}

TEST(LibrarySave, AFolderInTheWayIsNotReplaced) {
  CScratchDir dir;
  std::filesystem::create_directory(dir.Path("lib.wbk"));
  WriteAll(dir.Path("lib.wbk/inside.txt"), Bytes{1, 2, 3});
  CTabrix library;
  BuildSmallLibrary(library);
  EXPECT_EQ(0, library.Save(dir.Path("lib.wbk").c_str()));
  EXPECT_EQ(std::vector<std::string>{"lib.wbk"}, dir.Names());
  EXPECT_EQ((Bytes{1, 2, 3}), ReadAll(dir.Path("lib.wbk/inside.txt")));
}

TEST(LibrarySave, ReplacesALongerFileWhole) {
  CScratchDir dir;
  const std::string target = dir.Path("lib.wbk");
  WriteAll(target, Bytes(5000, 0xEE));
  CTabrix library;
  BuildReferenceLibrary(library);
  ASSERT_EQ(1, library.Save(target.c_str()));
  EXPECT_EQ(341u, ReadAll(target).size());
  EXPECT_EQ(std::vector<std::string>{"lib.wbk"}, dir.Names());
}

TEST(LibrarySave, LeavesTheLibraryAsItWas) {
  CScratchDir dir;
  CTabrix library;
  BuildSmallLibrary(library);
  CTabrix copy;
  BuildSmallLibrary(copy);
  ASSERT_EQ(1, library.Save(dir.Path("lib.wbk").c_str()));
  ExpectSameLibrary(copy, library);
}

// Only a table filled by hand can outgrow the file's one-byte group count;
// such a table is refused rather than written with a wrong count.
TEST(LibrarySave, MoreGroupsThanTheFileCanCountFails) {
  CScratchDir dir;
  CTabrix library;
  tagGROUPINFO group;
  memset(&group, 0, sizeof(group));
  for (int i = 0; i < 256; ++i) ASSERT_GE(library.m_arrGroup.Add(group), 0);
  const std::string target = dir.Path("lib.wbk");
  WriteAll(target, Bytes{7});
  EXPECT_EQ(0, library.Save(target.c_str()));
  EXPECT_EQ(Bytes{7}, ReadAll(target));
  EXPECT_EQ(std::vector<std::string>{"lib.wbk"}, dir.Names());
}

// The file's phrase count is the sum of the group counts; a library whose
// counts disagree with its store is refused rather than saved unreadable.
TEST(LibrarySave, GroupCountsThatDisagreeWithTheStoreFail) {
  CScratchDir dir;
  const std::string target = dir.Path("lib.wbk");
  WriteAll(target, Bytes{7});
  for (uint32_t wrong : {0u, 3u, 0xFFFFFFFFu}) {
    CTabrix library;
    BuildReferenceLibrary(library);
    library.GetGroup(0)->dwCount = wrong;
    EXPECT_EQ(0, library.Save(target.c_str())) << wrong;
    EXPECT_EQ(Bytes{7}, ReadAll(target));
    EXPECT_EQ(std::vector<std::string>{"lib.wbk"}, dir.Names());
  }
}

TEST(LibrarySave, ReportsProgressPerPhrase) {
  CScratchDir dir;
  CTabrix library;
  BuildSmallLibrary(library);
  CProgressLog log;
  log.Attach(library);
  ASSERT_EQ(1, library.Save(dir.Path("lib.wbk").c_str()));
  EXPECT_EQ(CProgressLog::Expected(5, 5), log.calls);

  CTabrix empty;
  CProgressLog emptyLog;
  emptyLog.Attach(empty);
  ASSERT_EQ(1, empty.Save(dir.Path("empty.wbk").c_str()));
  EXPECT_EQ(CProgressLog::Expected(0, 0), emptyLog.calls);
}
