// The recovery file of the real Tabrix.exe, used through its windows: each
// edit is written to the recovery file; a second editor running at once neither
// offers nor touches it; after the first is killed (a crash), the next start
// offers it, 是 brings the rows back (with a phrase list of the command line
// imported into them) and 否 removes it.
//
//   e2e_recovery TABRIX_EXE WORK_DIR
//
// Paths may be Unix paths (/a/b, seen by Wine as Z:\a\b). The editors run
// with TABRIX_RECOVERY_INTERVAL_MS lowered, so that no step waits a minute.
#include <windows.h>

#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "E2eLibrary.h"
#include "E2eWindows.h"
#include "PhraseImport.h"
#include "RecoveryFiles.h"
#include "Tabrix.h"

namespace {

const char kMainCaption[] = "青柚输入法:词库编辑器";
const char kOffer[] = "上次未保存的词库已恢复，是否载入？";
const char kSaveQuestion[] = "词库已修改，是否保存？";
const int kImportNew = 1048, kList = 1204;
const char kInterval[] = "300";

// One running editor.
struct tagEDITOR {
  PROCESS_INFORMATION pi = {};
  CProgramWindows windows;
  HWND hMain = nullptr;
};

std::vector<tagEDITOR*> g_running;

void EndEditorsOnFailure() {
  for (tagEDITOR* editor : g_running) {
    if (editor->pi.hProcess && ::WaitForSingleObject(editor->pi.hProcess, 0) == WAIT_TIMEOUT) {
      ::TerminateProcess(editor->pi.hProcess, 99);
      ::WaitForSingleObject(editor->pi.hProcess, 10000);
    }
  }
}

// %LOCALAPPDATA%\Tabrix\Recovery of this prefix's user, as the editor finds it.
std::string RecoveryFolder() {
  PWSTR pWide = nullptr;
  if (FAILED(::SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &pWide))) {
    Fail("no local application data folder");
  }
  char path[MAX_PATH * 2] = {};
  ::WideCharToMultiByte(CP_ACP, 0, pWide, -1, path, sizeof path, nullptr, nullptr);
  ::CoTaskMemFree(pWide);
  return Join(path, "Tabrix\\Recovery");
}

// Same rows as the editor shows them, and the same phrases record for record.
bool SameLibrary(CTabrix& a, CTabrix& b) {
  const std::vector<tagROW> rowsA = RowsOfLibrary(a), rowsB = RowsOfLibrary(b);
  if (rowsA.size() != rowsB.size() || a.m_arrPhrase.GetCount() != b.m_arrPhrase.GetCount()) {
    return false;
  }
  for (size_t i = 0; i < rowsA.size(); ++i) {
    if (rowsA[i].strName != rowsB[i].strName || rowsA[i].strCount != rowsB[i].strCount ||
        rowsA[i].strEditor != rowsB[i].strEditor || rowsA[i].strRemark != rowsB[i].strRemark ||
        rowsA[i].nImage != rowsB[i].nImage) {
      return false;
    }
  }
  for (uint32_t i = 0; i < a.m_arrPhrase.GetCount(); ++i) {
    if (std::memcmp(a.m_arrPhrase.GetAt(i), b.m_arrPhrase.GetAt(i), sizeof(tagPHRASE2)) != 0) {
      return false;
    }
  }
  return true;
}

