// The main dialog with the real controls: start-up state, load, clear, save,
// the checkboxes and the rows.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "MainDialogFixture.h"
#include "TestPaths.h"
#include "framework/Menu.h"
#include "framework/WinApp.h"

namespace {

using Strings = std::vector<std::string>;

const char kLibraryFilter[] = "青柚云笺词库文件(*.wbk)|*.wbk||";

TEST_F(MainDialogTest, StartsWithEmptyListAndRangeFields) {
  EXPECT_EQ(RowCount(), 0);
  EXPECT_EQ(GroupCount(), 0u);
  EXPECT_EQ(m_dlg.m_bUpdating, 0);
  EXPECT_EQ(m_dlg.GetDlgItemText(IDC_FREQ_MIN), "0");
  EXPECT_EQ(m_dlg.GetDlgItemText(IDC_FREQ_MAX), "250");
  int low, high, pos;
  ProgressState(&low, &high, &pos);
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, 100);
  EXPECT_EQ(pos, 0);
  EXPECT_EQ(m_dlg.m_library.m_funProgress, &CTabrixDlg::ProgressToBar);
  EXPECT_EQ(m_dlg.m_library.m_pProgressData, &m_dlg);
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
}

TEST_F(MainDialogTest, ListHasFourLeftColumnsAndOnlyCheckboxes) {
  EXPECT_EQ(m_dlg.m_ctrlList.GetExtendedStyle(), static_cast<DWORD>(LVS_EX_CHECKBOXES));
  const struct {
    const char* heading;
    int width;
  } expected[] = {{"组名称", 120}, {"容量", 60}, {"编辑", 120}, {"备注", 120}};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    char text[64] = {};
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.pszText = text;
    column.cchTextMax = sizeof text;
    ASSERT_TRUE(m_dlg.m_ctrlList.SendMessage(LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ(text, expected[i].heading);
    EXPECT_EQ(column.cx, expected[i].width);
    EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
  }
  LVCOLUMNA extra = {};
  extra.mask = LVCF_WIDTH;
  EXPECT_FALSE(m_dlg.m_ctrlList.SendMessage(LVM_GETCOLUMNA, 4, reinterpret_cast<LPARAM>(&extra)));
}

TEST_F(MainDialogTest, SystemMenuEndsWithSeparatorAndAboutItem) {
  CMenu menu(m_dlg.GetSystemMenu(FALSE));
  ASSERT_NE(menu.m_hMenu, nullptr);
  const int count = menu.GetMenuItemCount();
  ASSERT_GE(count, 2);
  EXPECT_EQ(menu.GetMenuItemID(count - 1), static_cast<UINT>(IDM_ABOUTBOX));
  EXPECT_EQ(menu.GetMenuString(count - 1, MF_BYPOSITION), "关于 Tabrix(&A)...");
  EXPECT_TRUE(menu.GetMenuState(count - 2, MF_BYPOSITION) & MF_SEPARATOR);
}

// The system menu keeps the low four bits of an item's id for itself, and ids
// from 0xF000 up are the system's own commands.
static_assert((IDM_ABOUTBOX & 0xF) == 0 && IDM_ABOUTBOX < 0xF000, "a system menu item's id");
static_assert(IDM_ABOUTBOX == 16, "the id of the released program");

TEST_F(MainDialogTest, IconIsTheProgramsBigIconAndItsOwnSmallImage) {
  ASSERT_NE(m_dlg.m_hIcon, nullptr);
  EXPECT_EQ(reinterpret_cast<HICON>(m_dlg.SendMessage(WM_GETICON, ICON_BIG)), m_dlg.m_hIcon);
  // The small icon is icon 128's own small image.
  HICON hSmall = reinterpret_cast<HICON>(m_dlg.SendMessage(WM_GETICON, ICON_SMALL));
  ASSERT_NE(nullptr, hSmall);
  ICONINFO small = {};
  ASSERT_TRUE(::GetIconInfo(hSmall, &small));
  BITMAP bm = {};
  ::GetObjectA(small.hbmColor ? small.hbmColor : small.hbmMask, sizeof bm, &bm);
  EXPECT_EQ(::GetSystemMetrics(SM_CXSMICON), bm.bmWidth);
  if (small.hbmColor) ::DeleteObject(small.hbmColor);
  if (small.hbmMask) ::DeleteObject(small.hbmMask);
  EXPECT_EQ(reinterpret_cast<HICON>(m_dlg.SendMessage(WM_QUERYDRAGICON)), m_dlg.m_hIcon);
  // The icon of the program's resources, 128.
  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(m_dlg.m_hIcon, &info));
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  EXPECT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_MAINFRAME), MAKEINTRESOURCEA(14)), nullptr);
}

