// The main dialog's recovery file, in a folder of the test's own: written at
// the timer's tick only when the library's state changed, gone after a save,
// an undo back to the saved state and the end of the window; left-behind
// files offered at start, 是 loading one modified and without a name, 否
// removing it. The timer's ticks are sent by the test.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "RecoveryFiles.h"
#include "ScratchDir.h"
#include "TabrixApp.h"
#include "TabrixDlg.h"
#include "UiTestSupport.h"
#include "framework/UiScript.h"

namespace {

const char kOffer[] = "上次未保存的词库已恢复，是否载入？";

class MainDialogRecoveryTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (m_pDlg && m_pDlg->m_hWnd) m_pDlg->DestroyWindow();
    theApp.m_pMainWnd = nullptr;
    EXPECT_EQ(m_script.m_nUnexpected, 0);
  }

  // A dialog whose keeper uses the scratch folder; its timer never fires by
  // itself within a test.
  CTabrixDlg& Open() {
    if (m_pDlg && m_pDlg->m_hWnd) m_pDlg->DestroyWindow();
    m_pDlg.reset(new CTabrixDlg);
    m_pDlg->m_recovery.m_strFolder = Folder();
    m_pDlg->m_recovery.m_nIntervalMs = 3600 * 1000;
    EXPECT_TRUE(m_pDlg->Create());
    theApp.m_pMainWnd = m_pDlg.get();
    PumpMessages();
    return *m_pDlg;
  }
  // One tick of the timer, and the write it started, to its end.
  void Tick() {
    m_pDlg->SendMessage(WM_TIMER, CRecoveryKeeper::TIMER_ID, 0);
    m_pDlg->m_recovery.WaitForWrite();
  }
  std::string Folder() const { return m_scratch.Path("Recovery"); }
  // A session's file, written and left as a crash leaves it.
  std::string LeaveBehind(CTabrix& lib) {
    CRecoveryFile file;
    EXPECT_TRUE(file.Create(Folder()));
    EXPECT_EQ(0, file.Write(lib));
    const std::string path = file.GetPath();
    file.Release();
    return path;
  }
  std::vector<std::string> Names() const { return m_scratch.Names("Recovery"); }
  // Groups and phrases as they stand, by the library file's bytes.
  static std::string Content(CTabrix& lib) {
    std::vector<std::string> parts;
    std::string text;
    for (uint32_t i = 0; i < lib.GetGroupCount(); ++i) {
      text += std::string(lib.GetGroup(i)->szName) + "/" +
              std::to_string(lib.GetGroup(i)->dwCount) + "/" +
              std::to_string(lib.GetGroup(i)->bEnable) + ";";
    }
    for (uint32_t i = 0; i < lib.m_arrPhrase.GetCount(); ++i) {
      const tagPHRASE2* p = lib.m_arrPhrase.GetAt(i);
      text += std::string(p->szWord, p->cLen) + ":" + std::to_string(p->byFreq) + ":" +
              std::to_string(p->byGroup) + ";";
    }
    return text;
  }
  static std::string FileContent(const std::string& path) {
    CTabrix loaded;
    if (!loaded.Load(path.c_str())) return "(does not load)";
    return Content(loaded);
  }

  CUiScript m_script;  // outlives the dialog
  CScratchDir m_scratch;
  std::unique_ptr<CTabrixDlg> m_pDlg;
};

TEST_F(MainDialogRecoveryTest, WrittenOnlyWhenTheStateChangedAndGoneWhenNothingIsUnsaved) {
  CTabrixDlg& dlg = Open();
  Tick();  // nothing modified: nothing written, no folder made
  EXPECT_FALSE(IsFolderPath(Folder()));

  ASSERT_EQ(0, dlg.m_history.AddGroup(dlg.m_library, "成语", "张三", "", 1));
  ASSERT_EQ(1, dlg.m_history.AddPhrase(dlg.m_library, "一心一意", 255, 9, 0));
  Tick();
  const std::string path = dlg.m_recovery.GetPath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(Content(dlg.m_library), FileContent(path));
  const std::string name = path.substr(path.find_last_of("/\\") + 1);
  EXPECT_EQ((std::vector<std::string>{name, name + ".lock"}), Names());

  // The same state again: the file is not written (what stands in it stays).
  m_scratch.Write("Recovery/" + name, "not rewritten");
  Tick();
  EXPECT_EQ("(does not load)", FileContent(path));
  // A change: written again, under the same name.
  ASSERT_EQ(1, dlg.m_history.AddPhrase(dlg.m_library, "三心二意", 255, 5, 0));
  Tick();
  EXPECT_EQ(Content(dlg.m_library), FileContent(path));
  EXPECT_EQ(path, dlg.m_recovery.GetPath());

  // Undone back to the state at start, which is saved: nothing to recover.
  ASSERT_EQ(1, dlg.m_history.Undo(dlg.m_library));
  ASSERT_EQ(1, dlg.m_history.Undo(dlg.m_library));
  ASSERT_EQ(1, dlg.m_history.Undo(dlg.m_library));
  ASSERT_FALSE(dlg.m_history.IsModified());
  Tick();
  EXPECT_EQ(std::vector<std::string>{name + ".lock"}, Names());
  // Redone: written again.
  ASSERT_EQ(1, dlg.m_history.Redo(dlg.m_library));
  Tick();
  EXPECT_EQ(Content(dlg.m_library), FileContent(path));
}

