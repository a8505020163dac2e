// The byte-level validation of library files: files the writer made pass,
// and each kind of damage is found at its offset.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>
#include <utility>

#include "CliTestSupport.h"
#include "LibraryCheck.h"
#include "Tabrix.h"

namespace {

// Layout of the fixture library: two groups, four phrases in text order.
const std::vector<tagTESTGROUP> kGroups = {{"a", "e", "r", 0}, {"b", "", "", 1}};
const std::vector<tagTESTRECORD> kRecords = {
    {0, 3, "ab"}, {1, 0, "c"}, {0, 250, "cd"}, {1, 7, "x"}};
constexpr size_t kGroup0 = 13, kGroup1 = 13 + 308;
constexpr size_t kPhraseBytes = 13 + 2 * 308;
constexpr size_t kBase = kPhraseBytes + 4;
constexpr size_t kRec[4] = {kBase, kBase + 5, kBase + 9, kBase + 14};
constexpr size_t kIndex = kBase + 18;
constexpr size_t kSize = kIndex + 16;
// The offsets a reader of a hex dump of the fixture finds.
static_assert(kPhraseBytes == 629 && kBase == 633 && kIndex == 651 && kSize == 667, "layout");
// Each record is group, frequency, length and the text: 3 + 2, 3 + 1, ...
static_assert(kRec[1] - kRec[0] == 5 && kRec[2] - kRec[1] == 4 && kRec[3] - kRec[2] == 5 &&
                  kIndex - kRec[3] == 4,
              "records");

tagCHECKREPORT Check(const std::string& bytes) {
  tagCHECKREPORT report;
  CheckLibraryBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &report);
  return report;
}

std::set<std::pair<CheckKind, uint64_t>> Findings(const tagCHECKREPORT& r) {
  std::set<std::pair<CheckKind, uint64_t>> out;
  for (const tagCHECKFINDING& f : r.arrFindings) out.insert({f.nKind, f.nOffset});
  return out;
}

