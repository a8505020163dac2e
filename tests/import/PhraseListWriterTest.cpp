// The phrase-list writer against the import: a line it calls whole reads back
// as its phrase, and a line it refuses would not.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "CasePrint.h"
#include "PhraseImport.h"
#include "PhraseListWriter.h"
#include "ScratchDir.h"
#include "Tabrix.h"

namespace {

tagPHRASE2 Phrase(const std::string& text, uint8_t freq) {
  tagPHRASE2 p;
  std::memset(&p, 0, sizeof p);
  p.byFreq = freq;
  p.cLen = static_cast<uint8_t>(text.size());
  std::memcpy(p.szWord, text.data(), text.size());
  return p;
}

struct tagLINECASE {
  std::string strText;
  uint8_t byFreq;
  PhraseLineFault nFault;
};

void PrintTo(const tagLINECASE& c, std::ostream* os) {
  *os << Printable(c.strText) << " " << int(c.byFreq);
}

class LineCases : public testing::TestWithParam<tagLINECASE> {};

TEST_P(LineCases, TheFaultSaysWhetherTheImportReadsThePhraseBack) {
  const tagLINECASE& c = GetParam();
  std::string line;
  EXPECT_EQ(PhraseListLine(Phrase(c.strText, c.byFreq), &line), c.nFault);
  EXPECT_EQ(line, c.strText + "\t" + std::to_string(c.byFreq));
  // Read back the import's way.
  tagPHRASELINE split{};
  SplitPhraseLine(line.c_str(), static_cast<uint32_t>(line.size()), &split);
  const bool sameText = split.nTextStart == 0 && split.nTextLen == c.strText.size() &&
                        line.find('\0') == std::string::npos &&
                        line.find_first_of("\r\n") == std::string::npos;
  const bool sameFreq = PhraseFrequency(line.c_str() + split.nFreqStart) == c.byFreq;
  if (c.nFault == LINE_OK) {
    EXPECT_TRUE(sameText && sameFreq);
  } else if (c.nFault == LINE_HIGH_FREQ) {
    EXPECT_TRUE(sameText && !sameFreq);
  }
}

const tagLINECASE kLineCases[] = {
    {"abc", 7, LINE_OK},
    {"\xD6\xD0\xCE\xC4", 250, LINE_OK},  // 中文
    {"\xD5\x5C", 1, LINE_OK},            // a trail byte that is a backslash
    {"\x81\x7C", 1, LINE_OK},            // and one that is '|'
    {"a#b", 0, LINE_OK},                 // '#' only counts first
    {"\xD6\x20", 3, LINE_OK},            // a blank as trail byte is part of the character
    {"a", 251, LINE_HIGH_FREQ},
    {"a", 255, LINE_HIGH_FREQ},
    {std::string("a\0b", 3), 1, LINE_NUL},
    {"a\rb", 1, LINE_BREAK},
    {"a\nb", 1, LINE_BREAK},
    {"#a", 1, LINE_COMMENT},
    {"@a", 1, LINE_HEADER},
    {"a b", 1, LINE_BLANK},
    {"a\tb", 1, LINE_BLANK},
    {"ab\xD6", 1, LINE_SPLIT},  // the lead byte takes the tab with it
    {"", 17, LINE_EMPTY},       // "<TAB>17" is the phrase "17"
    {"a\x01"
     "b",
     1, LINE_CONTROL},
    {"\x7F", 1, LINE_CONTROL},
};

INSTANTIATE_TEST_SUITE_P(Table, LineCases, testing::ValuesIn(kLineCases));

TEST(PhraseLineFaultName, NamesEachFault) {
  EXPECT_STREQ(PhraseLineFaultName(LINE_OK), "");
  EXPECT_STREQ(PhraseLineFaultName(LINE_SPLIT), "ends in half a character");
  EXPECT_STREQ(PhraseLineFaultName(LINE_HIGH_FREQ), "frequency above 250 (imports as 250)");
  for (int f = LINE_OK + 1; f < LINE_FAULT_COUNT; ++f) {
    EXPECT_STRNE(PhraseLineFaultName(static_cast<PhraseLineFault>(f)), "") << f;
  }
}

tagGROUPINFO Group(const std::string& name, const std::string& editor, const std::string& remark) {
  tagGROUPINFO g;
  std::memset(&g, 0, sizeof g);
  std::memcpy(g.szName, name.data(), std::min(name.size(), sizeof g.szName));
  std::memcpy(g.szEditor, editor.data(), std::min(editor.size(), sizeof g.szEditor));
  std::memcpy(g.szRemark, remark.data(), std::min(remark.size(), sizeof g.szRemark));
  return g;
}

TEST(HeaderFields, KeysAndFieldsOfTheGroupRecord) {
  EXPECT_STREQ(kHeaderFields[0].pszKey, "@\xC3\xFB\xB3\xC6=");  // @名称=
  EXPECT_STREQ(kHeaderFields[1].pszKey, "@\xB1\xE0\xBC\xAD=");  // @编辑=
  EXPECT_STREQ(kHeaderFields[2].pszKey, "@\xB1\xB8\xD7\xA2=");  // @备注=
  EXPECT_EQ(kHeaderFields[0].nOffset, offsetof(tagGROUPINFO, szName));
  EXPECT_EQ(kHeaderFields[1].nOffset, offsetof(tagGROUPINFO, szEditor));
  EXPECT_EQ(kHeaderFields[2].nOffset, offsetof(tagGROUPINFO, szRemark));
  EXPECT_EQ(kHeaderFields[2].nWidth, sizeof(tagGROUPINFO::szRemark));
  for (const tagHEADERFIELD& f : kHeaderFields) {
    EXPECT_EQ(HeaderValueLimit(f), IMPORT_MAX_LINE - 6u) << f.pszWhat;
  }
}

struct tagWRITTENHEADERCASE {
  const char* pszWhat;
  std::string strRemark;
  std::string strValue;
  bool bCarried;
};

TEST(HeaderLineValue, CutAtALineBreakAndAfterWholeCharacters) {
  const std::string zhong = "\xD6\xD0";
  const tagWRITTENHEADERCASE cases[] = {
      {"a short remark", "remark", "remark", true},
      {"empty", "", "", true},
      {"a line break ends it", "one\r\ntwo", "one", false},
      {"what one line holds", std::string(94, 'r'), std::string(94, 'r'), true},
      {"longer than a line", std::string(95, 'r'), std::string(94, 'r'), false},
      {"a character across the line's end", std::string(93, 'r') + zhong, std::string(93, 'r'),
       false},
      {"a character at the line's end", std::string(92, 'r') + zhong, std::string(92, 'r') + zhong,
       true},
      {"half a character at its end is left out", "ab\xD6", "ab", false},
  };
  for (const tagWRITTENHEADERCASE& c : cases) {
    const tagGROUPINFO g = Group("n", "e", c.strRemark);
    bool carried = !c.bCarried;
    EXPECT_EQ(HeaderLineValue(kHeaderFields[2], g, &carried), c.strValue) << c.pszWhat;
    EXPECT_EQ(carried, c.bCarried) << c.pszWhat;
  }
}

TEST(HeaderLineValue, AFieldWithoutNulKeepsWhatItsFieldHolds) {
  // A name of 50 bytes (written elsewhere): the import keeps 49 of them.
  tagGROUPINFO g = Group(std::string(50, 'n'), "", "");
  bool carried = true;
  EXPECT_EQ(HeaderLineValue(kHeaderFields[0], g, &carried), std::string(50, 'n'));
  EXPECT_FALSE(carried);
  g = Group(std::string(49, 'n'), "", "");
  EXPECT_EQ(HeaderLineValue(kHeaderFields[0], g, &carried), std::string(49, 'n'));
  EXPECT_TRUE(carried);
}

TEST(PhraseListWriter, AWrittenListImportsAsTheGroup) {
  CScratchDir dir;
  const tagGROUPINFO group =
      Group("\xB3\xC9\xD3\xEF", "\xD5\xC5\xC8\xFD", "r \"q\"");  // 成语, 张三
  std::string text;
  for (const tagHEADERFIELD& f : kHeaderFields) {
    bool carried = false;
    text += f.pszKey + HeaderLineValue(f, group, &carried) + "\n";
    EXPECT_TRUE(carried) << f.pszWhat;
  }
  const tagPHRASE2 phrases[] = {Phrase("\xD5\x5C", 1), Phrase("a#b", 250), Phrase("x", 251)};
  for (const tagPHRASE2& p : phrases) {
    std::string line;
    ASSERT_NE(PhraseListLine(p, &line), LINE_SPLIT);
    text += line + "\n";
  }
  const std::string path = dir.Write("list.txt", text);

  CTabrix lib;
  uint8_t g = TABRIX_NO_GROUP;
  ASSERT_EQ(ImportNewGroup(lib, path.c_str(), DefaultImportOptions(), &g, nullptr), IMPORT_OK);
  const tagGROUPINFO* info = lib.GetGroup(g);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(FieldText(info->szName, sizeof info->szName), "\xB3\xC9\xD3\xEF");
  EXPECT_EQ(FieldText(info->szEditor, sizeof info->szEditor), "\xD5\xC5\xC8\xFD");
  EXPECT_EQ(FieldText(info->szRemark, sizeof info->szRemark), "r \"q\"");
  ASSERT_EQ(lib.m_arrPhrase.GetCount(), 3u);
  EXPECT_EQ(info->dwCount, 3u);
  // The store is sorted by bytes: "a#b", "x", then 誠.
  EXPECT_EQ(std::string(lib.m_arrPhrase.GetAt(0)->szWord), "a#b");
  EXPECT_EQ(lib.m_arrPhrase.GetAt(0)->byFreq, 250);
  EXPECT_EQ(std::string(lib.m_arrPhrase.GetAt(1)->szWord), "x");
  EXPECT_EQ(lib.m_arrPhrase.GetAt(1)->byFreq, 250);  // 251 imports as 250
  EXPECT_EQ(std::string(lib.m_arrPhrase.GetAt(2)->szWord), "\xD5\x5C");
  EXPECT_EQ(lib.m_arrPhrase.GetAt(2)->byFreq, 1);
}

}  // namespace
