#include "UiScript.h"

namespace {
CUiScript* g_pScript = nullptr;
}

CUiScript::CUiScript()
    : m_nMessageBoxResult(IDOK),
      m_bRealFileDialogs(false),
      m_nUnexpected(0),
      m_pPrevious(g_pScript) {
  g_pScript = this;
}

CUiScript::~CUiScript() { g_pScript = m_pPrevious; }

CUiScript* CUiScript::Active() { return g_pScript; }

void CUiScript::AnswerFile(const std::string& path) { m_fileAnswers.push_back({true, path}); }

void CUiScript::CancelFile() { m_fileAnswers.push_back({false, std::string()}); }

void CUiScript::OnModalDialog(std::function<void(CDialog&)> step) {
  m_modalSteps.push_back(std::move(step));
}

int CUiScript::TakeFileDialog(bool bOpen, const char* defExt, const char* filter,
                              const char* fileName, HWND hOwner, std::string& path) {
  m_fileDialogs.push_back(
      {bOpen, defExt ? defExt : "", filter ? filter : "", fileName ? fileName : "", hOwner});
  if (m_fileAnswers.empty()) {
    ++m_nUnexpected;
    return IDCANCEL;
  }
  tagFILEANSWER answer = m_fileAnswers.front();
  m_fileAnswers.pop_front();
  if (!answer.bOk) return IDCANCEL;
  path = answer.strPath;
  return IDOK;
}

void CUiScript::ChooseMenuItem(UINT nID) { m_menuChoices.push_back(nID); }

UINT CUiScript::TakePopupMenu(const tagPOPUPMENUCALL& call) {
  m_popupMenus.push_back(call);
  if (m_menuChoices.empty()) {
    ++m_nUnexpected;
    return 0;
  }
  const UINT nID = m_menuChoices.front();
  m_menuChoices.pop_front();
  return nID;
}

int CUiScript::TakeMessageBox(HWND hOwner, const char* text, const char* caption, UINT nType) {
  m_messageBoxes.push_back({hOwner, text ? text : "", caption ? caption : "", nType});
  if (m_messageBoxAnswers.empty()) return m_nMessageBoxResult;
  const int nResult = m_messageBoxAnswers.front();
  m_messageBoxAnswers.pop_front();
  return nResult;
}

bool CUiScript::TakeModalDialog(UINT nIDTemplate, CDialog& dialog) {
  m_modalDialogs.push_back(nIDTemplate);
  if (m_modalSteps.empty()) {
    ++m_nUnexpected;
    return false;
  }
  std::function<void(CDialog&)> step = std::move(m_modalSteps.front());
  m_modalSteps.pop_front();
  step(dialog);
  return true;
}