void PutU32At(std::string* b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*b)[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string SavedFixture() {
  CTabrix lib;
  for (const tagTESTGROUP& g : kGroups) {
    uint8_t index = lib.AddGroup(g.strName.c_str(), g.strEditor.c_str(), g.strRemark.c_str());
    lib.GetGroup(index)->bEnable = g.bEnable;
  }
  for (const tagTESTRECORD& r : kRecords) {
    lib.AddPhrase(r.strText.c_str(), static_cast<uint8_t>(r.strText.size()), r.byFreq, 1,
                  r.byGroup);
  }
  CScratchDir dir;
  const std::string file = dir.Path("fixture.wbk");
  EXPECT_TRUE(lib.Save(file.c_str()));
  return ReadBytes(file);
}

TEST(LibraryCheck, FixtureBuilderMatchesTheWriter) {
  std::string built = BuildLibraryBytes(kGroups, kRecords);
  ASSERT_EQ(built.size(), kSize);
  EXPECT_EQ(WithoutStampAndTicks(SavedFixture()), WithoutStampAndTicks(built));
}

TEST(LibraryCheck, PassesFilesTheWriterMade) {
  std::vector<std::function<void(CTabrix&)>> fill = {
      [](CTabrix&) {},
      [](CTabrix& lib) { lib.AddGroup("empty", "", ""); },
      [](CTabrix& lib) {
        for (int g = 0; g < 127; ++g) lib.AddGroup(("g" + std::to_string(g)).c_str(), "ed", "re");
        for (int i = 0; i < 3000; ++i) {
          std::string text = "w" + std::to_string(i * 7919 % 3001);
          lib.AddPhrase(text.c_str(), 255, static_cast<uint8_t>(i % 251), 1,
                        static_cast<uint8_t>(i % 127));
        }
        lib.AddPhrase("", 0, 5, 1, 3);  // the empty text is a valid record
        lib.GetGroup(5)->bEnable = 1;
      },
  };
  for (size_t i = 0; i < fill.size(); ++i) {
    CTabrix lib;
    fill[i](lib);
    CScratchDir dir;
    const std::string file = dir.Path("saved.wbk");
    ASSERT_TRUE(lib.Save(file.c_str()));
    tagCHECKREPORT r = Check(ReadBytes(file));
    EXPECT_EQ(r.nStatus, CHECK_CLEAN) << "library " << i;
    EXPECT_TRUE(r.arrFindings.empty()) << "library " << i << ": " << r.arrFindings[0].strMessage;
    EXPECT_EQ(r.nRecords, lib.GetPhraseTotal()) << "library " << i;
    EXPECT_EQ(r.nGroups, lib.GetGroupCount()) << "library " << i;
  }
}

struct tagDAMAGE {
  const char* pszName;
  std::function<void(std::string*)> damage;
  CheckStatus nStatus;
  std::set<std::pair<CheckKind, uint64_t>> expected;
};

TEST(LibraryCheck, FindsEachKindOfDamageAtItsOffset) {
  const std::vector<tagDAMAGE> cases = {
      {"short header",
       [](std::string* b) { b->resize(8); },
       CHECK_UNREADABLE,
       {{CHECK_HEADER_SHORT, 0}}},
      {"magic", [](std::string* b) { (*b)[1] = 'Y'; }, CHECK_UNREADABLE, {{CHECK_HEADER_MAGIC, 0}}},
      {"type", [](std::string* b) { (*b)[2] = 'D'; }, CHECK_UNREADABLE, {{CHECK_HEADER_TYPE, 2}}},
      {"minor version",
       [](std::string* b) { (*b)[6] = 1; },
       CHECK_UNREADABLE,
       {{CHECK_HEADER_VERSION, 6}}},
      {"header only",
       [](std::string* b) { b->resize(12); },
       CHECK_FINDINGS,
       {{CHECK_GROUP_TABLE_SHORT, 12}}},
      {"group table cut",
       [](std::string* b) { b->resize(kGroup1 + 100); },
       CHECK_FINDINGS,
       {{CHECK_GROUP_TABLE_SHORT, kGroup1 + 100}}},
      {"name without terminator",
       [](std::string* b) { b->replace(kGroup0, 50, 50, 'n'); },
       CHECK_FINDINGS,
       {{CHECK_FIELD_UNTERMINATED, kGroup0}}},
      {"remark without terminator",
       [](std::string* b) { b->replace(kGroup1 + 100, 200, 200, 'm'); },
       CHECK_FINDINGS,
       {{CHECK_FIELD_UNTERMINATED, kGroup1 + 100}}},
      {"byte after a terminator",
       [](std::string* b) { (*b)[kGroup0 + 50 + 7] = 'z'; },
       CHECK_FINDINGS,
       {{CHECK_FIELD_PADDING, kGroup0 + 57}}},
      {"tick flag",
       [](std::string* b) { PutU32At(b, kGroup1 + 304, 7); },
       CHECK_FINDINGS,
       {{CHECK_TICK_FLAG, kGroup1 + 304}}},
      {"stored count",
       [](std::string* b) { PutU32At(b, kGroup0 + 300, 3); },
       CHECK_FINDINGS,
       {{CHECK_GROUP_COUNT, kGroup0 + 300}, {CHECK_RECORD_TOTAL, kPhraseBytes}}},
      {"counts moved between groups",
       [](std::string* b) {
         PutU32At(b, kGroup0 + 300, 1);
         PutU32At(b, kGroup1 + 300, 3);
       },
       CHECK_FINDINGS,
       {{CHECK_GROUP_COUNT, kGroup0 + 300}, {CHECK_GROUP_COUNT, kGroup1 + 300}}},
      {"phraseBytes",
       [](std::string* b) { PutU32At(b, kPhraseBytes, 17); },
       CHECK_FINDINGS,
       {{CHECK_PHRASE_BYTES, kPhraseBytes}}},
      {"phraseBytes huge",
       [](std::string* b) { PutU32At(b, kPhraseBytes, 0xFFFFFFF0u); },
       CHECK_FINDINGS,
       {{CHECK_PHRASE_BYTES, kPhraseBytes}}},
      {"index entry",
       [](std::string* b) { PutU32At(b, kIndex + 8, 99); },
       CHECK_FINDINGS,
       {{CHECK_INDEX_ENTRY, kIndex + 8}}},
      {"index cut",
       [](std::string* b) { b->resize(kSize - 4); },
       CHECK_FINDINGS,
       {{CHECK_INDEX_SHORT, kIndex + 12}}},
      {"bytes after the index",
       [](std::string* b) { b->append("xyz"); },
       CHECK_FINDINGS,
       {{CHECK_TRAILING_BYTES, kSize}}},
      {"text order",
       [](std::string* b) {
         std::string first = b->substr(kRec[0], 5), third = b->substr(kRec[2], 5);
         b->replace(kRec[0], 5, third);
         b->replace(kRec[2], 5, first);
       },
       CHECK_FINDINGS,
       {{CHECK_TEXT_ORDER, kRec[1]}, {CHECK_TEXT_ORDER, kRec[2]}}},
      {"duplicate",
       [](std::string* b) { b->replace(kRec[2] + 3, 2, "ab"); },
       CHECK_FINDINGS,
       {{CHECK_DUPLICATE, kRec[2]}}},
      {"group byte",
       [](std::string* b) { (*b)[kRec[3]] = 9; },
       CHECK_FINDINGS,
       {{CHECK_GROUP_BYTE, kRec[3]}, {CHECK_GROUP_COUNT, kGroup1 + 300}}},
  };
  const std::string clean = BuildLibraryBytes(kGroups, kRecords);
  for (const tagDAMAGE& c : cases) {
    std::string bytes = clean;
    c.damage(&bytes);
    tagCHECKREPORT r = Check(bytes);
    EXPECT_EQ(r.nStatus, c.nStatus) << c.pszName;
    EXPECT_EQ(Findings(r), c.expected) << c.pszName;
  }
}

// Damage that needs a file laid out consistently around it.
TEST(LibraryCheck, FindsRecordsTheLoaderRefuses) {
  struct tagCASE {
    const char* pszName;
    std::vector<tagTESTRECORD> records;
    std::set<std::pair<CheckKind, uint64_t>> expected;
  };
  const std::vector<tagCASE> cases = {
      {"text of 31 bytes",
       {{0, 1, "a"}, {1, 1, std::string(31, 'b')}},
       {{CHECK_TEXT_TOO_LONG, kBase + 4 + 2}}},
      {"group byte naming no group",
       {{0, 1, "a"}, {2, 1, "b"}},
       {{CHECK_GROUP_BYTE, kBase + 4}, {CHECK_RECORD_TOTAL, kPhraseBytes}}},
      {"NUL inside a text",
       {{0, 1, "a"}, {1, 1, std::string("b\0c", 3)}},
       {{CHECK_TEXT_NUL, kBase + 4 + 3 + 1}}},
      {"same text in two groups", {{0, 1, "a"}, {1, 1, "a"}}, {{CHECK_DUPLICATE, kBase + 4}}},
  };
  for (const tagCASE& c : cases) {
    tagCHECKREPORT r = Check(BuildLibraryBytes(kGroups, c.records));
    EXPECT_EQ(r.nStatus, CHECK_FINDINGS) << c.pszName;
    EXPECT_EQ(Findings(r), c.expected) << c.pszName;
  }
}

TEST(LibraryCheck, MoreThan127GroupsIsAFinding) {
  std::vector<tagTESTGROUP> groups(128, tagTESTGROUP{"g", "", "", 0});
  tagCHECKREPORT r = Check(BuildLibraryBytes(groups, {{127, 0, "z"}}));
  EXPECT_EQ(Findings(r), (std::set<std::pair<CheckKind, uint64_t>>{{CHECK_GROUP_LIMIT, 12}}));
  EXPECT_EQ(r.nGroups, 128u);
}

TEST(LibraryCheck, RecordCutByTheEndOfTheFile) {
  std::string bytes = BuildLibraryBytes(kGroups, kRecords);
  bytes.resize(kRec[1] + 2);
  tagCHECKREPORT r = Check(bytes);
  EXPECT_EQ(r.nStatus, CHECK_FINDINGS);
  EXPECT_EQ(Findings(r).count({CHECK_RECORD_TRUNCATED, kRec[1]}), 1u);
  EXPECT_EQ(Findings(r).count({CHECK_PHRASE_BYTES, kPhraseBytes}), 1u);
}

// Any prefix and any single changed byte of a valid file is checked without
// reading outside the buffer (the sanitizers watch), and a changed byte is
// either harmless or found.
TEST(LibraryCheck, EveryPrefixAndFlippedByteIsSafe) {
  const std::string clean = BuildLibraryBytes(kGroups, kRecords);
  for (size_t n = 0; n < clean.size(); ++n) {
    std::vector<uint8_t> prefix(clean.begin(), clean.begin() + static_cast<long>(n));
    tagCHECKREPORT r;
    CheckLibraryBytes(prefix.data(), prefix.size(), &r);
    EXPECT_NE(r.nStatus, CHECK_CLEAN) << "prefix of " << n << " bytes";
  }
  for (size_t at = 12; at < clean.size(); ++at) {
    std::string bytes = clean;
    bytes[at] = static_cast<char>(bytes[at] ^ 0x5A);
    tagCHECKREPORT r = Check(bytes);
    for (const tagCHECKFINDING& f : r.arrFindings) EXPECT_LE(f.nOffset, bytes.size());
  }
}

// Random damage of several bytes at once, lengths changed too: every
// finding lies inside the file (the sanitizers watch the reads).
TEST(LibraryCheck, RandomDamageIsSafe) {
  const std::string clean = BuildLibraryBytes(kGroups, kRecords);
  std::mt19937 rng(20261210);
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> bytes(clean.begin(), clean.end());
    int edits = 1 + static_cast<int>(rng() % 6);
    for (int e = 0; e < edits; ++e) {
      size_t at = rng() % bytes.size();
      switch (rng() % 4) {
        case 0:
          bytes[at] = static_cast<uint8_t>(rng());
          break;
        case 1:
          bytes.erase(bytes.begin() + static_cast<long>(at));
          break;
        case 2:
          bytes.insert(bytes.begin() + static_cast<long>(at), static_cast<uint8_t>(rng()));
          break;
        default:
          bytes.resize(12 + rng() % (bytes.size() - 11));
          break;
      }
      if (bytes.size() < 13) bytes.resize(13, 0);
    }
    std::vector<uint8_t> exact(bytes);  // a buffer of exactly this size
    tagCHECKREPORT r;
    CheckLibraryBytes(exact.data(), exact.size(), &r);
    for (const tagCHECKFINDING& f : r.arrFindings) ASSERT_LE(f.nOffset, exact.size()) << round;
  }
}

