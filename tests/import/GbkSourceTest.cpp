// Phrase lists in UTF-8 and UTF-16 import as the same list in GBK does; lines
// that do not decode, or hold a character GBK cannot represent, are left out
// and counted by reason.
#include "GbkSource.h"

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PhraseImport.h"
#include "ScratchDir.h"
#include "Tabrix.h"
#include "TxtLineReader.h"

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

// Every byte of a source, read in pieces of at most piece bytes.
std::string ReadSourceBytes(std::unique_ptr<CByteSource> bytes, size_t piece = 4096) {
  std::string out;
  if (bytes == nullptr) return out;
  std::vector<char> buffer(piece);
  while (size_t n = bytes->Read(buffer.data(), piece)) out.append(buffer.data(), n);
  return out;
}

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
  CTxtLineReader reader('#');
  reader.Open(source.OpenBytes());
  if (ImportNewGroup(library, reader, DefaultImportOptions(), &group, nullptr) != IMPORT_OK)
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

// A list that is UTF-8 but for a few bytes is read as UTF-8: the lines that
// do not decode are left out and counted, the others arrive whole.
TEST(GbkSource, UTF8ButForAFewBytesIsReadAsUTF8) {
  CScratchDir dir;
  const std::string bytes = kUtf8List + "caf\xE9 3\n" + std::string(u8"一心一意 9\n");
  const tagIMPORTED got = ImportThrough(dir.Write("list.txt", bytes), SOURCE_MODE_AUTO);
  ASSERT_EQ(got.nResult, SOURCE_OK);
  EXPECT_EQ(got.nEncoding, SOURCE_UTF8);
  EXPECT_EQ(got.nUndecodable, 1u);
  EXPECT_EQ(got.strGroup, "成语");
  EXPECT_EQ(got.arrPhrases, (std::vector<std::string>{"120/一心一意", "5/中文"}));
  // Two characters and one bad byte are still UTF-8; a GBK list stays GBK.
  const tagIMPORTED small = ImportThrough(
      dir.Write("list.txt", u8"中文 5\n" + std::string("caf\xE9 3\n")), SOURCE_MODE_AUTO);
  EXPECT_EQ(small.nEncoding, SOURCE_UTF8);
  EXPECT_EQ(small.arrPhrases, (std::vector<std::string>{"5/中文"}));
  std::string gbk;
  for (int i = 0; i < 50; ++i) gbk += "画蛇添足 " + std::to_string(i) + "\n一心一意\t3\n北京\n";
  EXPECT_EQ(ImportThrough(dir.Write("list.txt", gbk), SOURCE_MODE_AUTO).nEncoding, SOURCE_GBK);
}

// Without a byte-order mark, UTF-16 shows in its zero bytes: the high byte of
// every line end, digit and blank.
TEST(GbkSource, UTF16WithoutAMarkIsFoundByItsZeroBytes) {
  CScratchDir dir;
  const tagIMPORTED gbk = ImportThrough(dir.Write("list.txt", kGbkList), SOURCE_MODE_AUTO);
  for (bool big : {false, true}) {
    SCOPED_TRACE(big ? "big-endian" : "little-endian");
    const tagIMPORTED got =
        ImportThrough(dir.Write("list.txt", Utf16Bytes(kUtf16List, big, false)), SOURCE_MODE_AUTO);
    ASSERT_EQ(got.nResult, SOURCE_OK);
    EXPECT_EQ(got.nEncoding, big ? SOURCE_UTF16BE : SOURCE_UTF16LE);
    EXPECT_EQ(got.arrPhrases, gbk.arrPhrases);
  }
}

struct tagNOTTEXT {
  const char* pszName;
  std::string strBytes;
  SourceMode nMode;
  TextFault nFault;
  uint32_t nLine;  // 0: not checked
};

