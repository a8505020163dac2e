// The import adds a file's phrases as one batch. These tests hold it against
// the plain loop the editor used to run, one AddPhrase with the duplicate
// check per accepted line in file order, over random files and libraries:
// the same store, group table, counts, statistics, result and saved bytes.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ImportChecks.h"
#include "PhraseImport.h"
#include "Progress.h"
#include "ScratchDir.h"
#include "Tabrix.h"
#include "TxtLineReader.h"

namespace {

const char kKeyName[] = "\xC3\xFB\xB3\xC6=";    // 名称=
const char kKeyEditor[] = "\xB1\xE0\xBC\xAD=";  // 编辑=
const char kKeyRemark[] = "\xB1\xB8\xD7\xA2=";  // 备注=

// The import line by line, as it ran before phrases were batched.
tagIMPORTSTATS LineByLineImport(CTabrix& lib, uint8_t g, const std::string& path,
                                const tagIMPORTOPTIONS& opt, bool applyHeaders) {
  tagIMPORTSTATS stats = {};
  CTxtLineReader reader('#');
  EXPECT_TRUE(reader.Open(path.c_str()));
  char buffer[IMPORT_MAX_LINE + 1];
  for (char* line; (line = reader.ReadLine(buffer, IMPORT_MAX_LINE)) != nullptr;) {
    ++stats.nLines;
    if (line[0] == '@') {
      ++stats.nHeaders;
      if (!applyHeaders) continue;
      tagGROUPINFO* info = lib.GetGroup(g);
      if (std::strncmp(line + 1, kKeyName, 5) == 0) {
        CopyHeaderValue(info->szName, sizeof(info->szName), line + 6);
      } else if (std::strncmp(line + 1, kKeyEditor, 5) == 0) {
        CopyHeaderValue(info->szEditor, sizeof(info->szEditor), line + 6);
      } else if (std::strncmp(line + 1, kKeyRemark, 5) == 0) {
        CopyHeaderValue(info->szRemark, sizeof(info->szRemark), line + 6);
      }
      continue;
    }
    tagPHRASELINE split;
    SplitPhraseLine(line, uint32_t(std::strlen(line)), &split);
    const char* text = line + split.nTextStart;
    const int64_t value = PhraseFrequencyValue(line + split.nFreqStart);
    if (value < 0 || value > 250) ++stats.nFreqReduced;
    const uint8_t freq = PhraseFrequency(line + split.nFreqStart);
    bool bControl = split.nTextLen == 0;
    for (uint32_t k = 0; k < split.nTextLen; ++k)
      bControl = bControl || uint8_t(text[k]) < 0x20 || text[k] == 0x7F;
    if (bControl) {
      ++stats.nControlOrEmpty;
    } else if (freq < opt.byMinFreq || freq > opt.byMaxFreq) {
      ++stats.nOutOfRange;
    } else if (split.nTextLen > TABRIX_MAX_PHRASE_LEN) {
      ++stats.nTooLong;
    } else if (lib.AddPhrase(text, uint8_t(split.nTextLen), freq, 1, g) != 0) {
      ++stats.nAdded;
    } else {
      ++stats.nDuplicate;
    }
  }
  return stats;
}

class CRandomText {
 public:
  explicit CRandomText(uint32_t seed) : m_rng(seed) {}
  uint32_t Below(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(m_rng); }

  // Texts from a small pool, so that files and libraries share many of them.
  std::string PoolText() {
    const uint32_t k = Below(400);
    std::string text;
    for (uint32_t v = k + 1; v > 0; v /= 5) {
      if (v % 2) {
        text += char(0xB0 + v % 5);
        text += char(0xA1 + v % 3);
      } else {
        text += char('a' + v % 5);
      }
    }
    return text;
  }

  std::string Frequency() {
    static const char* const kFields[] = {"0",   "7",   "250", "251", "300",         "-3",
                                          "+12", "44x", "x",   "",    "99999999999", "-1"};
    std::string field = kFields[Below(sizeof(kFields) / sizeof(kFields[0]))];
    if (Below(4) == 0) field = std::to_string(Below(256));
    return field;
  }

