// Phrase lists in UTF-8 and UTF-16 import as the same list in GBK does; lines
// that do not decode, or hold a character GBK cannot represent, are left out
// and counted by reason.
#include "GbkSource.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PhraseImport.h"
#include "ScratchDir.h"
#include "Tabrix.h"

namespace {

// The list every encoding below holds: two phrases, a header and a comment.
// GBK bytes (the sources' literals are GBK), UTF-8 and UTF-16 forms of it.
const char kGbkList[] = "@名称=成语\n# 注释\n中文 5\r\n一心一意\t120\n";
const std::string kUtf8List = u8"@名称=成语\n# 注释\n中文 5\r\n一心一意\t120\n";
const std::u16string kUtf16List = u"@名称=成语\n# 注释\n中文 5\r\n一心一意\t120\n";

std::string Utf16Bytes(const std::u16string& text, bool bigEndian, bool mark) {
  std::string out;
  auto put = [&](char16_t u) {
    const char hi = char(u >> 8), lo = char(u & 0xFF);
    out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
  };
  if (mark) put(0xFEFF);
  for (char16_t u : text) put(u);
  return out;
}

// The phrases of the file imported as a new group, as group/frequency/text.
struct tagIMPORTED {
  int nResult;
  std::string strGroup;
  std::vector<std::string> arrPhrases;
  uint32_t nNoGbkForm, nUndecodable;
  SourceEncoding nEncoding;
};

tagIMPORTED ImportThrough(const std::string& path, SourceMode mode) {
  tagIMPORTED out{};
  CGbkSource source;
  out.nResult = source.Open(path.c_str(), mode);
  out.nNoGbkForm = source.GetNoGbkForm();
  out.nUndecodable = source.GetUndecodable();
  out.nEncoding = source.GetEncoding();
  if (out.nResult != SOURCE_OK) return out;
  CTabrix library;
  uint8_t group = 0;
  if (ImportNewGroup(library, source.GetPath(), DefaultImportOptions(), &group, nullptr) !=
      IMPORT_OK)
    return out;
  out.strGroup = library.GetGroup(group)->szName;
  for (uint32_t i = 0; i < library.m_arrPhrase.GetCount(); ++i) {
    const tagPHRASE2* p = library.m_arrPhrase.GetAt(i);
    out.arrPhrases.push_back(std::to_string(p->byFreq) + "/" + p->szWord);
  }
  return out;
}

struct tagENCODED {
  const char* pszName;
  std::string strBytes;
  SourceEncoding nEncoding;
};

TEST(GbkSource, EveryEncodingImportsAsTheGbkList) {
  CScratchDir dir;
  const tagIMPORTED gbk = ImportThrough(dir.Write("list.txt", kGbkList), SOURCE_MODE_AUTO);
  ASSERT_EQ(gbk.nResult, SOURCE_OK);
  EXPECT_EQ(gbk.nEncoding, SOURCE_GBK);
  ASSERT_EQ(gbk.arrPhrases.size(), 2u);
  EXPECT_EQ(gbk.strGroup, "成语");

  const tagENCODED cases[] = {
      {"utf-8", kUtf8List, SOURCE_UTF8},
      {"utf-8 with a mark", "\xEF\xBB\xBF" + kUtf8List, SOURCE_UTF8},
      {"utf-16 le", Utf16Bytes(kUtf16List, false, true), SOURCE_UTF16LE},
      {"utf-16 be", Utf16Bytes(kUtf16List, true, true), SOURCE_UTF16BE},
  };
  for (const tagENCODED& c : cases) {
    SCOPED_TRACE(c.pszName);
    const tagIMPORTED got = ImportThrough(dir.Write("list.txt", c.strBytes), SOURCE_MODE_AUTO);
    ASSERT_EQ(got.nResult, SOURCE_OK);
    EXPECT_EQ(got.nEncoding, c.nEncoding);
    EXPECT_EQ(got.strGroup, gbk.strGroup);
    EXPECT_EQ(got.arrPhrases, gbk.arrPhrases);
    EXPECT_EQ(got.nNoGbkForm + got.nUndecodable, 0u);
  }
}

TEST(GbkSource, LinesThatCannotBeGbkAreLeftOutAndCountedByReason) {
  CScratchDir dir;
  struct tagCASE {
    const char* pszName;
    std::string strBytes;
    uint32_t nNoGbkForm, nUndecodable;
  } cases[] = {
      // U+1F600 has no GBK form, in UTF-8 and as a UTF-16 surrogate pair.
      {"utf-8 emoji", u8"中文 5\n笑\U0001F600 3\n一心一意 1\n", 1, 0},
      {"utf-16 emoji", Utf16Bytes(u"中文 5\n笑\U0001F600 3\n一心一意 1\n", false, true), 1, 0},
      // A byte that is no UTF-8 in a text marked as UTF-8.
      {"utf-8 broken",
       "\xEF\xBB\xBF" + std::string(u8"中文 5\n") + "\xC3\x28 3\n" + std::string(u8"一心一意 1\n"),
       0, 1},
      // A low surrogate alone, a high one without its partner, and an odd byte at the end.
      {"utf-16 lone surrogates",
       Utf16Bytes(u"中文 5\n", false, true) + std::string("\x00\xDC\n\x00", 4) +
           std::string("\x00\xD8"
                       "a\x00\n\x00",
                       6) +
           Utf16Bytes(u"一心一意 1\n", false, false) + "x",
       0, 3},
  };
  for (const tagCASE& c : cases) {
    SCOPED_TRACE(c.pszName);
    const tagIMPORTED got = ImportThrough(dir.Write("list.txt", c.strBytes), SOURCE_MODE_AUTO);
    ASSERT_EQ(got.nResult, SOURCE_OK);
    EXPECT_EQ(got.nNoGbkForm, c.nNoGbkForm);
    EXPECT_EQ(got.nUndecodable, c.nUndecodable);
    // The good lines arrive whole, the others not at all: never a '?' in
    // place of a character.
    EXPECT_EQ(got.arrPhrases, (std::vector<std::string>{"1/一心一意", "5/中文"}));
  }
}

TEST(GbkSource, GbkTextIsReadInPlace) {
  CScratchDir dir;
  const std::string path = dir.Write("list.txt", kGbkList);
  for (SourceMode mode : {SOURCE_MODE_AUTO, SOURCE_MODE_GBK}) {
    CGbkSource source;
    ASSERT_EQ(source.Open(path.c_str(), mode), SOURCE_OK);
    EXPECT_EQ(std::string(source.GetPath()), path);  // no copy made
    EXPECT_EQ(source.GetEncoding(), SOURCE_GBK);
  }
  // Said to be UTF-8, GBK bytes do not decode: every line is left out.
  CGbkSource forced;
  ASSERT_EQ(forced.Open(path.c_str(), SOURCE_MODE_UTF8), SOURCE_OK);
  EXPECT_EQ(forced.GetUndecodable(), 4u);
}

TEST(GbkSource, TheCopyGoesWithTheSource) {
  CScratchDir dir;
  const std::string path = dir.Write("list.txt", kUtf8List);
  std::string copy;
  {
    CGbkSource source;
    ASSERT_EQ(source.Open(path.c_str(), SOURCE_MODE_AUTO), SOURCE_OK);
    copy = source.GetPath();
    EXPECT_NE(copy, path);
    EXPECT_TRUE(std::filesystem::exists(copy));
  }
  EXPECT_FALSE(std::filesystem::exists(copy));
}

TEST(GbkSource, AMissingFileIsHandedToTheImporter) {
  CScratchDir dir;
  CGbkSource source;
  const std::string path = dir.Path("missing.txt");
  EXPECT_EQ(source.Open(path.c_str(), SOURCE_MODE_AUTO), SOURCE_OK);
  EXPECT_EQ(std::string(source.GetPath()), path);
  CTabrix library;
  EXPECT_NE(ImportNewGroup(library, source.GetPath(), DefaultImportOptions(), nullptr, nullptr),
            IMPORT_OK);
  EXPECT_EQ(library.GetGroupCount(), 0u);
}

TEST(GbkSource, MarksAreRecognised) {
  struct tagMARK {
    std::string strHead;
    SourceEncoding nEncoding;
    size_t nSize;
  } marks[] = {{"\xEF\xBB\xBF"
                "a",
                SOURCE_UTF8, 3},
               {"\xFF\xFE"
                "a",
                SOURCE_UTF16LE, 2},
               {"\xFE\xFF"
                "a",
                SOURCE_UTF16BE, 2},
               {"\xEF\xBB", SOURCE_GBK, 0},
               {"\xFF", SOURCE_GBK, 0},
               {"", SOURCE_GBK, 0}};
  for (const tagMARK& m : marks) {
    size_t size = 99;
    EXPECT_EQ(EncodingFromMark(reinterpret_cast<const unsigned char*>(m.strHead.data()),
                               m.strHead.size(), &size),
              m.nEncoding);
    EXPECT_EQ(size, m.nSize);
  }
}

}  // namespace
