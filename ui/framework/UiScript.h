// The test seam of the framework. While a CUiScript object exists, the
// program's modal file dialogs, message boxes and modal dialogs are not shown
// to a person: file dialogs take their answers from the script's queue,
// message boxes are recorded and answered, and each modal dialog is handed to
// the next queued step right after its initialisation. Without a script, the
// real dialogs run. Tests create one script at a time.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "Win32.h"

class CDialog;

struct tagFILEDIALOGCALL {
  bool bOpen;
  std::string strDefExt;
  std::string strFilter;
  std::string strFileName;  // the name offered at first
  HWND hOwner;
};

struct tagMENUITEM {
  UINT nID;  // 0 for a separator
  std::string strText;
  bool bGrayed;
};

struct tagPOPUPMENUCALL {
  POINT pt;  // screen point asked for
  HWND hOwner;
  std::vector<tagMENUITEM> arrItems;
};

struct tagMESSAGEBOXCALL {
  HWND hOwner;
  std::string strText;
  std::string strCaption;
  UINT nType;
};

class CUiScript {
 public:
  CUiScript();
  ~CUiScript();
  CUiScript(const CUiScript&) = delete;
  CUiScript& operator=(const CUiScript&) = delete;

  // The script in force, or null: the real dialogs run.
  static CUiScript* Active();

  // Answers for the next file dialogs, in order.
  void AnswerFile(const std::string& path);
  void CancelFile();
  // The command the next popup menu gives (0: none chosen), in order.
  void ChooseMenuItem(UINT nID);
  // The result the next message boxes give (IDOK unless set), after the
  // answers queued for the next ones, in order.
  int m_nMessageBoxResult;
  void AnswerMessageBox(int nResult) { m_messageBoxAnswers.push_back(nResult); }
  // True: the file dialogs are the system's own, shown for a test that drives
  // them as a person would; message boxes and modal dialogs stay scripted.
  bool m_bRealFileDialogs;
  // Steps for the next modal dialogs, in order. A step runs inside DoModal
  // once the dialog is initialised; it ends the dialog (EndDialog, or a posted
  // command) or leaves it to the messages it posted.
  void OnModalDialog(std::function<void(CDialog&)> step);

  // What the program asked for.
  std::vector<tagFILEDIALOGCALL> m_fileDialogs;
  std::vector<tagMESSAGEBOXCALL> m_messageBoxes;
  std::vector<UINT> m_modalDialogs;  // template ids
  std::vector<tagPOPUPMENUCALL> m_popupMenus;
  // File dialogs, popup menus and modal dialogs that found no answer queued: they were
  // cancelled, and a test should fail on it.
  int m_nUnexpected;
  size_t PendingFileAnswers() const { return m_fileAnswers.size(); }
  size_t PendingModalSteps() const { return m_modalSteps.size(); }

  // Called by the framework.
  int TakeFileDialog(bool bOpen, const char* defExt, const char* filter, const char* fileName,
                     HWND hOwner, std::string& path);
  UINT TakePopupMenu(const tagPOPUPMENUCALL& call);
  int TakeMessageBox(HWND hOwner, const char* text, const char* caption, UINT nType);
  // Records the dialog's template id and runs the next step on the dialog.
  // False when no step is queued: the dialog is then cancelled.
  bool TakeModalDialog(UINT nIDTemplate, CDialog& dialog);

 private:
  struct tagFILEANSWER {
    bool bOk;
    std::string strPath;
  };
  std::deque<tagFILEANSWER> m_fileAnswers;
  std::deque<UINT> m_menuChoices;
  std::deque<int> m_messageBoxAnswers;
  std::deque<std::function<void(CDialog&)>> m_modalSteps;
  CUiScript* m_pPrevious;
};