  std::string Line() {
    const uint32_t kind = Below(40);
    if (kind == 0) return "# a comment";
    if (kind == 1) return "";
    if (kind == 2) return std::string("@") + kKeyName + PoolText();
    if (kind == 3) return std::string("@") + kKeyRemark + std::string(Below(300), 'r');
    if (kind == 4) return "@other=1";
    if (kind == 5) return " " + Frequency();                        // blanks before the text
    if (kind == 9) return std::string(1 + Below(3), ' ');           // no text at all
    if (kind == 10) return PoolText() + "\x01" + " 4";              // a control byte
    if (kind == 6) return std::string(31 + Below(10), 'L') + " 5";  // too long
    if (kind == 7) return std::string(95 + Below(20), 'w');         // read past after 100
    if (kind == 8) return PoolText() + "\xB0";                      // a lead byte at the end
    std::string line = PoolText();
    const uint32_t sep = Below(4);
    if (sep == 1) line += " " + Frequency();
    if (sep == 2) line += "\t\t" + Frequency();
    if (sep == 3) line += " \t " + Frequency();
    return line;
  }

  std::string File(uint32_t lines) {
    std::string file;
    for (uint32_t i = 0; i < lines; ++i) {
      file += Line();
      const uint32_t end = Below(10);
      file += end == 0 ? "\r" : end < 3 ? "\r\n" : "\n";
    }
    if (Below(2) == 0 && !file.empty()) file.pop_back();  // no line end at the end
    return file;
  }

  // A library of a few groups holding nPhrases pool texts and other texts.
  void FillLibrary(CTabrix& lib, uint32_t nPhrases) {
    for (int g = 0; g < 3; ++g) lib.AddGroup(("g" + std::to_string(g)).c_str(), "ed", "");
    for (uint32_t i = 0; i < nPhrases; ++i) {
      std::string text = Below(2) ? PoolText() : "z" + std::to_string(Below(1000000));
      lib.AddPhrase(text.c_str(), 255, uint8_t(Below(251)), 1, uint8_t(Below(3)));
    }
  }

