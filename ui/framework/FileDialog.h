// CFileDialog: the platform's open or save dialog. The item dialog
// (IFileOpenDialog / IFileSaveDialog) where the system has it, else the
// classic GetOpenFileNameW / GetSaveFileNameW. The filter is GBK text written
// "description|pattern|...||". The file name offered at first and the path
// chosen are paths of the process (PathText.h), so that they can be any name
// the file system holds.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "Win32.h"

class CWnd;

class CFileDialog {
 public:
  // dwFlags: OFN_* flags of the classic dialog; OFN_FILEMUSTEXIST and
  // OFN_OVERWRITEPROMPT are honoured by the item dialog too. fileName: the
  // name (or path) the dialog offers at first, in the process's path form.
  CFileDialog(BOOL bOpenFileDialog, const char* defExt = nullptr, const char* fileName = nullptr,
              DWORD dwFlags = 0, const char* filter = nullptr, CWnd* pParentWnd = nullptr);

  // IDOK with the path chosen, or IDCANCEL.
  INT_PTR DoModal();
  std::string GetPathName() const { return m_strPath; }

  // "a|b|c|d||" -> {(a, b), (c, d)}. A '|' that is the second byte of a GBK
  // character does not split.
  static std::vector<std::pair<std::string, std::string>> ParseFilter(const char* filter);

  // FALSE: always the classic dialog.
  BOOL m_bVistaStyle;

 private:
  HWND OwnerWindow() const;
  // IDOK or IDCANCEL; -1 when the item dialog is not available.
  INT_PTR DoItemDialog(HWND hOwner);
  INT_PTR DoClassicDialog(HWND hOwner);

  BOOL m_bOpenFileDialog;
  std::string m_strDefExt;
  std::string m_strFileName;  // path form
  DWORD m_dwFlags;
  std::string m_strFilter;
  CWnd* m_pParentWnd;
  std::string m_strPath;  // path form
};
