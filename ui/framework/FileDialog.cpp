#include "FileDialog.h"

#include <shobjidl.h>

#include <vector>

#include "FileNames.h"
#include "GbkText.h"
#include "PathText.h"
#include "UiScript.h"
#include "WinApp.h"
#include "Wnd.h"

namespace {

// Releases a COM interface at the end of a scope.
template <class T>
class CComRelease {
 public:
  explicit CComRelease(T* p = nullptr) : m_p(p) {}
  ~CComRelease() {
    if (m_p) m_p->Release();
  }
  CComRelease(const CComRelease&) = delete;
  CComRelease& operator=(const CComRelease&) = delete;
  T* m_p;
};

}  // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const char* defExt, const char* fileName,
                         DWORD dwFlags, const char* filter, CWnd* pParentWnd)
    : m_bVistaStyle(TRUE),
      m_bOpenFileDialog(bOpenFileDialog),
      m_strDefExt(defExt ? defExt : ""),
      m_strFileName(fileName ? fileName : ""),
      m_dwFlags(dwFlags),
      m_strFilter(filter ? filter : ""),
      m_pParentWnd(pParentWnd) {}

std::vector<std::pair<std::string, std::string>> CFileDialog::ParseFilter(const char* filter) {
  std::vector<std::string> parts;
  std::string current;
  bool bEnded = false;
  const std::string text = filter ? filter : "";
  for (size_t i = 0; i < text.size(); ++i) {
    // '|' may be the second byte of a character, and is no separator there.
    if (GbkCharLength(text.data(), text.size(), i) == 2) {
      current.append(text, i, 2);
      ++i;
    } else if (text[i] == '|') {
      if (current.empty()) {
        bEnded = true;
        break;
      }
      parts.push_back(current);
      current.clear();
    } else {
      current += text[i];
    }
  }
  if (!bEnded && !current.empty()) parts.push_back(current);
  std::vector<std::pair<std::string, std::string>> result;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) result.emplace_back(parts[i], parts[i + 1]);
  return result;
}

HWND CFileDialog::OwnerWindow() const {
  if (m_pParentWnd && m_pParentWnd->m_hWnd) return m_pParentWnd->m_hWnd;
  CWinApp* pApp = AfxGetApp();
  if (pApp && pApp->m_pMainWnd && pApp->m_pMainWnd->m_hWnd) return pApp->m_pMainWnd->m_hWnd;
  return ::GetActiveWindow();
}

INT_PTR CFileDialog::DoModal() {
  m_strPath.clear();
  HWND hOwner = OwnerWindow();
  CUiScript* pScript = CUiScript::Active();
  if (pScript && !pScript->m_bRealFileDialogs) {
    return pScript->TakeFileDialog(m_bOpenFileDialog != FALSE, m_strDefExt.c_str(),
                                   m_strFilter.c_str(), m_strFileName.c_str(), hOwner, m_strPath);
  }
  if (m_bVistaStyle) {
    const INT_PTR result = DoItemDialog(hOwner);
    if (result != -1) return result;
  }
  return DoClassicDialog(hOwner);
}

INT_PTR CFileDialog::DoItemDialog(HWND hOwner) {
  const HRESULT hrInit =
      ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  INT_PTR result = -1;
  {
    IFileDialog* pDialog = nullptr;
    const HRESULT hr = ::CoCreateInstance(
        m_bOpenFileDialog ? CLSID_FileOpenDialog : CLSID_FileSaveDialog, nullptr,
        CLSCTX_INPROC_SERVER, IID_IFileDialog, reinterpret_cast<void**>(&pDialog));
    CComRelease<IFileDialog> dialog(SUCCEEDED(hr) ? pDialog : nullptr);
    if (dialog.m_p) {
      const auto filters = ParseFilter(m_strFilter.c_str());
      std::vector<std::wstring> texts;
      for (const auto& filter : filters) {
        texts.push_back(WideFromGbk(filter.first));
        texts.push_back(WideFromGbk(filter.second));
      }
      std::vector<COMDLG_FILTERSPEC> fileTypes;
      for (size_t i = 0; i + 1 < texts.size(); i += 2) {
        fileTypes.push_back({texts[i].c_str(), texts[i + 1].c_str()});
      }
      if (!fileTypes.empty())
        dialog.m_p->SetFileTypes(static_cast<UINT>(fileTypes.size()), fileTypes.data());
      if (!m_strDefExt.empty()) dialog.m_p->SetDefaultExtension(WideFromGbk(m_strDefExt).c_str());
      if (!m_strFileName.empty()) dialog.m_p->SetFileName(WidePath(m_strFileName.c_str()).c_str());
      FILEOPENDIALOGOPTIONS options = 0;
      dialog.m_p->GetOptions(&options);
      options &= ~static_cast<FILEOPENDIALOGOPTIONS>(FOS_FILEMUSTEXIST | FOS_OVERWRITEPROMPT);
      if (m_dwFlags & OFN_FILEMUSTEXIST) options |= FOS_FILEMUSTEXIST;
      if (m_dwFlags & OFN_OVERWRITEPROMPT) options |= FOS_OVERWRITEPROMPT;
      dialog.m_p->SetOptions(options | FOS_FORCEFILESYSTEM);

      result = IDCANCEL;
      if (SUCCEEDED(dialog.m_p->Show(hOwner))) {
        IShellItem* pItem = nullptr;
        CComRelease<IShellItem> item(SUCCEEDED(dialog.m_p->GetResult(&pItem)) ? pItem : nullptr);
        wchar_t* pszPath = nullptr;
        if (item.m_p && SUCCEEDED(item.m_p->GetDisplayName(SIGDN_FILESYSPATH, &pszPath))) {
          m_strPath = PathFromSystem(pszPath);
          ::CoTaskMemFree(pszPath);
          if (!m_strPath.empty()) result = IDOK;
        }
      }
    }
  }
  if (SUCCEEDED(hrInit)) ::CoUninitialize();
  return result;
}

INT_PTR CFileDialog::DoClassicDialog(HWND hOwner) {
  // The filter with NUL separators and a double NUL at its end.
  std::wstring filter;
  for (const auto& part : ParseFilter(m_strFilter.c_str())) {
    filter += WideFromGbk(part.first);
    filter += L'\0';
    filter += WideFromGbk(part.second);
    filter += L'\0';
  }
  filter += L'\0';
  const std::wstring defExt = WideFromGbk(m_strDefExt);

  // Room for any path the dialog may hand back, long ones included.
  std::vector<wchar_t> path(32768, L'\0');
  const std::wstring offered = WidePath(m_strFileName.c_str());
  offered.copy(path.data(), path.size() - 1);
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = hOwner;
  ofn.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = path.data();
  ofn.nMaxFile = static_cast<DWORD>(path.size());
  ofn.lpstrDefExt = defExt.empty() ? nullptr : defExt.c_str();
  ofn.Flags = m_dwFlags | OFN_EXPLORER | OFN_ENABLESIZING;
  const BOOL ok = m_bOpenFileDialog ? ::GetOpenFileNameW(&ofn) : ::GetSaveFileNameW(&ofn);
  if (!ok) return IDCANCEL;
  m_strPath = PathFromSystem(path.data());
  return m_strPath.empty() ? IDCANCEL : IDOK;
}
