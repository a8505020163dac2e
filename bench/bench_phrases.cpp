// How fast the phrase window opens on a big group: the main dialog loads a
// library of n phrases in one group (as "载入" does, the progress bar wired),
// then the phrase window of that group is created and shown until its first
// rows are painted. The window must be up within 0.2 of the load's time.
// For scale, the same dialog template is also created and painted bare (a
// procedure that does nothing, no rows): what any window of this template
// costs on the platform, before the program does anything.
// Also timed, against the same load, each until the window has painted it:
// "整个词库" ticked (the whole library's rows); one character typed into the
// find box then (a find over the whole library, a slice at a time from the
// window's messages): until the first rows show, until the whole find shows,
// and the longest slice (the longest the window answers nothing); a save of
// the library with the main dialog's progress bar, and the longest the bar
// stood still in the load and in the save (the editor's windows paint at
// each move of the bar); the list's rows selected with Ctrl+A and
// with a click and Shift+End; a click on a column header sorting by
// frequency, a second click reversing it, and a sort by group; every row
// moved to another group with "移动". Each of these must take at most the
// load's time (1.0x).
//
//   bench_phrases [--rounds N] [--sizes a,b,...]   (--sizes 10000000: ten million)
//
// A Windows program: run it under Wine with
//   tools/wine-session.sh tools/wine-run.sh <build>/bench/bench_phrases.exe
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "BenchTexts.h"
#include "BenchTiming.h"
#include "PhraseDlg.h"
#include "PhraseImport.h"
#include "TabrixDlg.h"
#include "framework/WinApp.h"

namespace {

const double kOpenLimit = 0.2;
const double kListLimit = 1.0;

void Pump() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

// A library file of n distinct GBK phrases of 2 to 8 characters in one
// group, random frequencies; written through the core's import and save.
bool WriteLibrary(const std::string& folder, uint32_t n, std::string* pPath) {
  const std::string list = RandomPhraseList(n);
  const std::string text = folder + "/bench-phrases.txt";
  if (!WriteFileText(text, list)) return false;
  CTabrix lib;
  uint8_t group = TABRIX_NO_GROUP;
  const bool ok =
      ImportNewGroup(lib, text.c_str(), DefaultImportOptions(), &group, nullptr) == IMPORT_OK &&
      lib.m_arrPhrase.GetCount() == n;
  std::remove(text.c_str());
  *pPath = folder + "/bench-phrases.wbk";
  return ok && lib.Save(pPath->c_str());
}

struct tagFIGURES {
  std::vector<double> load, bare, open, find;
  std::vector<double> whole, findAll, findSlice, save, loadStill, saveStill;
  std::vector<double> selectAll, shiftEnd, sortFreq, sortBack, sortGroup, move;
};

// A key pressed in the list with Ctrl or Shift held, as the keyboard sends it.
void KeyInList(CPhraseDlg& dlg, WPARAM key, int nModifier) {
  BYTE keys[256];
  ::GetKeyboardState(keys);
  keys[nModifier] = 0x80;
  ::SetKeyboardState(keys);
  ::SendMessageA(dlg.m_ctrlList.m_hWnd, WM_KEYDOWN, key, 1);
  ::SendMessageA(dlg.m_ctrlList.m_hWnd, WM_KEYUP, key, 0xC0000001);
  keys[nModifier] = 0;
  ::SetKeyboardState(keys);
}

// A click on the first row, and one on column nColumn's header.
void ClickFirstRow(CPhraseDlg& dlg) {
  RECT rc = {};
  rc.left = LVIR_BOUNDS;
  dlg.m_ctrlList.SendMessage(LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rc));
  const LPARAM at = MAKELPARAM(rc.left + 5, (rc.top + rc.bottom) / 2);
  ::SendMessageA(dlg.m_ctrlList.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageA(dlg.m_ctrlList.m_hWnd, WM_LBUTTONUP, 0, at);
}

void ClickHeader(CPhraseDlg& dlg, int nColumn) {
  HWND hHeader = reinterpret_cast<HWND>(dlg.m_ctrlList.SendMessage(LVM_GETHEADER));
  RECT rc = {};
  ::SendMessageA(hHeader, HDM_GETITEMRECT, nColumn, reinterpret_cast<LPARAM>(&rc));
  const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  ::SendMessageA(hHeader, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageA(hHeader, WM_LBUTTONUP, 0, at);
}

// Times work until the window has painted what it did.
double Painted(CPhraseDlg& dlg, const std::function<void()>& work) {
  return Seconds([&] {
    work();
    Pump();
    ::UpdateWindow(dlg.m_hWnd);
  });
}

// The list's commands on n rows: selecting, sorting, moving. False when a
// command did not do what it should.
bool TimeListCommands(CPhraseDlg& phrases, uint32_t n, tagFIGURES* figures) {
  figures->selectAll.push_back(Painted(phrases, [&] { KeyInList(phrases, 'A', VK_CONTROL); }));
  if (phrases.GetSelection().GetCount() != n) return false;
  ClickFirstRow(phrases);
  Pump();
  figures->shiftEnd.push_back(Painted(phrases, [&] { KeyInList(phrases, VK_END, VK_SHIFT); }));
  if (phrases.GetSelection().GetCount() != n) return false;
  figures->sortFreq.push_back(
      Painted(phrases, [&] { ClickHeader(phrases, CPhraseDlg::COLUMN_FREQ); }));
  figures->sortBack.push_back(
      Painted(phrases, [&] { ClickHeader(phrases, CPhraseDlg::COLUMN_FREQ); }));
  if (phrases.GetRows().GetSortKey() != SORT_FREQ || !phrases.GetRows().IsDescending()) {
    return false;
  }
  ClickHeader(phrases, CPhraseDlg::COLUMN_TEXT);
  Pump();
  // Every row to the second group.
  KeyInList(phrases, 'A', VK_CONTROL);
  phrases.m_ctrlTarget.SetCurSel(1);
  figures->move.push_back(Painted(phrases, [&] {
    phrases.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PHRASE_MOVE, BN_CLICKED),
                        reinterpret_cast<LPARAM>(phrases.GetDlgItem(IDC_PHRASE_MOVE)));
  }));
  return phrases.GetRows().GetCount() == 0;
}

