// The progress bar of load, save and import: it reaches where every step would
// have left it, while far fewer positions than steps reach the control, and
// it is back at zero when the command ends, whatever the outcome.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "MainDialogFixture.h"
#include "TestPaths.h"

namespace {

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
  // The bar's range was 0..nHigh, it showed nPos last, then went back to 0.
  void ExpectBar(const CBarPositions& bar, int nHigh, int nPos) {
    int low, high, pos;
    ProgressState(&low, &high, &pos);
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, nHigh);
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(bar.LastBeforeReset(), nPos);
  }
};

TEST_F(ProgressTest, LoadAndSaveOfManyPhrasesEndAtTheLastStepWithFewMoves) {
  const std::string file = m_scratch.Path("many.wbk");
  ASSERT_TRUE(WriteLibrary(file, {{"多", "", "", 0, Phrases(kPhrases)}}));
  ASSERT_GT(BarWidth(), 0);
  ASSERT_LT(BarWidth() + 2, kPhrases);
  {
    CBarPositions bar(m_dlg.m_ctrlProgress.m_hWnd);
    LoadFile(file);
    ASSERT_EQ(PhraseCount(), static_cast<uint32_t>(kPhrases));
    ExpectBar(bar, kPhrases, kPhrases - 1);
    EXPECT_GE(bar.m_arrPos.size(), 2u);
    EXPECT_LE(bar.m_arrPos.size(), static_cast<size_t>(BarWidth() + 3));
  }
  {
    const std::string out = m_scratch.Path("many-saved.wbk");
    CBarPositions bar(m_dlg.m_ctrlProgress.m_hWnd);
    m_script.AnswerFile(out);
    Click(IDC_SAVE);
    ExpectBar(bar, kPhrases, kPhrases - 1);
    EXPECT_GE(bar.m_arrPos.size(), 2u);
    EXPECT_LE(bar.m_arrPos.size(), static_cast<size_t>(BarWidth() + 3));
  }
}

// What the test sees while a load moves the bar: at the bar's move, another
// window needs painting and another thread waits on a message sent to the
// dialog. The window is painted while the load still works (before the bar
// goes back to zero); the message is answered once it has ended.
struct tagWHILEWORKING {
  HWND hDialog;
  HWND hStatus;
  UINT nAsk;  // the message the other thread sends
  bool bWorking = false;
  bool bAsked = false;
  std::thread asker;
  std::atomic<bool> bAnswered{false};
  int nPaintsWhileWorking = 0;
  int nAnswersWhileWorking = 0;
};

LRESULT CALLBACK WorkingBarProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR ref) {
  tagWHILEWORKING* pSeen = reinterpret_cast<tagWHILEWORKING*>(ref);
  if (msg == PBM_SETPOS) {
    pSeen->bWorking = wParam != 0;
    if (pSeen->bWorking && !pSeen->bAsked) {
      pSeen->bAsked = true;
      ::InvalidateRect(pSeen->hStatus, nullptr, TRUE);
      pSeen->asker = std::thread([pSeen] {
        ::SendMessageA(pSeen->hDialog, pSeen->nAsk, 0, 0);
        pSeen->bAnswered = true;
      });
      // The message waits for this thread before the bar's move ends.
      for (int i = 0; i < 5000 && !(HIWORD(::GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE);
           ++i) {
        ::Sleep(1);
      }
    }
  }
  return ::DefSubclassProc(hWnd, msg, wParam, lParam);
}

LRESULT CALLBACK WorkingPaintProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR ref) {
  tagWHILEWORKING* pSeen = reinterpret_cast<tagWHILEWORKING*>(ref);
  if (msg == WM_PAINT && pSeen->bWorking) ++pSeen->nPaintsWhileWorking;
  if (msg == pSeen->nAsk && pSeen->bWorking) ++pSeen->nAnswersWhileWorking;
  return ::DefSubclassProc(hWnd, msg, wParam, lParam);
}

