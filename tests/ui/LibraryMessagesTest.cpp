#include <gtest/gtest.h>

#include <cerrno>
#include <regex>
#include <set>

#include "DictImport.h"
#include "GbkSource.h"
#include "ImportStats.h"
#include "LibraryMessages.h"
#include "TextScan.h"
#include "LoadReport.h"
#include "ReadFault.h"
#include "ReadFaultMessages.h"
#include "SaveError.h"

TEST(LibraryMessages, AWholeFileWithNothingLeftOutSaysNothing) {
  tagLOADREPORT report = {};
  report.nAnnounced = report.nKept = 10;
  EXPECT_EQ("", LoadOutcomeMessage(report));
}

TEST(LibraryMessages, LeftOutRecordsAreNamedByReasonInOneMessage) {
  tagLOADREPORT report = {};
  report.nDropDuplicate = 3;
  report.nDropBadLength = 2;
  EXPECT_EQ("载入时略去了重复的词条 3 个，长度错误的词条 2 个。", LoadOutcomeMessage(report));
}

TEST(LibraryMessages, DamageSaysWhatAndHowMuchWasRecovered) {
  tagLOADREPORT report = {};
  report.nStatus = LOAD_DAMAGED;
  report.nDamage = DAMAGE_INDEX;
  report.nAnnounced = 1000;
  report.nKept = 998;
  report.nDropDamaged = 2;
  const std::string text = LoadOutcomeMessage(report);
  EXPECT_EQ(
      0u,
      text.find("词库文件已损坏（词条索引与词条不符）。文件中应有 1000 个词条，恢复了 998 个。"))
      << text;
  EXPECT_NE(std::string::npos, text.find("载入时略去了损坏的词条 2 个。")) << text;
}

TEST(LibraryMessages, EverySaveErrorHasItsOwnReasonAfterTheFixedText) {
  std::vector<std::string> seen;
  for (int e = SAVE_ERROR_IO; e <= SAVE_ERROR_BAD_NAME; ++e) {
    const std::string text = SaveFailedMessage(e);
    EXPECT_EQ(0u, text.find("保存失败\n")) << e;
    EXPECT_GT(text.size(), std::string("保存失败\n").size()) << e;
    for (const std::string& other : seen) EXPECT_NE(other, text) << e;
    seen.push_back(text);
  }
}

TEST(ImportSkippedMessage, NamesEachReasonWithItsCountAndNothingWhenClean) {
  EXPECT_EQ(ImportSkippedMessage(0, 0), "");
  EXPECT_EQ(ImportSkippedMessage(2, 0), "导入时跳过了 2 行含有 GBK 无法表示的字符。");
  EXPECT_EQ(ImportSkippedMessage(0, 7), "导入时跳过了 7 行无法解码。");
  EXPECT_EQ(ImportSkippedMessage(1, 3), "导入时跳过了 1 行含有 GBK 无法表示的字符，3 行无法解码。");
  // A dictionary's entries are counted as entries.
  EXPECT_EQ(ImportSkippedMessage(1, 3, true),
            "导入时跳过了 1 个词条含有 GBK 无法表示的字符，3 个词条无法解码。");
}

TEST(DictionaryFailedMessage, NamesTheFormatTheFileAndTheReasonInChinese) {
  tagREADFAULT fault = {};
  SetReadFault(&fault, READ_FAULT_SHORT_HEADER, 3008, 5444);
  EXPECT_EQ(DictionaryFailedMessage(DICT_FORMAT_SCEL, "网络流行语", fault),
            "导入失败：网络流行语 不是可以读取的搜狗细胞词库，没有添加任何词条。\n"
            "文件只有 3008 字节，少于文件头所写的 5444 字节。");
  EXPECT_EQ(ReadFaultText(fault), "the file holds 3008 bytes, fewer than the 5444 of the header");
  EXPECT_NE(DictionaryFailedMessage(DICT_FORMAT_RIME, "a", fault),
            DictionaryFailedMessage(DICT_FORMAT_QPYD, "a", fault));
}

namespace {

// The text with the names that are written as they are (encodings, format
// marks, the file's name) taken out: what is left has no ASCII letter.
bool HasEnglish(std::string text, const std::vector<std::string>& names) {
  for (const std::string& name : names)
    for (size_t at; (at = text.find(name)) != std::string::npos;) text.erase(at, name.size());
  // The Windows build's literals are GBK, whose second bytes may be letters.
  const bool bGbk = std::string("。").size() == 2;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (bGbk && static_cast<unsigned char>(c) >= 0x80)
      ++i;
    else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
      return true;
  }
  return false;
}

