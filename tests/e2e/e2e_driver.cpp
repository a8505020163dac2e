// The end-to-end scenario: starts Tabrix.exe and uses it only through its
// windows, as a person would, checking after every step what the windows show.
// Beside it the core builds the same library from the same files, step by
// step; the rows must match it after each step and the saved file at the end.
//
//   e2e_driver TABRIX_EXE WORK_DIR [SHOTS_DIR]
//
// Paths may be Unix paths (/a/b, seen by Wine as Z:\a\b). WORK_DIR receives
// the input files and the saved libraries. The installed library is written
// where the registry value path_svr_data (64-bit view) points. With SHOTS_DIR,
// the driver asks for screenshots at four moments: it writes NAME.req there
// and waits for the script to answer with NAME.done.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "E2eLibrary.h"
#include "DictImport.h"
#include "E2eWindows.h"
#include "GbkSource.h"
#include "GroupListWriter.h"
#include "PhraseImport.h"
#include "ScreenshotRequest.h"
#include "Tabrix.h"
#include "TabrixVersion.h"
#include "TxtLineReader.h"

namespace {

// Ids of the editor's windows, as a person finds them.
const char kMainCaption[] = "青柚输入法:词库编辑器";
const char kPropCaption[] = "组属性";
const char kAboutCaption[] = "关于 Tabrix";
const char kAboutVersion[] = "青柚输入法词库编辑器 " TABRIX_VERSION_TEXT " 版";
const int kLoad = 1000, kSave = 1001, kLoadCurrent = 1002, kFreqMin = 1004, kFreqMax = 1005;
const int kImportNew = 1048, kSetProp = 1050, kClear = 1117, kList = 1204, kProgress = 1208;
const int kImportInto = 1209;
const int kPropName = 1042, kPropEditor = 1114, kPropRemark = 1045, kAboutLink = 1003;
const int kAboutMenuItem = 16;

// The phrase window (dialog 174) and its controls.
const int kPhraseFind = 1301, kPhraseList = 1303, kPhraseFreq = 1304, kPhraseDelete = 1306;
const int kPhraseText = 1307, kPhraseAdd = 1308, kPhraseTarget = 1309, kPhraseMove = 1310;
const char kAddedPhrase[] = "井底之蛙";
const uint8_t kAddedFreq = 66;

const char kSavedMessage[] = "保存完成，您可以在云笺的词库管理页面中安装该词库";
const char kOpenFailedMessage[] = "打开文件失败";
const char kLoadFailedMessage[] = "载入词库失败！\n没有这个词库.wbk\n文件不存在。";
const char kSaveQuestion[] = "词库已修改，是否保存？";

// The input files, GBK. The second has header lines and repeats a phrase of
// the first; the third goes into the first group with the range from 5 up,
// and its header line must be ignored there.
const char kFirstName[] = "常用词.txt";
const char kFirstText[] =
    "# 日常用语\r\n"
    "你好 200\r\n"
    "谢谢 180\r\n"
    "再见\t150\r\n"
    "早上好   120\r\n"
    "晚安\r\n"
    "朋友 90\r\n"
    "OK 10\r\n";
const char kSecondName[] = "成语大全.txt";
const char kSecondText[] =
    "@名称=成语\r\n"
    "@编辑=小林\r\n"
    "@备注=四字成语\r\n"
    "一心一意 100\r\n"
    "画蛇添足 80\r\n"
    "\r\n"
    "守株待兔 60\r\n"
    "你好 50\r\n"
    "@未知=不用\r\n"
    "亡羊补牢\t70\r\n";
const char kThirdName[] = "补充.txt";
const char kThirdText[] =
    "@名称=不该改名\r\n"
    "明天 40\r\n"
    "后天 3\r\n"
    "谢谢 100\r\n"
    "周末愉快 30\r\n";
const uint8_t kThirdMinFreq = 5;

// The group property dialog's new texts for the first group.
const char kNewName[] = "日常用语";
const char kNewEditor[] = "测试员";
const char kNewRemark[] = "端到端测试：导入、勾选、属性、保存";

PROCESS_INFORMATION g_app = {};
std::string g_shotsDir;

// Asks for failure.png of the whole screen; waits for it a little, never fails.
void ScreenshotOfFailure() {
  if (g_shotsDir.empty()) return;
  const std::string request = g_shotsDir + "\\failure.req";
  const std::string done = g_shotsDir + "\\failure.done";
  FILE* file = std::fopen(request.c_str(), "wb");
  if (!file) return;
  std::fclose(file);
  for (int i = 0; i < 200 && ::GetFileAttributesA(done.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) {
    ::Sleep(50);
  }
  Log("screenshot failure.png");
}

void EndProgramOnFailure() {
  ScreenshotOfFailure();
  if (!g_app.hProcess) return;
  if (::WaitForSingleObject(g_app.hProcess, 0) == WAIT_TIMEOUT) {
    Log("ending Tabrix.exe (pid %lu)", static_cast<unsigned long>(g_app.dwProcessId));
    ::TerminateProcess(g_app.hProcess, 99);
    ::WaitForSingleObject(g_app.hProcess, 10000);
  }
}

void MakeDir(const std::string& path) {
  if (!::CreateDirectoryA(path.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
    Fail("cannot create the folder %s", path.c_str());
  }
}

// Asks the script for a screenshot of the main window and the window shown
// over it: NAME.req holds the area as an X geometry, WxH+X+Y.
void Screenshot(const char* name, HWND hMain, HWND hShown) {
  if (g_shotsDir.empty()) return;
  ::RedrawWindow(hShown, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  WaitIdle(hShown);
  ::Sleep(400);  // let the window surface reach the X server
  RECT main = {}, shown = {}, area = {};
  ::GetWindowRect(hMain, &main);
  ::GetWindowRect(hShown, &shown);
  ::UnionRect(&area, &main, &shown);
  ::InflateRect(&area, 8, 8);
  if (!RequestScreenshot(g_shotsDir, name, area)) Fail("the screenshot %s was not taken", name);
  Log("screenshot %s.png (%ldx%ld)", name, area.right - area.left, area.bottom - area.top);
}

// The data directory of the installed input method, as the editor reads it.
std::string InstalledDataDir() {
  char dir[MAX_PATH] = {};
  DWORD size = sizeof dir;
  HKEY key = nullptr;
  LSTATUS status = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brimfold\\corvane3", 0,
                                   KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key);
  if (status == ERROR_SUCCESS) {
    status = ::RegGetValueA(key, nullptr, "path_svr_data", RRF_RT_REG_SZ, nullptr, dir, &size);
    ::RegCloseKey(key);
  }
  if (status != ERROR_SUCCESS) {
    Fail("the registry value path_svr_data is not set in this prefix (status %ld)",
         static_cast<long>(status));
  }
  return dir;
}

// The library that stands for the installed one.
void WriteInstalledLibrary(CTabrix& installed, const std::string& path) {
  const uint8_t system = installed.AddGroup("系统词库", "青柚", "安装的词库");
  const uint8_t extra = installed.AddGroup("扩展", "", "");
  if (system == TABRIX_NO_GROUP || extra == TABRIX_NO_GROUP) Fail("AddGroup failed");
  const char* words[] = {"输入法", "词库", "编辑器"};
  for (const char* word : words) {
    if (!installed.AddPhrase(word, 255, 100, 1, system)) Fail("AddPhrase failed");
  }
  if (!installed.AddPhrase("扩展词", 255, 20, 1, extra)) Fail("AddPhrase failed");
  installed.GetGroup(system)->bEnable = 1;
  if (!installed.Save(path.c_str())) Fail("cannot save %s", path.c_str());
}

class CScenario {
 public:
  CScenario(const std::string& exe, const std::string& work)
      : m_strExe(exe), m_strWork(work), m_hMain(nullptr) {}

  void Run();

 private:
  // Tabrix.exe, with the files given on its command line.
  void Start(const std::vector<std::string>& files = {});
  void OpenFilesTheSystemsWay(const std::string& input, const std::string& saved);
  void ImportNewGroup(const std::string& path);
  void ImportIntoMarkedGroup(const std::string& path);
  void ImportOtherSources(const std::string& input, const tagIMPORTOPTIONS& options,
                          CRemoteList& list);
  void ExpectMessage(const char* step, const char* text, const char* shot);
  void EditPhrases(CRemoteList& list);
  void DeleteAndExportGroups(const std::string& out, CRemoteList& list);
  // The group list's context menu on row nRow, and the item of that letter.
  void GroupMenu(CRemoteList& list, int nRow, char letter, const char* shot);
  // The bar's range is the last command's, and the bar is back at zero.
  void ExpectProgress(const char* step, int high);
  // The question before modified work is dropped, answered with id.
  void AnswerSaveQuestion(const char* step, int id);
  void ExpectCaption(const char* step, const std::string& tail);
  void Exit();

  std::string m_strExe;
  std::string m_strWork;
  CProgramWindows m_windows;
  HWND m_hMain;
  CTabrix m_model;  // what the editor's library must hold
};

void CScenario::Start(const std::vector<std::string>& files) {
  std::string commandLine = "\"" + m_strExe + "\"";
  for (const std::string& file : files) commandLine += " \"" + file + "\"";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  if (!::CreateProcessA(m_strExe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        m_strWork.c_str(), &si, &g_app)) {
    Fail("cannot start %s (error %lu)", m_strExe.c_str(),
         static_cast<unsigned long>(::GetLastError()));
  }
  SetFailHook(EndProgramOnFailure);
  m_windows.Attach(g_app.hProcess, g_app.dwProcessId);
  m_hMain = m_windows.WaitForMainDialog(kMainCaption);
  WaitIdle(m_hMain);
  Log("Tabrix.exe runs (pid %lu), main dialog %p", static_cast<unsigned long>(g_app.dwProcessId),
      static_cast<void*>(m_hMain));
}

void CScenario::ImportNewGroup(const std::string& path) {
  PressButton(m_hMain, kImportNew);
  ChooseFile(m_windows.WaitForFileDialog(m_hMain), path);
  m_windows.WaitForModalEnd(m_hMain);
}

void CScenario::ImportIntoMarkedGroup(const std::string& path) {
  PressButton(m_hMain, kImportInto);
  ChooseFile(m_windows.WaitForFileDialog(m_hMain), path);
  m_windows.WaitForModalEnd(m_hMain);
}

void CScenario::ExpectMessage(const char* step, const char* text, const char* shot) {
  HWND hBox = m_windows.WaitForMessageBox(m_hMain);
  ExpectText(std::string(step) + ": message box caption", WindowText(hBox), "Tabrix");
  ExpectText(std::string(step) + ": message", MessageBoxText(hBox), text);
  Log("%s: message \"%s\"", step, text);
  if (shot) Screenshot(shot, m_hMain, hBox);
  DismissMessageBox(hBox);
  m_windows.WaitForModalEnd(m_hMain);
}

void CScenario::AnswerSaveQuestion(const char* step, int id) {
  HWND hBox = m_windows.WaitForMessageBox(m_hMain);
  ExpectText(std::string(step) + ": question", MessageBoxText(hBox), kSaveQuestion);
  for (int button : {IDYES, IDNO, IDCANCEL}) {
    if (!::GetDlgItem(hBox, button)) Fail("%s: the question has no button %d", step, button);
  }
  Log("%s: the question, answered %d", step, id);
  AnswerMessageBox(hBox, id);
}

void CScenario::ExpectCaption(const char* step, const std::string& tail) {
  WaitIdle(m_hMain);
  ExpectText(std::string(step) + ": caption", WindowText(m_hMain), kMainCaption + tail);
}

void CScenario::ExpectProgress(const char* step, int high) {
  HWND hBar = ::GetDlgItem(m_hMain, kProgress);
  const int low = static_cast<int>(SendBounded(hBar, PBM_GETRANGE, TRUE, 0));
  const int shownHigh = static_cast<int>(SendBounded(hBar, PBM_GETRANGE, FALSE, 0));
  const int shownPos = static_cast<int>(SendBounded(hBar, PBM_GETPOS, 0, 0));
  if (low != 0 || shownHigh != high || shownPos != 0) {
    Fail("%s: the progress bar shows %d of %d..%d, expected 0 of 0..%d", step, shownPos, low,
         shownHigh, high);
  }
}

// The texts of group g in store order: the rows its phrase window shows.
std::vector<std::string> GroupTexts(CTabrix& lib, uint32_t g) {
  std::vector<std::string> texts;
  for (uint32_t pos : GroupPhrasePositions(lib, g)) {
    const tagPHRASE2* p = lib.m_arrPhrase.GetAt(pos);
    texts.emplace_back(p->szWord, p->cLen);
  }
  return texts;
}

void ExpectPhraseRows(const char* step, const CRemoteList& rows,
                      const std::vector<std::string>& texts) {
  rows.WaitForCount(static_cast<int>(texts.size()));
  for (size_t i = 0; i < texts.size(); ++i) {
    ExpectText(std::string(step) + ": phrase row " + std::to_string(i),
               rows.Text(static_cast<int>(i), 0), texts[i]);
  }
}

std::string Caption(const std::string& scope, size_t total) {
  return "词条 - " + scope + "（共 " + std::to_string(total) + " 条）";
}

// Group 1's phrases: find, delete two, add one, move one to group 0.
void CScenario::EditPhrases(CRemoteList& list) {
  Log("step: a double click on row 1 opens its phrases");
  std::vector<std::string> texts = GroupTexts(m_model, 1);
  const std::string groupName = list.Text(1, 0);
  list.DoubleClickRow(1);
  HWND hWin = m_windows.WaitForOwnedDialog(m_hMain, Caption(groupName, texts.size()).c_str(),
                                           "the phrase window");
  HWND hRows = ::GetDlgItem(hWin, kPhraseList);
  if (!(::GetWindowLongA(hRows, GWL_STYLE) & LVS_OWNERDATA)) Fail("the phrase list is not virtual");
  CRemoteList rows(hRows, g_app.hProcess);
  ExpectPhraseRows("phrase window", rows, texts);

  Log("step: typing \"一\" into the find box");
  SetWindowTextTo(::GetDlgItem(hWin, kPhraseFind), "一");
  std::vector<std::string> found;
  for (const std::string& text : texts) {
    if (text.find("一") != std::string::npos) found.push_back(text);
  }
  ExpectPhraseRows("find", rows, found);
  ExpectText("caption while finding", WindowText(hWin),
             "词条 - " + groupName + "（共 " + std::to_string(texts.size()) + " 条，找到 " +
                 std::to_string(found.size()) + " 条）");
  SetWindowTextTo(::GetDlgItem(hWin, kPhraseFind), "");
  ExpectPhraseRows("find emptied", rows, texts);

  Log("step: delete rows 0 and 1");
  rows.SelectRows({0, 1});
  PressButton(hWin, kPhraseDelete);
  HWND hBox = m_windows.WaitForMessageBox(hWin);
  ExpectText("delete: question", MessageBoxText(hBox),
             "确实要删除选定的 2 个词条“" + texts[0] + "”、“" + texts[1] + "”吗？");
  DismissMessageBox(hBox);
  const char* gone[] = {texts[0].c_str(), texts[1].c_str()};
  uint32_t missing = 0;
  if (!m_model.RemovePhrasesByText(gone, 2, &missing) || missing) Fail("the core could not remove");
  texts = GroupTexts(m_model, 1);
  ExpectPhraseRows("after deleting two", rows, texts);

  Log("step: add %s with frequency %u", kAddedPhrase, kAddedFreq);
  SetWindowTextTo(::GetDlgItem(hWin, kPhraseText), kAddedPhrase);
  SetWindowTextTo(::GetDlgItem(hWin, kPhraseFreq), std::to_string(kAddedFreq));
  PressButton(hWin, kPhraseAdd);
  if (!m_model.AddPhrase(kAddedPhrase, 255, kAddedFreq, 1, 1)) Fail("the core could not add");
  texts = GroupTexts(m_model, 1);
  ExpectPhraseRows("after adding", rows, texts);

  Log("step: move row 0 to group 0");
  const std::string moved = texts[0];
  rows.SelectRows({0});
  SendBounded(::GetDlgItem(hWin, kPhraseTarget), CB_SETCURSEL, 0, 0);
  PressButton(hWin, kPhraseMove);
  const char* movedText[] = {moved.c_str()};
  if (!m_model.MovePhrasesByText(movedText, 1, 0, &missing) || missing)
    Fail("the core could not move");
  texts = GroupTexts(m_model, 1);
  ExpectPhraseRows("after moving", rows, texts);
  ExpectText("caption after the edits", WindowText(hWin), Caption(groupName, texts.size()));
  // The main list's counts followed every change.
  ExpectRows("while the phrase window is open", list, m_model);
  Screenshot("phrase-window", m_hMain, hWin);

  PressButton(hWin, IDCANCEL);
  m_windows.WaitForModalEnd(m_hMain);
  ExpectRows("phrase window closed", list, m_model);
}

void CScenario::GroupMenu(CRemoteList& list, int nRow, char letter, const char* shot) {
  list.ClickRow(nRow);
  // The menu key: the context menu of the focused row.
  ::PostMessageA(m_hMain, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(::GetDlgItem(m_hMain, kList)),
                 -1);
  HWND hMenu = m_windows.WaitForPopupMenu();
  if (shot) Screenshot(shot, m_hMain, hMenu);
  ChooseMenuLetter(hMenu, letter);
}

// Delete group 2 through the context menu; export group 1 as a phrase list
// and import the file back as a new group.
void CScenario::DeleteAndExportGroups(const std::string& out, CRemoteList& list) {
  Log("step: \"删除组\" on row 2");
  const tagGROUPINFO doomed = *m_model.GetGroup(2);
  GroupMenu(list, 2, 'd', "group-menu");
  HWND hBox = m_windows.WaitForMessageBox(m_hMain);
  ExpectText("delete group: question", MessageBoxText(hBox),
             "确实要删除组“" + std::string(doomed.szName) + "”及其 " +
                 std::to_string(doomed.dwCount) + " 个词条吗？后面的组将依次上移。");
  DismissMessageBox(hBox);
  m_windows.WaitForModalEnd(m_hMain);
  if (!m_model.RemoveGroup(2)) Fail("the core could not remove group 2");
  list.WaitForCount(static_cast<int>(m_model.GetGroupCount()));
  ExpectRows("after deleting a group", list, m_model);

  Log("step: \"导出为文本文件\" of row 1, then \"导入新组\" of the file");
  const std::string exported = Join(out, "导出的组.txt");
  GroupMenu(list, 1, 'e', nullptr);
  ChooseFile(m_windows.WaitForFileDialog(m_hMain), exported);
  tagGROUPLIST expected;
  WriteGroupList(m_model, 1, GroupPhrasePositions(m_model, 1), nullptr, nullptr, nullptr,
                 &expected);
  ExpectMessage("export", ("导出完成：" + std::to_string(expected.nWritten) + " 个词条。").c_str(),
                nullptr);
  if (ReadBytes(exported) != expected.strText) Fail("the exported file is not the core's list");
  const tagGROUPINFO source = *m_model.GetGroup(1);
  const std::vector<std::string> sourceTexts = GroupTexts(m_model, 1);

  Log("step: \"删除组\" on row 1, then \"导入新组\" of its exported file");
  GroupMenu(list, 1, 'd', nullptr);
  DismissMessageBox(m_windows.WaitForMessageBox(m_hMain));
  m_windows.WaitForModalEnd(m_hMain);
  if (!m_model.RemoveGroup(1)) Fail("the core could not remove group 1");
  list.WaitForCount(static_cast<int>(m_model.GetGroupCount()));
  ImportNewGroup(exported);
  uint8_t g = 0;
  if (::ImportNewGroup(m_model, exported.c_str(), DefaultImportOptions(), &g, nullptr) !=
      IMPORT_OK) {
    Fail("the core could not import %s", exported.c_str());
  }
  list.WaitForCount(static_cast<int>(m_model.GetGroupCount()));
  ExpectRows("the exported group imported back", list, m_model);
  const tagGROUPINFO& back = *m_model.GetGroup(g);
  if (std::strcmp(back.szName, source.szName) || std::strcmp(back.szEditor, source.szEditor) ||
      std::strcmp(back.szRemark, source.szRemark) || GroupTexts(m_model, g) != sourceTexts) {
    Fail("the exported group does not import back as it was");
  }
}

// A second run: Tabrix.exe with the saved library on its command line (as a
// double click on it runs the program), then files dropped on its window.
void CScenario::OpenFilesTheSystemsWay(const std::string& input, const std::string& saved) {
  ::CloseHandle(g_app.hThread);
  ::CloseHandle(g_app.hProcess);
  g_app = PROCESS_INFORMATION();
  Log("step: Tabrix.exe \"%s\"", saved.c_str());
  Start({saved});
  CRemoteList list(::GetDlgItem(m_hMain, kList), g_app.hProcess);
  list.WaitForCount(static_cast<int>(m_model.GetGroupCount()));
  ExpectRows("the library on the command line", list, m_model);

  Log("step: two phrase lists dropped on the window");
  const std::string first = Join(input, "拖放一.txt");
  const std::string second = Join(input, "拖放二.txt");
  WriteBytes(first, "拖放 9\r\n放下 8\r\n");
  WriteBytes(second, "@名称=第二个\r\n拖动 7\r\n");
  // The model first: a list being read is locked against other readers, so
  // the core must not read it while the editor does.
  for (const std::string& path : {first, second}) {
    tagIMPORTOPTIONS options = DefaultImportOptions();
    const std::string title = GroupTitleFromPath(path.c_str());
    options.pszTitle = title.c_str();
    if (::ImportNewGroup(m_model, path.c_str(), options, nullptr, nullptr) != IMPORT_OK) {
      Fail("the core could not import %s", path.c_str());
    }
  }
  DropFiles(m_hMain, g_app.hProcess, {first, second});
  list.WaitForCount(static_cast<int>(m_model.GetGroupCount()));
  WaitIdle(m_hMain);
  ExpectRows("after the drop of two lists", list, m_model);

  Log("step: a library dropped on the window: the question first, \"否\"");
  CTabrix dropped;
  const std::string library = Join(input, "拖放的词库.wbk");
  WriteInstalledLibrary(dropped, library);
  DropFiles(m_hMain, g_app.hProcess, {library});
  AnswerSaveQuestion("drop over the imports", IDNO);
  list.WaitForCount(static_cast<int>(dropped.GetGroupCount()));
  WaitIdle(m_hMain);
  ExpectRows("after the drop of a library", list, dropped);
  Exit();
}

void CScenario::Exit() {
  PressButton(m_hMain, IDCANCEL);
  if (::WaitForSingleObject(g_app.hProcess, kWaitMs) != WAIT_OBJECT_0) {
    m_windows.DumpWindows();
    Fail("Tabrix.exe did not end after \"退出\"");
  }
  DWORD code = 0;
  ::GetExitCodeProcess(g_app.hProcess, &code);
  Log("Tabrix.exe ended with status %lu", static_cast<unsigned long>(code));
}

// Other input methods' dictionaries and a UTF-16 list, each through "导入新组"
// as a new group; the core imports the same files into the model.
void CScenario::ImportOtherSources(const std::string& input, const tagIMPORTOPTIONS& options,
                                   CRemoteList& list) {
  // The whole range again: a .qpyd carries no weights, so its entries come
  // with frequency 0.
  SetWindowTextTo(::GetDlgItem(m_hMain, kFreqMin), "0");
  for (const char* name : {"sample.scel", "sample.bdict", "sample.qpyd"}) {
    Log("step: \"导入新组\" of the dictionary %s", name);
    const std::string path = Join(input, name);
    WriteBytes(path, ReadBytes(Join(WindowsPath(TABRIX_FORMAT_DATA), name)));
    PressButton(m_hMain, kImportNew);
    ChooseFile(m_windows.WaitForFileDialog(m_hMain), path);
    uint8_t group = 0;
    tagIMPORTSTATS stats = {};
    tagREADFAULT fault = {};
    tagIMPORTOPTIONS named = options;
    const std::string title = GroupTitleFromPath(path.c_str());
    named.pszTitle = title.c_str();
    if (ImportDictionary(m_model, path.c_str(), DetectDictFormat(path.c_str()), named, true, &group,
                         &stats, &fault) != IMPORT_OK) {
      Fail("the core could not import %s: %s", name, ReadFaultText(fault).c_str());
    }
    if (stats.nAdded == 0) Fail("%s added no phrases", name);
    // An entry whose text GBK cannot hold is named in one message.
    if (stats.nNoGbkForm != 0) {
      const std::string text =
          "导入时跳过了 " + std::to_string(stats.nNoGbkForm) + " 个词条含有 GBK 无法表示的字符。";
      ExpectMessage(name, text.c_str(), nullptr);
    } else {
      m_windows.WaitForModalEnd(m_hMain);
    }
    list.WaitForCount(static_cast<int>(m_model.GetGroupCount()));
    ExpectRows(name, list, m_model);
  }

  Log("step: \"导入新组\" of a UTF-16 list");
  const std::string utf16 = Join(input, "utf16.txt");
  const char16_t text[] = u"@名称=双字节\r\n葡萄 20\r\n橘子\t8\r\n";
  std::string bytes("\xFF\xFE", 2);
  for (const char16_t* p = text; *p; ++p) {
    bytes.push_back(char(*p & 0xFF));
    bytes.push_back(char(*p >> 8));
  }
  WriteBytes(utf16, bytes);
  ImportNewGroup(utf16);
  CGbkSource source;
  tagIMPORTOPTIONS named = options;
  const std::string title = GroupTitleFromPath(utf16.c_str());
  named.pszTitle = title.c_str();
  CTxtLineReader reader('#');
  if (source.Open(utf16.c_str(), SOURCE_MODE_AUTO) != SOURCE_OK ||
      !reader.Open(source.OpenBytes()) ||
      ::ImportNewGroup(m_model, reader, named, nullptr, nullptr) != IMPORT_OK) {
    Fail("the core could not import %s", utf16.c_str());
  }
  list.WaitForCount(static_cast<int>(m_model.GetGroupCount()));
  ExpectRows("UTF-16 list", list, m_model);
  ExpectText("the UTF-16 list's group", list.Text(list.Count() - 1, 0), "双字节");
}

void CScenario::Run() {
  const std::string input = Join(m_strWork, "输入");
  const std::string out = Join(m_strWork, "输出");
  MakeDir(input);
  MakeDir(out);
  const std::string first = Join(input, kFirstName);
  const std::string second = Join(input, kSecondName);
  const std::string third = Join(input, kThirdName);
  WriteBytes(first, kFirstText);
  WriteBytes(second, kSecondText);
  WriteBytes(third, kThirdText);

  Start();
  HWND hList = ::GetDlgItem(m_hMain, kList);
  if (!hList) Fail("the main dialog has no list 1204");
  CRemoteList list(hList, g_app.hProcess);

  Log("step: the editor opens empty");
  ExpectRows("start", list, m_model);
  ExpectText("range field 1004", WindowText(::GetDlgItem(m_hMain, kFreqMin)), "0");
  ExpectText("range field 1005", WindowText(::GetDlgItem(m_hMain, kFreqMax)), "250");

  Log("step: \"导入新组\" %s", kFirstName);
  tagIMPORTOPTIONS options = DefaultImportOptions();
  ImportNewGroup(first);
  if (::ImportNewGroup(m_model, first.c_str(), options, nullptr, nullptr) != IMPORT_OK) {
    Fail("the core could not import %s", first.c_str());
  }
  list.WaitForCount(1);
  ExpectRows("first import", list, m_model);
  ExpectText("row 0 name", list.Text(0, 0), "常用词");
  ExpectText("row 0 count", list.Text(0, 1), "7");
  const int firstSize = static_cast<int>(std::strlen(kFirstText));
  ExpectProgress("first import", firstSize);

  Log("step: \"导入新组\" %s, with header lines", kSecondName);
  ImportNewGroup(second);
  if (::ImportNewGroup(m_model, second.c_str(), options, nullptr, nullptr) != IMPORT_OK) {
    Fail("the core could not import %s", second.c_str());
  }
  list.WaitForCount(2);
  ExpectRows("second import", list, m_model);
  ExpectText("row 1 name", list.Text(1, 0), "成语");
  ExpectText("row 1 count (a duplicate skipped)", list.Text(1, 1), "4");
  ExpectText("row 1 editor", list.Text(1, 2), "小林");
  ExpectText("row 1 remark", list.Text(1, 3), "四字成语");

  Log("step: \"导入新组\" of a file that does not exist");
  PressButton(m_hMain, kImportNew);
  ChooseFile(m_windows.WaitForFileDialog(m_hMain), Join(input, "没有这个文件.txt"));
  ExpectMessage("missing file", kOpenFailedMessage, nullptr);
  ExpectRows("after the missing file", list, m_model);

  Log("step: a click on row 0 marks it; range from %u", kThirdMinFreq);
  list.ClickRow(0);
  if (list.SelectionMark() != 0) Fail("the selection mark is %d, expected 0", list.SelectionMark());
  char minFreq[8];
  std::snprintf(minFreq, sizeof minFreq, "%u", kThirdMinFreq);
  SetWindowTextTo(::GetDlgItem(m_hMain, kFreqMin), minFreq);

  Log("step: \"导入到当前组\" %s", kThirdName);
  ImportIntoMarkedGroup(third);
  tagIMPORTOPTIONS thirdOptions = options;
  thirdOptions.byMinFreq = kThirdMinFreq;
  if (::ImportToGroup(m_model, 0, third.c_str(), thirdOptions, nullptr) != IMPORT_OK) {
    Fail("the core could not import %s", third.c_str());
  }
  ExpectRows("import into the marked group", list, m_model);
  ExpectText("row 0 count after the import into it", list.Text(0, 1), "9");
  ExpectText("row 0 name after the import into it", list.Text(0, 0), "常用词");

  ImportOtherSources(input, options, list);

  Log("step: tick row 1 with a click on its box");
  list.ClickCheckBox(1);
  list.WaitForStateImage(1, 2);
  m_model.GetGroup(1)->bEnable = 1;
  Log("step: tick row 0 through its state image, then untick it with a click");
  list.SetStateImage(0, 2);
  list.WaitForStateImage(0, 2);
  list.ClickCheckBox(0);
  list.WaitForStateImage(0, 1);
  ExpectRows("ticks", list, m_model);
  if (list.SelectionMark() != 0) Fail("the ticks moved the selection mark");

  Log("step: \"设定属性\" on row 0, cancelled");
  PressButton(m_hMain, kSetProp);
  HWND hProp = m_windows.WaitForOwnedDialog(m_hMain, kPropCaption, "the property dialog");
  ExpectText("name box", WindowText(::GetDlgItem(hProp, kPropName)), "常用词");
  ExpectText("editor box", WindowText(::GetDlgItem(hProp, kPropEditor)), "");
  ExpectText("remark box", WindowText(::GetDlgItem(hProp, kPropRemark)), "");
  SetWindowTextTo(::GetDlgItem(hProp, kPropName), "作废");
  PressButton(hProp, IDCANCEL);
  m_windows.WaitForModalEnd(m_hMain);
  ExpectRows("property dialog cancelled", list, m_model);

  Log("step: \"设定属性\" on row 0, new texts, OK");
  PressButton(m_hMain, kSetProp);
  hProp = m_windows.WaitForOwnedDialog(m_hMain, kPropCaption, "the property dialog");
  const struct {
    int nId;
    const char* pszText;
    LRESULT nLimit;
  } boxes[] = {
      {kPropName, kNewName, 49}, {kPropEditor, kNewEditor, 49}, {kPropRemark, kNewRemark, 199}};
  for (const auto& box : boxes) {
    HWND hBox = ::GetDlgItem(hProp, box.nId);
    const LRESULT limit = SendBounded(hBox, EM_GETLIMITTEXT, 0, 0);
    if (limit != box.nLimit) {
      Fail("edit %d takes %ld bytes, expected %ld", box.nId, static_cast<long>(limit),
           static_cast<long>(box.nLimit));
    }
    SetWindowTextTo(hBox, box.pszText);
  }
  Screenshot("property-dialog", m_hMain, hProp);
  PressButton(hProp, IDOK);
  m_windows.WaitForModalEnd(m_hMain);
  SetGroupTexts(m_model, 0, kNewName, kNewEditor, kNewRemark);
  ExpectRows("property dialog OK", list, m_model);
  Screenshot("main-window", m_hMain, m_hMain);

  EditPhrases(list);
  DeleteAndExportGroups(out, list);

  Log("step: \"保存\" as a name without extension");
  const std::string savedStem = Join(out, "我的词库");
  const std::string saved = savedStem + ".wbk";
  PressButton(m_hMain, kSave);
  ChooseFile(m_windows.WaitForFileDialog(m_hMain), savedStem);
  ExpectMessage("save", kSavedMessage, "message-box");
  if (!FileExists(saved)) Fail("the save did not write %s", saved.c_str());
  ExpectRows("after saving", list, m_model);
  const int phrases = static_cast<int>(m_model.m_arrPhrase.GetCount());
  ExpectProgress("save", phrases);

  ExpectCaption("after saving", " - 我的词库.wbk");

  Log("step: \"清空\", asking nothing");
  PressButton(m_hMain, kClear);
  WaitIdle(m_hMain);
  list.WaitForCount(0);
  ExpectCaption("after clearing", " - 我的词库.wbk *");

  Log("step: \"载入\" asks first; \"取消\" keeps the cleared library");
  PressButton(m_hMain, kLoad);
  AnswerSaveQuestion("load after clearing", IDCANCEL);
  m_windows.WaitForModalEnd(m_hMain);
  list.WaitForCount(0);
  if (m_windows.FindOwnedDialog(m_hMain, nullptr)) Fail("\"取消\" went on to the file dialog");

  Log("step: \"载入\" the saved file, \"否\" to the question");
  PressButton(m_hMain, kLoad);
  AnswerSaveQuestion("load after clearing", IDNO);
  ChooseFile(m_windows.WaitForFileDialog(m_hMain), saved);
  m_windows.WaitForModalEnd(m_hMain);
  list.WaitForCount(static_cast<int>(m_model.GetGroupCount()));
  ExpectRows("load", list, m_model);
  ExpectProgress("load", phrases);
  ExpectCaption("after the load", " - 我的词库.wbk");

  Log("step: \"载入\" cancelled keeps the library");
  PressButton(m_hMain, kLoad);
  CancelFileDialog(m_windows.WaitForFileDialog(m_hMain));
  m_windows.WaitForModalEnd(m_hMain);
  if (m_windows.FindOwnedDialog(m_hMain, nullptr)) Fail("a cancelled load showed a window");
  ExpectRows("after a cancelled load", list, m_model);

  Log("step: \"载入\" a file that does not exist keeps the library");
  PressButton(m_hMain, kLoad);
  ChooseFile(m_windows.WaitForFileDialog(m_hMain), Join(out, "没有这个词库.wbk"));
  ExpectMessage("missing library", kLoadFailedMessage, nullptr);
  ExpectRows("after a failed load", list, m_model);

  Log("step: \"载入当前词库\" from path_svr_data");
  const std::string dataDir = InstalledDataDir();
  Log("path_svr_data = %s", dataDir.c_str());
  CTabrix installed;
  WriteInstalledLibrary(installed, Join(dataDir, "default.wbk"));
  PressButton(m_hMain, kLoadCurrent);
  WaitIdle(m_hMain);
  list.WaitForCount(static_cast<int>(installed.GetGroupCount()));
  ExpectRows("load the installed library", list, installed);
  const int installedPhrases = static_cast<int>(installed.m_arrPhrase.GetCount());
  ExpectProgress("load the installed library", installedPhrases);

  Log("step: the About box from the system menu");
  if (!::PostMessageA(m_hMain, WM_SYSCOMMAND, kAboutMenuItem, 0)) Fail("cannot post WM_SYSCOMMAND");
  HWND hAbout = m_windows.WaitForOwnedDialog(m_hMain, kAboutCaption, "the About box");
  HWND hLink = FindControl(hAbout, kAboutLink, "Static");
  if (!hLink) Fail("the About box has no link 1003");
  const std::string link = WindowText(hLink);
  Log("link text: %s", link.c_str());
  if (link.compare(0, 8, "https://") != 0 && link.compare(0, 7, "http://") != 0) {
    Fail("the link shows \"%s\", not a web address", link.c_str());
  }
  if (!(::GetWindowLongA(hLink, GWL_STYLE) & SS_NOTIFY)) Fail("the link does not take clicks");
  bool versionShown = false;
  for (HWND h = ::GetWindow(hAbout, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    if (WindowText(h) == kAboutVersion) versionShown = true;
  }
  if (!versionShown) Fail("the About box does not show \"%s\"", kAboutVersion);
  Screenshot("about-box", m_hMain, hAbout);
  PressButton(hAbout, IDOK);
  m_windows.WaitForModalEnd(m_hMain);
  ExpectRows("after the About box", list, installed);

  Log("step: a tick, then \"退出\": the question, \"取消\" stays");
  list.ClickCheckBox(0);
  list.WaitForStateImage(0, installed.GetGroup(0)->bEnable ? 1 : 2);
  ExpectCaption("after a tick", " - default.wbk *");
  PressButton(m_hMain, IDCANCEL);
  AnswerSaveQuestion("exit after a tick", IDCANCEL);
  m_windows.WaitForModalEnd(m_hMain);
  if (::WaitForSingleObject(g_app.hProcess, 0) == WAIT_OBJECT_0) Fail("\"取消\" ended the program");

  Log("step: \"撤销\" from the group list's menu takes the tick back");
  GroupMenu(list, 0, 'U', "undo-menu");
  list.WaitForStateImage(0, installed.GetGroup(0)->bEnable ? 2 : 1);
  ExpectCaption("after undo", " - default.wbk");
  ExpectRows("after undo", list, installed);

  Log("step: \"退出\", nothing unsaved: no question");
  Exit();

  Log("step: the saved file against the library the core built");
  const std::string expected = Join(out, "expected.wbk");
  if (!m_model.Save(expected.c_str())) Fail("the core could not save %s", expected.c_str());
  const size_t size = ExpectSameLibraryFile(saved, expected);
  Log("the saved library (%u bytes) is the expected one", static_cast<unsigned>(size));

  OpenFilesTheSystemsWay(input, saved);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: e2e_driver TABRIX_EXE WORK_DIR [SHOTS_DIR]\n");
    return 2;
  }
  if (::GetACP() != 936) {
    Log("FAILED: the code page is %u, not 936: run under LANG=zh_CN.UTF-8 in a prefix booted so",
        ::GetACP());
    return 1;
  }
  if (argc == 4) g_shotsDir = WindowsPath(argv[3]);
  {
    CScenario scenario(WindowsPath(argv[1]), WindowsPath(argv[2]));
    scenario.Run();
  }
  SetFailHook(nullptr);
  ::CloseHandle(g_app.hThread);
  ::CloseHandle(g_app.hProcess);
  Log("PASSED");
  return 0;
}
