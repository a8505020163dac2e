// The main dialog keeps the user's work: the caption names the file and
// marks changes, every way out asks before modified work is dropped, a
// cancelled or failed load changes nothing, Ctrl+S saves to the library's
// own file, and every change is undone and redone byte for byte.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FileIO.h"
#include "MainDialogFixture.h"
#include "framework/PathText.h"
#include "PhraseMessages.h"
#include "framework/Dialog.h"

namespace {

typedef std::vector<char> Bytes;

const char kBaseCaption[] = "青柚输入法:词库编辑器";

class MainDialogSessionTest : public MainDialogTest {
 protected:
  // The library as its file holds it, the header's stamp aside.
  Bytes Body() {
    const std::string path = m_scratch.Path("body.bin");
    {
      CFileWriter file;
      EXPECT_TRUE(file.Open(path.c_str()));
      EXPECT_EQ(1, m_dlg.m_library.WriteBody(file));
      EXPECT_TRUE(file.Close());
    }
    return FileBytes(path);
  }
  static Bytes FileBytes(const std::string& path) {
    Bytes bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
      char buffer[4096];
      for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
        bytes.insert(bytes.end(), buffer, buffer + n);
      std::fclose(f);
    }
    return bytes;
  }
  std::vector<std::vector<std::string>> Rows() const {
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < RowCount(); ++i) {
      std::vector<std::string> row = Row(i);
      row.push_back(std::to_string(Image(i)));
      rows.push_back(row);
    }
    return rows;
  }
  // The caption as the title bar shows it, in GBK.
  std::string Caption() const {
    wchar_t text[512] = {};
    ::InternalGetWindowText(m_dlg.m_hWnd, text, 512);
    char gbk[1024] = {};
    ::WideCharToMultiByte(936, 0, text, -1, gbk, sizeof gbk, nullptr, nullptr);
    return gbk;
  }
  // A key pressed with Ctrl held, as the window's message loop sees it.
  void CtrlKey(HWND hWnd, UINT vk) {
    BYTE keys[256];
    ASSERT_TRUE(::GetKeyboardState(keys));
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    ::PostMessageA(hWnd, WM_KEYDOWN, vk, 0);
    PumpMessages();
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
  }
  void Undo() { CtrlKey(m_dlg.m_ctrlList.m_hWnd, 'Z'); }
  void Redo() { CtrlKey(m_dlg.m_ctrlList.m_hWnd, 'Y'); }
  // A change that marks the library modified: row 1's tick.
  void Edit() {
    m_dlg.m_ctrlList.SetCheck(1, TRUE);
    ASSERT_EQ(1, Enable(1));
    ASSERT_TRUE(m_dlg.m_history.IsModified());
  }
  bool IsOpen() const { return m_dlg.m_hWnd != nullptr && ::IsWindow(m_dlg.m_hWnd); }
  std::string WriteOther() {
    const std::string path = m_scratch.Path("other.wbk");
    EXPECT_TRUE(WriteLibrary(path, {{"其他", "", "", 1, {"别的"}}}));
    return path;
  }
};

TEST_F(MainDialogSessionTest, ACancelledOrFailedLoadChangesNothing) {
  LoadSample();
  Edit();
  const Bytes before = Body();
  const auto rows = Rows();
  m_script.AnswerMessageBox(IDNO);  // drop the tick: the load goes on
  m_script.CancelFile();
  Click(IDC_LOAD);
  EXPECT_EQ(before, Body());
  EXPECT_EQ(rows, Rows());
  const std::string notLibrary = m_scratch.Write("list.wbk", "not a library\n");
  for (const std::string& path : {m_scratch.Path("missing.wbk"), notLibrary}) {
    m_script.m_messageBoxes.clear();
    m_script.AnswerMessageBox(IDNO);
    LoadFile(path);
    EXPECT_EQ(before, Body()) << path;
    EXPECT_EQ(rows, Rows()) << path;
    ASSERT_EQ(2u, m_script.m_messageBoxes.size());
    EXPECT_EQ(0u, m_script.m_messageBoxes[1].strText.find("载入词库失败！\n"));
  }
  EXPECT_TRUE(m_dlg.m_history.IsModified());
}

