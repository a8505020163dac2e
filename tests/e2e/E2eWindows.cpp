#include "E2eWindows.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const DWORD kStartTick = ::GetTickCount();
void (*g_funFailHook)() = nullptr;

// Ids of the file-name box: the item dialog's edit, and the classic
// Explorer-style dialog's combo box (whose edit carries the same id).
const int kItemDialogNameEdit = 0x480;
const int kClassicNameCombo = 0x47C;
// The text of a message box.
const int kMessageBoxText = 0xFFFF;

// The driver's texts are GBK (its literals and what the editor shows); the
// log is UTF-8, as the console of the script expects.
void VLog(const char* prefix, const char* format, va_list args) {
  const DWORD ms = ::GetTickCount() - kStartTick;
  char text[4096];
  std::vsnprintf(text, sizeof text, format, args);
  std::printf("[%3lu.%03lu] %s%s\n", static_cast<unsigned long>(ms / 1000),
              static_cast<unsigned long>(ms % 1000), prefix, Utf8(text).c_str());
  std::fflush(stdout);
}

std::string ClassOf(HWND hWnd) {
  char name[64] = {};
  ::GetClassNameA(hWnd, name, sizeof name);
  return name;
}

struct tagTOPSEARCH {
  DWORD dwPid;
  HWND hOwner;  // the owner wanted; null: no owner
  const char* pszCaption;
  bool bNeedFileBox;
  bool bNeedMessageText;
  HWND hFound;
};

BOOL CALLBACK MatchTopWindow(HWND hWnd, LPARAM lParam) {
  tagTOPSEARCH* s = reinterpret_cast<tagTOPSEARCH*>(lParam);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hWnd, &pid);
  if (pid != s->dwPid || !::IsWindowVisible(hWnd) || ClassOf(hWnd) != "#32770") return TRUE;
  if (::GetWindow(hWnd, GW_OWNER) != s->hOwner) return TRUE;
  if (s->pszCaption) {
    // A top-level caption is kept by the window system: no message to a
    // program that may be busy.
    char caption[256] = {};
    ::GetWindowTextA(hWnd, caption, sizeof caption);
    // The main window's caption goes on with the library's file name.
    const size_t n = s->hOwner == nullptr ? std::strlen(s->pszCaption) : sizeof caption;
    if (std::strncmp(caption, s->pszCaption, n) != 0) return TRUE;
  }
  if (s->bNeedFileBox && !FindControl(hWnd, kItemDialogNameEdit, "Edit") &&
      !FindControl(hWnd, kClassicNameCombo, nullptr)) {
    return TRUE;
  }
  if (s->bNeedMessageText && !::GetDlgItem(hWnd, kMessageBoxText)) return TRUE;
  s->hFound = hWnd;
  return FALSE;
}

HWND FindTop(const tagTOPSEARCH& search) {
  tagTOPSEARCH s = search;
  s.hFound = nullptr;
  ::EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&s));
  return s.hFound;
}

struct tagCHILDSEARCH {
  int nId;
  const char* pszClass;
  HWND hFound;
};

BOOL CALLBACK MatchChild(HWND hWnd, LPARAM lParam) {
  tagCHILDSEARCH* s = reinterpret_cast<tagCHILDSEARCH*>(lParam);
  if (::GetDlgCtrlID(hWnd) != s->nId) return TRUE;
  if (s->pszClass && ClassOf(hWnd) != s->pszClass) return TRUE;
  s->hFound = hWnd;
  return FALSE;
}

BOOL CALLBACK DumpOne(HWND hWnd, LPARAM lParam) {
  const DWORD wantedPid = static_cast<DWORD>(lParam);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hWnd, &pid);
  if (pid != wantedPid || !::IsWindowVisible(hWnd)) return TRUE;
  Log("  window %p class %s caption \"%s\" owner %p enabled %d", static_cast<void*>(hWnd),
      ClassOf(hWnd).c_str(), WindowText(hWnd).c_str(),
      static_cast<void*>(::GetWindow(hWnd, GW_OWNER)), ::IsWindowEnabled(hWnd) ? 1 : 0);
  if (HWND hText = ::GetDlgItem(hWnd, kMessageBoxText)) {
    Log("    message text \"%s\"", WindowText(hText).c_str());
  }
  return TRUE;
}

}  // namespace

void Log(const char* format, ...) {
  va_list args;
  va_start(args, format);
  VLog("", format, args);
  va_end(args);
}