TEST_F(MainDialogTest, OpensCentredOnTheScreen) {
  RECT window;
  m_dlg.GetWindowRect(&window);
  MONITORINFO mi = {};
  mi.cbSize = sizeof mi;
  ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(m_dlg.m_hWnd, MONITOR_DEFAULTTOPRIMARY), &mi));
  const LONG dx = (window.left + window.right) - (mi.rcWork.left + mi.rcWork.right);
  const LONG dy = (window.top + window.bottom) - (mi.rcWork.top + mi.rcWork.bottom);
  EXPECT_LE(dx < 0 ? -dx : dx, 2) << window.left << "," << window.right;
  EXPECT_LE(dy < 0 ? -dy : dy, 2) << window.top << "," << window.bottom;
  EXPECT_GT(window.left, mi.rcWork.left);
  EXPECT_GT(window.top, mi.rcWork.top);
}

TEST_F(MainDialogTest, LoadShowsOneRowPerGroup) {
  LoadSample();
  EXPECT_EQ(Row(0), (Strings{"成语", "3", "张三", "四字成语"}));
  EXPECT_EQ(Row(1), (Strings{"地名", "2", "", ""}));
  EXPECT_EQ(Row(2), (Strings{"人名", "0", "李四", "备注"}));
  EXPECT_EQ(Image(0), 2u);
  EXPECT_EQ(Image(1), 1u);
  EXPECT_EQ(Image(2), 2u);  // bEnable 5 shows a ticked box
  EXPECT_EQ(GroupCount(), 3u);
  EXPECT_EQ(PhraseCount(), 5u);
  // The rows were made with the flag up, so nothing was written back.
  EXPECT_EQ(Enable(0), 1);
  EXPECT_EQ(Enable(1), 0);
  EXPECT_EQ(Enable(2), 5);
  EXPECT_EQ(m_dlg.m_bUpdating, 0);
  EXPECT_EQ(m_dlg.CountSeen(LVN_INSERTITEM), 3u);
  EXPECT_TRUE(m_dlg.UpdatingAtEvery(LVN_INSERTITEM));
  EXPECT_TRUE(m_dlg.UpdatingAtEvery(LVN_ITEMCHANGED));
}

TEST_F(MainDialogTest, LoadAsksForALibraryFile) {
  LoadSample();
  ASSERT_EQ(m_script.m_fileDialogs.size(), 1u);
  const tagFILEDIALOGCALL& call = m_script.m_fileDialogs[0];
  EXPECT_TRUE(call.bOpen);
  EXPECT_EQ(call.strDefExt, "wbk");
  EXPECT_EQ(call.strFilter, kLibraryFilter);
  EXPECT_EQ(call.hOwner, m_dlg.m_hWnd);
}

TEST_F(MainDialogTest, LoadAgainReplacesTheRows) {
  LoadSample();
  const std::string other = m_scratch.Path("other.wbk");
  ASSERT_TRUE(WriteLibrary(other, {{"唯一", "", "", 0, {"词"}}}));
  LoadFile(other);
  ASSERT_EQ(RowCount(), 1);
  EXPECT_EQ(Row(0), (Strings{"唯一", "1", "", ""}));
  EXPECT_EQ(GroupCount(), 1u);
  EXPECT_EQ(PhraseCount(), 1u);
}