INT_PTR CALLBACK BareDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The longest the progress bar stands still while work runs: from the start
// to its first move, between two moves, from the last one to the end.
class CBarStill {
 public:
  explicit CBarStill(HWND hBar) : m_hBar(hBar) {
    ::SetWindowSubclass(m_hBar, &CBarStill::Proc, 1, reinterpret_cast<DWORD_PTR>(this));
  }
  ~CBarStill() { ::RemoveWindowSubclass(m_hBar, &CBarStill::Proc, 1); }
  void Start() {
    m_last = std::chrono::steady_clock::now();
    m_dLongest = 0;
  }
  double Stop() {
    Moved();
    return m_dLongest;
  }

 private:
  void Moved() {
    const auto now = std::chrono::steady_clock::now();
    m_dLongest = std::max(m_dLongest, std::chrono::duration<double>(now - m_last).count());
    m_last = now;
  }
  static LRESULT CALLBACK Proc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR ref) {
    if (msg == PBM_SETPOS) reinterpret_cast<CBarStill*>(ref)->Moved();
    return ::DefSubclassProc(hWnd, msg, wParam, lParam);
  }
  HWND m_hBar;
  std::chrono::steady_clock::time_point m_last;
  double m_dLongest = 0;
};

// The find's slices, each dispatched and timed, until the find has ended;
// the longest goes to *pLongest.
void FinishFind(CPhraseDlg& phrases, double* pLongest) {
  MSG msg;
  while (!phrases.GetRows().IsComplete() &&
         ::PeekMessageA(&msg, phrases.m_hWnd, WM_APP + 1, WM_APP + 1, PM_REMOVE)) {
    *pLongest = std::max(*pLongest, Seconds([&] { ::DispatchMessageA(&msg); }));
  }
}

