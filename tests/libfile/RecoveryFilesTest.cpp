// Recovery files: one per session, written the safe way, and found at the
// next start only when the session that wrote them no longer holds its lock.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "LibfileTestSupport.h"
#include "RecoveryFiles.h"

using namespace tabrix_test;

namespace {

void BuildLibrary(CTabrix& library, const char* name, int nPhrases) {
  ASSERT_EQ(0, library.AddGroup(name, "editor", "remark"));
  char text[16];
  for (int i = 0; i < nPhrases; ++i) {
    std::snprintf(text, sizeof text, "%s%04d", name, i);
    ASSERT_EQ(1, library.AddPhrase(text, 255, uint8_t(i % 251), 1, 0));
  }
}

std::string NameOf(const std::string& path) {
  const size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::vector<std::string> NamesOf(const std::vector<std::unique_ptr<CRecoveryFile>>& files) {
  std::vector<std::string> names;
  for (const auto& file : files) names.push_back(NameOf(file->GetPath()));
  return names;
}

// A session's file, written and left behind as a crash leaves it.
std::string LeaveBehind(const std::string& folder, CTabrix& library) {
  CRecoveryFile file;
  EXPECT_TRUE(file.Create(folder));
  EXPECT_EQ(SAVE_ERROR_NONE, file.Write(library));
  const std::string path = file.GetPath();
  file.Release();
  return path;
}

}  // namespace

// A running session's file is never found by another; once the session is
// gone (its lock let go), the file is found, taken, and loads as written.
TEST(RecoveryFiles, ARunningSessionsFileIsSkippedAndFoundOnceItEnds) {
  CScratchDir dir;
  const std::string folder = dir.Path("Tabrix/Recovery");  // made by Create
  CTabrix library;
  BuildLibrary(library, "live", 20);

  CRecoveryFile running;
  ASSERT_TRUE(running.Create(folder));
  ASSERT_EQ(SAVE_ERROR_NONE, running.Write(library));
  EXPECT_EQ(std::vector<std::string>{}, NamesOf(FindLeftBehind(folder)));
  // Nor can it be taken by name.
  CRecoveryFile other;
  EXPECT_FALSE(other.Take(running.GetPath()));
  const std::string name = NameOf(running.GetPath());
  EXPECT_EQ((std::vector<std::string>{name, name + ".lock"}), dir.Names("Tabrix/Recovery"));

  running.Release();
  std::vector<std::unique_ptr<CRecoveryFile>> found = FindLeftBehind(folder);
  ASSERT_EQ(std::vector<std::string>{name}, NamesOf(found));
  EXPECT_TRUE(found[0]->IsHeld());
  // Taken: a second look, another session starting at once, finds nothing.
  EXPECT_EQ(std::vector<std::string>{}, NamesOf(FindLeftBehind(folder)));
  CTabrix loaded;
  ASSERT_EQ(1, loaded.Load(found[0]->GetPath().c_str()));
  ExpectSameLibrary(library, loaded);

  // Let go again untouched, it is found again.
  found.clear();
  EXPECT_EQ(std::vector<std::string>{name}, NamesOf(FindLeftBehind(folder)));
}

// Several left-behind files, newest first; what has nothing to recover (a
// lock file alone, the temporary file of a write cut short) is cleaned up,
// but only where no running session holds the lock.
TEST(RecoveryFiles, LeftBehindFilesComeNewestFirstAndLeftoversGo) {
  CScratchDir dir;
  const std::string folder = dir.Path("rec");
  CTabrix library;
  BuildLibrary(library, "old", 3);
  const std::string older = LeaveBehind(folder, library);
  const std::string newer = LeaveBehind(folder, library);
  const auto now = std::filesystem::file_time_type::clock::now();
  std::filesystem::last_write_time(older, now - std::chrono::hours(2));
  std::filesystem::last_write_time(newer, now - std::chrono::hours(1));

  // A session that crashed before its first write was whole: its lock file
  // and the temporary file of that write.
  CRecoveryFile cut;
  ASSERT_TRUE(cut.Create(folder));
  const std::string cutName = NameOf(cut.GetPath());
  cut.Release();
  dir.Write("rec/" + cutName + ".~tmpabcdefgh", "half a library");
  // A running session in the middle of a write.
  CRecoveryFile running;
  ASSERT_TRUE(running.Create(folder));
  const std::string runningName = NameOf(running.GetPath());
  dir.Write("rec/" + runningName + ".~tmp12345678", "being written");
  // An orphan's temporary file next to its whole file.
  dir.Write("rec/" + NameOf(older) + ".~tmpzzzzzzzz", "cut short");

  std::vector<std::unique_ptr<CRecoveryFile>> found = FindLeftBehind(folder);
  EXPECT_EQ((std::vector<std::string>{NameOf(newer), NameOf(older)}), NamesOf(found));
  std::vector<std::string> expected{NameOf(older),         NameOf(older) + ".lock",
                                    NameOf(newer),         NameOf(newer) + ".lock",
                                    runningName + ".lock", runningName + ".~tmp12345678"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, dir.Names("rec"));

  // Taken files go with Discard: file and lock.
  for (auto& file : found) file->Discard();
  EXPECT_EQ((std::vector<std::string>{runningName + ".lock", runningName + ".~tmp12345678"}),
            dir.Names("rec"));
}

// A write replaces the file in one step: whichever operation of the second
// write fails, the file still holds the first library whole, and no
// temporary file stays beside it.
TEST(RecoveryFiles, AWriteReplacesTheFileAtomically) {
  SeamGuard guard;
  CScratchDir dir;
  const std::string folder = dir.Path("rec");
  CTabrix first, second;
  BuildLibrary(first, "first", 5);
  BuildLibrary(second, "second", 40);
  CRecoveryFile file;
  ASSERT_TRUE(file.Create(folder));
  const std::vector<std::string> names{NameOf(file.GetPath()), NameOf(file.GetPath()) + ".lock"};

  CFileFaultSeam::FailAt(0);
  ASSERT_EQ(SAVE_ERROR_NONE, file.Write(first));
  CFileFaultSeam::FailAt(0);
  ASSERT_EQ(SAVE_ERROR_NONE, file.Write(second));
  const uint32_t operations = CFileFaultSeam::GetCount();
  ASSERT_GE(operations, 10u);
  // The last operation flushes the folder after the replace: left out.
  for (uint32_t k = 1; k < operations; ++k) {
    CFileFaultSeam::FailAt(0);
    ASSERT_EQ(SAVE_ERROR_NONE, file.Write(first));
    CFileFaultSeam::FailAt(k);
    EXPECT_NE(SAVE_ERROR_NONE, file.Write(second)) << "failing operation " << k;
    CFileFaultSeam::FailAt(0);
    CTabrix loaded;
    ASSERT_EQ(1, loaded.Load(file.GetPath().c_str())) << "failing operation " << k;
    ExpectSameLibrary(first, loaded);
    EXPECT_EQ(names, dir.Names("rec")) << "failing operation " << k;
  }
  ASSERT_EQ(SAVE_ERROR_NONE, file.Write(second));
  CTabrix loaded;
  ASSERT_EQ(1, loaded.Load(file.GetPath().c_str()));
  ExpectSameLibrary(second, loaded);
}

// RemoveFile (after a save) keeps the name and its lock for the next write;
// Discard (at the end) takes both away; a session's names are its own.
TEST(RecoveryFiles, RemoveKeepsTheLockAndDiscardTakesAll) {
  CScratchDir dir;
  const std::string folder = dir.Path("rec");
  CTabrix library;
  BuildLibrary(library, "lib", 4);
  CRecoveryFile file, second;
  ASSERT_TRUE(file.Create(folder));
  ASSERT_TRUE(second.Create(folder));
  EXPECT_NE(file.GetPath(), second.GetPath());
  second.Discard();
  EXPECT_FALSE(second.IsHeld());

  ASSERT_EQ(SAVE_ERROR_NONE, file.Write(library));
  file.RemoveFile();
  const std::string name = NameOf(file.GetPath());
  EXPECT_EQ(std::vector<std::string>{name + ".lock"}, dir.Names("rec"));
  EXPECT_EQ(std::vector<std::string>{}, NamesOf(FindLeftBehind(folder)));
  EXPECT_EQ(std::vector<std::string>{name + ".lock"}, dir.Names("rec"));  // still held

  ASSERT_EQ(SAVE_ERROR_NONE, file.Write(library));
  file.Discard();
  EXPECT_FALSE(file.IsHeld());
  EXPECT_EQ(std::vector<std::string>{}, dir.Names("rec"));
  EXPECT_NE(SAVE_ERROR_NONE, file.Write(library));  // nothing held, nothing written
  EXPECT_EQ(std::vector<std::string>{}, dir.Names("rec"));
}

// A folder that does not exist holds nothing left behind and is not made by
// looking; one that cannot be made refuses the session its file.
TEST(RecoveryFiles, MissingOrImpossibleFolders) {
  CScratchDir dir;
  EXPECT_TRUE(FindLeftBehind(dir.Path("none")).empty());
  EXPECT_EQ(std::vector<std::string>{}, dir.Names());
  dir.Write("plain", "a file where a folder should be");
  CRecoveryFile file;
  EXPECT_FALSE(file.Create(dir.Path("plain/rec")));
  EXPECT_FALSE(file.IsHeld());
}

// The window's library goes on changing while its copy is written on
// another thread: the file holds the copy as it was taken.
TEST(RecoveryFiles, ACopyIsWrittenOnAnotherThreadWhileTheLibraryChanges) {
  CScratchDir dir;
  CTabrix library;
  BuildLibrary(library, "base", 3000);
  CTabrix copy;
  ASSERT_EQ(1, copy.CopyFrom(library));
  CTabrix expected;
  ASSERT_EQ(1, expected.CopyFrom(library));
  CRecoveryFile file;
  ASSERT_TRUE(file.Create(dir.Path("rec")));
  int nResult = -1;
  std::thread writer([&] { nResult = file.Write(copy); });
  const uint32_t positions[] = {0, 10, 2999};
  for (int i = 0; i < 50; ++i) {
    ASSERT_EQ(1, library.SetFrequencyAt(positions, 3, uint32_t(i)));
    ASSERT_EQ(1, library.AddPhrase(("new" + std::to_string(i)).c_str(), 255, 1, 1, 0));
  }
  writer.join();
  ASSERT_EQ(SAVE_ERROR_NONE, nResult);
  CTabrix loaded;
  ASSERT_EQ(1, loaded.Load(file.GetPath().c_str()));
  ExpectSameLibrary(expected, loaded);
  file.Discard();
}