TEST_F(MainDialogTest, LoadOfTenPhrasesTakesTheBarToNineOfTenThenBackToZero) {
  const std::string file = m_scratch.Path("ten.wbk");
  ASSERT_TRUE(WriteLibrary(file, {{"甲", "", "", 0, {"一", "二", "三", "四", "五"}},
                                  {"乙", "", "", 0, {"六", "七", "八", "九", "十"}}}));
  CBarPositions bar(m_dlg.m_ctrlProgress.m_hWnd);
  LoadFile(file);
  int low, high, pos;
  ProgressState(&low, &high, &pos);
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, 10);
  EXPECT_EQ(bar.LastBeforeReset(), 9);
  EXPECT_EQ(pos, 0);
}

TEST_F(MainDialogTest, LoadWithoutPhrasesSetsEmptyRange) {
  const std::string file = m_scratch.Path("nophrase.wbk");
  ASSERT_TRUE(WriteLibrary(file, {{"空组", "", "", 0, {}}}));
  LoadFile(file);
  EXPECT_EQ(RowCount(), 1);
  int low, high, pos;
  ProgressState(&low, &high, &pos);
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, 0);
  EXPECT_EQ(pos, 0);
}

TEST_F(MainDialogTest, LoadOfLibraryWithoutGroupsGivesEmptyList) {
  const std::string file = m_scratch.Path("nogroup.wbk");
  ASSERT_TRUE(WriteLibrary(file, {}));
  LoadFile(file);
  EXPECT_EQ(RowCount(), 0);
  EXPECT_EQ(GroupCount(), 0u);
  EXPECT_EQ(m_dlg.m_bUpdating, 0);
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
}

TEST_F(MainDialogTest, LoadCancelledKeepsTheListAndTheLibrary) {
  LoadSample();
  m_script.CancelFile();
  Click(IDC_LOAD);
  EXPECT_EQ(RowCount(), 3);
  EXPECT_EQ(GroupCount(), 3u);
  EXPECT_EQ(PhraseCount(), 5u);
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
}

