#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <zlib.h>

#include "DictContent.h"
#include "DictReadChecks.h"
#include "FileBytes.h"
#include "TestPaths.h"
#include "Utf16LeBytes.h"
#include "ZlibInflate.h"

using namespace tabrix_test;

namespace {

struct tagQPYDWORD {
  std::string strPinyin;
  std::string strWordLe;  // the word's bytes as stored: UTF-16 LE
};

void PutU32(std::string* p, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*p)[at + i] = char((v >> (8 * i)) & 0xFF);
}

std::string Compressed(const std::string& raw) {
  uLongf nSize = compressBound(raw.size());
  std::string out(nSize, '\0');
  EXPECT_EQ(compress(reinterpret_cast<Bytef*>(&out[0]), &nSize,
                     reinterpret_cast<const Bytef*>(raw.data()), raw.size()),
            Z_OK);
  out.resize(nSize);
  return out;
}

// The inflated body as the format lays it out: the index of 10-byte records
// (pinyin length, word length, the float 1.0, offset), then each entry's
// pinyin and word, one after the other.
std::string BodyOf(const std::vector<tagQPYDWORD>& words) {
  std::string index;
  std::string texts;
  const size_t nIndexBytes = 10 * words.size();
  for (const tagQPYDWORD& w : words) {
    std::string record(10, '\0');
    record[0] = char(w.strPinyin.size());
    record[1] = char(w.strWordLe.size());
    record[4] = char(0x80);
    record[5] = char(0x3F);
    PutU32(&record, 6, uint32_t(nIndexBytes + texts.size()));
    index += record;
    texts += w.strPinyin + w.strWordLe;
  }
  return index + texts;
}

// A whole file: the header (body offset at 0x38, count at 0x44), the
// description at 0x60 padded with NULs to nDescriptionBytes, the body.
std::string QpydFile(const std::string& strDescriptionLe, size_t nDescriptionBytes, uint32_t nCount,
                     const std::string& body) {
  std::string file(0x60, '\0');
  std::string description = strDescriptionLe;
  description.resize(nDescriptionBytes, '\0');
  file += description;
  PutU32(&file, 0x38, uint32_t(file.size()));
  PutU32(&file, 0x44, nCount);
  return file + Compressed(body);
}

std::string QpydFile(const std::u16string& description, const std::vector<tagQPYDWORD>& words) {
  return QpydFile(Utf16LeBytes(description), 0x110, uint32_t(words.size()), BodyOf(words));
}

tagREADRESULT ReadQpydFile(const std::string& file) { return ReadWith(ReadQpyd, file); }

const std::vector<tagQPYDWORD> kWords = {
    {"ni'hao", Utf16LeBytes(u"你好")},
    {"a", Utf16LeBytes(u"啊")},
    {"biang'biang'mian", Utf16LeBytes(u"\U00030EDE\U00030EDE面")},
    {"ceshi", Utf16LeBytes(u"测试")},
};

TEST(ReadQpyd, ReadsEveryWordInOrderWithoutWeights) {
  const tagREADRESULT r = ReadQpydFile(QpydFile(u"Name: 测试词库\r\nType: 其他", kWords));
  ASSERT_TRUE(r.bOk) << r.strError;
  EXPECT_EQ(r.content.strTitle, u8"测试词库");
  EXPECT_EQ(r.content.nUndecodable, 0u);
  const std::vector<std::string> expected = {u8"你好", u8"啊", u8"\U00030EDE\U00030EDE面",
                                             u8"测试"};
  ASSERT_EQ(r.content.arrEntries.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(r.content.arrEntries[i].strText, expected[i]);
    EXPECT_FALSE(r.content.arrEntries[i].bHasWeight);
    EXPECT_EQ(r.content.arrEntries[i].nWeight, 0);
  }
}

TEST(ReadQpyd, TitleIsTheNameLineOrElseTheFirstLine) {
  const struct {
    std::u16string description;
    const char* pszTitle;
  } cases[] = {
      {u"Name: 城市", u8"城市"},
      {u"name:城市\r\nIntro: 地名", u8"城市"},
      {u"Type: 地名\r\n名称：城市", u8"城市"},
      {u"城市信息大全\r\n地名", u8"城市信息大全"},
      {u"\r\n  城市  ", u8"城市"},
      {u"", ""},
      {std::u16string(1, char16_t(0xD800)) + u"城市", ""},  // does not decode: no title
  };
  for (const auto& c : cases) {
    const tagREADRESULT r = ReadQpydFile(QpydFile(c.description, kWords));
    ASSERT_TRUE(r.bOk) << r.strError;
    EXPECT_EQ(r.content.strTitle, c.pszTitle);
    EXPECT_EQ(r.content.arrEntries.size(), kWords.size());
  }
}

TEST(ReadQpyd, ABodyRightAfterTheHeaderLeavesNoTitle) {
  std::string file(0x48, '\0');
  PutU32(&file, 0x38, 0x48);
  PutU32(&file, 0x44, uint32_t(kWords.size()));
  file += Compressed(BodyOf(kWords));
  const tagREADRESULT r = ReadQpydFile(file);
  ASSERT_TRUE(r.bOk) << r.strError;
  EXPECT_EQ(r.content.strTitle, "");
  EXPECT_EQ(r.content.arrEntries.size(), kWords.size());
}

