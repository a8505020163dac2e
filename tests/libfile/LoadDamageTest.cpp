// A load checks the file against its own bookkeeping: a damaged file never
// loads as whole, and with a report the caller learns what was damaged and
// keeps what could be recovered. Files in any order load to the same store
// as adding their records one by one.
#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <set>

#include "LibfileTestSupport.h"

#ifdef __linux__
#include <sys/stat.h>
#endif

using namespace tabrix_test;

namespace {

// A library of n distinct texts in one group, saved; returns the file bytes.
Bytes SavedLibrary(const CScratchDir& dir, uint32_t n, CTabrix& library) {
  EXPECT_EQ(0, library.AddGroup("g", "", ""));
  char text[16];
  for (uint32_t i = 0; i < n; ++i) {
    std::snprintf(text, sizeof text, "w%06u", i * 7919 % 1000003);
    EXPECT_EQ(1, library.AddPhrase(text, 255, uint8_t(i % 251), 1, 0));
  }
  const std::string path = dir.Path("saved.wbk");
  EXPECT_EQ(1, library.Save(path.c_str()));
  return ReadAll(path);
}

int LoadFile(const CScratchDir& dir, const Bytes& bytes, CTabrix& library, tagLOADREPORT* pReport) {
  const std::string path = dir.Path("in.wbk");
  WriteAll(path, bytes);
  return library.Load(path.c_str(), pReport);
}

std::set<std::string> Texts(CTabrix& library) {
  std::set<std::string> texts;
  for (uint32_t i = 0; i < library.m_arrPhrase.GetCount(); ++i)
    texts.insert(PhraseText(*library.m_arrPhrase.GetAt(i)));
  return texts;
}

const size_t kSection = 12 + 1 + 308 + 4;  // first record of a one-group file

}  // namespace

// One changed length byte in a file of a thousand phrases: never whole;
// with a report every other phrase is recovered through the index, and
// none of them is garbage.
TEST(LoadDamage, OneChangedLengthByteIsDamageAndTheRestIsRecovered) {
  CScratchDir dir;
  CTabrix original;
  Bytes bytes = SavedLibrary(dir, 1000, original);
  const std::set<std::string> genuine = Texts(original);
  const size_t nRecord = kSection + 500 * 10;  // every record is 3 + 7 bytes
  ASSERT_EQ(7, bytes[nRecord + 2]);
  bytes[nRecord + 2] = 9;

  CTabrix strict;
  EXPECT_EQ(0, LoadFile(dir, bytes, strict, nullptr));
  ExpectEmpty(strict);

  CTabrix recovered;
  tagLOADREPORT report;
  EXPECT_EQ(0, LoadFile(dir, bytes, recovered, &report));
  EXPECT_EQ(LOAD_DAMAGED, report.nStatus);
  EXPECT_EQ(DAMAGE_PHRASE_BYTES, report.nDamage);
  EXPECT_EQ(1000u, report.nAnnounced);
  EXPECT_EQ(999u, report.nKept);
  EXPECT_EQ(1u, report.nDropDamaged);
  EXPECT_EQ(999u, recovered.m_arrPhrase.GetCount());
  EXPECT_EQ(999u, recovered.GetGroup(0)->dwCount);
  for (const std::string& text : Texts(recovered)) EXPECT_EQ(1u, genuine.count(text)) << text;
}

struct tagDAMAGECASE {
  const char* pszName;
  int nDamage;
  void (*pfnDamage)(Bytes& bytes);
};

class DamageCases : public ::testing::TestWithParam<tagDAMAGECASE> {};

// Each kind of damage is named, the strict load leaves nothing, and the
// recovered library keeps the store's invariants.
TEST_P(DamageCases, IsNamedAndNeverWhole) {
  CScratchDir dir;
  CTabrix original;
  Bytes bytes = SavedLibrary(dir, 1200, original);
  GetParam().pfnDamage(bytes);
  CTabrix strict;
  EXPECT_EQ(0, LoadFile(dir, bytes, strict, nullptr));
  ExpectEmpty(strict);
  CTabrix recovered;
  tagLOADREPORT report;
  EXPECT_EQ(0, LoadFile(dir, bytes, recovered, &report));
  EXPECT_EQ(LOAD_DAMAGED, report.nStatus);
  EXPECT_EQ(GetParam().nDamage, report.nDamage) << DamageName(report.nDamage);
  EXPECT_EQ(recovered.m_arrPhrase.GetCount(), report.nKept);
  uint64_t nCounted = 0;
  for (uint32_t g = 0; g < recovered.GetGroupCount(); ++g)
    nCounted += recovered.GetGroup(g)->dwCount;
  EXPECT_EQ(nCounted, recovered.m_arrPhrase.GetCount());
  const std::set<std::string> genuine = Texts(original);
  for (const std::string& text : Texts(recovered)) EXPECT_EQ(1u, genuine.count(text)) << text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DamageCases,
    ::testing::Values(
        tagDAMAGECASE{"phraseBytes", DAMAGE_PHRASE_BYTES, [](Bytes& b) { b[kSection - 4] ^= 1; }},
        tagDAMAGECASE{"indexEntry", DAMAGE_INDEX, [](Bytes& b) { b[b.size() - 4 * 600] ^= 4; }},
        tagDAMAGECASE{"indexCut", DAMAGE_INDEX, [](Bytes& b) { b.resize(b.size() - 2); }},
        tagDAMAGECASE{"trailingByte", DAMAGE_TRAILING, [](Bytes& b) { b.push_back(0); }},
        tagDAMAGECASE{"recordsCut", DAMAGE_TRUNCATED, [](Bytes& b) { b.resize(kSection + 5005); }},
        tagDAMAGECASE{"groupTableCut", DAMAGE_GROUP_TABLE, [](Bytes& b) { b.resize(100); }},
        tagDAMAGECASE{"countTooSmall", DAMAGE_PHRASE_BYTES, [](Bytes& b) { b[12 + 1 + 300] -= 1; }},
        tagDAMAGECASE{"countTooLarge", DAMAGE_PHRASE_BYTES, [](Bytes& b) { b[12 + 1 + 302] = 1; }}),
    [](const ::testing::TestParamInfo<tagDAMAGECASE>& info) { return info.param.pszName; });