bool RunRound(CTabrixDlg& dlg, const std::string& path, uint32_t n, tagFIGURES* figures) {
  int loaded = 0;
  CBarStill still(dlg.m_ctrlProgress.m_hWnd);
  still.Start();
  figures->load.push_back(Seconds([&] { loaded = dlg.m_library.Load(path.c_str()); }));
  figures->loadStill.push_back(still.Stop());
  dlg.ResetProgress();
  if (loaded != 1 || dlg.m_library.m_arrPhrase.GetCount() != n) return false;
  // A save of what was loaded, beside it.
  const std::string saved = path + ".saved.wbk";
  int nSaved = 0;
  still.Start();
  figures->save.push_back(Seconds([&] { nSaved = dlg.m_library.Save(saved.c_str()); }));
  figures->saveStill.push_back(still.Stop());
  dlg.ResetProgress();
  std::remove(saved.c_str());
  if (nSaved != 1) return false;
  // A second group, for the move.
  if (dlg.m_library.AddGroup("other", "", "") != 1) return false;
  dlg.RefreshGroupList();
  Pump();

  HWND hBare = nullptr;
  figures->bare.push_back(Seconds([&] {
    hBare = ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDD_PHRASES), dlg.m_hWnd,
                                 &BareDialogProc, 0);
    if (!hBare) return;
    ::ShowWindow(hBare, SW_SHOWNORMAL);
    ::UpdateWindow(hBare);
  }));
  if (!hBare) return false;
  ::DestroyWindow(hBare);
  Pump();

  CPhraseDlg phrases(dlg.m_library, dlg.m_history, 0, &dlg);
  bool created = false;
  figures->open.push_back(Seconds([&] {
    created = phrases.Create(&dlg);
    if (!created) return;
    ::ShowWindow(phrases.m_hWnd, SW_SHOWNORMAL);
    ::UpdateWindow(phrases.m_hWnd);  // the first rows painted
  }));
  if (!created || phrases.GetRows().GetCount() != n) return false;
  Pump();

  figures->whole.push_back(Painted(phrases, [&] {
    ::CheckDlgButton(phrases.m_hWnd, IDC_PHRASE_WHOLE, BST_CHECKED);
    phrases.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PHRASE_WHOLE, BN_CLICKED),
                        reinterpret_cast<LPARAM>(phrases.GetDlgItem(IDC_PHRASE_WHOLE)));
  }));
  if (phrases.GetRows().GetCount() != n) return false;
  // 啊 (B0A1): about one phrase in 1,350 holds it.
  figures->find.push_back(Seconds([&] {
    ::SetWindowTextA(phrases.GetDlgItem(IDC_PHRASE_FIND), "\xB0\xA1");
    ::UpdateWindow(phrases.m_hWnd);
  }));
  double longest = figures->find.back();
  figures->findAll.push_back(figures->find.back() + Seconds([&] {
                               FinishFind(phrases, &longest);
                               ::UpdateWindow(phrases.m_hWnd);
                             }));
  figures->findSlice.push_back(longest);
  const bool found = phrases.GetRows().IsComplete() && phrases.GetRows().GetCount() < n;
  // The whole library again, sorted by group.
  ::SetWindowTextA(phrases.GetDlgItem(IDC_PHRASE_FIND), "");
  Pump();
  figures->sortGroup.push_back(
      Painted(phrases, [&] { ClickHeader(phrases, CPhraseDlg::COLUMN_GROUP); }));
  const bool sorted = phrases.GetRows().GetSortKey() == SORT_GROUP;
  ::CheckDlgButton(phrases.m_hWnd, IDC_PHRASE_WHOLE, BST_UNCHECKED);
  phrases.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PHRASE_WHOLE, BN_CLICKED),
                      reinterpret_cast<LPARAM>(phrases.GetDlgItem(IDC_PHRASE_WHOLE)));
  Pump();
  const bool listed = sorted && TimeListCommands(phrases, n, figures);
  phrases.DestroyWindow();
  Pump();
  return found && listed;
}

}  // namespace