TEST_F(MainDialogSessionTest, TheCaptionNamesTheFileAndMarksChanges) {
  EXPECT_EQ(kBaseCaption, Caption());
  LoadSample();
  EXPECT_EQ(std::string(kBaseCaption) + " - sample.wbk", Caption());
  Edit();
  EXPECT_EQ(std::string(kBaseCaption) + " - sample.wbk *", Caption());
  Undo();
  EXPECT_EQ(0, Enable(1));
  EXPECT_EQ(std::string(kBaseCaption) + " - sample.wbk", Caption());
  Redo();
  EXPECT_EQ(1, Enable(1));
  EXPECT_EQ(std::string(kBaseCaption) + " - sample.wbk *", Caption());
  // Ctrl+S: to the library's own file, without a dialog or a message.
  CtrlKey(m_dlg.m_ctrlList.m_hWnd, 'S');
  EXPECT_EQ(1u, m_script.m_fileDialogs.size());  // the load's only
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
  EXPECT_EQ(std::string(kBaseCaption) + " - sample.wbk", Caption());
  CTabrix saved;
  ASSERT_EQ(1, saved.Load(m_strSample.c_str()));
  EXPECT_EQ(1, saved.GetGroup(1)->bEnable);
  // 清空 asks nothing and is undone.
  Click(IDC_CLEAR);
  EXPECT_EQ(0, RowCount());
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
  EXPECT_EQ(std::string(kBaseCaption) + " - sample.wbk *", Caption());
  Undo();
  EXPECT_EQ(3, RowCount());
  EXPECT_EQ(std::string(kBaseCaption) + " - sample.wbk", Caption());
}

TEST_F(MainDialogSessionTest, CtrlSWithoutAFileAsksForOneAndSaveOffersTheFileName) {
  // Written by its GBK name, handed over as the editor's paths are (UTF-8).
  const std::string list = PathTextFromGbk(m_scratch.Write("词表.txt", "你好 5\n"));
  m_script.AnswerFile(list);
  Click(IDC_IMPORT_NEW_GROUP);
  ASSERT_EQ(1, RowCount());
  EXPECT_EQ(std::string(kBaseCaption) + " *", Caption());
  const std::string target = m_scratch.Path("new.wbk");
  m_script.AnswerFile(target);
  CtrlKey(m_dlg.m_ctrlList.m_hWnd, 'S');
  ASSERT_EQ(2u, m_script.m_fileDialogs.size());
  EXPECT_FALSE(m_script.m_fileDialogs[1].bOpen);
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
  EXPECT_EQ(std::string(kBaseCaption) + " - new.wbk", Caption());
  CTabrix saved;
  ASSERT_EQ(1, saved.Load(target.c_str()));
  EXPECT_EQ(1u, saved.m_arrPhrase.GetCount());
  // 保存 opens the dialog with the library's file offered, and says it saved.
  m_script.AnswerFile(target);
  Click(IDC_SAVE);
  ASSERT_EQ(3u, m_script.m_fileDialogs.size());
  EXPECT_EQ(target, m_script.m_fileDialogs[2].strFileName);
  ASSERT_EQ(1u, m_script.m_messageBoxes.size());
  EXPECT_EQ("保存完成，您可以在云笺的词库管理页面中安装该词库", m_script.m_messageBoxes[0].strText);
}

// Each way out of the library: the window's own exits and the loads.
struct tagWAYOUT {
  const char* pszName;
  bool bEndsSession;  // otherwise it loads other.wbk
  bool bAsksFile;     // through the open dialog
  std::function<void(MainDialogSessionTest&, const std::string& other)> go;
};

