#include "TabrixDlg.h"

#include <cstdio>
#include <string>

#include "GroupPropLogic.h"
#include "InstalledLibrary.h"
#include "LibraryMessages.h"
#include "LoadReport.h"
#include "PhraseMessages.h"
#include "Progress.h"
#include "framework/Dpi.h"
#include "framework/FileDialog.h"
#include "framework/Menu.h"
#include "framework/WinApp.h"

namespace {

// Posted after the recovery offer when the command line named files.
const UINT WM_OPEN_START_FILES = WM_APP + 1;
// Posted by OnInitDialog: the recovery files left behind are offered.
const UINT WM_OFFER_RECOVERY = WM_APP + 2;

struct tagCOLUMN {
  const char* pszHeading;
  int nWidth;
};
// Widths in pixels at 96 dots per inch, scaled for the screen.
const tagCOLUMN kColumns[] = {{"组名称", 120}, {"容量", 60}, {"编辑", 120}, {"备注", 120}};

// The least time between two moves of the progress bar: 20 moves a second
// look smooth enough, and each move costs the bar a repaint.
const uint32_t kProgressGapMillis = 50;

uint32_t TickCountClock() { return ::GetTickCount(); }

// What a window of the thread needs painted, painted now.
BOOL CALLBACK PaintNow(HWND hWnd, LPARAM) {
  if (::IsWindowVisible(hWnd)) {
    ::RedrawWindow(hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
  return TRUE;
}

std::string CountText(uint32_t count) {
  char text[16];
  std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(count));
  return text;
}

}  // namespace

CTabrixDlg::CTabrixDlg(CWnd* pParent)
    : CDialog(IDD, pParent),
      m_bUpdating(0),
      m_hIcon(::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_progressThrottle(&TickCountClock, kProgressGapMillis) {}

CTabrixDlg::~CTabrixDlg() = default;

void CTabrixDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_PROGRESS, m_ctrlProgress);
  DDX_Control(pDX, IDC_GROUP_LIST, m_ctrlList);
}

BOOL CTabrixDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_strBaseCaption = GetWindowText();

  CMenu sysMenu(GetSystemMenu(FALSE));
  if (sysMenu.m_hMenu) {
    const std::string about = AfxLoadString(IDS_ABOUTBOX);
    if (!about.empty()) {
      sysMenu.AppendMenu(MF_SEPARATOR);
      sysMenu.AppendMenu(MF_STRING, IDM_ABOUTBOX, about.c_str());
    }
  }

  MakeSizable();
  SetUpKeyboard();

  SetIcon(m_hIcon, TRUE);
  // The small icon from the icon's own small image, which stays sharp at
  // every screen resolution; the big one scaled down would blur.
  HICON hSmall = LoadIconForDpi(IDR_MAINFRAME, true);
  SetIcon(hSmall ? hSmall : m_hIcon, FALSE);

  m_ctrlList.SetExtendedStyle(LVS_EX_CHECKBOXES);
  // The marked group stays in sight when the focus moves to a button.
  m_ctrlList.ModifyStyle(0, LVS_SHOWSELALWAYS);
  for (int i = 0; i < static_cast<int>(sizeof kColumns / sizeof kColumns[0]); ++i) {
    m_ctrlList.InsertColumn(i, kColumns[i].pszHeading, LVCFMT_LEFT,
                            ScaleForDpi(kColumns[i].nWidth));
  }

  SetDlgItemInt(IDC_FREQ_MIN, 0, TRUE);
  SetDlgItemInt(IDC_FREQ_MAX, 250, TRUE);

  m_library.m_funProgress = &CTabrixDlg::ProgressToBar;
  m_library.m_pProgressData = this;

  ::DragAcceptFiles(m_hWnd, TRUE);
  // --- recovery file: its timer, and the offer of the files left behind
  // once the window is up; the offer then posts WM_OPEN_START_FILES for the
  // command line's files, which go into what it loaded.
  m_recovery.Start(m_hWnd);
  PostMessage(WM_OFFER_RECOVERY);
  // --- end recovery file
  return TRUE;
}