std::string Utf8(const std::string& gbk) {
  if (gbk.empty()) return gbk;
  const int wide =
      ::MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(wide), L'\0');
  ::MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), &w[0], wide);
  const int narrow =
      ::WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(narrow), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, &out[0], narrow, nullptr, nullptr);
  return out;
}

void SetFailHook(void (*hook)()) { g_funFailHook = hook; }

void Fail(const char* format, ...) {
  va_list args;
  va_start(args, format);
  VLog("FAILED: ", format, args);
  va_end(args);
  void (*hook)() = g_funFailHook;
  g_funFailHook = nullptr;
  if (hook) hook();
  std::exit(1);
}

void ExpectText(const std::string& what, const std::string& actual, const std::string& expected) {
  if (actual != expected) {
    Fail("%s: \"%s\", expected \"%s\"", what.c_str(), actual.c_str(), expected.c_str());
  }
}

namespace {

struct tagMENUSEARCH {
  DWORD dwPid;
  HWND hFound;
};

BOOL CALLBACK MatchPopupMenu(HWND hWnd, LPARAM lParam) {
  tagMENUSEARCH* s = reinterpret_cast<tagMENUSEARCH*>(lParam);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hWnd, &pid);
  if (pid != s->dwPid || !::IsWindowVisible(hWnd) || ClassOf(hWnd) != "#32768") return TRUE;
  s->hFound = hWnd;
  return FALSE;
}

}  // namespace

HWND CProgramWindows::WaitForPopupMenu(DWORD timeoutMs) const {
  tagMENUSEARCH s = {m_dwPid, nullptr};
  const bool bFound = PollUntil(timeoutMs, [&] {
    s.hFound = nullptr;
    ::EnumWindows(MatchPopupMenu, reinterpret_cast<LPARAM>(&s));
    return s.hFound != nullptr;
  });
  if (!bFound) {
    DumpWindows();
    Fail("no popup menu appeared within %lu ms", static_cast<unsigned long>(timeoutMs));
  }
  return s.hFound;
}

void DropFiles(HWND hWnd, HANDLE hProcess, const std::vector<std::string>& gbkPaths) {
  std::wstring names;
  for (const std::string& path : gbkPaths) {
    const int n = ::MultiByteToWideChar(936, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(936, 0, path.c_str(), -1, &wide[0], n);
    names += wide;  // with its NUL
  }
  names += L'\0';
  DROPFILES head = {};
  head.pFiles = sizeof head;
  head.fWide = TRUE;
  std::string block(reinterpret_cast<const char*>(&head), sizeof head);
  block.append(reinterpret_cast<const char*>(names.data()), names.size() * sizeof(wchar_t));
  // The handle the program reads is a pointer of its own address space.
  void* remote =
      ::VirtualAllocEx(hProcess, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  SIZE_T written = 0;
  if (!remote || !::WriteProcessMemory(hProcess, remote, block.data(), block.size(), &written) ||
      written != block.size()) {
    Fail("cannot place the dropped names in the program");
  }
  if (!::PostMessageA(hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0)) {
    Fail("cannot post WM_DROPFILES");
  }
}

void ChooseMenuLetter(HWND hMenuWnd, char letter) {
  // The menu's own loop reads the keys of its thread's queue.
  ::PostMessageA(hMenuWnd, WM_CHAR, static_cast<WPARAM>(letter), 1);
}

// Polls for a visible, enabled top-level window of the program that matches;
// fails with what when none comes within timeoutMs.
HWND CProgramWindows::WaitForTop(HWND owner, const char* caption, bool bFileBox, bool bMessageText,
                                 const std::string& what, DWORD timeoutMs) const {
  tagTOPSEARCH s = {m_dwPid, owner, caption, bFileBox, bMessageText, nullptr};
  HWND hFound = nullptr;
  const bool bFound = PollUntil(timeoutMs, [&] {
    hFound = FindTop(s);
    return hFound && ::IsWindowEnabled(hFound);
  });
  if (!bFound) {
    DumpWindows();
    Fail("%s did not appear within %lu ms", what.c_str(), static_cast<unsigned long>(timeoutMs));
  }
  return hFound;
}

HWND CProgramWindows::WaitForMainDialog(const std::string& caption, DWORD timeoutMs) const {
  return WaitForTop(nullptr, caption.c_str(), false, false, "the main dialog \"" + caption + "\"",
                    timeoutMs);
}

HWND CProgramWindows::FindOwnedDialog(HWND owner, const char* caption) const {
  tagTOPSEARCH s = {m_dwPid, owner, caption, false, false, nullptr};
  return FindTop(s);
}

HWND CProgramWindows::WaitForOwnedDialog(HWND owner, const char* caption, const char* what,
                                         DWORD timeoutMs) const {
  return WaitForTop(owner, caption, false, false, what, timeoutMs);
}

HWND CProgramWindows::WaitForFileDialog(HWND owner, DWORD timeoutMs) const {
  return WaitForTop(owner, nullptr, true, false, "a file dialog", timeoutMs);
}

HWND CProgramWindows::WaitForMessageBox(HWND owner, DWORD timeoutMs) const {
  return WaitForTop(owner, nullptr, false, true, "a message box", timeoutMs);
}

void CProgramWindows::WaitForModalEnd(HWND owner, DWORD timeoutMs) const {
  const bool ended = PollUntil(
      timeoutMs, [&] { return !FindOwnedDialog(owner, nullptr) && ::IsWindowEnabled(owner); });
  if (!ended) {
    DumpWindows();
    Fail("a dialog over the main window did not close within %lu ms",
         static_cast<unsigned long>(timeoutMs));
  }
  WaitIdle(owner, timeoutMs);
}

void CProgramWindows::DumpWindows() const {
  Log("visible windows of process %lu:", static_cast<unsigned long>(m_dwPid));
  ::EnumWindows(DumpOne, static_cast<LPARAM>(m_dwPid));
}

LRESULT SendBounded(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutA(hWnd, message, wParam, lParam, SMTO_NORMAL, kWaitMs, &result)) {
    Fail("window %p did not answer message 0x%x within %lu ms", static_cast<void*>(hWnd), message,
         static_cast<unsigned long>(kWaitMs));
  }
  return static_cast<LRESULT>(result);
}

void WaitIdle(HWND hWnd, DWORD timeoutMs) {
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutA(hWnd, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result)) {
    Fail("window %p did not answer within %lu ms (busy or gone)", static_cast<void*>(hWnd),
         static_cast<unsigned long>(timeoutMs));
  }
}