TEST(ReadQpyd, WordsThatDoNotDecodeAreCountedAndTheOthersKept) {
  std::vector<tagQPYDWORD> words = kWords;
  words.insert(words.begin() + 1, {"x", std::string("\x60\x4F\x7D", 3)});  // odd byte count
  words.insert(words.begin() + 2, {"y", Utf16LeBytes(std::u16string(1, char16_t(0xDC00)))});
  words.insert(words.begin() + 3, {"z", Utf16LeBytes(std::u16string(u"a\0b", 3))});
  words.push_back({"empty", ""});
  const tagREADRESULT r = ReadQpydFile(QpydFile(u"Name: 测试", words));
  ASSERT_TRUE(r.bOk) << r.strError;
  EXPECT_EQ(r.content.nUndecodable, 4u);
  ASSERT_EQ(r.content.arrEntries.size(), kWords.size());
  EXPECT_EQ(r.content.arrEntries[0].strText, u8"你好");
  EXPECT_EQ(r.content.arrEntries[1].strText, u8"啊");
}

TEST(ReadQpyd, DamagedFilesFailWithTheirPlace) {
  const std::string good = QpydFile(u"Name: 测试", kWords);
  const uint32_t nBodyAt = 0x60 + 0x110;
  // One record more than the whole inflated body could hold as index.
  const uint32_t nBeyondIndex = uint32_t(BodyOf(kWords).size() / 10 + 1);
  std::string countTooLarge = good;
  PutU32(&countTooLarge, 0x44, nBeyondIndex);
  std::string countHuge = good;
  PutU32(&countHuge, 0x44, 0xFFFFFFFF);
  std::string bodyPastEnd = good;
  PutU32(&bodyPastEnd, 0x38, uint32_t(good.size()));
  std::string bodyInHeader = good;
  PutU32(&bodyInHeader, 0x38, 0x20);
  std::string streamDamaged = good;
  streamDamaged[nBodyAt] = 0x00;  // no zlib header
  std::string offsetPastBody = QpydFile(Utf16LeBytes(u"Name: 测试"), 0x110, 1, [] {
    std::string body = BodyOf({{"ce", Utf16LeBytes(u"测")}});
    PutU32(&body, 6, uint32_t(body.size() - 1));
    return body;
  }());
  const struct {
    const char* pszCase;
    std::string file;
    std::string strPlace;  // what the error must name
  } cases[] = {
      {"shorter than the header", good.substr(0, 0x47), "fewer than a .qpyd header"},
      {"count beyond the index", countTooLarge,
       "too short for the index of " + std::to_string(nBeyondIndex) + " entries"},
      {"count beyond the file", countHuge, "entry count at byte 68"},
      {"body offset past the end", bodyPastEnd, "body offset at byte 56"},
      {"body offset in the header", bodyInHeader, "body offset at byte 56"},
      {"stream damaged", streamDamaged, "body at byte 368: the compressed data is damaged"},
      {"stream cut", good.substr(0, good.size() - 3), "ends before its stream does"},
      {"text past the body", offsetPastBody, "entry 0 of the index"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pszCase);
    ExpectFailsSaying(ReadQpydFile(c.file), c.strPlace);
  }
}

TEST(ReadQpyd, EveryCutOfAFileFails) {
  const std::string file = QpydFile(u"Name: 测试", kWords);
  EXPECT_TRUE(CutsThatRead(ReadQpyd, std::vector<uint8_t>(file.begin(), file.end())).empty());
}

// tests/formats/data/sample.qpyd, laid out by hand from the format's
// description (not by this test's builder).
TEST(ReadQpyd, ReadsTheSampleFile) {
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadFileBytes(TestDataPath("sample.qpyd"), &bytes));
  tagDICTCONTENT content;
  tagREADFAULT fault = {};
  ASSERT_TRUE(ReadQpyd(bytes.data(), bytes.size(), &content, &fault)) << ReadFaultText(fault);
  EXPECT_EQ(content.strTitle, u8"示例词库");
  EXPECT_EQ(content.nUndecodable, 0u);
  ASSERT_EQ(content.arrEntries.size(), 3u);
  EXPECT_EQ(content.arrEntries[0].strText, u8"拼音");
  EXPECT_EQ(content.arrEntries[1].strText, u8"输入法");
  EXPECT_EQ(content.arrEntries[2].strText, u8"词库");
}

std::vector<uint8_t> Deflated(const std::string& raw) {
  const std::string z = Compressed(raw);
  return std::vector<uint8_t>(z.begin(), z.end());
}

TEST(InflateZlib, GivesTheWholeStreamAcrossManySteps) {
  std::string raw;
  for (uint32_t i = 0; raw.size() < (3u << 20); ++i) raw += std::to_string(i * 2654435761u);
  std::vector<uint8_t> z = Deflated(raw);
  z.push_back(0xAB);  // after the stream: not read
  std::vector<uint8_t> out;
  ASSERT_EQ(InflateZlib(z.data(), z.size(), ZLIB_MAX_OUTPUT, &out), READ_FAULT_NONE);
  EXPECT_EQ(std::string(out.begin(), out.end()), raw);
}

TEST(InflateZlib, StopsAtItsLimit) {
  const std::string raw(100000, 'a');
  const std::vector<uint8_t> z = Deflated(raw);
  std::vector<uint8_t> out;
  EXPECT_EQ(InflateZlib(z.data(), z.size(), raw.size(), &out), READ_FAULT_NONE);
  EXPECT_EQ(out.size(), raw.size());
  EXPECT_EQ(InflateZlib(z.data(), z.size(), raw.size() - 1, &out), READ_FAULT_INFLATE_TOO_LARGE);
  EXPECT_TRUE(out.empty());
}

}  // namespace