TEST(LibraryCheck, ListsAtMostALimitOfOneKind) {
  std::vector<tagTESTRECORD> records;
  for (uint32_t i = 0; i < CHECK_LIST_LIMIT + 30; ++i)
    records.push_back({5, 0, "t" + std::to_string(1000 + i)});
  tagCHECKREPORT r = Check(BuildLibraryBytes(kGroups, records));
  size_t listed = 0;
  for (const tagCHECKFINDING& f : r.arrFindings) listed += f.nKind == CHECK_GROUP_BYTE;
  EXPECT_EQ(listed, CHECK_LIST_LIMIT);
  EXPECT_EQ(r.nNotListed, 30u);
}

TEST(LibraryCheck, HeaderValuesAreRead) {
  std::string bytes = BuildLibraryBytes(kGroups, kRecords);
  PutU32At(&bytes, 8, 123456);
  tagLIBHEADER h{};
  ASSERT_TRUE(DecodeFileHeader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &h));
  EXPECT_EQ(h.wMagic, 0x584B);
  EXPECT_EQ(h.wType, 0x4C43);
  EXPECT_EQ(h.wMajor, 2005);
  EXPECT_EQ(h.wMinor, 2);
  EXPECT_EQ(h.dwStamp, 123456u);
  EXPECT_FALSE(DecodeFileHeader(reinterpret_cast<const uint8_t*>(bytes.data()), 11, &h));
}

}  // namespace