class SaveQuestionTest : public MainDialogSessionTest {
 public:
  void Exit(int nID) { Click(nID); }
  void SysClose() {
    m_dlg.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages();  // the dialog posts the close as "Cancel"
  }
  void Escape() {
    ::PostMessageA(m_dlg.m_ctrlList.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpMessages();
  }
  void Open(const std::string& path) { m_dlg.OpenFiles({path}); }

  static SaveQuestionTest& Of(MainDialogSessionTest& t) {
    return static_cast<SaveQuestionTest&>(t);
  }
  static std::vector<tagWAYOUT> Ways() {
    return {
        {"退出", true, false,
         [](MainDialogSessionTest& t, const std::string&) { Of(t).Exit(IDCANCEL); }},
        {"the close box and Alt+F4", true, false,
         [](MainDialogSessionTest& t, const std::string&) { Of(t).SysClose(); }},
        {"Esc", true, false, [](MainDialogSessionTest& t, const std::string&) { Of(t).Escape(); }},
        {"载入", false, true,
         [](MainDialogSessionTest& t, const std::string&) { Of(t).Exit(IDC_LOAD); }},
        {"a file from the command line or a drop", false, false,
         [](MainDialogSessionTest& t, const std::string& other) { Of(t).Open(other); }},
    };
  }
};

TEST_F(SaveQuestionTest, EveryWayOutAsksAndEachAnswerDoesWhatItSays) {
  const std::string other = WriteOther();
  LoadSample();
  for (const tagWAYOUT& way : Ways()) {
    for (const int answer : {IDCANCEL, IDNO, IDYES}) {
      SCOPED_TRACE(std::string(way.pszName) + ", answer " + std::to_string(answer));
      if (!IsOpen()) {
        ASSERT_TRUE(m_dlg.Create());
        PumpMessages();
      }
      // The sample as it was, loaded (whatever was there dropped), and one edit.
      m_script.m_nMessageBoxResult = IDNO;
      ASSERT_TRUE(WriteLibrary(m_strSample, SampleGroups()));
      LoadFile(m_strSample);
      Edit();
      const Bytes edited = Body();
      m_script.m_messageBoxes.clear();
      m_script.AnswerMessageBox(answer);
      if (way.bAsksFile && answer != IDCANCEL) m_script.AnswerFile(other);
      way.go(*this, other);
      ASSERT_FALSE(m_script.m_messageBoxes.empty());
      EXPECT_EQ("词库已修改，是否保存？", m_script.m_messageBoxes[0].strText);
      EXPECT_EQ(static_cast<UINT>(MB_YESNOCANCEL), m_script.m_messageBoxes[0].nType & MB_TYPEMASK);
      EXPECT_EQ(1u, m_script.m_messageBoxes.size());
      CTabrix onDisk;
      ASSERT_EQ(1, onDisk.Load(m_strSample.c_str()));
      EXPECT_EQ(answer == IDYES ? 1 : 0, onDisk.GetGroup(1)->bEnable);
      if (answer == IDCANCEL) {
        EXPECT_TRUE(IsOpen());
        EXPECT_EQ(edited, Body());
        EXPECT_EQ(3, RowCount());
        EXPECT_TRUE(m_dlg.m_history.IsModified());
      } else if (way.bEndsSession) {
        EXPECT_FALSE(IsOpen());
      } else {
        EXPECT_TRUE(IsOpen());
        EXPECT_EQ(1u, GroupCount());
        EXPECT_FALSE(m_dlg.m_history.IsModified());
      }
    }
  }
}

TEST_F(SaveQuestionTest, ShuttingWindowsDownAsksTheSameQuestion) {
  LoadSample();
  EXPECT_EQ(TRUE, m_dlg.SendMessage(WM_QUERYENDSESSION, 0, 0));
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
  Edit();
  m_script.AnswerMessageBox(IDCANCEL);
  EXPECT_EQ(FALSE, m_dlg.SendMessage(WM_QUERYENDSESSION, 0, 0));
  m_script.AnswerMessageBox(IDNO);
  EXPECT_EQ(TRUE, m_dlg.SendMessage(WM_QUERYENDSESSION, 0, 0));
  EXPECT_EQ(2u, m_script.m_messageBoxes.size());
}

TEST_F(SaveQuestionTest, AnUnmodifiedLibraryIsNeverAskedAbout) {
  LoadSample();
  Edit();
  Undo();
  EXPECT_FALSE(m_dlg.m_history.IsModified());
  Exit(IDCANCEL);
  EXPECT_FALSE(IsOpen());
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
}

TEST_F(SaveQuestionTest, YesWithoutAFileAsksForOneAndACancelledOrFailedSaveStays) {
  const std::string list = m_scratch.Write("list.txt", "ab 5\n");
  m_script.AnswerFile(list);
  Click(IDC_IMPORT_NEW_GROUP);
  ASSERT_TRUE(m_dlg.m_history.IsModified());
  // 是, then Cancel in the save dialog: the window stays, nothing saved.
  m_script.AnswerMessageBox(IDYES);
  m_script.CancelFile();
  Exit(IDCANCEL);
  EXPECT_TRUE(IsOpen());
  EXPECT_TRUE(m_dlg.m_history.IsModified());
  // 是, then a folder that does not exist: the failure is said, the window stays.
  m_script.m_messageBoxes.clear();
  m_script.AnswerMessageBox(IDYES);
  m_script.AnswerFile(m_scratch.Path("no-such-folder/x.wbk"));
  Exit(IDCANCEL);
  EXPECT_TRUE(IsOpen());
  ASSERT_EQ(2u, m_script.m_messageBoxes.size());
  EXPECT_EQ(0u, m_script.m_messageBoxes[1].strText.find("保存失败"));
  // 是, then a name: saved, and the window ends.
  const std::string target = m_scratch.Path("kept.wbk");
  m_script.AnswerMessageBox(IDYES);
  m_script.AnswerFile(target);
  Exit(IDCANCEL);
  EXPECT_FALSE(IsOpen());
  CTabrix saved;
  ASSERT_EQ(1, saved.Load(target.c_str()));
  EXPECT_EQ(1u, saved.m_arrPhrase.GetCount());
}

// Every kind of change of the main window, each undone and redone.
struct tagCHANGE {
  const char* pszName;
  std::function<void(MainDialogSessionTest&)> make;
};

class UndoTest : public MainDialogSessionTest {
 public:
  void ClickNow(int nID) { Click(nID); }
  void Mark(int nRow) { MarkRow(nRow); }
  CUiScript& Script() { return m_script; }
  CProbeDlg& Dlg() { return m_dlg; }
  CScratchDir& Scratch() { return m_scratch; }
  std::string Other() { return WriteOther(); }
};

TEST_F(UndoTest, EveryChangeIsUndoneAndRedoneByteForByte) {
  const std::vector<tagCHANGE> changes = {
      {"清空", [](MainDialogSessionTest& t) { static_cast<UndoTest&>(t).ClickNow(IDC_CLEAR); }},
      {"a tick",
       [](MainDialogSessionTest& t) {
         static_cast<UndoTest&>(t).Dlg().m_ctrlList.SetCheck(0, FALSE);
       }},
      {"导入新组",
       [](MainDialogSessionTest& t) {
         UndoTest& u = static_cast<UndoTest&>(t);
         u.Script().AnswerFile(u.Scratch().Write("new.txt", "新词 5\n北京 3\n"));
         u.ClickNow(IDC_IMPORT_NEW_GROUP);
       }},
      {"导入到当前组",
       [](MainDialogSessionTest& t) {
         UndoTest& u = static_cast<UndoTest&>(t);
         u.Mark(1);
         u.Script().AnswerFile(u.Scratch().Write("into.txt", "天津 2\n重庆 1\n"));
         u.ClickNow(IDC_IMPORT_TO_GROUP);
       }},
      {"设定属性",
       [](MainDialogSessionTest& t) {
         UndoTest& u = static_cast<UndoTest&>(t);
         u.Mark(0);
         u.Script().OnModalDialog([](CDialog& dlg) {
           dlg.SetDlgItemText(IDC_PROP_NAME, "新名字");
           dlg.SetDlgItemText(IDC_PROP_REMARK, "改过");
           dlg.PostMessage(WM_COMMAND, IDOK, 0);
         });
         u.ClickNow(IDC_SET_GROUP_PROP);
       }},
      {"删除组",
       [](MainDialogSessionTest& t) {
         UndoTest& u = static_cast<UndoTest&>(t);
         u.Script().m_nMessageBoxResult = IDOK;
         u.Dlg().DeleteGroup(0);
       }},
      {"载入",
       [](MainDialogSessionTest& t) {
         UndoTest& u = static_cast<UndoTest&>(t);
         u.Script().AnswerFile(u.Other());
         u.ClickNow(IDC_LOAD);
       }},
  };
  for (const tagCHANGE& change : changes) {
    for (const bool bMenu : {false, true}) {
      SCOPED_TRACE(std::string(change.pszName) + (bMenu ? " by the menu" : " by the keys"));
      // The sample again, the last round's change dropped ("否").
      m_script.m_nMessageBoxResult = IDNO;
      m_strSample = m_scratch.Path("sample.wbk");
      ASSERT_TRUE(WriteLibrary(m_strSample, SampleGroups()));
      LoadFile(m_strSample);
      ASSERT_EQ(3, RowCount());
      m_script.m_messageBoxes.clear();
      const Bytes before = Body();
      const auto rowsBefore = Rows();
      const std::string captionBefore = Caption();
      change.make(*this);
      const Bytes after = Body();
      const auto rowsAfter = Rows();
      ASSERT_NE(before, after);
      EXPECT_NE(captionBefore, Caption());
      if (bMenu) {
        m_script.ChooseMenuItem(IDM_GROUP_UNDO);
        m_dlg.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_dlg.m_ctrlList.m_hWnd), -1);
      } else {
        Undo();
      }
      EXPECT_EQ(before, Body());
      EXPECT_EQ(rowsBefore, Rows());
      EXPECT_EQ(captionBefore, Caption());
      if (bMenu) {
        m_script.ChooseMenuItem(IDM_GROUP_REDO);
        m_dlg.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_dlg.m_ctrlList.m_hWnd), -1);
      } else {
        Redo();
      }
      EXPECT_EQ(after, Body());
      EXPECT_EQ(rowsAfter, Rows());
      m_script.m_messageBoxes.clear();
    }
  }
}