// A file cut inside its records keeps, with a report, the records before
// the cut.
TEST(LoadDamage, ACutFileKeepsTheRecordsBeforeTheCut) {
  CScratchDir dir;
  CTabrix original;
  Bytes bytes = SavedLibrary(dir, 300, original);
  bytes.resize(kSection + 100 * 10 + 4);
  CTabrix recovered;
  tagLOADREPORT report;
  EXPECT_EQ(0, LoadFile(dir, bytes, recovered, &report));
  EXPECT_EQ(DAMAGE_TRUNCATED, report.nDamage);
  EXPECT_EQ(100u, report.nRead);
  EXPECT_EQ(100u, recovered.m_arrPhrase.GetCount());
  EXPECT_EQ(1u, recovered.GetGroupCount());
}

TEST(LoadDamage, AWholeFileReportsNothingDropped) {
  CScratchDir dir;
  CTabrix original;
  const Bytes bytes = SavedLibrary(dir, 700, original);
  CTabrix loaded;
  tagLOADREPORT report;
  ASSERT_EQ(1, LoadFile(dir, bytes, loaded, &report));
  EXPECT_EQ(LOAD_WHOLE, report.nStatus);
  EXPECT_EQ(DAMAGE_NONE, report.nDamage);
  EXPECT_EQ(700u, report.nKept);
  EXPECT_EQ(0u, report.nDropDuplicate + report.nDropNoGroup + report.nDropBadLength +
                    report.nDropDamaged);
  EXPECT_EQ(GetU32(&bytes[8]), report.dwStamp);
  EXPECT_EQ(2005, report.wMajor);
  EXPECT_EQ(2, report.wMinor);
  ExpectSameLibrary(original, loaded);
}

// Files in random order with repeated texts, sorted stretches and records
// that name no group: the load gives exactly the store that AddPhrase one
// record at a time gives, the first record of a text winning.
TEST(LoadDamage, AnyOrderLoadsAsOneRecordAtATime) {
  CScratchDir dir;
  std::mt19937 rng(7);
  for (int round = 0; round < 30; ++round) {
    const int nRecords = 1 + static_cast<int>(rng() % 3000);
    std::vector<tagTESTRECORD> records;
    const int nSorted = static_cast<int>(rng() % (nRecords + 1));  // a sorted prefix
    for (int i = 0; i < nRecords; ++i) {
      char text[16];
      const unsigned key = i < nSorted ? unsigned(i) * 3 : unsigned(rng() % (nRecords * 3 + 1));
      std::snprintf(text, sizeof text, "%07u", key);
      records.push_back({uint8_t(rng() % 4), uint8_t(rng() % 251), text});
    }
    CFileBuilder file;
    file.Header().Byte(3).Group("a", 0).Group("b", 0).Group("c", uint32_t(nRecords));
    file.Section(records);

    CTabrix expected;
    for (const char* name : {"a", "b", "c"}) expected.AddGroup(name, "", "");
    uint64_t nNoGroup = 0;
    for (const auto& r : records) {
      if (r.byGroup >= 3) ++nNoGroup;
      expected.AddPhrase(r.strText.c_str(), 255, r.byFreq, 1, r.byGroup);
    }
    CTabrix loaded;
    tagLOADREPORT report;
    ASSERT_EQ(1, LoadFile(dir, file.Get(), loaded, &report)) << "round " << round;
    ASSERT_EQ(DescribePhrases(expected), DescribePhrases(loaded)) << "round " << round;
    for (uint32_t g = 0; g < 3; ++g)
      EXPECT_EQ(expected.GetGroup(g)->dwCount, loaded.GetGroup(g)->dwCount);
    EXPECT_EQ(nNoGroup, report.nDropNoGroup);
    EXPECT_EQ(uint64_t(nRecords) - nNoGroup - loaded.m_arrPhrase.GetCount(), report.nDropDuplicate);
  }
}

#ifdef __linux__
// A load never reads from what is not a regular file: a pipe would wait
// for a writer and a device would never end.
TEST(LoadDamage, NonRegularFilesAreRefusedUnread) {
  CScratchDir dir;
  const std::string fifo = dir.Path("pipe.wbk");
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
  for (const std::string& path : {fifo, std::string("/dev/zero"), dir.Dir()}) {
    CTabrix library;
    tagLOADREPORT report;
    EXPECT_EQ(0, library.Load(path.c_str(), &report)) << path;
    EXPECT_EQ(LOAD_NOT_REGULAR, report.nStatus) << path;
    ExpectEmpty(library);
  }
}
#endif

TEST(LoadDamage, AFileThatCannotBeOpenedSaysWhy) {
  CScratchDir dir;
  CTabrix lib;
  tagLOADREPORT report;
  EXPECT_EQ(0, lib.Load(dir.Path("missing.wbk").c_str(), &report));
  EXPECT_EQ(LOAD_UNREADABLE, report.nStatus);
  EXPECT_EQ(ENOENT, report.nOpenError);
  EXPECT_EQ(0, lib.Load(dir.Dir().c_str(), &report));
  EXPECT_EQ(LOAD_NOT_REGULAR, report.nStatus);
}