// The runs of digits of a text.
std::multiset<std::string> Numbers(const std::string& text) {
  std::multiset<std::string> numbers;
  const std::regex digits("[0-9]+");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), digits);
       it != std::sregex_iterator(); ++it)
    numbers.insert(it->str());
  return numbers;
}

}  // namespace

// Every reason a reader gives has a Chinese sentence of its own, with no
// English in it, naming the numbers the English names; wbk's English stays
// one line of ASCII.
TEST(ReadFaultChinese, EveryReasonIsChineseWithTheNumbersOfTheEnglish) {
  const std::vector<std::string> names = {"UTF-16", "UTF-8", "YAML", "Rime", "QQ", "biptbdsw"};
  std::set<std::string> seen;
  for (int code = READ_FAULT_NONE + 1; code < READ_FAULT_COUNT; ++code) {
    SCOPED_TRACE(code);
    for (uint64_t nTable : {0, 1}) {
      tagREADFAULT fault = {};
      SetReadFault(&fault, code, nTable, 3008, 5444, 70001);
      const std::string chinese = ReadFaultChinese(fault);
      const std::string english = ReadFaultText(fault);
      EXPECT_FALSE(HasEnglish(chinese, names)) << chinese;
      const std::string stop = "。";
      EXPECT_EQ(chinese.substr(chinese.size() - stop.size()), stop) << chinese;
      EXPECT_NE(chinese, ReadFaultChinese(tagREADFAULT{})) << chinese;
      for (char c : english) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << english;
      EXPECT_NE(english, ReadFaultText(tagREADFAULT{})) << english;
      // Each number the English names is in the Chinese too.
      std::multiset<std::string> inChinese = Numbers(chinese);
      for (const std::string& n : Numbers(english)) {
        const auto it = inChinese.find(n);
        EXPECT_NE(it, inChinese.end()) << n << " of \"" << english << "\" in " << chinese;
        if (it != inChinese.end()) inChinese.erase(it);
      }
      seen.insert(chinese);
    }
  }
  // Reasons are told apart (the two table numbers may word one reason alike).
  EXPECT_GE(seen.size(), size_t(READ_FAULT_COUNT - 2));
}

// Nor has any message of a library that failed to load or loaded damaged.
TEST(LoadFailedMessage, EveryStatusAndDamageIsChinese) {
  for (int status = LOAD_UNREADABLE; status <= LOAD_NO_MEMORY; ++status) {
    for (int e : {0, ENOENT, EACCES, EIO}) {
      tagLOADREPORT report = {};
      report.nStatus = status;
      report.nOpenError = e;
      report.nDamage = DAMAGE_INDEX;
      const std::string text = status == LOAD_DAMAGED
                                   ? LoadOutcomeMessage(report)
                                   : LoadFailedMessage("载入词库失败！", "lib.wbk", report);
      EXPECT_FALSE(HasEnglish(text, {"lib.wbk"})) << text;
    }
  }
  for (int damage = DAMAGE_NONE; damage <= DAMAGE_TRAILING; ++damage) {
    tagLOADREPORT report = {};
    report.nStatus = LOAD_DAMAGED;
    report.nDamage = damage;
    report.nDropDuplicate = report.nDropNoGroup = report.nDropBadLength = report.nDropDamaged = 1;
    EXPECT_FALSE(HasEnglish(LoadOutcomeMessage(report), {})) << LoadOutcomeMessage(report);
  }
}