// A file that is not text is refused, whatever encoding it is said to be in,
// with the reason and the line where it shows.
TEST(GbkSource, AFileThatIsNotTextIsRefusedWithTheReason) {
  std::mt19937 rng(7);
  std::string random(4096, '\0');
  for (char& c : random) c = char(rng());
  static const char kPng[] = "\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x10\0\0\0\x10\x08\x06\0\0\0";
  const std::string png(kPng, sizeof kPng - 1);
  const tagNOTTEXT cases[] = {
      {"a PNG", png, SOURCE_MODE_AUTO, TEXT_FAULT_NUL, 3},
      {"a PNG said to be GBK", png, SOURCE_MODE_GBK, TEXT_FAULT_NUL, 3},
      {"a PNG said to be UTF-8", png, SOURCE_MODE_UTF8, TEXT_FAULT_NUL, 3},
      {"random bytes", random, SOURCE_MODE_AUTO, TEXT_FAULT_NUL, 0},
      {"a GBK list with one NUL", std::string(kGbkList) + std::string("\xB4\xCA\0 5\n", 6),
       SOURCE_MODE_AUTO, TEXT_FAULT_NUL, 5},
      {"a GBK list with an escape byte", std::string(kGbkList) + "a 1\n\x1B[0m 5\n",
       SOURCE_MODE_AUTO, TEXT_FAULT_CONTROL, 6},
      {"a UTF-16 list holding a control character", Utf16Bytes(u"中文 5\n\u0007 1\n", false, true),
       SOURCE_MODE_AUTO, TEXT_FAULT_CONTROL, 2},
      {"bytes that decode neither as UTF-8 nor as GBK",
       "\x80\xFF\x80\xFF\x80\xFF 1\n\xFF\x80\xFF\x80\xFF\x80 2\n", SOURCE_MODE_AUTO,
       TEXT_FAULT_UNDECODABLE, 0},
  };
  CScratchDir dir;
  for (const tagNOTTEXT& c : cases) {
    SCOPED_TRACE(c.pszName);
    const std::string path = dir.Write("picture.txt", c.strBytes);
    CGbkSource source;
    EXPECT_EQ(source.Open(path.c_str(), c.nMode), SOURCE_NOT_TEXT);
    EXPECT_EQ(source.GetTextFault(), c.nFault);
    if (c.nLine != 0) {
      EXPECT_EQ(source.GetFaultLine(), c.nLine);
    }
  }
  // The escape byte is named.
  CGbkSource source;
  const std::string path = dir.Write("esc.txt", "a 1\n\x1B 2\n");
  ASSERT_EQ(source.Open(path.c_str(), SOURCE_MODE_AUTO), SOURCE_NOT_TEXT);
  EXPECT_EQ(source.GetFaultByte(), 0x1B);
  // Text is no fault: tabs, CR and LF are the text's own.
  const std::string text = dir.Write("ok.txt", "a\t1\rb 2\r\nc 3\n");
  EXPECT_EQ(source.Open(text.c_str(), SOURCE_MODE_AUTO), SOURCE_OK);
  EXPECT_EQ(source.GetTextFault(), TEXT_FAULT_NONE);
}

TEST(GbkSource, GbkTextIsReadInPlace) {
  CScratchDir dir;
  const std::string path = dir.Write("list.txt", kGbkList);
  for (SourceMode mode : {SOURCE_MODE_AUTO, SOURCE_MODE_GBK}) {
    CGbkSource source;
    ASSERT_EQ(source.Open(path.c_str(), mode), SOURCE_OK);
    EXPECT_EQ(ReadSourceBytes(source.OpenBytes()), kGbkList);  // the file's bytes as they are
    EXPECT_EQ(source.GetEncoding(), SOURCE_GBK);
  }
  // Said to be UTF-8, GBK bytes do not decode: every line is left out.
  CGbkSource forced;
  ASSERT_EQ(forced.Open(path.c_str(), SOURCE_MODE_UTF8), SOURCE_OK);
  EXPECT_EQ(forced.GetUndecodable(), 4u);
}

// The text converts as it is read, each time from the start, in pieces of
// any size; a line that does not convert arrives as an empty line.
TEST(GbkSource, AConvertedListIsReadAsItsGbkBytes) {
  CScratchDir dir;
  const std::string path = dir.Write("list.txt", kUtf8List + "\xFF 1\n" + kUtf8List);
  CGbkSource source;
  ASSERT_EQ(source.Open(path.c_str(), SOURCE_MODE_AUTO), SOURCE_OK);
  ASSERT_EQ(source.GetUndecodable(), 1u);
  const std::string want = std::string(kGbkList) + "\n" + kGbkList;
  for (size_t piece : {size_t(1), size_t(7), size_t(65536)}) {
    EXPECT_EQ(ReadSourceBytes(source.OpenBytes(), piece), want) << piece;
  }
  EXPECT_EQ(source.GetUndecodable(), 1u);  // reading again counts nothing again
}

// A line longer than what the converter holds at once arrives whole once it
// converts, and as an empty line when a late part of it does not.
TEST(GbkSource, ALongLineArrivesWholeOrAsAnEmptyLine) {
  CScratchDir dir;
  const std::string longLine(200000, 'a');
  const std::string path =
      dir.Write("long.txt", longLine + u8"\n中文 5\n" + longLine + "\xFF\n" + u8"中文 6\n");
  CGbkSource source;
  ASSERT_EQ(source.Open(path.c_str(), SOURCE_MODE_UTF8), SOURCE_OK);
  EXPECT_EQ(source.GetUndecodable(), 1u);
  EXPECT_EQ(ReadSourceBytes(source.OpenBytes()), longLine + "\n中文 5\n\n中文 6\n");
}

TEST(GbkSource, AMissingFileIsHandedToTheImporter) {
  CScratchDir dir;
  CGbkSource source;
  const std::string path = dir.Path("missing.txt");
  EXPECT_EQ(source.Open(path.c_str(), SOURCE_MODE_AUTO), SOURCE_OK);
  EXPECT_EQ(source.GetSourcePath(), path);
  CTabrix library;
  CTxtLineReader reader('#');
  EXPECT_EQ(reader.Open(source.OpenBytes()), 0);
  EXPECT_NE(ImportNewGroup(library, reader, DefaultImportOptions(), nullptr, nullptr), IMPORT_OK);
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