void PressButton(HWND hDlg, int id) {
  HWND hButton = ::GetDlgItem(hDlg, id);
  if (!hButton) Fail("dialog %p has no button %d", static_cast<void*>(hDlg), id);
  if (!PollUntil(kWaitMs, [&] { return ::IsWindowEnabled(hDlg) && ::IsWindowVisible(hDlg); })) {
    Fail("dialog %p stayed disabled; button %d cannot be pressed", static_cast<void*>(hDlg), id);
  }
  if (!::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(hButton))) {
    Fail("could not post the click of button %d (error %lu)", id,
         static_cast<unsigned long>(::GetLastError()));
  }
}

std::string WindowText(HWND hWnd) {
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutA(hWnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kWaitMs, &length)) {
    Fail("window %p did not report its text length", static_cast<void*>(hWnd));
  }
  std::vector<char> text(length + 16, '\0');
  DWORD_PTR copied = 0;
  if (!::SendMessageTimeoutA(hWnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_NORMAL, kWaitMs, &copied)) {
    Fail("window %p did not hand out its text", static_cast<void*>(hWnd));
  }
  return std::string(text.data());
}

void SetWindowTextTo(HWND hWnd, const std::string& text) {
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                             SMTO_NORMAL, kWaitMs, &result)) {
    Fail("window %p did not take its new text", static_cast<void*>(hWnd));
  }
  ExpectText("text typed into a box", WindowText(hWnd), text);
}

HWND FindControl(HWND hParent, int id, const char* className) {
  tagCHILDSEARCH s = {id, className, nullptr};
  ::EnumChildWindows(hParent, MatchChild, reinterpret_cast<LPARAM>(&s));
  return s.hFound;
}

void ChooseFile(HWND hFileDlg, const std::string& path) {
  HWND hName = FindControl(hFileDlg, kItemDialogNameEdit, "Edit");
  if (!hName) hName = FindControl(hFileDlg, kClassicNameCombo, "Edit");
  if (!hName) Fail("the file dialog has no file-name box");
  SetWindowTextTo(hName, path);
  PressButton(hFileDlg, IDOK);
}

void CancelFileDialog(HWND hFileDlg) { PressButton(hFileDlg, IDCANCEL); }

std::string MessageBoxText(HWND hBox) {
  HWND hText = ::GetDlgItem(hBox, kMessageBoxText);
  if (!hText) Fail("window %p is not a message box", static_cast<void*>(hBox));
  return WindowText(hText);
}

void DismissMessageBox(HWND hBox) { PressButton(hBox, IDOK); }

void AnswerMessageBox(HWND hBox, int id) {
  if (!::GetDlgItem(hBox, id)) Fail("the message box has no button %d", id);
  PressButton(hBox, id);
}