TEST_F(MainDialogRecoveryTest, ASaveRemovesTheFileAndTheWindowsEndRemovesItsLock) {
  CTabrixDlg& dlg = Open();
  ASSERT_EQ(0, dlg.m_history.AddGroup(dlg.m_library, "地名", "", "", 0));
  Tick();
  const std::string path = dlg.m_recovery.GetPath();
  const std::string name = path.substr(path.find_last_of("/\\") + 1);
  ASSERT_EQ((std::vector<std::string>{name, name + ".lock"}), Names());

  m_script.AnswerFile(m_scratch.Path("saved.wbk"));
  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SAVE, BN_CLICKED),
                  reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDC_SAVE)));
  ASSERT_FALSE(dlg.m_history.IsModified());
  EXPECT_EQ(std::vector<std::string>{name + ".lock"}, Names());

  // Modified again and written; "退出" asks, 否 drops the work and the file.
  ASSERT_EQ(1, dlg.m_history.SetGroupEnable(dlg.m_library, 0, 1));
  Tick();
  ASSERT_EQ((std::vector<std::string>{name, name + ".lock"}), Names());
  m_script.m_nMessageBoxResult = IDNO;
  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                  reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDCANCEL)));
  EXPECT_EQ(nullptr, dlg.m_hWnd);  // a modeless dialog ends by its window's end
  EXPECT_EQ(std::vector<std::string>{}, Names());
}

// Yes loads the file modified and without a name, and keeps it as the new
// session's own; No removes it; a running session's file is never offered.
TEST_F(MainDialogRecoveryTest, TheOfferAtStart) {
  CTabrix left;
  ASSERT_EQ(0, left.AddGroup("人名", "李四", "留下的"));
  ASSERT_EQ(1, left.AddPhrase("王五", 255, 3, 1, 0));
  const std::string leftPath = LeaveBehind(left);
  // Held by a running session: not offered.
  CRecoveryFile running;
  ASSERT_TRUE(running.Take(leftPath));
  CTabrixDlg& first = Open();
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
  EXPECT_EQ(0u, first.m_library.GetGroupCount());
  running.Release();

  m_script.m_nMessageBoxResult = IDYES;
  CTabrixDlg& dlg = Open();
  ASSERT_EQ(1u, m_script.m_messageBoxes.size());
  EXPECT_EQ(kOffer, m_script.m_messageBoxes[0].strText);
  EXPECT_EQ(UINT(MB_YESNO), m_script.m_messageBoxes[0].nType & MB_TYPEMASK);
  EXPECT_EQ(Content(left), Content(dlg.m_library));
  EXPECT_EQ(1, dlg.m_ctrlList.GetItemCount());
  EXPECT_TRUE(dlg.m_history.IsModified());
  EXPECT_EQ("", dlg.m_history.GetFileName());
  EXPECT_EQ(leftPath, dlg.m_recovery.GetPath());
  CRecoveryFile probe;
  EXPECT_FALSE(probe.Take(leftPath));  // the session's own now
  // The window's end (nothing saved, as asked) takes it away.
  dlg.DestroyWindow();
  EXPECT_EQ(std::vector<std::string>{}, Names());

  const std::string otherPath = LeaveBehind(left);
  m_script.m_nMessageBoxResult = IDNO;
  CTabrixDlg& again = Open();
  ASSERT_EQ(2u, m_script.m_messageBoxes.size());
  EXPECT_EQ(kOffer, m_script.m_messageBoxes[1].strText);
  EXPECT_EQ(0u, again.m_library.GetGroupCount());
  EXPECT_FALSE(again.m_history.IsModified());
  EXPECT_EQ(std::vector<std::string>{}, Names());
}

}  // namespace
