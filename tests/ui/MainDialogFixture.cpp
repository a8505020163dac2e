#include "MainDialogFixture.h"

#include "TestPaths.h"

CBarPositions::CBarPositions(HWND hWnd) : m_hWnd(hWnd) {
  EXPECT_TRUE(
      ::SetWindowSubclass(m_hWnd, &CBarPositions::Proc, 1, reinterpret_cast<DWORD_PTR>(this)));
}

CBarPositions::~CBarPositions() { ::RemoveWindowSubclass(m_hWnd, &CBarPositions::Proc, 1); }

int CBarPositions::LastBeforeReset() const {
  const size_t n = m_arrPos.size();
  return n >= 2 && m_arrPos[n - 1] == 0 ? m_arrPos[n - 2] : -1;
}

LRESULT CALLBACK CBarPositions::Proc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR ref) {
  if (msg == PBM_SETPOS) {
    reinterpret_cast<CBarPositions*>(ref)->m_arrPos.push_back(static_cast<int>(wParam));
  }
  return ::DefSubclassProc(hWnd, msg, wParam, lParam);
}

size_t CProbeDlg::CountSeen(UINT code) const {
  size_t n = 0;
  for (const tagSEEN& seen : m_seen) n += seen.code == code;
  return n;
}

bool CProbeDlg::UpdatingAtEvery(UINT code) const {
  for (const tagSEEN& seen : m_seen) {
    if (seen.code == code && !seen.bUpdating) return false;
  }
  return true;
}

BOOL CProbeDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  const NMHDR* pHdr = reinterpret_cast<const NMHDR*>(lParam);
  if (pHdr->idFrom == IDC_GROUP_LIST) {
    const int nItem = (pHdr->code == LVN_ITEMCHANGED || pHdr->code == LVN_INSERTITEM ||
                       pHdr->code == LVN_DELETEITEM)
                          ? reinterpret_cast<const NMLISTVIEW*>(lParam)->iItem
                          : -1;
    m_seen.push_back({pHdr->code, nItem, m_bUpdating});
  }
  return CTabrixDlg::OnNotify(wParam, lParam, pResult);
}

void MainDialogTest::SetUp() {
  ASSERT_TRUE(m_dlg.Create());
  theApp.m_pMainWnd = &m_dlg;
  PumpMessages();
}

void MainDialogTest::TearDown() {
  theApp.m_pMainWnd = nullptr;
  EXPECT_EQ(m_script.m_nUnexpected, 0) << "a file dialog or modal dialog found no answer";
  EXPECT_EQ(m_script.PendingFileAnswers(), 0u) << "a file dialog answer was not used";
}

void MainDialogTest::Click(int nID) {
  m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED),
                    reinterpret_cast<LPARAM>(m_dlg.GetDlgItem(nID)));
}

void MainDialogTest::MarkRow(int nRow) {
  m_dlg.m_ctrlList.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  m_dlg.m_ctrlList.SetItemState(nRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  // Selecting sets the mark only when there was none; a click moves it.
  m_dlg.m_ctrlList.SetSelectionMark(nRow);
  ASSERT_EQ(m_dlg.m_ctrlList.GetSelectionMark(), nRow);
}

void MainDialogTest::LoadFile(const std::string& path) {
  m_script.AnswerFile(path);
  Click(IDC_LOAD);
}

std::vector<std::string> MainDialogTest::Row(int nRow) const {
  return {Cell(nRow, 0), Cell(nRow, 1), Cell(nRow, 2), Cell(nRow, 3)};
}

UINT MainDialogTest::Image(int nRow) const {
  return m_dlg.m_ctrlList.GetItemState(nRow, LVIS_STATEIMAGEMASK) >> 12;
}

void MainDialogTest::ProgressState(int* pLow, int* pHigh, int* pPos) const {
  m_dlg.m_ctrlProgress.GetRange(*pLow, *pHigh);
  *pPos = m_dlg.m_ctrlProgress.GetPos();
}

std::vector<std::string> MainDialogTest::MessageTexts() const {
  std::vector<std::string> texts;
  for (const tagMESSAGEBOXCALL& call : m_script.m_messageBoxes) texts.push_back(call.strText);
  return texts;
}

std::vector<tagTESTGROUP> MainDialogTest::SampleGroups() {
  return {{"成语", "张三", "四字成语", 1, {"一心一意", "三心二意", "十全十美"}},
          {"地名", "", "", 0, {"北京", "上海"}},
          {"人名", "李四", "备注", 5, {}}};
}

void MainDialogTest::LoadSample() {
  m_strSample = m_scratch.Path("sample.wbk");
  ASSERT_TRUE(WriteLibrary(m_strSample, SampleGroups()));
  LoadFile(m_strSample);
  ASSERT_EQ(RowCount(), 3);
  ASSERT_TRUE(m_script.m_messageBoxes.empty());
}
