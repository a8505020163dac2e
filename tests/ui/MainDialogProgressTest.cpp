// The progress bar of load, save and import: it ends where every step would
// have left it, while far fewer positions than steps reach the control.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "MainDialogFixture.h"
#include "TestPaths.h"

namespace {

// Counts the position messages that reach a control, through a subclass.
class CSetPosCounter {
 public:
  explicit CSetPosCounter(HWND hWnd) : m_hWnd(hWnd) {
    EXPECT_TRUE(
        ::SetWindowSubclass(m_hWnd, &CSetPosCounter::Proc, 1, reinterpret_cast<DWORD_PTR>(this)));
  }
  ~CSetPosCounter() { ::RemoveWindowSubclass(m_hWnd, &CSetPosCounter::Proc, 1); }
  CSetPosCounter(const CSetPosCounter&) = delete;
  CSetPosCounter& operator=(const CSetPosCounter&) = delete;

  int m_nSetPos = 0;

 private:
  static LRESULT CALLBACK Proc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR ref) {
    if (msg == PBM_SETPOS) ++reinterpret_cast<CSetPosCounter*>(ref)->m_nSetPos;
    return ::DefSubclassProc(hWnd, msg, wParam, lParam);
  }
  HWND m_hWnd;
};

// n distinct two-character GBK phrases, all 4 bytes long.
std::vector<std::string> Phrases(int n) {
  std::vector<std::string> phrases;
  for (int i = 0; i < n; ++i) {
    phrases.push_back({static_cast<char>(0xB0 + i / 94), static_cast<char>(0xA1 + i % 94),
                       static_cast<char>(0xB0), static_cast<char>(0xA1)});
  }
  return phrases;
}

const int kPhrases = 3000;

class ProgressTest : public MainDialogTest {
 protected:
  // The bar's inside in pixels: the most positions it can show differently.
  int BarWidth() const {
    RECT rect = {};
    m_dlg.m_ctrlProgress.GetClientRect(&rect);
    return rect.right - rect.left;
  }
  void ExpectBar(int nHigh, int nPos) {
    int low, high, pos;
    ProgressState(&low, &high, &pos);
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, nHigh);
    EXPECT_EQ(pos, nPos);
  }
};

TEST_F(ProgressTest, LoadAndSaveOfManyPhrasesEndAtTheLastStepWithFewMoves) {
  const std::string file = m_scratch.Path("many.wbk");
  ASSERT_TRUE(WriteLibrary(file, {{"多", "", "", 0, Phrases(kPhrases)}}));
  ASSERT_GT(BarWidth(), 0);
  ASSERT_LT(BarWidth() + 2, kPhrases);
  {
    CSetPosCounter counter(m_dlg.m_ctrlProgress.m_hWnd);
    LoadFile(file);
    ASSERT_EQ(PhraseCount(), static_cast<uint32_t>(kPhrases));
    ExpectBar(kPhrases, kPhrases - 1);
    EXPECT_GE(counter.m_nSetPos, 1);
    EXPECT_LE(counter.m_nSetPos, BarWidth() + 2);
  }
  {
    const std::string out = m_scratch.Path("many-saved.wbk");
    CSetPosCounter counter(m_dlg.m_ctrlProgress.m_hWnd);
    m_script.AnswerFile(out);
    Click(IDC_SAVE);
    ExpectBar(kPhrases, kPhrases - 1);
    EXPECT_GE(counter.m_nSetPos, 1);
    EXPECT_LE(counter.m_nSetPos, BarWidth() + 2);
  }
}

TEST_F(ProgressTest, LoadThatBreaksOffLeavesTheBarAtTheLastPhraseRead) {
  const std::string file = m_scratch.Path("cut.wbk");
  ASSERT_TRUE(WriteLibrary(file, {{"多", "", "", 0, Phrases(kPhrases)}}));
  // Header, group count and one group record, the phrase bytes, then records
  // of 3 + 4 bytes: keep 2000 whole records and part of the next one.
  const long kRecords = 12 + 1 + 308 + 4;
  const int kKept = 2000;
  FILE* f = std::fopen(file.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  std::vector<char> bytes(static_cast<size_t>(kRecords + 7 * kKept + 3));
  ASSERT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
  std::fclose(f);
  f = std::fopen(file.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
  std::fclose(f);

  LoadFile(file);
  // The records before the cut are recovered and shown, and the message says
  // the file is damaged.
  const std::vector<std::string> texts = MessageTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(0u, texts[0].find("词库文件已损坏（文件不完整）")) << texts[0];
  EXPECT_EQ(PhraseCount(), static_cast<uint32_t>(kKept));
  // The throttle held step kKept - 1 back (less than a pixel, and too soon
  // after the range was set); the end of the load still shows it.
  ExpectBar(kPhrases, kKept - 1);
}

TEST_F(ProgressTest, ImportOfManyLinesEndsAtTheFilesLengthWithFewMoves) {
  std::string text;
  for (const std::string& phrase : Phrases(kPhrases)) text += phrase + " 1\n";
  const std::string path = m_scratch.Write("many.txt", text);

  CSetPosCounter counter(m_dlg.m_ctrlProgress.m_hWnd);
  m_script.AnswerFile(path);
  Click(IDC_IMPORT_NEW_GROUP);
  EXPECT_EQ(PhraseCount(), static_cast<uint32_t>(kPhrases));
  ExpectBar(static_cast<int>(text.size()), static_cast<int>(text.size()));
  EXPECT_GE(counter.m_nSetPos, 1);
  EXPECT_LT(counter.m_nSetPos, kPhrases / 10);
}

}  // namespace