TEST_F(UndoTest, CtrlZInARangeBoxUndoesTheTypingNotTheLibrary) {
  LoadSample();
  Edit();
  HWND hMin = m_dlg.GetDlgItem(IDC_FREQ_MIN);
  CtrlKey(hMin, 'Z');
  EXPECT_EQ(1, Enable(1));
  CtrlKey(m_dlg.m_ctrlList.m_hWnd, 'Z');
  EXPECT_EQ(0, Enable(1));
}

}  // namespace

namespace {

TEST_F(MainDialogSessionTest, TheStatusBarSaysWhatTheLastLoadSaveOrImportDid) {
  LoadSample();
  EXPECT_EQ("已载入 sample.wbk：3 个组，5 个词条", m_dlg.m_ctrlStatus.GetText());
  m_script.AnswerFile(
      m_scratch.Write("more.txt", "北京 1\n新词 2\n长词长词长词长词长词长词长词长词 3\n"));
  Click(IDC_IMPORT_NEW_GROUP);
  EXPECT_EQ("more.txt：已导入 1 条；跳过 2 条：重复 1，过长 1；GBK 编码的文本列表",
            m_dlg.m_ctrlStatus.GetText());
  CtrlKey(m_dlg.m_ctrlList.m_hWnd, 'S');
  EXPECT_EQ("已保存 sample.wbk：4 个组，6 个词条", m_dlg.m_ctrlStatus.GetText());
}

TEST_F(MainDialogSessionTest, TheWindowSizesWithItsListAndNeverBelowItsFirstSize) {
  RECT rcFirst, rcList, rcSave, rcStatus, rcClient;
  m_dlg.GetWindowRect(&rcFirst);
  const auto place = [&](int nID, RECT* pRect) {
    ::GetWindowRect(m_dlg.GetDlgItem(nID), pRect);
    ::MapWindowPoints(nullptr, m_dlg.m_hWnd, reinterpret_cast<POINT*>(pRect), 2);
  };
  EXPECT_NE(0u, m_dlg.GetStyle() & WS_THICKFRAME);
  EXPECT_NE(0u, m_dlg.GetStyle() & WS_MINIMIZEBOX);
  EXPECT_NE(0u, m_dlg.GetStyle() & WS_MAXIMIZEBOX);
  place(IDC_GROUP_LIST, &rcList);
  place(IDC_SAVE, &rcSave);
  m_dlg.GetClientRect(&rcClient);
  const int listWidth = rcList.right - rcList.left, listHeight = rcList.bottom - rcList.top;
  const int saveRight = rcClient.right - rcSave.right, saveBottom = rcClient.bottom - rcSave.bottom;
  // Larger: the list grows by as much, 保存 keeps its distance to the corner,
  // the status bar stays along the bottom.
  ::SetWindowPos(m_dlg.m_hWnd, nullptr, 0, 0, rcFirst.right - rcFirst.left + 200,
                 rcFirst.bottom - rcFirst.top + 150, SWP_NOMOVE | SWP_NOZORDER);
  PumpMessages();
  place(IDC_GROUP_LIST, &rcList);
  place(IDC_SAVE, &rcSave);
  place(IDC_STATUS_BAR, &rcStatus);
  m_dlg.GetClientRect(&rcClient);
  EXPECT_EQ(listWidth + 200, rcList.right - rcList.left);
  EXPECT_EQ(listHeight + 150, rcList.bottom - rcList.top);
  EXPECT_EQ(saveRight, rcClient.right - rcSave.right);
  EXPECT_EQ(saveBottom, rcClient.bottom - rcSave.bottom);
  EXPECT_EQ(rcClient.bottom, rcStatus.bottom);
  EXPECT_EQ(rcClient.right, rcStatus.right);
  EXPECT_LE(rcSave.bottom, rcStatus.top);
  // Smaller than at first: held at the first size.
  ::SetWindowPos(m_dlg.m_hWnd, nullptr, 0, 0, 100, 80, SWP_NOMOVE | SWP_NOZORDER);
  PumpMessages();
  RECT rcNow;
  m_dlg.GetWindowRect(&rcNow);
  MINMAXINFO info = {};
  m_dlg.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(rcFirst.right - rcFirst.left, info.ptMinTrackSize.x);
  EXPECT_EQ(rcFirst.bottom - rcFirst.top, info.ptMinTrackSize.y);
}

}  // namespace

