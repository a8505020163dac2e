// A save in a hostile world: planted temporary names, links, permissions,
// read-only and special targets, rival saves, and system errors that must
// come back with a reason.
#include <gtest/gtest.h>

#include "LibfileTestSupport.h"

#ifdef __linux__
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#ifdef _WIN32
#include <windows.h>
#endif

using namespace tabrix_test;

namespace {

void BuildLibrary(CTabrix& library, const char* name, int nPhrases) {
  ASSERT_EQ(0, library.AddGroup(name, "", ""));
  char text[16];
  for (int i = 0; i < nPhrases; ++i) {
    std::snprintf(text, sizeof text, "%s%05d", name, i);
    ASSERT_EQ(1, library.AddPhrase(text, 255, 1, 1, 0));
  }
}

}  // namespace

// The writer's exclusive creation never opens what is already there: a
// file, a link to a victim, or a dangling link.
TEST(SaveSafety, ExclusiveCreationRefusesEveryExistingName) {
  CScratchDir dir;
  WriteAll(dir.Path("file"), Bytes{1});
  WriteAll(dir.Path("victim"), Bytes{2});
  std::vector<std::string> names{"file"};
#ifdef __linux__
  ASSERT_EQ(0, symlink(dir.Path("victim").c_str(), dir.Path("link").c_str()));
  ASSERT_EQ(0, symlink(dir.Path("nowhere").c_str(), dir.Path("dangling").c_str()));
  names.push_back("link");
  names.push_back("dangling");
#endif
  for (const std::string& name : names) {
    CFileWriter file;
    EXPECT_FALSE(file.CreateNew(dir.Path(name).c_str(), 0600)) << name;
  }
  EXPECT_EQ(Bytes{1}, ReadAll(dir.Path("file")));
  EXPECT_EQ(Bytes{2}, ReadAll(dir.Path("victim")));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("nowhere")));
}

// The old fixed temporary name, taken by a folder: saves go on.
TEST(SaveSafety, AFolderAtTheOldTemporaryNameIsNoObstacle) {
  CScratchDir dir;
  std::filesystem::create_directory(dir.Path("lib.wbk.~tmp"));
  CTabrix library;
  BuildLibrary(library, "a", 10);
  int nError = -1;
  EXPECT_EQ(1, library.Save(dir.Path("lib.wbk").c_str(), &nError));
  EXPECT_EQ(SAVE_ERROR_NONE, nError);
  EXPECT_EQ((std::vector<std::string>{"lib.wbk", "lib.wbk.~tmp"}), dir.Names());
}

TEST(SaveSafety, SystemErrorsComeBackAsReasons) {
  SeamGuard guard;
  CScratchDir dir;
  CTabrix library;
  BuildLibrary(library, "a", 10);
  const std::string target = dir.Path("lib.wbk");
  WriteAll(target, Bytes{9});
  struct {
    int nErrno;
    int nError;
  } cases[] = {{ENOSPC, SAVE_ERROR_NO_SPACE},
               {EACCES, SAVE_ERROR_NO_PERMISSION},
               {EROFS, SAVE_ERROR_READ_ONLY},
               {EIO, SAVE_ERROR_IO}};
  for (const auto& c : cases) {
    for (uint32_t k : {1u, 3u}) {  // creating the temporary, a write
      CFileFaultSeam::FailAt(k, c.nErrno);
      int nError = -1;
      EXPECT_EQ(0, library.Save(target.c_str(), &nError));
      EXPECT_EQ(c.nError, nError) << c.nErrno << " at " << k;
      EXPECT_STRNE("", SaveErrorText(nError));
      EXPECT_EQ(Bytes{9}, ReadAll(target));
    }
  }
}

TEST(SaveSafety, ALibraryTheFileCannotHoldIsRefusedWithAReason) {
  CScratchDir dir;
  CTabrix library;
  BuildLibrary(library, "a", 3);
  library.GetGroup(0)->dwCount = 7;
  int nError = -1;
  EXPECT_EQ(0, library.Save(dir.Path("lib.wbk").c_str(), &nError));
  EXPECT_EQ(SAVE_ERROR_INVALID, nError);
  EXPECT_TRUE(dir.Names().empty());
  EXPECT_EQ(0, library.Save(dir.Path("missing/lib.wbk").c_str(), &nError));
}