int main(int argc, char** argv) {
  int nRounds = 5;
  std::vector<uint32_t> sizes{1000000};
  if (!ParseRoundsAndSizes(argc, argv, "bench_phrases", &nRounds, &sizes)) return 2;
  const std::filesystem::path folder = MakeScratchFolder("bench_phrases");
  if (folder.empty()) return 1;

  CTabrixDlg dlg;
  if (!dlg.Create()) {
    fprintf(stderr, "bench_phrases: cannot create the main dialog\n");
    return 1;
  }
  Pump();
  bool pass = true;
  for (uint32_t n : sizes) {
    std::string path;
    if (!WriteLibrary(folder.string(), n, &path)) {
      fprintf(stderr, "bench_phrases: cannot write a library of %u phrases\n", n);
      return 1;
    }
    tagFIGURES figures;
    for (int round = 0; round < nRounds; ++round) {
      if (!RunRound(dlg, path, n, &figures)) {
        fprintf(stderr, "bench_phrases: a round at n = %u went wrong\n", n);
        return 1;
      }
    }
    std::remove(path.c_str());
    const double load = Median(figures.load), open = Median(figures.open),
                 bare = Median(figures.bare);
    const bool ok = open / load <= kOpenLimit;
    pass &= ok;
    printf("n = %u, median of %d rounds: load %.1f ms\n", n, nRounds, load * 1000);
    printf("  phrase window open, first rows shown   %8.1f ms  %.3fx the load (at most %.1f)  %s\n",
           open * 1000, open / load, kOpenLimit, ok ? "PASS" : "FAIL");
    printf(
        "  the same template bare, for scale      %8.1f ms  %.3fx the load; the window adds %.1f "
        "ms\n",
        bare * 1000, bare / load, (open - bare) * 1000);
    const struct {
      const char* pszWhat;
      const std::vector<double>& runs;
    } shown[] = {{"whole library shown (box ticked)      ", figures.whole},
                 {"one character typed: first rows shown", figures.find},
                 {"   ... the whole find shown          ", figures.findAll},
                 {"   ... its longest slice (no answer) ", figures.findSlice},
                 {"save, progress bar moving            ", figures.save},
                 {"   ... longest the bar stood still   ", figures.saveStill},
                 {"load: longest the bar stood still    ", figures.loadStill}};
    for (const auto& item : shown) {
      const double t = Median(item.runs);
      printf("  %s %8.1f ms  %.3fx the load\n", item.pszWhat, t * 1000, t / load);
    }
    const struct {
      const char* pszWhat;
      const std::vector<double>& runs;
    } list[] = {{"Ctrl+A, every row selected          ", figures.selectAll},
                {"a click, then Shift+End             ", figures.shiftEnd},
                {"sorted by frequency (header click)  ", figures.sortFreq},
                {"the same header again: reversed     ", figures.sortBack},
                {"whole library sorted by group       ", figures.sortGroup},
                {"every row moved to another group    ", figures.move}};
    for (const auto& item : list) {
      const double t = Median(item.runs);
      const bool within = t / load <= kListLimit;
      pass &= within;
      printf("  %s %8.1f ms  %.3fx the load (at most %.1f)  %s\n", item.pszWhat, t * 1000, t / load,
             kListLimit, within ? "PASS" : "FAIL");
    }
    fflush(stdout);
  }
  std::error_code error;
  std::filesystem::remove_all(folder, error);
  ::DestroyWindow(dlg.m_hWnd);
  printf(
      "%s: the phrase window opens within %.1f, and its list selects, sorts and moves within "
      "%.1f, of a load of its library\n",
      pass ? "PASS" : "FAIL", kOpenLimit, kListLimit);
  return pass ? 0 : 1;
}
