// An import made through the edit history is one step: undo gives back the
// library it started from, byte for byte, and redo the library it made,
// the group's name, editor and remark from the file's header included.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DictImport.h"
#include "EditHistory.h"
#include "FileIO.h"
#include "PhraseImport.h"
#include "ScratchDir.h"
#include "Tabrix.h"

namespace {

typedef std::vector<char> Bytes;

Bytes BodyBytes(CTabrix& lib, const std::string& path) {
  {
    CFileWriter file;
    EXPECT_TRUE(file.Open(path.c_str()));
    EXPECT_EQ(1, lib.WriteBody(file));
    EXPECT_TRUE(file.Close());
  }
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A library of two groups whose phrases some lists repeat.
void StartLibrary(CTabrix& lib) {
  ASSERT_EQ(0, lib.AddGroup("one", "", ""));
  ASSERT_EQ(1, lib.AddGroup("two", "me", "x"));
  const char* const texts[] = {"\xB0\xA1\xB0\xA1", "ab", "zz", "\xC4\xE3\xBA\xC3"};
  for (int i = 0; i < 4; ++i) ASSERT_NE(0, lib.AddPhrase(texts[i], 255, uint8_t(i), 1, i % 2));
}

struct tagIMPORTCASE {
  const char* pszName;
  const char* pszFile;
  std::string strText;
  bool bNewGroup;
};

int RunImport(CTabrix& lib, const tagIMPORTCASE& c, const std::string& path,
              const tagIMPORTOPTIONS& opt) {
  uint8_t group = 1;
  tagIMPORTSTATS stats = {};
  const int nFormat = DetectDictFormat(path.c_str());
  if (nFormat != DICT_FORMAT_TEXT) {
    tagREADFAULT fault = {};
    return ImportDictionary(lib, path.c_str(), nFormat, opt, c.bNewGroup, &group, &stats, &fault);
  }
  return c.bNewGroup ? ImportNewGroup(lib, path.c_str(), opt, &group, &stats)
                     : ImportToGroup(lib, group, path.c_str(), opt, &stats);
}

}  // namespace

TEST(ImportUndo, EachImportIsOneStepUndoneAndRedoneByteForByte) {
  std::string many;
  for (int i = 0; i < 3000; ++i) many += "w" + std::to_string(i * 7919 % 3001) + " 5\n";
  const tagIMPORTCASE cases[] = {
      {"a list as a new group, its header naming it", "list.txt",
       "@\xC3\xFB\xB3\xC6=named\n@\xB1\xE0\xBC\xAD=editor\nab 3\nnew 4\n\xB0\xA1 9\n", true},
      {"a list as a new group, its header ticking it", "ticked.txt",
       "@\xC6\xF4\xD3\xC3=1\nfresh 2\n", true},
      {"a list into a group", "into.txt", "zz 1\nfresh 2\nfresher 3\n", false},
      {"a long list into a group", "many.txt", many, false},
      {"a Rime dictionary as a new group", "d.dict.yaml",
       "---\nname: d\nversion: \"1\"\n...\n\xE4\xBD\xA0\xE5\xA5\xBD\tni hao\t5\nab\ta b\t3\n"
       "xy\tx y\t4\n",
       true},
  };
  CScratchDir dir;
  const std::string file = dir.Path("body.bin");
  for (const tagIMPORTCASE& c : cases) {
    SCOPED_TRACE(c.pszName);
    const std::string path = dir.Write(c.pszFile, c.strText);
    CTabrix lib;
    StartLibrary(lib);
    CEditHistory history;
    const Bytes before = BodyBytes(lib, file);
    tagIMPORTOPTIONS opt = DefaultImportOptions();
    opt.pHistory = &history;
    ASSERT_EQ(IMPORT_OK, RunImport(lib, c, path, opt));
    const Bytes after = BodyBytes(lib, file);
    ASSERT_NE(before, after);
    // The same import without a history makes the same library.
    {
      CTabrix plain;
      StartLibrary(plain);
      ASSERT_EQ(IMPORT_OK, RunImport(plain, c, path, DefaultImportOptions()));
      EXPECT_EQ(after, BodyBytes(plain, file));
    }
    EXPECT_EQ(1u, history.GetUndoCount());
    EXPECT_TRUE(history.IsModified());
    ASSERT_EQ(1, history.Undo(lib));
    EXPECT_EQ(before, BodyBytes(lib, file));
    EXPECT_FALSE(history.IsModified());
    ASSERT_EQ(1, history.Redo(lib));
    EXPECT_EQ(after, BodyBytes(lib, file));
    ASSERT_EQ(1, history.Undo(lib));
    EXPECT_EQ(before, BodyBytes(lib, file));
  }
}

TEST(ImportUndo, AnImportThatMakesNoGroupLeavesNoStep) {
  CScratchDir dir;
  const std::string path = dir.Write("list.txt", "ab 1\n");
  CTabrix lib;
  for (int i = 0; i < 127; ++i)
    ASSERT_EQ(i, lib.AddGroup(("g" + std::to_string(i)).c_str(), "", ""));
  CEditHistory history;
  tagIMPORTOPTIONS opt = DefaultImportOptions();
  opt.pHistory = &history;
  uint8_t group = 0;
  EXPECT_EQ(IMPORT_GROUP_FAILED, ImportNewGroup(lib, path.c_str(), opt, &group, nullptr));
  EXPECT_EQ(0u, history.GetUndoCount());
  EXPECT_FALSE(history.IsModified());
}

// An import that adds nothing takes back what it began (the new group) and
// leaves no step: nothing to undo, the library not modified.
TEST(ImportUndo, AnImportThatAddsNothingLeavesNoStepAndNoMark) {
  const tagIMPORTCASE cases[] = {
      {"a list of phrases already present, as a new group", "again.txt",
       "@\xC3\xFB\xB3\xC6=named\nab 3\nzz 4\n", true},
      {"a list of phrases already present, into a group", "again.txt", "ab 3\n", false},
      {"a Rime dictionary of phrases already present", "d.dict.yaml",
       "---\nname: d\nversion: \"1\"\n...\nab\ta b\t3\n", true},
      {"a Rime dictionary of no entries", "e.dict.yaml", "---\nname: e\n...\n", true},
  };
  CScratchDir dir;
  const std::string file = dir.Path("body.bin");
  for (const tagIMPORTCASE& c : cases) {
    SCOPED_TRACE(c.pszName);
    const std::string path = dir.Write(c.pszFile, c.strText);
    CTabrix lib;
    StartLibrary(lib);
    CEditHistory history;
    ASSERT_EQ(1, history.SetGroupEnable(lib, 0, 1));
    history.MarkSaved();
    const Bytes before = BodyBytes(lib, file);
    tagIMPORTOPTIONS opt = DefaultImportOptions();
    opt.pHistory = &history;
    EXPECT_EQ(IMPORT_NOTHING_ADDED, RunImport(lib, c, path, opt));
    EXPECT_EQ(before, BodyBytes(lib, file));
    EXPECT_EQ(2u, lib.GetGroupCount());
    EXPECT_EQ(1u, history.GetUndoCount());
    EXPECT_FALSE(history.IsModified());
    // Without a history the group goes all the same.
    CTabrix plain;
    StartLibrary(plain);
    plain.GetGroup(0)->bEnable = 1;
    EXPECT_EQ(IMPORT_NOTHING_ADDED, RunImport(plain, c, path, DefaultImportOptions()));
    EXPECT_EQ(before, BodyBytes(plain, file));
  }
}
