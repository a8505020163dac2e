// The import buttons read phrase lists in UTF-8 and UTF-16 as they read GBK
// ones, through the real dialog; what cannot become GBK is named in a message.
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DictImport.h"
#include "GbkText.h"
#include "MainDialogFixture.h"
#include "PhraseImport.h"
#include "RealData.h"
#include "TestText.h"

namespace {

using Strings = std::vector<std::string>;

// One list in three forms: GBK bytes (the sources' literals), UTF-8 and UTF-16.
const char kGbk[] = "@名称=成语新编\n画蛇添足 12\r\n守株待兔\t\t7\n亡羊补牢\n北京 200\n";
const std::string kUtf8 = u8"@名称=成语新编\n画蛇添足 12\r\n守株待兔\t\t7\n亡羊补牢\n北京 200\n";
const std::u16string kUtf16 = u"@名称=成语新编\n画蛇添足 12\r\n守株待兔\t\t7\n亡羊补牢\n北京 200\n";

struct tagFORM {
  const char* pszName;
  std::string strBytes;
};

class EncodingTest : public MainDialogTest, public ::testing::WithParamInterface<int> {};

const tagFORM& Form(int i) {
  static const tagFORM kForms[] = {{"utf8", kUtf8},
                                   {"utf8_mark", "\xEF\xBB\xBF" + kUtf8},
                                   {"utf16le", tabrix_test::Utf16WithMark(kUtf16, false)},
                                   {"utf16be", tabrix_test::Utf16WithMark(kUtf16, true)}};
  return kForms[i];
}

TEST_P(EncodingTest, ImportsAsTheGbkListDoes) {
  // What the GBK list gives, through the core.
  const std::string gbkPath = m_scratch.Write("gbk.txt", kGbk);
  CTabrix expected;
  ASSERT_EQ(ImportNewGroup(expected, gbkPath.c_str(), DefaultImportOptions(), nullptr, nullptr),
            IMPORT_OK);

  const tagFORM& form = Form(GetParam());
  m_script.AnswerFile(m_scratch.Write(std::string(form.pszName) + ".txt", form.strBytes));
  Click(IDC_IMPORT_NEW_GROUP);
  EXPECT_TRUE(m_script.m_messageBoxes.empty()) << form.pszName;
  ASSERT_EQ(RowCount(), 1);
  EXPECT_EQ(Row(0), (Strings{"成语新编", "4", "", ""}));
  ASSERT_EQ(PhraseCount(), expected.m_arrPhrase.GetCount());
  for (uint32_t i = 0; i < PhraseCount(); ++i) {
    EXPECT_EQ(0, std::memcmp(m_dlg.m_library.m_arrPhrase.GetAt(i), expected.m_arrPhrase.GetAt(i),
                             sizeof(tagPHRASE2)))
        << form.pszName << " phrase " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Forms, EncodingTest, ::testing::Range(0, 4),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string(Form(info.param).pszName);
                         });

TEST_F(MainDialogTest, LinesWithNoGbkFormAreNamedInOneMessageAndLeftOut) {
  LoadSample();
  const std::string utf8 = u8"南京 3\n笑\U0001F600 5\n\U0001F600\n广州 1\n";
  m_script.AnswerFile(m_scratch.Write("smile.txt", utf8));
  const uint32_t before = PhraseCount();
  m_dlg.m_ctrlList.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  Click(IDC_IMPORT_TO_GROUP);
  ASSERT_EQ(MessageTexts(), Strings{"导入时跳过了 2 行含有 GBK 无法表示的字符。"});
  // 南京 and 广州 arrive; nothing with a '?' in place of the emoji.
  EXPECT_EQ(PhraseCount(), before + 2);
  for (uint32_t i = 0; i < PhraseCount(); ++i)
    EXPECT_EQ(std::strchr(m_dlg.m_library.m_arrPhrase.GetAt(i)->szWord, '?'), nullptr);
}

}  // namespace

namespace {

// Debian's dictionaries (installed by tools/setup.sh) through "导入新组": the
// group holds what the core's import of the same file gives.
TEST_F(MainDialogTest, RealDictionariesImportThroughTheButtonAsTheCoreImportsThem) {
  TABRIX_SKIP_UNLESS_REAL_DATA_TESTS();
  std::string missing;
  for (const char* host : {"/usr/share/rime-data/luna_pinyin.dict.yaml",
                           "/usr/lib/python3/dist-packages/jieba/dict.txt"}) {
    const std::string path = std::string("Z:") + host;  // Wine's view of the host
    if (!std::filesystem::exists(path)) {
      missing += std::string(" ") + host;  // installed by tools/setup.sh
      continue;
    }
    SCOPED_TRACE(host);
    CTabrix expected;
    uint8_t group = 0;
    tagIMPORTSTATS stats = {};
    tagREADFAULT fault = {};
    tagIMPORTOPTIONS options = DefaultImportOptions();
    const std::string title = GroupTitleFromPath(path.c_str());
    options.pszTitle = title.c_str();
    ASSERT_EQ(ImportDictionary(expected, path.c_str(), DetectDictFormat(path.c_str()), options,
                               true, &group, &stats, &fault),
              IMPORT_OK)
        << ReadFaultText(fault);

    Click(IDC_CLEAR);  // "清空": each dictionary into an empty library
    ASSERT_EQ(RowCount(), 0);
    CTabrix& lib = m_dlg.m_library;
    m_script.m_messageBoxes.clear();
    m_script.AnswerFile(path);
    Click(IDC_IMPORT_NEW_GROUP);
    ASSERT_EQ(RowCount(), 1);
    EXPECT_EQ(Cell(0, 0), FieldText(expected.GetGroup(0)->szName, sizeof(tagGROUPINFO::szName)));
    EXPECT_EQ(Cell(0, 1), std::to_string(stats.nAdded));
    ASSERT_EQ(PhraseCount(), expected.m_arrPhrase.GetCount());
    for (uint32_t i = 0; i < PhraseCount(); i += 997) {
      EXPECT_EQ(0, std::memcmp(lib.m_arrPhrase.GetAt(i), expected.m_arrPhrase.GetAt(i),
                               sizeof(tagPHRASE2)))
          << "phrase " << i;
    }
  }
  if (!missing.empty()) GTEST_SKIP() << "not installed:" << missing;
}

}  // namespace