// Layout of the page in the other process: one LVITEMA (or RECT, or
// LVHITTESTINFO) at 0, a text buffer at kTextOffset.
namespace {
const size_t kRemoteSize = 4096;
const size_t kTextOffset = 512;
const int kTextMax = 1024;
}  // namespace

CRemoteList::CRemoteList(HWND hList, HANDLE hProcess)
    : m_hList(hList), m_hProcess(hProcess), m_pRemote(nullptr) {
  m_pRemote = static_cast<char*>(
      ::VirtualAllocEx(hProcess, nullptr, kRemoteSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (!m_pRemote) {
    Fail("VirtualAllocEx in the program failed (error %lu)",
         static_cast<unsigned long>(::GetLastError()));
  }
}

CRemoteList::~CRemoteList() {
  // The program may already have ended; then the page went with it.
  if (m_pRemote) ::VirtualFreeEx(m_hProcess, m_pRemote, 0, MEM_RELEASE);
}

void CRemoteList::Write(size_t offset, const void* data, size_t size) const {
  SIZE_T written = 0;
  if (!::WriteProcessMemory(m_hProcess, m_pRemote + offset, data, size, &written) ||
      written != size) {
    Fail("WriteProcessMemory failed (error %lu)", static_cast<unsigned long>(::GetLastError()));
  }
}

void CRemoteList::Read(size_t offset, void* data, size_t size) const {
  SIZE_T read = 0;
  if (!::ReadProcessMemory(m_hProcess, m_pRemote + offset, data, size, &read) || read != size) {
    Fail("ReadProcessMemory failed (error %lu)", static_cast<unsigned long>(::GetLastError()));
  }
}

int CRemoteList::Count() const {
  return static_cast<int>(SendBounded(m_hList, LVM_GETITEMCOUNT, 0, 0));
}

std::string CRemoteList::Text(int item, int subItem) const {
  std::vector<char> zeros(kTextMax + 1, '\0');
  Write(kTextOffset, zeros.data(), zeros.size());
  LVITEMA lvi = {};
  lvi.mask = LVIF_TEXT;
  lvi.iItem = item;
  lvi.iSubItem = subItem;
  lvi.pszText = m_pRemote + kTextOffset;
  lvi.cchTextMax = kTextMax;
  Write(0, &lvi, sizeof lvi);
  SendBounded(m_hList, LVM_GETITEMTEXTA, static_cast<WPARAM>(item),
              reinterpret_cast<LPARAM>(m_pRemote));
  std::vector<char> text(kTextMax + 1, '\0');
  Read(kTextOffset, text.data(), kTextMax);
  return std::string(text.data());
}

int CRemoteList::StateImage(int item) const {
  const LRESULT state =
      SendBounded(m_hList, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_STATEIMAGEMASK);
  return static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12);
}

void CRemoteList::SetStateImage(int item, int image) const {
  LVITEMA lvi = {};
  lvi.stateMask = LVIS_STATEIMAGEMASK;
  lvi.state = INDEXTOSTATEIMAGEMASK(static_cast<UINT>(image));
  Write(0, &lvi, sizeof lvi);
  if (!SendBounded(m_hList, LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                   reinterpret_cast<LPARAM>(m_pRemote))) {
    Fail("LVM_SETITEMSTATE on row %d failed", item);
  }
}

int CRemoteList::SelectionMark() const {
  return static_cast<int>(SendBounded(m_hList, LVM_GETSELECTIONMARK, 0, 0));
}

RECT CRemoteList::ItemRect(int item, int code) const {
  RECT rect = {};
  rect.left = code;
  Write(0, &rect, sizeof rect);
  if (!SendBounded(m_hList, LVM_GETITEMRECT, static_cast<WPARAM>(item),
                   reinterpret_cast<LPARAM>(m_pRemote))) {
    Fail("row %d has no rectangle", item);
  }
  Read(0, &rect, sizeof rect);
  return rect;
}

int CRemoteList::HitTest(POINT pt, UINT* pFlags) const {
  LVHITTESTINFO info = {};
  info.pt = pt;
  Write(0, &info, sizeof info);
  SendBounded(m_hList, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(m_pRemote));
  Read(0, &info, sizeof info);
  *pFlags = info.flags;
  return info.iItem;
}

// Posted like the mouse's own messages. A sent message overtakes posted ones,
// so the callers wait for the click's effect, not for an idle list.
void CRemoteList::Click(POINT pt) const {
  const LPARAM at = MAKELPARAM(pt.x, pt.y);
  ::PostMessageA(m_hList, WM_MOUSEMOVE, 0, at);
  ::PostMessageA(m_hList, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::PostMessageA(m_hList, WM_LBUTTONUP, 0, at);
}

void CRemoteList::ClickRow(int item) const {
  const RECT label = ItemRect(item, LVIR_LABEL);
  POINT pt = {label.left + 4, (label.top + label.bottom) / 2};
  UINT flags = 0;
  if (HitTest(pt, &flags) != item || !(flags & LVHT_ONITEMLABEL)) {
    Fail("the point (%ld,%ld) is not on row %d's label (flags 0x%x)", pt.x, pt.y, item, flags);
  }
  Click(pt);
  const bool marked = PollUntil(kWaitMs, [&] {
    return SelectionMark() == item &&
           (SendBounded(m_hList, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_SELECTED) &
            LVIS_SELECTED);
  });
  if (!marked) Fail("a click on row %d left the selection mark at %d", item, SelectionMark());
}

void CRemoteList::DoubleClickRow(int item) const {
  const RECT label = ItemRect(item, LVIR_LABEL);
  const LPARAM at = MAKELPARAM(label.left + 4, (label.top + label.bottom) / 2);
  ::PostMessageA(m_hList, WM_MOUSEMOVE, 0, at);
  ::PostMessageA(m_hList, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::PostMessageA(m_hList, WM_LBUTTONUP, 0, at);
  ::PostMessageA(m_hList, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  ::PostMessageA(m_hList, WM_LBUTTONUP, 0, at);
}

void CRemoteList::SelectRows(const std::vector<int>& items) const {
  // A click on the first row, Ctrl+clicks on the others: the phrase window
  // keeps its selection itself and takes it from the mouse, as a person's.
  for (size_t i = 0; i < items.size(); ++i) {
    SendBounded(m_hList, LVM_ENSUREVISIBLE, static_cast<WPARAM>(items[i]), FALSE);
    const RECT label = ItemRect(items[i], LVIR_LABEL);
    const LPARAM at = MAKELPARAM(label.left + 4, (label.top + label.bottom) / 2);
    const WPARAM keys = i ? MK_CONTROL : 0;
    ::PostMessageA(m_hList, WM_LBUTTONDOWN, keys | MK_LBUTTON, at);
    ::PostMessageA(m_hList, WM_LBUTTONUP, keys, at);
  }
  const bool selected = PollUntil(kWaitMs, [&] {
    if (SendBounded(m_hList, LVM_GETSELECTEDCOUNT, 0, 0) != static_cast<LRESULT>(items.size())) {
      return false;
    }
    for (int item : items) {
      if (!(SendBounded(m_hList, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_SELECTED) &
            LVIS_SELECTED)) {
        return false;
      }
    }
    return true;
  });
  if (!selected) {
    Fail("%ld rows are selected, expected %u",
         static_cast<long>(SendBounded(m_hList, LVM_GETSELECTEDCOUNT, 0, 0)),
         static_cast<unsigned>(items.size()));
  }
}

void CRemoteList::ClickCheckBox(int item) const {
  const RECT bounds = ItemRect(item, LVIR_BOUNDS);
  const RECT icon = ItemRect(item, LVIR_ICON);
  // The box lies left of the icon; look for a point the list itself calls
  // the state icon.
  for (LONG x = bounds.left; x < icon.left + 1; ++x) {
    POINT pt = {x, (bounds.top + bounds.bottom) / 2};
    UINT flags = 0;
    if (HitTest(pt, &flags) == item && (flags & LVHT_ONITEMSTATEICON)) {
      // The middle of the box: step on to its right edge, then back half.
      LONG right = x;
      for (POINT q = pt; q.x < icon.left + 1; ++q.x) {
        UINT f = 0;
        if (HitTest(q, &f) != item || !(f & LVHT_ONITEMSTATEICON)) break;
        right = q.x;
      }
      pt.x = (x + right) / 2;
      Click(pt);
      return;
    }
  }
  Fail("row %d shows no checkbox between x=%ld and x=%ld", item, bounds.left, icon.left);
}

void CRemoteList::WaitForCount(int count, DWORD timeoutMs) const {
  if (!PollUntil(timeoutMs, [&] { return Count() == count; })) {
    Fail("the list holds %d rows, expected %d", Count(), count);
  }
}

void CRemoteList::WaitForStateImage(int item, int image, DWORD timeoutMs) const {
  if (!PollUntil(timeoutMs, [&] { return StateImage(item) == image; })) {
    Fail("row %d shows state image %d, expected %d", item, StateImage(item), image);
  }
}