namespace {

// A key pressed without Ctrl, as the window's message loop sees it.
void PlainKey(HWND hWnd, UINT vk) {
  ::PostMessageA(hWnd, WM_KEYDOWN, vk, 0);
  PumpMessages();
}

TEST_F(MainDialogSessionTest, TheCommandsHaveTheirKeys) {
  LoadSample();
  // Ctrl+O: the open dialog of "载入".
  m_script.CancelFile();
  CtrlKey(m_dlg.m_ctrlList.m_hWnd, 'O');
  ASSERT_EQ(2u, m_script.m_fileDialogs.size());
  EXPECT_TRUE(m_script.m_fileDialogs[1].bOpen);
  EXPECT_EQ("wbk", m_script.m_fileDialogs[1].strDefExt);
  // Ctrl+I: "导入新组".
  m_script.AnswerFile(m_scratch.Write("keyed.txt", "键盘 3\n"));
  CtrlKey(m_dlg.m_ctrlList.m_hWnd, 'I');
  EXPECT_EQ(4u, GroupCount());
  // F2: the marked group's properties.
  MarkRow(0);
  m_script.OnModalDialog([](CDialog& dlg) { dlg.PostMessage(WM_COMMAND, IDCANCEL, 0); });
  PlainKey(m_dlg.m_ctrlList.m_hWnd, VK_F2);
  EXPECT_EQ(std::vector<UINT>{IDD_GROUP_PROP}, m_script.m_modalDialogs);
  // Del on the list: the marked group, after its question.
  m_script.AnswerMessageBox(IDCANCEL);
  PlainKey(m_dlg.m_ctrlList.m_hWnd, VK_DELETE);
  EXPECT_EQ(4u, GroupCount());
  m_script.AnswerMessageBox(IDOK);
  PlainKey(m_dlg.m_ctrlList.m_hWnd, VK_DELETE);
  EXPECT_EQ(3u, GroupCount());
  ASSERT_EQ(2u, m_script.m_messageBoxes.size());
  EXPECT_EQ(0u, m_script.m_messageBoxes[0].strText.find("确实要删除组“成语”"));
  // Del in a range box deletes a character, not a group.
  PlainKey(m_dlg.GetDlgItem(IDC_FREQ_MIN), VK_DELETE);
  EXPECT_EQ(3u, GroupCount());
}

TEST_F(MainDialogSessionTest, TheButtonsTooltipsNameTheirKeys) {
  const struct {
    int nID;
    const char* pszKey;
  } keys[] = {{IDC_LOAD, "Ctrl+O"},   {IDC_IMPORT_NEW_GROUP, "Ctrl+I"}, {IDC_SET_GROUP_PROP, "F2"},
              {IDC_SAVE, "Ctrl+S"},   {IDC_GROUP_LIST, "Ctrl+F"},       {IDC_GROUP_LIST, "Enter"},
              {IDC_GROUP_LIST, "Del"}};
  for (const auto& k : keys) {
    const std::string tip =
        m_dlg.m_ctrlTips.GetText(&m_dlg, reinterpret_cast<UINT_PTR>(m_dlg.GetDlgItem(k.nID)));
    EXPECT_NE(std::string::npos, tip.find(k.pszKey)) << tip;
  }
}

}  // namespace
