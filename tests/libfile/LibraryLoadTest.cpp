#include <gtest/gtest.h>

#include "LibfileTestSupport.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <sys/types.h>
#include <unistd.h>
#endif

using namespace tabrix_test;

namespace {

// Loads bytes through a file into a library that held something before, so a
// refused load must visibly empty it.
int LoadBytes(const Bytes& bytes, CTabrix& library, tagLOADREPORT* pReport = nullptr) {
  CScratchDir dir;
  const std::string path = dir.Path("in.wbk");
  WriteAll(path, bytes);
  if (library.GetGroupCount() == 0) BuildReferenceLibrary(library);
  return library.Load(path.c_str(), pReport);
}

// Cuts the file at path to its first length bytes, in place.
bool CutFile(const std::string& path, size_t length) {
#ifdef _WIN32
  const int fd = _open(path.c_str(), _O_WRONLY | _O_BINARY);
  if (fd < 0) return false;
  const bool cut = _chsize(fd, static_cast<long>(length)) == 0;
  return _close(fd) == 0 && cut;
#else
  return truncate(path.c_str(), static_cast<off_t>(length)) == 0;
#endif
}

// Loads every prefix of whole, from the whole file down to nothing, through
// one scratch file cut shorter each time, into a library that held something
// before; check(length, result, library) judges each.
template <class Check>
void LoadEveryCut(const Bytes& whole, Check check) {
  CScratchDir dir;
  const std::string path = dir.Path("cut.wbk");
  WriteAll(path, whole);
  for (size_t length = whole.size() + 1; length-- > 0;) {
    ASSERT_TRUE(CutFile(path, length)) << "length " << length;
    CTabrix library;
    BuildReferenceLibrary(library);
    check(length, library.Load(path.c_str()), library);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

}  // namespace

TEST(LibraryLoad, HeaderOnlyIsAnEmptyLibrary) {
  CTabrix library;
  EXPECT_EQ(1, LoadBytes(CFileBuilder().Header().Get(), library));
  ExpectEmpty(library);
}

TEST(LibraryLoad, RefusedHeaderLeavesTheLibraryEmpty) {
  for (const Bytes& bytes :
       {CFileBuilder().Header(2005, 2, 0x5A4B).Byte(0).U32(0).Get(),
        CFileBuilder().Header(2005, 2, 0x584B, 0x4C44).Byte(0).U32(0).Get(),
        CFileBuilder().Header(2006, 1).Byte(0).U32(0).Get(), Bytes{0x4B, 0x58}}) {
    CTabrix library;
    EXPECT_EQ(0, LoadBytes(bytes, library));
    ExpectEmpty(library);
  }
}

TEST(LibraryLoad, MissingFileLeavesTheLibraryEmpty) {
  CScratchDir dir;
  CTabrix library;
  BuildReferenceLibrary(library);
  EXPECT_EQ(0, library.Load(dir.Path("none.wbk").c_str()));
  ExpectEmpty(library);
  EXPECT_EQ(0, library.Load(dir.Dir().c_str()));  // a folder
  ExpectEmpty(library);
}

// Every prefix of a saved file: refused, except the bare header and the
// whole file (a file cut inside its index is damaged too).
TEST(LibraryLoad, EveryTruncationOfTheReferenceFile) {
  CScratchDir dir;
  const std::string path = dir.Path("ref.wbk");
  CTabrix reference;
  BuildReferenceLibrary(reference);
  ASSERT_EQ(1, reference.Save(path.c_str()));
  const Bytes whole = ReadAll(path);
  const size_t indexStart = 12 + 1 + 308 + 4 + 8;
  ASSERT_EQ(indexStart + 8, whole.size());

  LoadEveryCut(whole, [&](size_t length, int result, CTabrix& library) {
    const bool loads = length == 12 || length == whole.size();
    ASSERT_EQ(loads ? 1 : 0, result) << "length " << length;
    if (length == 12 || !loads) {
      ExpectEmpty(library);
    } else {
      ExpectSameLibrary(reference, library);
    }
  });
}

// Groups without phrases announce no records: a file cut after its group
// table loses nothing, a file cut inside it is refused.
TEST(LibraryLoad, EveryTruncationOfAFileWithoutPhrases) {
  CScratchDir dir;
  const std::string path = dir.Path("groups.wbk");
  CTabrix reference;
  ASSERT_EQ(0, reference.AddGroup("one", "ed", "re"));
  ASSERT_EQ(1, reference.AddGroup("two", "", ""));
  ASSERT_EQ(1, reference.Save(path.c_str()));
  const Bytes whole = ReadAll(path);
  const size_t tableEnd = 12 + 1 + 2 * 308;
  ASSERT_EQ(tableEnd + 4, whole.size());

  LoadEveryCut(whole, [&](size_t length, int result, CTabrix& library) {
    const bool loads = length == 12 || length >= tableEnd;
    ASSERT_EQ(loads ? 1 : 0, result) << "length " << length;
    if (length >= tableEnd) {
      ExpectSameLibrary(reference, library);
    } else {
      ExpectEmpty(library);
    }
  });
}

TEST(LibraryLoad, MessyRecordsGiveASortedDuplicateFreeStore) {
  const std::string tooLong(31, 'x');
  const std::string huge(255, '\xB0');
  const Bytes bytes = CFileBuilder()
                          .Header()
                          .Byte(2)
                          .Group("A", 5)
                          .Group("B", 4)
                          .Section({{0, 1, "c"},
                                    {1, 2, "a"},
                                    {0, 3, "b"},
                                    {0, 4, "a"},  // duplicate text in another group
                                    {1, 5, tooLong},
                                    {0, 6, huge},  // length byte 255: read past, dropped
                                    {1, 7, "d"},
                                    {5, 8, "e"},   // names no group
                                    {2, 9, "f"}})  // names no group
                          .Get();
  CTabrix library;
  tagLOADREPORT report;
  ASSERT_EQ(1, LoadBytes(bytes, library, &report));
  EXPECT_EQ(LOAD_WHOLE, report.nStatus);
  EXPECT_EQ(9u, report.nAnnounced);
  EXPECT_EQ(9u, report.nRead);
  EXPECT_EQ(4u, report.nKept);
  EXPECT_EQ(1u, report.nDropDuplicate);
  EXPECT_EQ(2u, report.nDropBadLength);
  EXPECT_EQ(2u, report.nDropNoGroup);
  EXPECT_EQ((std::vector<std::string>{"1/2/a", "0/3/b", "0/1/c", "1/7/d"}),
            DescribePhrases(library));
  EXPECT_EQ(2u, library.GetGroup(0)->dwCount);
  EXPECT_EQ(2u, library.GetGroup(1)->dwCount);
  EXPECT_EQ(4u, library.GetPhraseTotal());
}

TEST(LibraryLoad, AnOverlongRecordCutShortIsRefused) {
  const Bytes bytes = CFileBuilder()
                          .Header()
                          .Byte(1)
                          .Group("A", 1)
                          .U32(0)
                          .Byte(0)
                          .Byte(0)
                          .Byte(255)
                          .Raw(std::string(254, 'x').data(), 254)
                          .Get();
  CTabrix library;
  EXPECT_EQ(0, LoadBytes(bytes, library));
  ExpectEmpty(library);
}

TEST(LibraryLoad, MoreAnnouncedThanPresentIsRefused) {
  CTabrix library;
  EXPECT_EQ(0, LoadBytes(CFileBuilder()
                             .Header()
                             .Byte(1)
                             .Group("A", 3)
                             .U32(8)
                             .Phrase(0, 0, "a")
                             .Phrase(0, 0, "b")
                             .Get(),
                         library));
  ExpectEmpty(library);
}

// Counts that would add up to 2 in 32 bits announce 2^32 + 2 records.
TEST(LibraryLoad, CountsDoNotWrapAround) {
  CTabrix library;
  EXPECT_EQ(0, LoadBytes(CFileBuilder()
                             .Header()
                             .Byte(2)
                             .Group("A", 0xFFFFFFFFu)
                             .Group("B", 3)
                             .U32(8)
                             .Phrase(0, 0, "a")
                             .Phrase(1, 0, "b")
                             .U32(0)
                             .U32(4)
                             .Get(),
                         library));
  ExpectEmpty(library);
}

TEST(LibraryLoad, GroupTableBeyondTheAddGroupLimitIsKept) {
  CFileBuilder builder;
  builder.Header().Byte(255);
  for (int i = 0; i < 255; ++i) builder.Group("g" + std::to_string(i), i == 254 ? 1 : 0, i % 2);
  builder.U32(4).Phrase(254, 9, "z").U32(0);

  CScratchDir dir;
  const std::string path = dir.Path("many.wbk");
  WriteAll(path, builder.Get());
  CTabrix library;
  ASSERT_EQ(1, library.Load(path.c_str()));
  ASSERT_EQ(255u, library.GetGroupCount());
  EXPECT_EQ((std::vector<std::string>{"254/9/z"}), DescribePhrases(library));
  EXPECT_EQ(255, library.AddGroup("more", "", ""));
  EXPECT_EQ(255u, library.GetGroupCount());

  const std::string again = dir.Path("again.wbk");
  ASSERT_EQ(1, library.Save(again.c_str()));
  Bytes saved = ReadAll(again);
  Bytes original = builder.Get();
  ASSERT_EQ(original.size(), saved.size());
  std::fill(saved.begin() + 8, saved.begin() + 12, 0);
  std::fill(original.begin() + 8, original.begin() + 12, 0);
  EXPECT_EQ(original, saved);
}

// Text fields written elsewhere may fill their width with no NUL, or carry
// bytes after the NUL; both are kept as they are.
TEST(LibraryLoad, GroupFieldsAreKeptByteForByte) {
  const std::string name(50, '\xB0');
  const std::string editor = std::string("ed\0junk", 7) + std::string(43, 'e');
  const std::string remark(200, 'r');
  const Bytes bytes = CFileBuilder()
                          .Header()
                          .Byte(1)
                          .Group(name, 1, 7, editor, remark)
                          .U32(4)
                          .Phrase(0, 0, "a")
                          .U32(0)
                          .Get();
  CTabrix library;
  ASSERT_EQ(1, LoadBytes(bytes, library));
  ASSERT_EQ(1u, library.GetGroupCount());
  const tagGROUPINFO* group = library.GetGroup(0);
  EXPECT_EQ(0, memcmp(group->szName, name.data(), 50));
  EXPECT_EQ(0, memcmp(group->szEditor, editor.data(), 50));
  EXPECT_EQ(0, memcmp(group->szRemark, remark.data(), 200));
  EXPECT_EQ(50u, FieldTextLength(group->szName, sizeof(group->szName)));
  EXPECT_EQ(1u, group->dwCount);
  EXPECT_EQ(7, group->bEnable);

  CScratchDir dir;
  const std::string path = dir.Path("again.wbk");
  ASSERT_EQ(1, library.Save(path.c_str()));
  Bytes saved = ReadAll(path);
  Bytes original = bytes;
  std::fill(saved.begin() + 8, saved.begin() + 12, 0);
  std::fill(original.begin() + 8, original.begin() + 12, 0);
  EXPECT_EQ(original, saved);
}

TEST(LibraryLoad, ReportsProgressPerRecord) {
  const Bytes bytes = CFileBuilder()
                          .Header()
                          .Byte(1)
                          .Group("A", 3)
                          .Section({{0, 0, "b"},
                                    {0, 0, "b"},  // dropped, but still a step
                                    {0, 0, "a"}})
                          .Get();
  CTabrix library;
  CProgressLog log;
  log.Attach(library);
  ASSERT_EQ(1, LoadBytes(bytes, library));
  EXPECT_EQ(CProgressLog::Expected(3, 3), log.calls);
  EXPECT_EQ(2u, library.GetPhraseTotal());
}

TEST(LibraryLoad, RefusedBodyStillEndsTheProgress) {
  const Bytes bytes = CFileBuilder().Header().Byte(1).Group("A", 3).U32(12).Phrase(0, 0, "b").Get();
  CTabrix library;
  CProgressLog log;
  log.Attach(library);
  ASSERT_EQ(0, LoadBytes(bytes, library));
  EXPECT_EQ(CProgressLog::Expected(3, 1), log.calls);
  ExpectEmpty(library);
  EXPECT_EQ(&CProgressLog::Callback, library.m_funProgress);  // the callback stays
}