TEST_F(MainDialogTest, LoadFailureShowsMessageAndKeepsTheLibrary) {
  const std::string garbage = m_scratch.Path("garbage.wbk");
  {
    FILE* f = std::fopen(garbage.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("not a phrase library at all", f);
    std::fclose(f);
  }
  const std::string missing = m_scratch.Path("does-not-exist.wbk");
  // The fixed first line, then the file's name and why.
  const struct {
    std::string path;
    const char* pszText;
  } cases[] = {{missing, "载入词库失败！\ndoes-not-exist.wbk\n文件不存在。"},
               {garbage, "载入词库失败！\ngarbage.wbk\n这不是青柚词库文件。"},
               {m_scratch.Dir(), nullptr}};
  for (const auto& c : cases) {
    const std::string& path = c.path;
    SCOPED_TRACE(path);
    LoadSample();
    m_script.m_messageBoxes.clear();
    LoadFile(path);
    ASSERT_EQ(m_script.m_messageBoxes.size(), 1u);
    const tagMESSAGEBOXCALL& box = m_script.m_messageBoxes[0];
    if (c.pszText != nullptr) {
      EXPECT_EQ(box.strText, c.pszText);
    } else {
      EXPECT_EQ(0u, box.strText.find("载入词库失败！\n")) << box.strText;
      EXPECT_NE(std::string::npos, box.strText.find("文件夹")) << box.strText;
    }
    EXPECT_EQ(box.strCaption, AfxGetAppName());
    EXPECT_EQ(box.nType, static_cast<UINT>(MB_OK));
    EXPECT_EQ(box.hOwner, m_dlg.m_hWnd);
    EXPECT_EQ(RowCount(), 3);
    EXPECT_EQ(GroupCount(), 3u);
    EXPECT_EQ(PhraseCount(), 5u);
    m_script.m_messageBoxes.clear();
  }
}

// A damaged file is not refused whole: what could be read stays shown, and
// one message says that the file is damaged and how much was recovered.
TEST_F(MainDialogTest, DamagedFileShowsWhatWasRecoveredAndSaysSo) {
  const std::string truncated = m_scratch.Path("cut.wbk");
  ASSERT_TRUE(WriteLibrary(truncated, SampleGroups()));
  {
    FILE* f = std::fopen(truncated.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::string bytes(4096, '\0');
    bytes.resize(std::fread(&bytes[0], 1, bytes.size(), f));
    std::fclose(f);
    f = std::fopen(truncated.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size() - 3, f);  // cut inside the index
    std::fclose(f);
  }
  LoadFile(truncated);
  ASSERT_EQ(m_script.m_messageBoxes.size(), 1u);
  const std::string text = m_script.m_messageBoxes[0].strText;
  EXPECT_EQ(0u, text.find("词库文件已损坏（词条索引与词条不符）")) << text;
  EXPECT_NE(std::string::npos, text.find("应有 5 个词条，恢复了 5 个")) << text;
  EXPECT_EQ(RowCount(), 3);
  EXPECT_EQ(Row(0), (Strings{"成语", "3", "张三", "四字成语"}));
  EXPECT_EQ(PhraseCount(), 5u);
}

// A file whose records repeat a text loads, with one message naming what
// was left out; a clean file shows no message.
TEST_F(MainDialogTest, RecordsLeftOutAreNamedInOneMessage) {
  const std::string file = m_scratch.Path("dup.wbk");
  ASSERT_TRUE(WriteLibrary(file, {{"g", "", "", 1, {"ab", "ac", "ad"}}}));
  {
    FILE* f = std::fopen(file.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::string bytes(4096, '\0');
    bytes.resize(std::fread(&bytes[0], 1, bytes.size(), f));
    std::fclose(f);
    const size_t nSecond = 12 + 1 + 308 + 4 + 5;  // records are 3 + 2 bytes
    ASSERT_EQ(bytes.substr(nSecond + 3, 2), "ac");
    bytes[nSecond + 4] = 'b';  // the same text as the first record
    f = std::fopen(file.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  LoadFile(file);
  ASSERT_EQ(m_script.m_messageBoxes.size(), 1u);
  EXPECT_EQ(m_script.m_messageBoxes[0].strText, "载入时略去了重复的词条 1 个。");
  EXPECT_EQ(RowCount(), 1);
  EXPECT_EQ(Cell(0, 1), "2");
  EXPECT_EQ(PhraseCount(), 2u);
}

TEST_F(MainDialogTest, ClearEmptiesListAndLibraryButNotTheBar) {
  LoadSample();
  int low, high, pos;
  ProgressState(&low, &high, &pos);
  Click(IDC_CLEAR);
  EXPECT_EQ(RowCount(), 0);
  EXPECT_EQ(GroupCount(), 0u);
  EXPECT_EQ(PhraseCount(), 0u);
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
  EXPECT_TRUE(m_script.m_fileDialogs.size() == 1u);  // the load's only
  int low2, high2, pos2;
  ProgressState(&low2, &high2, &pos2);
  EXPECT_EQ(low2, low);
  EXPECT_EQ(high2, high);
  EXPECT_EQ(pos2, pos);
}

TEST_F(MainDialogTest, SaveCancelledShowsNothingAndChangesNothing) {
  LoadSample();
  m_script.CancelFile();
  Click(IDC_SAVE);
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
  EXPECT_EQ(RowCount(), 3);
  EXPECT_EQ(GroupCount(), 3u);
  EXPECT_EQ(PhraseCount(), 5u);
}

TEST_F(MainDialogTest, SaveWritesTheLibraryAndSaysHowToInstallIt) {
  LoadSample();
  const std::string out = m_scratch.Path("saved.wbk");
  m_script.AnswerFile(out);
  CBarPositions bar(m_dlg.m_ctrlProgress.m_hWnd);
  Click(IDC_SAVE);
  ASSERT_EQ(m_script.m_fileDialogs.size(), 2u);
  const tagFILEDIALOGCALL& call = m_script.m_fileDialogs[1];
  EXPECT_FALSE(call.bOpen);
  EXPECT_EQ(call.strDefExt, "wbk");
  EXPECT_EQ(call.strFilter, kLibraryFilter);
  ASSERT_EQ(m_script.m_messageBoxes.size(), 1u);
  EXPECT_EQ(m_script.m_messageBoxes[0].strText, "保存完成，您可以在云笺的词库管理页面中安装该词库");
  EXPECT_EQ(m_script.m_messageBoxes[0].nType, static_cast<UINT>(MB_OK));
  EXPECT_EQ(m_script.m_messageBoxes[0].strCaption, AfxGetAppName());
  // The save's progress: 5 phrases, the last step is 4; then back to zero.
  int low, high, pos;
  ProgressState(&low, &high, &pos);
  EXPECT_EQ(high, 5);
  EXPECT_EQ(bar.LastBeforeReset(), 4);
  EXPECT_EQ(pos, 0);
  // Nothing changed in the dialog, and the file holds the same library.
  EXPECT_EQ(RowCount(), 3);
  EXPECT_EQ(GroupCount(), 3u);
  CTabrix reread;
  ASSERT_TRUE(reread.Load(out.c_str()));
  ASSERT_EQ(reread.GetGroupCount(), 3u);
  EXPECT_STREQ(reread.GetGroup(0)->szName, "成语");
  EXPECT_EQ(reread.GetGroup(0)->dwCount, 3u);
  EXPECT_EQ(reread.GetGroup(2)->bEnable, 5);
  EXPECT_EQ(reread.m_arrPhrase.GetCount(), 5u);
}

TEST_F(MainDialogTest, SaveReplacesAnExistingFileWithoutAsking) {
  LoadSample();
  const std::string out = m_scratch.Path("existing.wbk");
  ASSERT_TRUE(WriteLibrary(out, {{"旧", "", "", 0, {"旧词"}}}));
  m_script.AnswerFile(out);
  Click(IDC_SAVE);
  ASSERT_EQ(MessageTexts(), Strings{"保存完成，您可以在云笺的词库管理页面中安装该词库"});
  CTabrix reread;
  ASSERT_TRUE(reread.Load(out.c_str()));
  EXPECT_EQ(reread.GetGroupCount(), 3u);
}

TEST_F(MainDialogTest, SaveFailureShowsMessageAndKeepsEverything) {
  LoadSample();
  m_script.AnswerFile(m_scratch.Path("no-such-folder/out.wbk"));
  Click(IDC_SAVE);
  ASSERT_EQ(m_script.m_messageBoxes.size(), 1u);
  EXPECT_EQ(m_script.m_messageBoxes[0].strText, "保存失败\n文件夹不存在。");
  EXPECT_EQ(m_script.m_messageBoxes[0].nType, static_cast<UINT>(MB_OK));
  EXPECT_EQ(m_script.m_messageBoxes[0].hOwner, m_dlg.m_hWnd);
  EXPECT_EQ(RowCount(), 3);
  EXPECT_EQ(Row(0), (Strings{"成语", "3", "张三", "四字成语"}));
  EXPECT_EQ(GroupCount(), 3u);
  EXPECT_EQ(PhraseCount(), 5u);
}

// A folder that exists, and a name no file can have there: the message says
// it is the name, not the folder.
TEST_F(MainDialogTest, SaveToANameNoFileCanHaveSaysSo) {
  LoadSample();
  m_script.AnswerFile(m_scratch.Path("a?b.wbk"));
  Click(IDC_SAVE);
  EXPECT_EQ(MessageTexts(), Strings{"保存失败\n文件名无效。"});
  EXPECT_EQ(m_scratch.Names(), Strings{"sample.wbk"});
}

TEST_F(MainDialogTest, BoxAndEnableFollowEachOther) {
  LoadSample();
  // A tick, an untick, and a tick of the same row.
  m_dlg.m_ctrlList.SetCheck(1, TRUE);
  EXPECT_EQ(Enable(1), 1);
  m_dlg.m_ctrlList.SetCheck(0, FALSE);
  EXPECT_EQ(Enable(0), 0);
  m_dlg.m_ctrlList.SetCheck(0, TRUE);
  EXPECT_EQ(Enable(0), 1);
  EXPECT_EQ(Enable(2), 5);
  EXPECT_EQ(m_dlg.m_bUpdating, 0);
}

TEST_F(MainDialogTest, MereSelectionRewritesEnableFromTheBox) {
  LoadSample();
  ASSERT_EQ(Enable(2), 5);
  m_dlg.m_ctrlList.SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  EXPECT_EQ(Enable(2), 1);
  EXPECT_EQ(Image(2), 2u);
}

TEST_F(MainDialogTest, ClickOnTheBoxTogglesTheGroup) {
  LoadSample();
  RECT icon = {};
  icon.left = LVIR_ICON;
  ASSERT_TRUE(m_dlg.m_ctrlList.SendMessage(LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&icon)));
  LVHITTESTINFO hit = {};
  hit.pt.x = icon.left - 8;
  hit.pt.y = (icon.top + icon.bottom) / 2;
  m_dlg.m_ctrlList.SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  ASSERT_EQ(hit.iItem, 1);
  ASSERT_TRUE(hit.flags & LVHT_ONITEMSTATEICON);
  const LPARAM point = MAKELPARAM(hit.pt.x, hit.pt.y);
  m_dlg.m_ctrlList.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, point);
  m_dlg.m_ctrlList.PostMessage(WM_LBUTTONUP, 0, point);
  PumpMessages();
  EXPECT_EQ(Image(1), 2u);
  EXPECT_EQ(Enable(1), 1);
}

// A read-only file is refused with its reason and stays as it was.
TEST_F(MainDialogTest, SaveOverAReadOnlyFileSaysWhyAndKeepsIt) {
  LoadSample();
  const std::string target = m_scratch.Path("readonly.wbk");
  {
    FILE* f = std::fopen(target.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("old", f);
    std::fclose(f);
  }
  ASSERT_TRUE(::SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
  m_script.AnswerFile(target);
  Click(IDC_SAVE);
  ::SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_EQ(m_script.m_messageBoxes.size(), 1u);
  EXPECT_EQ(m_script.m_messageBoxes[0].strText, "保存失败\n文件或磁盘是只读的。");
  FILE* f = std::fopen(target.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char text[8] = {};
  EXPECT_EQ(3u, std::fread(text, 1, sizeof text, f));
  std::fclose(f);
  EXPECT_STREQ("old", text);
}

TEST_F(MainDialogTest, UntickedGroupIsSavedWithEnableZero) {
  LoadSample();
  m_dlg.m_ctrlList.SetCheck(0, FALSE);
  const std::string out = m_scratch.Path("unticked.wbk");
  m_script.AnswerFile(out);
  Click(IDC_SAVE);
  CTabrix reread;
  ASSERT_TRUE(reread.Load(out.c_str()));
  EXPECT_EQ(reread.GetGroup(0)->bEnable, 0);
  EXPECT_EQ(reread.GetGroup(1)->bEnable, 0);
  EXPECT_EQ(reread.GetGroup(2)->bEnable, 5);
}

TEST_F(MainDialogTest, ChangeOfARowNamingNoGroupLeavesTheLibraryAlone) {
  LoadSample();
  // A notification about all rows at once (-1) and one past the groups.
  for (int nItem : {-1, 3, 1000}) {
    SCOPED_TRACE(nItem);
    NMLISTVIEW nm = {};
    nm.hdr.hwndFrom = m_dlg.m_ctrlList.m_hWnd;
    nm.hdr.idFrom = IDC_GROUP_LIST;
    nm.hdr.code = LVN_ITEMCHANGED;
    nm.iItem = nItem;
    nm.uChanged = LVIF_STATE;
    nm.uNewState = INDEXTOSTATEIMAGEMASK(2);
    nm.uOldState = INDEXTOSTATEIMAGEMASK(1);
    m_dlg.SendMessage(WM_NOTIFY, IDC_GROUP_LIST, reinterpret_cast<LPARAM>(&nm));
    EXPECT_EQ(Enable(0), 1);
    EXPECT_EQ(Enable(1), 0);
    EXPECT_EQ(Enable(2), 5);
    EXPECT_EQ(GroupCount(), 3u);
  }
  // A real row past the groups, ticked and unticked.
  ASSERT_EQ(m_dlg.m_ctrlList.InsertItem(3, "extra"), 3);
  m_dlg.m_ctrlList.SetCheck(3, TRUE);
  m_dlg.m_ctrlList.SetCheck(3, FALSE);
  EXPECT_EQ(GroupCount(), 3u);
  EXPECT_EQ(Enable(2), 5);
}

TEST_F(MainDialogTest, RowWithoutBoxLeavesItsGroupAlone) {
  LoadSample();
  m_dlg.m_ctrlList.SetItemState(0, INDEXTOSTATEIMAGEMASK(0), LVIS_STATEIMAGEMASK);
  if (Image(0) != 0) GTEST_SKIP() << "the list view keeps a box on every row";
  EXPECT_EQ(Enable(0), 1);
}

TEST_F(MainDialogTest, FieldsWithoutTerminatorAreCutAtTheFieldsEnd) {
  LoadSample();
  tagGROUPINFO* group = m_dlg.m_library.GetGroup(0);
  std::memset(group->szName, 'N', sizeof group->szName);
  std::memset(group->szEditor, 'E', sizeof group->szEditor);
  std::memset(group->szRemark, 'R', sizeof group->szRemark);
  m_dlg.RefreshGroupList();
  EXPECT_EQ(Cell(0, 0), std::string(50, 'N'));
  EXPECT_EQ(Cell(0, 2), std::string(50, 'E'));
  EXPECT_EQ(Cell(0, 3), std::string(200, 'R'));
  EXPECT_EQ(Cell(0, 1), "3");
}

TEST_F(MainDialogTest, CountIsPlainUnsignedDecimal) {
  LoadSample();
  m_dlg.m_library.GetGroup(0)->dwCount = 4000000000u;
  m_dlg.m_library.GetGroup(1)->dwCount = 1234567u;
  m_dlg.RefreshGroupList();
  EXPECT_EQ(Cell(0, 1), "4000000000");
  EXPECT_EQ(Cell(1, 1), "1234567");
  EXPECT_EQ(Cell(2, 1), "0");
}

TEST_F(MainDialogTest, EnterInARangeFieldOpensNoDialog) {
  HWND edit = m_dlg.GetDlgItem(IDC_FREQ_MIN);
  SetFocus(edit);
  PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
  PostMessageA(edit, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001u));
  PumpMessages();
  EXPECT_TRUE(m_script.m_fileDialogs.empty());
  EXPECT_TRUE(IsWindow(m_dlg.m_hWnd));
  EXPECT_EQ(edit, GetFocus());
}

TEST_F(MainDialogTest, ExitButtonEndsTheDialog) {
  LoadSample();
  Click(IDCANCEL);
  EXPECT_EQ(m_dlg.GetEndResult(), IDCANCEL);
  EXPECT_EQ(m_dlg.m_hWnd, nullptr);
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
}

TEST_F(MainDialogTest, EscapeEndsTheDialog) {
  HWND hWnd = m_dlg.m_hWnd;
  SetFocus(m_dlg.m_ctrlList.m_hWnd);
  PostMessageA(m_dlg.m_ctrlList.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  PumpMessages();
  EXPECT_EQ(m_dlg.GetEndResult(), IDCANCEL);
  EXPECT_FALSE(IsWindow(hWnd));
}

TEST_F(MainDialogTest, OtherSystemCommandsGoToThePlatform) {
  m_dlg.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  PumpMessages();
  EXPECT_TRUE(m_dlg.IsIconic());
  // Painting the minimised window draws the icon and validates it.
  m_dlg.Invalidate();
  UpdateWindow(m_dlg.m_hWnd);
  RECT dirty;
  EXPECT_FALSE(GetUpdateRect(m_dlg.m_hWnd, &dirty, FALSE));
  m_dlg.SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
  PumpMessages();
  EXPECT_FALSE(m_dlg.IsIconic());
  m_dlg.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
  PumpMessages();
  EXPECT_EQ(m_dlg.GetEndResult(), IDCANCEL);
}

}  // namespace