BOOL CTabrixDlg::OnClicked(UINT nID) {
  switch (nID) {
    case IDC_CLEAR:
      OnClear();
      return TRUE;
    case IDC_IMPORT_NEW_GROUP:
      OnImportNewGroup();
      return TRUE;
    case IDC_IMPORT_TO_GROUP:
      OnImportToGroup();
      return TRUE;
    case IDC_SET_GROUP_PROP:
      OnSetGroupProp();
      return TRUE;
    case IDC_LOAD:
      OnLoad();
      return TRUE;
    case IDC_SAVE:
      OnSave();
      return TRUE;
    case IDC_LOAD_CURRENT:
      OnLoadCurrent();
      return TRUE;
    default:
      return CDialog::OnClicked(nID);
  }
}

BOOL CTabrixDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  NMHDR* pHdr = reinterpret_cast<NMHDR*>(lParam);
  if (pHdr->idFrom == IDC_GROUP_LIST && pHdr->code == LVN_ITEMCHANGED) {
    OnItemChangedList(pHdr, pResult);
    return TRUE;
  }
  if (pHdr->idFrom == IDC_GROUP_LIST && pHdr->code == NM_CLICK &&
      reinterpret_cast<NMITEMACTIVATE*>(pHdr)->iItem < 0) {
    // A click on the list's empty space: no group is current any more.
    m_ctrlList.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    m_ctrlList.SetSelectionMark(-1);
    *pResult = 0;
    return TRUE;
  }
  if (pHdr->idFrom == IDC_GROUP_LIST && pHdr->code == NM_DBLCLK) {
    OpenPhrases(reinterpret_cast<NMITEMACTIVATE*>(pHdr)->iItem);
    *pResult = 0;
    return TRUE;
  }
  return CDialog::OnNotify(wParam, lParam, pResult);
}

BOOL CTabrixDlg::OnSysCommand(UINT nID, LPARAM lParam) {
  if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
    ShowAboutBox();
    return TRUE;
  }
  return CDialog::OnSysCommand(nID, lParam);
}

BOOL CTabrixDlg::OnPaint() {
  if (!IsIconic()) return CDialog::OnPaint();
  PAINTSTRUCT ps;
  HDC hDC = ::BeginPaint(m_hWnd, &ps);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(hDC), 0);
  RECT rect;
  GetClientRect(&rect);
  const int cxIcon = ::GetSystemMetrics(SM_CXICON);
  const int cyIcon = ::GetSystemMetrics(SM_CYICON);
  const int x = (rect.right - rect.left - cxIcon + 1) / 2;
  const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
  ::DrawIcon(hDC, x, y, m_hIcon);
  ::EndPaint(m_hWnd, &ps);
  return TRUE;
}

BOOL CTabrixDlg::OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_DROPFILES) {
    OnDropFiles(reinterpret_cast<HDROP>(wParam));
    *pResult = 0;
    return TRUE;
  }
  // --- recovery file
  if (message == WM_TIMER && wParam == CRecoveryKeeper::TIMER_ID) {
    m_recovery.OnTimer(m_library, m_history);
    *pResult = 0;
    return TRUE;
  }
  if (message == WM_OFFER_RECOVERY) {
    if (m_recovery.OfferLeftBehind(*this, m_library, m_history)) LibraryChanged();
    // The command line's files only now: posted earlier, they would run
    // inside the offer's message box. They open as into any modified
    // library: lists go into it, a library file asks about saving first.
    // Once the window is up, so that a failure's message has it behind it.
    if (!m_arrStartFiles.empty()) PostMessage(WM_OPEN_START_FILES);
    *pResult = 0;
    return TRUE;
  }
  if (message == WM_DESTROY) {
    // The window ends only once the exit was settled: saved, nothing
    // unsaved, or the user chose not to save. A crash or a power cut never
    // comes here, and leaves the file for the next start.
    m_recovery.Discard();
  }
  // --- end recovery file
  if (message == WM_OPEN_START_FILES) {
    std::vector<std::string> files;
    files.swap(m_arrStartFiles);
    OpenFiles(files);
    *pResult = 0;
    return TRUE;
  }
  if (message == WM_SIZE) {
    m_layout.Apply();
    if (m_ctrlStatus.m_hWnd) m_ctrlStatus.ParentSized();
    return FALSE;
  }
  if (message == WM_GETMINMAXINFO) {
    m_layout.LimitTracking(reinterpret_cast<MINMAXINFO*>(lParam));
    *pResult = 0;
    return TRUE;
  }
  // --- recovery file: the session ends after WM_QUERYENDSESSION settled
  // it (saved, or not to be saved), and Windows ends the program without
  // destroying the window.
  if (message == WM_ENDSESSION && wParam) m_recovery.Discard();
  // --- end recovery file
  if (message == WM_QUERYENDSESSION) {
    // Windows is shutting down or the user logs off: the same question as
    // any other way out; "取消" asks the system to wait.
    *pResult = SaveChangesFirst() ? TRUE : FALSE;
    return TRUE;
  }
  if (message == WM_CONTEXTMENU && reinterpret_cast<HWND>(wParam) == m_ctrlList.m_hWnd) {
    OnGroupContextMenu(lParam);
    *pResult = 0;
    return TRUE;
  }
  return CDialog::OnDialogMessage(message, wParam, lParam, pResult);
}