TEST_F(ProgressTest, WhileALoadWorksTheWindowsPaintAndOtherProgramsWaitForTheEnd) {
  const std::string file = m_scratch.Path("many.wbk");
  ASSERT_TRUE(WriteLibrary(file, {{"多", "", "", 0, Phrases(kPhrases)}}));
  tagWHILEWORKING seen;
  seen.hDialog = m_dlg.m_hWnd;
  seen.hStatus = m_dlg.m_ctrlStatus.m_hWnd;
  seen.nAsk = ::RegisterWindowMessageA("TabrixTestAskWhileWorking");
  ASSERT_NE(nullptr, seen.hStatus);
  ::ShowWindow(m_dlg.m_hWnd, SW_SHOWNOACTIVATE);
  PumpMessages();
  const DWORD_PTR ref = reinterpret_cast<DWORD_PTR>(&seen);
  ASSERT_TRUE(::SetWindowSubclass(m_dlg.m_ctrlProgress.m_hWnd, &WorkingBarProc, 7, ref));
  ASSERT_TRUE(::SetWindowSubclass(seen.hStatus, &WorkingPaintProc, 7, ref));
  ASSERT_TRUE(::SetWindowSubclass(seen.hDialog, &WorkingPaintProc, 8, ref));
  LoadFile(file);
  PumpMessages();
  if (seen.asker.joinable()) seen.asker.join();
  ::RemoveWindowSubclass(m_dlg.m_ctrlProgress.m_hWnd, &WorkingBarProc, 7);
  ::RemoveWindowSubclass(seen.hStatus, &WorkingPaintProc, 7);
  ::RemoveWindowSubclass(seen.hDialog, &WorkingPaintProc, 8);
  ASSERT_EQ(PhraseCount(), static_cast<uint32_t>(kPhrases));
  EXPECT_TRUE(seen.bAsked);
  EXPECT_TRUE(seen.bAnswered);
  // Another program's message waits for the end: its answer means done.
  EXPECT_EQ(0, seen.nAnswersWhileWorking);
  EXPECT_GE(seen.nPaintsWhileWorking, 1);
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

  CBarPositions bar(m_dlg.m_ctrlProgress.m_hWnd);
  LoadFile(file);
  // The records before the cut are recovered and shown, and the message says
  // the file is damaged.
  const std::vector<std::string> texts = MessageTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(0u, texts[0].find("词库文件已损坏（文件不完整）")) << texts[0];
  EXPECT_EQ(PhraseCount(), static_cast<uint32_t>(kKept));
  // The throttle held step kKept - 1 back (less than a pixel, and too soon
  // after the range was set); the end of the load still shows it, and then
  // the bar is back at zero: nothing runs any more.
  ExpectBar(bar, kPhrases, kKept - 1);
}

TEST_F(ProgressTest, ImportOfManyLinesEndsAtTheFilesLengthWithFewMoves) {
  std::string text;
  for (const std::string& phrase : Phrases(kPhrases)) text += phrase + " 1\n";
  const std::string path = m_scratch.Write("many.txt", text);

  CBarPositions bar(m_dlg.m_ctrlProgress.m_hWnd);
  m_script.AnswerFile(path);
  Click(IDC_IMPORT_NEW_GROUP);
  EXPECT_EQ(PhraseCount(), static_cast<uint32_t>(kPhrases));
  ExpectBar(bar, static_cast<int>(text.size()), static_cast<int>(text.size()));
  EXPECT_GE(bar.m_arrPos.size(), 2u);
  EXPECT_LT(bar.m_arrPos.size(), static_cast<size_t>(kPhrases / 10));
}

// Every way a command can end leaves the bar at zero, wherever an earlier
// one left it: a load, an import into the marked group, an import that adds
// nothing, a load of a file that is not a library, a save that fails.
TEST_F(ProgressTest, EveryCommandLeavesTheBarAtZeroWhateverItsOutcome) {
  const std::string file = m_scratch.Path("many.wbk");
  ASSERT_TRUE(WriteLibrary(file, {{"多", "", "", 0, Phrases(kPhrases)}}));
  // 200 phrases the library lacks: another second character.
  std::string text;
  for (std::string phrase : Phrases(200)) {
    phrase[3] = static_cast<char>(0xA2);
    text += phrase + " 1\n";
  }
  const std::string list = m_scratch.Write("few.txt", text);
  const std::string notLibrary = m_scratch.Write("not.wbk", "no library here");
  struct tagCASE {
    const char* pszWhat;
    std::function<void()> run;
  };
  const tagCASE cases[] = {
      {"load", [&] { LoadFile(file); }},
      {"import into the marked group",
       [&] {
         MarkRow(0);
         m_script.AnswerFile(list);
         Click(IDC_IMPORT_TO_GROUP);
       }},
      {"import that adds nothing (every phrase there already)",
       [&] {
         m_script.AnswerFile(list);
         Click(IDC_IMPORT_TO_GROUP);
       }},
      {"load of a file that is not a library",
       [&] {
         m_script.AnswerMessageBox(IDNO);  // the question about the changes
         LoadFile(notLibrary);
       }},
      {"save that fails",
       [&] {
         m_script.AnswerFile(m_scratch.Path("no-such-folder/x.wbk"));
         Click(IDC_SAVE);
       }},
  };
  for (const tagCASE& c : cases) {
    m_dlg.m_ctrlProgress.SetRange32(0, 100);
    m_dlg.m_ctrlProgress.SetPos(50);
    const size_t nMessages = m_script.m_messageBoxes.size();
    c.run();
    EXPECT_EQ(0, m_dlg.m_ctrlProgress.GetPos()) << c.pszWhat;
    if (c.pszWhat != cases[0].pszWhat && c.pszWhat != cases[1].pszWhat) {
      EXPECT_LT(nMessages, m_script.m_messageBoxes.size()) << c.pszWhat << ": no failure said";
    }
  }
  EXPECT_EQ(static_cast<uint32_t>(kPhrases + 200), PhraseCount());
  EXPECT_EQ(0, m_script.m_nUnexpected);
}

}  // namespace
