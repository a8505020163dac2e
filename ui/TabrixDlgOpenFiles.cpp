// Files handed to the editor by the system rather than through its file
// dialogs: the files on the command line (a double click on a .wbk, "Open
// with") and the files dropped on the window. A library file is loaded as
// "载入" loads it; phrase lists and dictionaries are imported as new groups,
// as "导入新组" imports them, in the order given.

#include <string>
#include <vector>

#include "PhraseMessages.h"
#include "TabrixDlg.h"
#include "framework/PathText.h"

namespace {

bool IsLibraryFile(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  const size_t slash = path.find_last_of("\\/");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return ext == "wbk";
}

}  // namespace

void CTabrixDlg::OpenFiles(const std::vector<std::string>& paths) {
  std::vector<std::string> libraries, lists;
  for (const std::string& path : paths) (IsLibraryFile(path) ? libraries : lists).push_back(path);
  if (libraries.size() > 1) {
    MessageBox(OneLibraryAtATimeMessage());
    return;
  }
  // A load replaces the whole library, so it comes before the imports.
  if (libraries.size() == 1) {
    if (!SaveChangesFirst()) return;
    if (!LoadAndShow(libraries[0], "载入词库失败！")) return;
  }
  // Each list's import in the status bar, not only the last one's.
  std::string status;
  for (const std::string& path : lists) {
    const std::string shown = ImportNewGroupFrom(path);
    if (shown.empty()) continue;
    status += (status.empty() ? "" : " | ") + shown;
  }
  if (m_ctrlStatus.m_hWnd && !status.empty()) m_ctrlStatus.SetText(status.c_str());
}

void CTabrixDlg::OnDropFiles(HDROP hDrop) {
  std::vector<std::string> paths;
  const UINT count = ::DragQueryFileW(hDrop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = ::DragQueryFileW(hDrop, i, nullptr, 0);
    std::wstring path(static_cast<size_t>(length) + 1, L'\0');
    if (::DragQueryFileW(hDrop, i, &path[0], length + 1) == 0) continue;
    path.resize(length);
    // A name with no path form (a lone surrogate) comes as "": its open fails
    // and says so.
    paths.push_back(PathFromSystem(path.c_str()));
  }
  ::DragFinish(hDrop);
  // The window that was dragged from waits no longer than the drop itself.
  ::SetForegroundWindow(m_hWnd);
  OpenFiles(paths);
}