#ifdef __linux__
// A save through a symbolic link writes the file the link leads to; the link
// stays a link.
TEST(SaveSafety, ALinkStaysAndItsFileIsSaved) {
  CScratchDir dir;
  std::filesystem::create_directory(dir.Path("real"));
  const std::string real = dir.Path("real/lib.wbk");
  WriteAll(real, Bytes{1, 2, 3});
  ASSERT_EQ(0, symlink("real/lib.wbk", dir.Path("link.wbk").c_str()));
  ASSERT_EQ(0, symlink(dir.Path("link.wbk").c_str(), dir.Path("link2.wbk").c_str()));
  CTabrix library;
  BuildLibrary(library, "a", 20);
  ASSERT_EQ(1, library.Save(dir.Path("link2.wbk").c_str()));
  struct stat st;
  ASSERT_EQ(0, lstat(dir.Path("link.wbk").c_str(), &st));
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(0, lstat(dir.Path("link2.wbk").c_str(), &st));
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  CTabrix loaded;
  ASSERT_EQ(1, loaded.Load(real.c_str()));
  ExpectSameLibrary(library, loaded);
  EXPECT_EQ((std::vector<std::string>{"lib.wbk"}), [&] {
    std::vector<std::string> v;
    for (auto& e : std::filesystem::directory_iterator(dir.Path("real")))
      v.push_back(e.path().filename().string());
    return v;
  }());
}

TEST(SaveSafety, ModeAndOwnerSurvive) {
  CScratchDir dir;
  const std::string target = dir.Path("lib.wbk");
  WriteAll(target, Bytes{1});
  ASSERT_EQ(0, chmod(target.c_str(), 0640));
  const bool bRoot = geteuid() == 0;
  if (bRoot) {
    ASSERT_EQ(0, chown(target.c_str(), 4321, 8765));
  }
  CTabrix library;
  BuildLibrary(library, "a", 5);
  ASSERT_EQ(1, library.Save(target.c_str()));
  struct stat st;
  ASSERT_EQ(0, stat(target.c_str(), &st));
  EXPECT_EQ(0640u, st.st_mode & 07777);
  if (bRoot) {
    EXPECT_EQ(4321u, st.st_uid);
    EXPECT_EQ(8765u, st.st_gid);
  }
  // A new file gets the usual permissions through the umask.
  const mode_t nMask = umask(022);
  ASSERT_EQ(1, library.Save(dir.Path("new.wbk").c_str()));
  umask(nMask);
  ASSERT_EQ(0, stat(dir.Path("new.wbk").c_str(), &st));
  EXPECT_EQ(0644u, st.st_mode & 07777);
}

struct tagREFUSALCASE {
  const char* pszName;
  int nError;
  // Makes the target in dir; returns its path.
  std::string (*pfnMake)(const CScratchDir& dir);
};

class SaveRefusals : public ::testing::TestWithParam<tagREFUSALCASE> {};

// What a save must not replace is refused with its reason and left as it
// was, and no temporary file stays behind.
TEST_P(SaveRefusals, LeaveTheTargetAsItWas) {
  CScratchDir dir;
  const std::string target = GetParam().pfnMake(dir);
  struct stat before;
  ASSERT_EQ(0, lstat(target.c_str(), &before));
  const std::vector<std::string> listed = dir.Names();
  CTabrix library;
  BuildLibrary(library, "a", 5);
  int nError = -1;
  EXPECT_EQ(0, library.Save(target.c_str(), &nError));
  EXPECT_EQ(GetParam().nError, nError) << SaveErrorText(nError);
  struct stat after;
  ASSERT_EQ(0, lstat(target.c_str(), &after));
  EXPECT_EQ(before.st_ino, after.st_ino);
  EXPECT_EQ(before.st_mode, after.st_mode);
  EXPECT_EQ(before.st_size, after.st_size);
  EXPECT_EQ(listed, dir.Names());
}

INSTANTIATE_TEST_SUITE_P(
    Table, SaveRefusals,
    ::testing::Values(tagREFUSALCASE{"readOnly", SAVE_ERROR_READ_ONLY,
                                     [](const CScratchDir& d) {
                                       WriteAll(d.Path("lib.wbk"), Bytes{1});
                                       chmod(d.Path("lib.wbk").c_str(), 0444);
                                       return d.Path("lib.wbk");
                                     }},
                      tagREFUSALCASE{"fifo", SAVE_ERROR_NOT_REGULAR,
                                     [](const CScratchDir& d) {
                                       mkfifo(d.Path("pipe").c_str(), 0600);
                                       return d.Path("pipe");
                                     }},
                      tagREFUSALCASE{"linkToDevNull", SAVE_ERROR_NOT_REGULAR,
                                     [](const CScratchDir& d) {
                                       (void)symlink("/dev/null", d.Path("null.wbk").c_str());
                                       return d.Path("null.wbk");
                                     }},
                      tagREFUSALCASE{"folder", SAVE_ERROR_NOT_REGULAR,
                                     [](const CScratchDir& d) {
                                       std::filesystem::create_directory(d.Path("sub"));
                                       return d.Path("sub");
                                     }},
                      tagREFUSALCASE{"hardLinked", SAVE_ERROR_HARD_LINKS,
                                     [](const CScratchDir& d) {
                                       WriteAll(d.Path("lib.wbk"), Bytes{1, 2});
                                       (void)link(d.Path("lib.wbk").c_str(),
                                                  d.Path("other.wbk").c_str());
                                       return d.Path("lib.wbk");
                                     }}),
    [](const ::testing::TestParamInfo<tagREFUSALCASE>& info) { return info.param.pszName; });

