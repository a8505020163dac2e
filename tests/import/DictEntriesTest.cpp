// A dictionary's entries reach the import packed in GBK as the reader finds
// them. These tests hold that against the entries gathered as a list of
// strings first, over random column lists and Rime dictionaries and random
// libraries: the same store, counts, statistics, result and saved bytes.
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "DictContent.h"
#include "DictImport.h"
#include "ImportChecks.h"
#include "ScratchDir.h"
#include "Tabrix.h"
#include "TextConvert.h"

namespace {

class CRandomEntries {
 public:
  explicit CRandomEntries(uint32_t seed) : m_rng(seed) {}
  uint32_t Below(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(m_rng); }

  // Texts from a small pool, so that files and libraries share many of them;
  // now and then one GBK cannot hold, one too long for a phrase (a few past
  // 254 GBK bytes), or one holding a control byte.
  std::string Text() {
    const uint32_t kind = Below(30);
    if (kind == 0) return "\xF0\x9F\x98\x80" + Cjk(Below(3));  // an emoji
    if (kind == 1) return Cjk(16 + Below(3) * 60);
    if (kind == 2) return Cjk(1) + "\x01" + Cjk(1);
    if (kind == 3) return "ab" + std::to_string(Below(50));
    const uint32_t k = Below(300);
    return Cjk(1 + k % 4) + (k % 3 ? Cjk(1) : std::string("x"));
  }

  std::string Weight(uint32_t nSpread) {
    if (Below(20) == 0) return "";
    return std::to_string(int64_t(Below(1000)) * nSpread - 300);
  }