// The recovery files (*.wbk) in the folder.
std::vector<std::string> RecoveryFiles(const std::string& folder) {
  std::vector<std::string> files;
  WIN32_FIND_DATAA data;
  HANDLE h = ::FindFirstFileA(Join(folder, "*.wbk").c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return files;
  do {
    files.push_back(Join(folder, data.cFileName));
  } while (::FindNextFileA(h, &data));
  ::FindClose(h);
  return files;
}

class CScenario {
 public:
  CScenario(const std::string& exe, const std::string& work) : m_strExe(exe), m_strWork(work) {}
  void Run();

 private:
  // Tabrix.exe, with the files given on its command line; with bOffer, its
  // main window waits disabled behind the offer's message box.
  void Start(tagEDITOR& editor, const std::vector<std::string>& files = {}, bool bOffer = false);
  // The one recovery file, once it holds what the model holds.
  std::string WaitForRecoveryFile(CTabrix& expected);
  // "退出"; a question about saving (once the editor asks one) is answered 否.
  void ExitWithoutSaving(tagEDITOR& editor);
  void Kill(tagEDITOR& editor);
  // "导入新组" of a phrase list.
  void ImportNewGroup(tagEDITOR& editor, const std::string& path);
  // Fails unless the file's lock is held by a running editor.
  void ExpectHeld(const std::string& path, const char* step);

  std::string m_strExe;
  std::string m_strWork;
  std::string m_strFolder;
  CTabrix m_model;
};

void CScenario::Start(tagEDITOR& editor, const std::vector<std::string>& files, bool bOffer) {
  std::string commandLine = "\"" + m_strExe + "\"";
  for (const std::string& file : files) commandLine += " \"" + file + "\"";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  if (!::CreateProcessA(m_strExe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        m_strWork.c_str(), &si, &editor.pi)) {
    Fail("cannot start %s (error %lu)", m_strExe.c_str(),
         static_cast<unsigned long>(::GetLastError()));
  }
  g_running.push_back(&editor);
  editor.windows.Attach(editor.pi.hProcess, editor.pi.dwProcessId);
  if (bOffer) {
    PollUntil(kWaitMs, [&] {
      return (editor.hMain = editor.windows.FindOwnedDialog(nullptr, kMainCaption)) != nullptr;
    });
    if (!editor.hMain) Fail("the main dialog did not appear");
  } else {
    editor.hMain = editor.windows.WaitForMainDialog(kMainCaption);
  }
  Log("Tabrix.exe runs (pid %lu)", static_cast<unsigned long>(editor.pi.dwProcessId));
}

std::string CScenario::WaitForRecoveryFile(CTabrix& expected) {
  std::string found;
  const bool bWritten = PollUntil(kWaitMs, [&] {
    const std::vector<std::string> files = RecoveryFiles(m_strFolder);
    CTabrix written;
    if (files.size() != 1 || !written.Load(files[0].c_str())) return false;
    found = files[0];
    return SameLibrary(written, expected);
  });
  if (!bWritten) {
    Fail("no recovery file with the edited library in %s (last seen: %s)", m_strFolder.c_str(),
         found.empty() ? "none" : found.c_str());
  }
  Log("recovery file %s holds the edited library", found.c_str());
  return found;
}

void CScenario::ExitWithoutSaving(tagEDITOR& editor) {
  PressButton(editor.hMain, IDCANCEL);
  const bool bEnded = PollUntil(kWaitMs, [&] {
    if (::WaitForSingleObject(editor.pi.hProcess, 0) == WAIT_OBJECT_0) return true;
    if (HWND hBox = editor.windows.FindOwnedDialog(editor.hMain, nullptr)) {
      ExpectText("the question on exit", MessageBoxText(hBox), kSaveQuestion);
      PressButton(hBox, IDNO);
      ::Sleep(100);
    }
    return false;
  });
  if (!bEnded) {
    editor.windows.DumpWindows();
    Fail("Tabrix.exe did not end after \"退出\"");
  }
}

void CScenario::ImportNewGroup(tagEDITOR& editor, const std::string& path) {
  PressButton(editor.hMain, kImportNew);
  ChooseFile(editor.windows.WaitForFileDialog(editor.hMain), path);
  editor.windows.WaitForModalEnd(editor.hMain);
}

void CScenario::Kill(tagEDITOR& editor) {
  ::TerminateProcess(editor.pi.hProcess, 9);
  if (::WaitForSingleObject(editor.pi.hProcess, kWaitMs) != WAIT_OBJECT_0) {
    Fail("Tabrix.exe (pid %lu) did not end when killed",
         static_cast<unsigned long>(editor.pi.dwProcessId));
  }
  Log("Tabrix.exe (pid %lu) killed", static_cast<unsigned long>(editor.pi.dwProcessId));
}

void CScenario::ExpectHeld(const std::string& path, const char* step) {
  CRecoveryFile probe;
  if (probe.Take(path)) Fail("%s: no running editor holds %s", step, path.c_str());
}

void CScenario::Run() {
  m_strFolder = RecoveryFolder();
  Log("recovery folder %s", m_strFolder.c_str());
  if (!RecoveryFiles(m_strFolder).empty()) Fail("the prefix already holds recovery files");
  const std::string list = Join(m_strWork, "恢复测试.txt");
  WriteBytes(list, "恢复 100\r\n保存 90\r\n崩溃 80\r\n");

  Log("step: an editor imports a list: the recovery file is written");
  tagEDITOR first;
  Start(first);
  CRemoteList firstList(::GetDlgItem(first.hMain, kList), first.pi.hProcess);
  ImportNewGroup(first, list);
  if (::ImportNewGroup(m_model, list.c_str(), DefaultImportOptions(), nullptr, nullptr) !=
      IMPORT_OK) {
    Fail("the core could not import %s", list.c_str());
  }
  firstList.WaitForCount(1);
  ExpectRows("after the import", firstList, m_model);
  const std::string recovery = WaitForRecoveryFile(m_model);
  ExpectHeld(recovery, "while the first editor runs");

  Log("step: a tick on the row: the file is written again");
  firstList.ClickCheckBox(0);
  firstList.WaitForStateImage(0, 2);
  m_model.GetGroup(0)->bEnable = 1;
  if (WaitForRecoveryFile(m_model) != recovery) Fail("the editor changed its recovery file's name");

  Log("step: a second editor starts meanwhile, offers nothing and ends");
  tagEDITOR second;
  Start(second);
  // "退出" is posted after the offer's own message: an offer would stand in
  // its way with a message box.
  PressButton(second.hMain, IDCANCEL);
  if (::WaitForSingleObject(second.pi.hProcess, kWaitMs) != WAIT_OBJECT_0) {
    if (HWND hBox = second.windows.FindOwnedDialog(second.hMain, nullptr)) {
      Fail("the second editor asked \"%s\"", MessageBoxText(hBox).c_str());
    }
    Fail("the second editor did not end");
  }
  if (RecoveryFiles(m_strFolder) != std::vector<std::string>{recovery}) {
    Fail("the second editor touched the first's recovery file");
  }
  ExpectHeld(recovery, "after the second editor");

  Log("step: the first editor is killed, as a crash ends it");
  Kill(first);
  if (!FileExists(recovery) || !FileExists(recovery + ".lock")) {
    Fail("the crash took the recovery file along");
  }

  Log("step: the next start, with a phrase list on its command line, offers it: 是");
  const std::string extra = Join(m_strWork, "追加.txt");
  WriteBytes(extra, "追加 5\r\n");
  tagEDITOR third;
  Start(third, {extra}, true);
  HWND hBox = third.windows.WaitForMessageBox(third.hMain);
  ExpectText("the offer", MessageBoxText(hBox), kOffer);
  if (!::GetDlgItem(hBox, IDYES) || !::GetDlgItem(hBox, IDNO))
    Fail("the offer is no 是/否 question");
  PressButton(hBox, IDYES);
  // The list goes into the recovered library, after it.
  if (::ImportNewGroup(m_model, extra.c_str(), DefaultImportOptions(), nullptr, nullptr) !=
      IMPORT_OK) {
    Fail("the core could not import %s", extra.c_str());
  }
  CRemoteList thirdList(::GetDlgItem(third.hMain, kList), third.pi.hProcess);
  thirdList.WaitForCount(static_cast<int>(m_model.GetGroupCount()));
  third.windows.WaitForModalEnd(third.hMain);
  ExpectRows("the recovered library and the list", thirdList, m_model);
  // Modified, without a file name: the caption is the bare one, marked.
  ExpectText("the caption after recovery", WindowText(third.hMain),
             std::string(kMainCaption) + " *");
  ExpectHeld(recovery, "the recovered file is the third editor's own");

  Log("step: killed again; the next start offers it: 否 removes it");
  Kill(third);
  tagEDITOR fourth;
  Start(fourth, {}, true);
  hBox = fourth.windows.WaitForMessageBox(fourth.hMain);
  ExpectText("the second offer", MessageBoxText(hBox), kOffer);
  PressButton(hBox, IDNO);
  fourth.windows.WaitForModalEnd(fourth.hMain);
  if (FileExists(recovery) || FileExists(recovery + ".lock")) Fail("否 left the file behind");
  CRemoteList fourthList(::GetDlgItem(fourth.hMain, kList), fourth.pi.hProcess);
  if (fourthList.Count() != 0) Fail("否 left rows in the list");

  Log("step: an import, then \"退出\" without saving: the file goes");
  ImportNewGroup(fourth, list);
  CTabrix fourthModel;
  if (::ImportNewGroup(fourthModel, list.c_str(), DefaultImportOptions(), nullptr, nullptr) !=
      IMPORT_OK) {
    Fail("the core could not import %s", list.c_str());
  }
  fourthList.WaitForCount(1);
  const std::string fourthFile = WaitForRecoveryFile(fourthModel);
  ExitWithoutSaving(fourth);
  if (!RecoveryFiles(m_strFolder).empty() || FileExists(fourthFile + ".lock")) {
    Fail("the exit left the recovery file behind");
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: e2e_recovery TABRIX_EXE WORK_DIR\n");
    return 2;
  }
  // Inherited by every editor started.
  ::SetEnvironmentVariableA("TABRIX_RECOVERY_INTERVAL_MS", kInterval);
  SetFailHook(EndEditorsOnFailure);
  {
    CScenario scenario(WindowsPath(argv[1]), WindowsPath(argv[2]));
    scenario.Run();
  }
  SetFailHook(nullptr);
  Log("PASSED");
  return 0;
}