 private:
  std::mt19937 m_rng;
};

void ExpectSameStats(const tagIMPORTSTATS& a, const tagIMPORTSTATS& b) {
  EXPECT_EQ(a.nLines, b.nLines);
  EXPECT_EQ(a.nHeaders, b.nHeaders);
  EXPECT_EQ(a.nAdded, b.nAdded);
  EXPECT_EQ(a.nDuplicate, b.nDuplicate);
  EXPECT_EQ(a.nTooLong, b.nTooLong);
  EXPECT_EQ(a.nOutOfRange, b.nOutOfRange);
  EXPECT_EQ(a.nControlOrEmpty, b.nControlOrEmpty);
  EXPECT_EQ(a.nFreqReduced, b.nFreqReduced);
}

void ExpectSameLibrary(CTabrix& a, CTabrix& b) {
  ASSERT_EQ(a.GetGroupCount(), b.GetGroupCount());
  for (uint32_t g = 0; g < a.GetGroupCount(); ++g) {
    EXPECT_EQ(0, std::memcmp(a.GetGroup(g), b.GetGroup(g), sizeof(tagGROUPINFO))) << "group " << g;
  }
  ASSERT_EQ(a.m_arrPhrase.GetCount(), b.m_arrPhrase.GetCount());
  for (uint32_t i = 0; i < a.m_arrPhrase.GetCount(); ++i) {
    ASSERT_EQ(0, std::memcmp(a.m_arrPhrase.GetAt(i), b.m_arrPhrase.GetAt(i), sizeof(tagPHRASE2)))
        << "record " << i;
  }
  ExpectLibraryInvariants(a);
}

struct tagBATCHCASE {
  const char* what;
  uint32_t nStored;  // phrases in the library before the import
  uint32_t nLines;   // lines of the text file
  bool bNewGroup;    // ImportNewGroup, or ImportToGroup into group 1
};

void PrintTo(const tagBATCHCASE& c, std::ostream* os) { *os << c.what; }

class BatchAgainstLineByLine : public testing::TestWithParam<tagBATCHCASE> {};

TEST_P(BatchAgainstLineByLine, SameLibraryStatsAndBytes) {
  const tagBATCHCASE& c = GetParam();
  CScratchDir dir;
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    CRandomText random(seed * 7919 + c.nStored + c.nLines);
    const std::string path = dir.Write("list.txt", random.File(c.nLines));
    tagIMPORTOPTIONS opt = DefaultImportOptions();
    if (random.Below(2) == 0) {
      opt.byMinFreq = uint8_t(random.Below(20));
      opt.byMaxFreq = uint8_t(200 + random.Below(56));
    }
    const uint32_t libSeed = random.Below(1000000);

    CTabrix batched, reference;
    CRandomText(libSeed).FillLibrary(batched, c.nStored);
    CRandomText(libSeed).FillLibrary(reference, c.nStored);

    tagIMPORTSTATS got = {}, want = {};
    uint8_t g = 1;
    int result;
    if (c.bNewGroup) {
      result = ImportNewGroup(batched, path.c_str(), opt, &g, &got);
      ASSERT_EQ(reference.AddGroup("list", "", ""), 3);
      want = LineByLineImport(reference, 3, path, opt, true);
      // A new group that received nothing is not kept.
      if (want.nAdded == 0) {
        ASSERT_EQ(1, reference.RemoveGroup(3));
      }
      EXPECT_EQ(g, want.nAdded > 0 ? 3 : int(TABRIX_NO_GROUP));
    } else {
      result = ImportToGroup(batched, g, path.c_str(), opt, &got);
      want = LineByLineImport(reference, g, path, opt, false);
    }
    EXPECT_EQ(result, want.nAdded > 0 ? IMPORT_OK : IMPORT_NOTHING_ADDED);
    ExpectSameStats(got, want);
    EXPECT_EQ(got.nLines, got.nHeaders + got.nAdded + got.nDuplicate + got.nTooLong +
                              got.nOutOfRange + got.nControlOrEmpty);
    ExpectSameLibrary(batched, reference);
    EXPECT_EQ(SavedBytes(reference, dir.Path("reference.wbk")),
              SavedBytes(batched, dir.Path("batched.wbk")));
    if (testing::Test::HasFailure()) return;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Libraries, BatchAgainstLineByLine,
    testing::Values(tagBATCHCASE{"empty library, new group", 0, 400, true},
                    tagBATCHCASE{"small library, new group", 60, 400, true},
                    tagBATCHCASE{"small library, into a group", 60, 400, false},
                    tagBATCHCASE{"file of one line", 30, 1, true},
                    tagBATCHCASE{"few lines into a large library", 6000, 6, true},
                    tagBATCHCASE{"few lines into a large library's group", 6000, 6, false},
                    tagBATCHCASE{"many lines into a large library", 3000, 1500, false},
                    tagBATCHCASE{"file large enough to reserve room", 100, 6000, true}));

// Progress is reported per line as before: position 0 first, the file's
// length last, one report per line handed out.
TEST(BatchImport, ProgressStillComesPerLine) {
  CScratchDir dir;
  const std::string path = dir.Write("p.txt", "b 1\na 2\n@x\nb 3\n# c\nc 4");
  struct tagLOG {
    std::vector<uint64_t> positions;
    uint64_t length = 0;
    int ends = 0;
  } log;
  tagIMPORTOPTIONS opt = DefaultImportOptions();
  opt.funProgress = [](int32_t stage, int32_t value, void* data) {
    if (stage == PROGRESS_BEGIN) static_cast<tagLOG*>(data)->length = uint64_t(value);
    if (stage == PROGRESS_STEP) static_cast<tagLOG*>(data)->positions.push_back(uint64_t(value));
    if (stage == PROGRESS_END) ++static_cast<tagLOG*>(data)->ends;
  };
  opt.pProgressData = &log;
  CTabrix lib;
  tagIMPORTSTATS stats = {};
  ASSERT_EQ(IMPORT_OK, ImportNewGroup(lib, path.c_str(), opt, nullptr, &stats));
  EXPECT_EQ(5u, stats.nLines);
  ASSERT_EQ(5u, log.positions.size());  // after each line
  EXPECT_EQ(log.length, log.positions.back());
  EXPECT_EQ(1, log.ends);
  EXPECT_EQ(PhraseList({{"a", 2}, {"b", 1}, {"c", 4}}), PhrasesOf(lib, 0));
}

}  // namespace