 private:
  std::string Cjk(uint32_t n) {
    std::string out;
    for (uint32_t i = 0; i < n; ++i) {
      const uint32_t u = 0x4E00 + Below(40) * 7;
      out += char(0xE0 | (u >> 12));
      out += char(0x80 | ((u >> 6) & 0x3F));
      out += char(0x80 | (u & 0x3F));
    }
    return out;
  }
  std::mt19937 m_rng;
};

void FillLibrary(CTabrix& lib, CRandomEntries& rnd, uint32_t nPhrases) {
  ASSERT_EQ(0, lib.AddGroup("old", "", ""));
  ASSERT_EQ(1, lib.AddGroup("other", "", ""));
  for (uint32_t i = 0; i < nPhrases; ++i) {
    std::string gbk;
    const std::string text = rnd.Text();
    if (text.size() < 12 && Utf8ToGbk(text, &gbk))
      lib.AddPhrase(gbk.c_str(), 255, uint8_t(i % 251), 1, uint8_t(i % 2));
  }
}

struct tagSHAPE {
  int nFormat;
  uint32_t nEntries;
  uint32_t nSpread;  // weights this far apart are ranked by sorting, not counting
  uint32_t nStored;  // phrases offered to the library before (a few entries into many
                     // go in one by one)
  bool bNewGroup;
  uint8_t byLo, byHi;
};

class DictEntriesPacked : public ::testing::TestWithParam<tagSHAPE> {};

TEST_P(DictEntriesPacked, SameLibraryAsAListOfEntries) {
  const tagSHAPE shape = GetParam();
  CScratchDir dir;
  for (uint32_t seed = 1; seed <= 3; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    CRandomEntries rnd(seed * 7 + shape.nEntries);
    std::string file = shape.nFormat == DICT_FORMAT_RIME
                           ? "---\nname: r\ncolumns: [text, weight, code]\n...\n"
                           : "";
    for (uint32_t i = 0; i < shape.nEntries; ++i) {
      const std::string weight = rnd.Weight(shape.nSpread);
      file += shape.nFormat == DICT_FORMAT_RIME ? rnd.Text() + "\t" + weight + "\tzi\n"
                                                : rnd.Text() + " zi " + weight + "\n";
    }
    const std::string path =
        dir.Write(shape.nFormat == DICT_FORMAT_RIME ? "r.dict.yaml" : "c.txt", file);

    CTabrix packed, listed;
    CRandomEntries base(seed);
    FillLibrary(packed, base, shape.nStored);
    CRandomEntries base2(seed);
    FillLibrary(listed, base2, shape.nStored);

    tagIMPORTOPTIONS opt = DefaultImportOptions();
    opt.byMinFreq = shape.byLo;
    opt.byMaxFreq = shape.byHi;
    uint8_t gPacked = 1, gListed = 1;
    tagIMPORTSTATS sPacked = {}, sListed = {};
    tagREADFAULT error{};
    const int rPacked = ImportDictionary(packed, path.c_str(), shape.nFormat, opt, shape.bNewGroup,
                                         &gPacked, &sPacked, &error);

    tagDICTCONTENT content;
    content.nUndecodable = 0;
    const uint8_t* data = reinterpret_cast<const uint8_t*>(file.data());
    ASSERT_TRUE(shape.nFormat == DICT_FORMAT_RIME
                    ? ReadRimeDict(data, file.size(), &content, &error)
                    : ReadColumnList(data, file.size(), &content, &error))
        << ReadFaultText(error);
    ASSERT_EQ(shape.nEntries, content.arrEntries.size() + content.nUndecodable);
    const int rListed =
        ImportDictContent(listed, content, path.c_str(), opt, shape.bNewGroup, &gListed, &sListed);

    EXPECT_EQ(rListed, rPacked);
    EXPECT_EQ(gListed, gPacked);
    EXPECT_EQ(sListed.nLines, sPacked.nLines);
    EXPECT_EQ(sListed.nAdded, sPacked.nAdded);
    EXPECT_EQ(sListed.nDuplicate, sPacked.nDuplicate);
    EXPECT_EQ(sListed.nTooLong, sPacked.nTooLong);
    EXPECT_EQ(sListed.nOutOfRange, sPacked.nOutOfRange);
    EXPECT_EQ(sListed.nControlOrEmpty, sPacked.nControlOrEmpty);
    EXPECT_EQ(sListed.nUndecodable, sPacked.nUndecodable);
    EXPECT_EQ(sListed.nNoGbkForm, sPacked.nNoGbkForm);
    if (shape.nEntries >= 100) {  // the odd entries are there to be refused
      EXPECT_GT(sPacked.nNoGbkForm + sPacked.nTooLong + sPacked.nControlOrEmpty, 0u);
    }
    ExpectLibraryInvariants(packed);
    EXPECT_EQ(SavedBytes(listed, dir.Path("listed.wbk")),
              SavedBytes(packed, dir.Path("packed.wbk")));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, DictEntriesPacked,
    ::testing::Values(tagSHAPE{DICT_FORMAT_COLUMNS, 3000, 1, 0, true, 0, 250},
                      tagSHAPE{DICT_FORMAT_COLUMNS, 3000, 1000003, 2000, true, 0, 250},
                      tagSHAPE{DICT_FORMAT_COLUMNS, 2000, 3, 3000, false, 20, 200},
                      tagSHAPE{DICT_FORMAT_RIME, 3000, 1, 1000, true, 0, 250},
                      tagSHAPE{DICT_FORMAT_RIME, 5, 1000003, 8000, false, 0, 100}));

// A column list read in pieces of whole lines: the entries of the whole file,
// whatever the piece size, lines that begin like a byte-order mark, lines
// longer than a piece and lines that do not decode included.
TEST(ColumnPieces, SameEntriesAsTheWholeFile) {
  CScratchDir dir;
  CRandomEntries rnd(5);
  std::string file = "\xEF\xBB\xBF";  // a mark that only the first line may carry
  for (int i = 0; i < 400; ++i) {
    const uint32_t kind = rnd.Below(12);
    if (kind == 0) file += "\xEF\xBB\xBF" + rnd.Text() + " zi 7\n";  // U+FEFF first
    if (kind == 1) file += "\xFF\xFE" + rnd.Text() + " 3\n";         // not UTF-8
    if (kind == 2) file += "# comment\n\n";
    if (kind == 3) file += rnd.Text() + " zi " + rnd.Weight(1) + "\r\n";
    if (kind > 3) file += rnd.Text() + " zi " + rnd.Weight(7) + "\n";
  }
  file += rnd.Text() + " last 9";  // no line end
  const std::string path = dir.Write("pieces.txt", file);

  tagDICTCONTENT whole;
  whole.nUndecodable = 0;
  tagREADFAULT error{};
  ASSERT_TRUE(
      ReadColumnList(reinterpret_cast<const uint8_t*>(file.data()), file.size(), &whole, &error));
  ASSERT_GT(whole.nUndecodable, 0u);
  for (size_t nPiece : {size_t(2), size_t(7), size_t(64), size_t(4096), size_t(1) << 20}) {
    SCOPED_TRACE("piece " + std::to_string(nPiece));
    tagDICTCONTENT pieces;
    pieces.nUndecodable = 0;
    ASSERT_EQ(IMPORT_OK, ReadColumnsInPieces(path.c_str(), &pieces, &error, nPiece));
    EXPECT_EQ(whole.nUndecodable, pieces.nUndecodable);
    ASSERT_EQ(whole.arrEntries.size(), pieces.arrEntries.size());
    for (size_t i = 0; i < whole.arrEntries.size(); ++i) {
      EXPECT_EQ(whole.arrEntries[i].strText, pieces.arrEntries[i].strText) << i;
      EXPECT_EQ(whole.arrEntries[i].nWeight, pieces.arrEntries[i].nWeight) << i;
      EXPECT_EQ(whole.arrEntries[i].bHasWeight, pieces.arrEntries[i].bHasWeight) << i;
    }
  }
  // A list in UTF-16 is refused at its first piece, as a whole file is.
  const std::string utf16 = dir.Write("utf16.txt", std::string("\xFF\xFE"
                                                               "a\0 \0"
                                                               "1\0\n\0"));
  tagDICTCONTENT refused;
  refused.nUndecodable = 0;
  EXPECT_EQ(IMPORT_DAMAGED, ReadColumnsInPieces(utf16.c_str(), &refused, &error, 4));
  EXPECT_NE(READ_FAULT_NONE, error.nCode);
}

}  // namespace