// Rival saves to one target, each process saving its own library again and
// again: every save that returns leaves a whole library, always one of the
// rivals', and no temporary file is left.
TEST(SaveSafety, RivalSavesLeaveOneWholeLibrary) {
  CScratchDir dir;
  const std::string target = dir.Path("lib.wbk");
  const int kProcesses = 8;
  const int kSaves = 50;  // 400 saves in all
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      CTabrix library;
      const std::string name(1, char('a' + p));
      if (library.AddGroup(name.c_str(), "", "") != 0) _exit(2);
      char text[16];
      for (int i = 0; i < 2000 + 300 * p; ++i) {
        std::snprintf(text, sizeof text, "%c%05d", 'a' + p, i);
        library.AddPhrase(text, 255, 1, 1, 0);
      }
      int nFailed = 0;
      for (int s = 0; s < kSaves; ++s) {
        if (library.Save(target.c_str()) != 1) ++nFailed;
        CTabrix check;
        tagLOADREPORT report;
        if (check.Load(target.c_str(), &report) != 1) ++nFailed;
      }
      _exit(nFailed == 0 ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(pid, waitpid(pid, &status, 0));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a save or a load failed";
  }
  CTabrix loaded;
  ASSERT_EQ(1, loaded.Load(target.c_str()));
  ASSERT_EQ(1u, loaded.GetGroupCount());
  const int p = loaded.GetGroup(0)->szName[0] - 'a';
  EXPECT_EQ(uint32_t(2000 + 300 * p), loaded.m_arrPhrase.GetCount());
  EXPECT_EQ(std::vector<std::string>{"lib.wbk"}, dir.Names());
}
#endif

#ifdef _WIN32
// ReplaceFile keeps what the user set on the old file.
TEST(SaveSafety, TheOldFilesAttributesSurvive) {
  CScratchDir dir;
  const std::string target = dir.Path("lib.wbk");
  WriteAll(target, Bytes{1});
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_HIDDEN));
  CTabrix library;
  BuildLibrary(library, "a", 30);
  int nError = -1;
  ASSERT_EQ(1, library.Save(target.c_str(), &nError)) << SaveErrorText(nError);
  const DWORD nAttributes = GetFileAttributesA(target.c_str());
  EXPECT_TRUE(nAttributes & FILE_ATTRIBUTE_HIDDEN) << nAttributes;
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  CTabrix loaded;
  ASSERT_EQ(1, loaded.Load(target.c_str()));
  ExpectSameLibrary(library, loaded);
  EXPECT_EQ(std::vector<std::string>{"lib.wbk"}, dir.Names());
}

TEST(SaveSafety, ReadOnlyAndHardLinkedFilesAreRefused) {
  CScratchDir dir;
  CTabrix library;
  BuildLibrary(library, "a", 3);
  const std::string readOnly = dir.Path("ro.wbk");
  WriteAll(readOnly, Bytes{1});
  ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  int nError = -1;
  EXPECT_EQ(0, library.Save(readOnly.c_str(), &nError));
  EXPECT_EQ(SAVE_ERROR_READ_ONLY, nError);
  SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(Bytes{1}, ReadAll(readOnly));

  const std::string linked = dir.Path("linked.wbk");
  WriteAll(linked, Bytes{2});
  if (CreateHardLinkA(dir.Path("other.wbk").c_str(), linked.c_str(), nullptr)) {
    EXPECT_EQ(0, library.Save(linked.c_str(), &nError));
    EXPECT_EQ(SAVE_ERROR_HARD_LINKS, nError);
    EXPECT_EQ(Bytes{2}, ReadAll(linked));
  }
  EXPECT_EQ(0, library.Save(dir.Dir().c_str(), &nError));
  EXPECT_EQ(SAVE_ERROR_NOT_REGULAR, nError);
}
#endif