TEST(StatusText, ImportsNameEveryReasonWithGroupedCountsAndHowTheFileWasRead) {
  tagIMPORTSTATS stats = {};
  stats.nAdded = 587;
  stats.nEncoding = SOURCE_GBK;
  stats.nFormat = DICT_FORMAT_TEXT;
  EXPECT_EQ("a.txt：已导入 587 条；GBK 编码的文本列表", ImportStatusText("a.txt", stats));
  stats.nDuplicate = 1401;
  stats.nOutOfRange = 6;
  stats.nTooLong = 4;
  stats.nNoGbkForm = 3;
  stats.nFreqReduced = 12;
  EXPECT_EQ(
      "词表.txt：已导入 587 条；跳过 1,414 条：重复 1,401，超出词频范围 6，过长 4，无 GBK 字形 "
      "3；词频超出 0 到 250 的 12 条已缩减；GBK 编码的文本列表",
      ImportStatusText("词表.txt", stats));
  stats = {};
  stats.nAdded = 1234567;
  stats.nUndecodable = 2;
  stats.nEncoding = SOURCE_UTF8;
  stats.nFormat = DICT_FORMAT_RIME;
  EXPECT_EQ("b：已导入 1,234,567 条；跳过 2 条：无法解码 2；UTF-8 编码的 Rime 词典",
            ImportStatusText("b", stats));
  stats.nControlOrEmpty = 1;
  stats.nEncoding = SOURCE_UTF16LE;
  stats.nFormat = DICT_FORMAT_SCEL;
  EXPECT_EQ(
      "b：已导入 1,234,567 条；跳过 3 条：无法解码 2，空白或含控制字符 1；UTF-16 LE "
      "编码的搜狗细胞词库",
      ImportStatusText("b", stats));
  // Every format and encoding has a name of its own.
  std::set<std::string> names;
  for (int f = DICT_FORMAT_TEXT; f < DICT_FORMAT_COUNT; ++f) names.insert(DictFormatText(f));
  for (int e = SOURCE_GBK; e <= SOURCE_UTF16BE; ++e) names.insert(SourceEncodingText(e));
  EXPECT_EQ(names.size(), size_t(DICT_FORMAT_COUNT - DICT_FORMAT_TEXT + 4));
}

TEST(StatusText, LoadsAndSavesNameTheFileAndItsCounts) {
  EXPECT_EQ("已载入 我的词库.wbk：3 个组，1,005 个词条",
            LibraryStatusText(false, "我的词库.wbk", 3, 1005));
  EXPECT_EQ("已保存 a.wbk：0 个组，0 个词条", LibraryStatusText(true, "a.wbk", 0, 0));
}

TEST(LoadFailedMessage, NamesTheFileAndWhyUnderTheFixedLine) {
  const struct {
    int nStatus;
    int nOpenError;
    const char* pszWhy;
  } cases[] = {{LOAD_UNREADABLE, ENOENT, "文件不存在。"},
               {LOAD_UNREADABLE, EACCES, "没有读取这个文件的权限，或者它正被别的程序独占。"},
               {LOAD_UNREADABLE, EIO, "无法读取这个文件。"},
               {LOAD_NOT_REGULAR, 0, "这不是一个文件，而是文件夹或设备。"},
               {LOAD_NOT_LIBRARY, 0, "这不是青柚词库文件。"},
               {LOAD_NO_MEMORY, 0, "内存不足，无法载入这个词库。"}};
  for (const auto& c : cases) {
    tagLOADREPORT report = {};
    report.nStatus = c.nStatus;
    report.nOpenError = c.nOpenError;
    EXPECT_EQ(std::string("载入词库失败！\n我的词库.wbk\n") + c.pszWhy,
              LoadFailedMessage("载入词库失败！", "我的词库.wbk", report));
  }
}

TEST(NotTextMessage, NamesTheFileAndWhatIsNoText) {
  EXPECT_EQ(NotTextMessage("picture", TEXT_FAULT_NUL, 3, 0),
            "导入失败：picture 不是文本文件（第 3 行含有 NUL 字节），没有添加任何词条。");
  EXPECT_EQ(NotTextMessage("esc", TEXT_FAULT_CONTROL, 12, 0x1B),
            "导入失败：esc 不是文本文件（第 12 行含有控制字符 0x1B），没有添加任何词条。");
  EXPECT_EQ(NotTextMessage("x", TEXT_FAULT_UNDECODABLE, 0, 0),
            "导入失败：x 不是文本文件（大部分内容既不是 UTF-8 也不是 GBK 编码的文字），"
            "没有添加任何词条。");
}

TEST(NothingImportedMessage, SaysNoGroupWasMadeAndWhyByReason) {
  tagIMPORTSTATS stats = {};
  EXPECT_EQ(NothingImportedMessage(stats, true),
            "没有导入任何词条，没有新建组。\n文件中没有词条。");
  stats.nDuplicate = 1401;
  stats.nOutOfRange = 6;
  stats.nNoGbkForm = 3;
  stats.nControlOrEmpty = 1;
  EXPECT_EQ(ImportSkippedCounts(stats),
            "重复 1,401，超出词频范围 6，无 GBK 字形 3，空白或含控制字符 1");
  EXPECT_EQ(NothingImportedMessage(stats, false),
            "没有导入任何词条。\n跳过 1,411 条：重复 1,401，超出词频范围 6，无 GBK 字形 3，"
            "空白或含控制字符 1");
  stats = {};
  stats.nTooLong = 1234567;
  stats.nUndecodable = 2;
  EXPECT_EQ(ImportSkippedCounts(stats), "过长 1,234,567，无法解码 2");
}