void CTabrixDlg::MakeSizable() {
  // The template keeps its fixed frame; the sizing frame, the minimise and
  // maximise boxes and the status bar are added here, the window grown by
  // the bar so that every control keeps its place above it.
  RECT rcClient = {}, rcBefore = {};
  GetClientRect(&rcClient);
  GetWindowRect(&rcBefore);
  ModifyStyle(0, WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  if (!m_ctrlStatus.Create(this, IDC_STATUS_BAR)) return;
  RECT rcWindow = rcClient;
  rcWindow.bottom += m_ctrlStatus.GetHeight();
  ::AdjustWindowRectEx(&rcWindow, GetStyle(), FALSE, GetExStyle());
  // The window grows about its centre, where the template placed it.
  const int cx = rcWindow.right - rcWindow.left, cy = rcWindow.bottom - rcWindow.top;
  const int x = rcBefore.left - (cx - (rcBefore.right - rcBefore.left)) / 2;
  const int y = rcBefore.top - (cy - (rcBefore.bottom - rcBefore.top)) / 2;
  ::SetWindowPos(m_hWnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  m_ctrlStatus.ParentSized();

  m_layout.Begin(m_hWnd);
  m_layout.Anchor(IDC_GROUP_LIST, ANCHOR_GROW_X | ANCHOR_GROW_Y);
  m_layout.Anchor(IDC_PROGRESS, ANCHOR_GROW_X | ANCHOR_MOVE_Y);
  const int right[] = {IDC_CLEAR, IDC_IMPORT_NEW_GROUP, IDC_IMPORT_TO_GROUP, IDC_SET_GROUP_PROP,
                       IDCANCEL};
  for (int nID : right) m_layout.Anchor(nID, ANCHOR_MOVE_X);
  const int below[] = {IDC_LOAD_CURRENT, IDC_LOAD, IDC_FREQ_MIN, IDC_FREQ_MAX};
  for (int nID : below) m_layout.Anchor(nID, ANCHOR_MOVE_Y);
  m_layout.Anchor(IDC_SAVE, ANCHOR_MOVE_X | ANCHOR_MOVE_Y);
  // The range's labels have no ids of their own.
  for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild;
       hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
    if (::GetDlgCtrlID(hChild) == IDC_STATIC) m_layout.AnchorWindow(hChild, ANCHOR_MOVE_Y);
  }
}

HCURSOR CTabrixDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

void CTabrixDlg::SetGroupCells(int nItem, const tagGROUPINFO& group) {
  m_ctrlList.SetItemText(nItem, 1, CountText(group.dwCount).c_str());
  m_ctrlList.SetItemText(nItem, 2, FieldText(group.szEditor, sizeof group.szEditor).c_str());
  m_ctrlList.SetItemText(nItem, 3, FieldText(group.szRemark, sizeof group.szRemark).c_str());
}

void CTabrixDlg::RefreshGroupList() {
  m_bUpdating = 1;
  m_ctrlList.DeleteAllItems();
  const uint32_t count = m_library.GetGroupCount();
  for (uint32_t i = 0; i < count; ++i) {
    const tagGROUPINFO group = *m_library.GetGroup(i);
    const int nItem = static_cast<int>(i);
    m_ctrlList.InsertItem(nItem, FieldText(group.szName, sizeof group.szName).c_str());
    SetGroupCells(nItem, group);
    if (group.bEnable) m_ctrlList.SetCheck(nItem, TRUE);
  }
  m_bUpdating = 0;
}

void CTabrixDlg::OnItemChangedList(NMHDR* pNMHDR, LRESULT* pResult) {
  *pResult = 0;
  if (m_bUpdating) return;
  const int nItem = reinterpret_cast<NMLISTVIEW*>(pNMHDR)->iItem;
  // -1 speaks of all rows at once, and a row past the groups shows none.
  if (nItem < 0 || static_cast<uint32_t>(nItem) >= m_library.GetGroupCount()) return;
  const UINT image = m_ctrlList.GetItemState(nItem, LVIS_STATEIMAGEMASK) >> 12;
  // Image 0 is a row without a box: it says nothing about the group.
  if (image == 0) return;
  // The history records only a value that changes: a mere selection of a
  // row whose tick agrees with its group is no edit.
  const int32_t bEnable = static_cast<int32_t>(image) - 1;
  if (m_library.GetGroup(static_cast<uint32_t>(nItem))->bEnable == bEnable) return;
  if (!m_history.SetGroupEnable(m_library, static_cast<uint32_t>(nItem), bEnable)) {
    // No memory to record it: the box shows the group as it still is.
    m_library.GetGroup(static_cast<uint32_t>(nItem))->bEnable = bEnable;
  }
  UpdateCaption();
}

void CTabrixDlg::ProgressToBar(int32_t stage, int32_t value, void* data) {
  CTabrixDlg* pDlg = static_cast<CTabrixDlg*>(data);
  if (stage == PROGRESS_STEP) {
    pDlg->StepProgress(value);
  } else if (stage == PROGRESS_BEGIN) {
    pDlg->BeginProgress(value);
  } else {
    pDlg->EndProgress();
  }
}

void CTabrixDlg::BeginProgress(int nUpper) {
  m_ctrlProgress.SetRange32(0, nUpper);
  // One pixel of the bar's inside is the finest step it can show.
  RECT rect = {};
  m_ctrlProgress.GetClientRect(&rect);
  m_progressThrottle.Reset(0, nUpper, rect.right - rect.left);
}

void CTabrixDlg::KeepPainting() {
  // Painted in place, the message queue left alone: a message sent from
  // another program waits for the end, as its answer is taken to mean the
  // command is done.
  ::EnumThreadWindows(::GetCurrentThreadId(), &PaintNow, 0);
}

void CTabrixDlg::EndProgress() {
  int32_t nPos = 0;
  if (m_progressThrottle.Flush(&nPos)) m_ctrlProgress.SetPos(nPos);
}

void CTabrixDlg::OnClear() {
  // No question: the library comes back with undo.
  if (!m_history.Free(m_library)) {
    MessageBox(EditFailedMessage());
    return;
  }
  LibraryChanged();
}

void CTabrixDlg::OnLoad() {
  // Nothing is emptied before a file has been chosen and read.
  if (!SaveChangesFirst()) return;
  CFileDialog dlg(TRUE, kLibraryExt, nullptr, 0, kLibraryFilter);
  if (dlg.DoModal() != IDOK) return;
  LoadAndShow(dlg.GetPathName(), "载入词库失败！");
}

void CTabrixDlg::OnLoadCurrent() {
  std::string path;
  switch (InstalledLibraryPath(path)) {
    case INSTALLED_NO_KEY:
      return;
    case INSTALLED_VALUE_UNREADABLE:
    case INSTALLED_PATH_TOO_LONG:
      // Nothing was cleared: the library and its rows stay as they are.
      MessageBox("载入词库错误");
      return;
    case INSTALLED_PATH_OK:
      break;
  }
  if (!SaveChangesFirst()) return;
  LoadAndShow(path, "载入词库错误");
}

bool CTabrixDlg::LoadAndShow(const std::string& path, const char* pszFailure) {
  CTabrix loaded;
  loaded.m_funProgress = &CTabrixDlg::ProgressToBar;
  loaded.m_pProgressData = this;
  tagLOADREPORT report;
  const int nLoaded = loaded.Load(path.c_str(), &report);
  ResetProgress();
  if (!nLoaded && report.nStatus != LOAD_DAMAGED) {
    MessageBox(LoadFailedMessage(pszFailure, FileNameForDisplay(path), report).c_str());
    return false;
  }
  // A damaged file's recovered phrases are shown, so that the user can save
  // them under another name: they are not the file, so they have no file
  // name, and they count as unsaved.
  if (!m_history.Replace(m_library, loaded, nLoaded ? path.c_str() : "")) {
    MessageBox(EditFailedMessage());
    return false;
  }
  if (nLoaded) {
    m_history.MarkSaved();
  } else {
    m_history.MarkUnsaved();
  }
  LibraryChanged();
  ShowLibraryStatus(false, path);
  const std::string strOutcome = LoadOutcomeMessage(report);
  if (!strOutcome.empty()) MessageBox(strOutcome.c_str());
  return true;
}
