// The two imports of a phrase-list text file: as a new group, or into a group.
#include "PhraseImport.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "DictFormat.h"
#include "EditHistory.h"
#include "GbkText.h"
#include "PhraseBatch.h"
#include "Progress.h"
#include "Tabrix.h"
#include "TxtLineReader.h"

namespace {

// The header keys as GBK bytes, spelled out so that they hold whatever
// character set a compiler gives string literals (clang knows only UTF-8).
const char kKeyName[] = "\xC3\xFB\xB3\xC6=";    // 名称=
const char kKeyEditor[] = "\xB1\xE0\xBC\xAD=";  // 编辑=
const char kKeyRemark[] = "\xB1\xB8\xD7\xA2=";  // 备注=
constexpr uint32_t kKeyBytes = 5;               // two GBK characters and '='
constexpr uint32_t kValueStart = 6;             // '@', the key, then the value
// Smaller files let the batch grow as it goes.
constexpr uint64_t kMinReserve = 4096;
constexpr uint64_t kMaxReserve = uint64_t(1) << 20;

// Sets the name, editor or remark of group g from a line beginning with '@';
// other '@' lines do nothing.
void ApplyHeaderLine(CTabrix& lib, uint8_t g, const char* line) {
  tagGROUPINFO* info = lib.GetGroup(g);
  if (info == nullptr) return;
  const char* key = line + 1;
  const char* value = line + kValueStart;
  if (std::strncmp(key, kKeyName, kKeyBytes) == 0) {
    CopyHeaderValue(info->szName, sizeof(info->szName), value);
  } else if (std::strncmp(key, kKeyEditor, kKeyBytes) == 0) {
    CopyHeaderValue(info->szEditor, sizeof(info->szEditor), value);
  } else if (std::strncmp(key, kKeyRemark, kKeyBytes) == 0) {
    CopyHeaderValue(info->szRemark, sizeof(info->szRemark), value);
  } else if (std::strncmp(line, kTickHeaderKey, kValueStart) == 0 &&
             (std::strcmp(value, "1") == 0 || std::strcmp(value, "0") == 0)) {
    info->bEnable = value[0] == '1';
  }
}

// Splits a phrase line and offers it to the batch, which counts what became
// of it; a frequency brought into 0..250 is counted here.
void ImportPhraseLine(CPhraseBatch& batch, const char* line, const tagIMPORTOPTIONS& opt,
                      tagIMPORTSTATS& stats) {
  uint32_t lineLen = static_cast<uint32_t>(std::strlen(line));
  tagPHRASELINE split;
  SplitPhraseLine(line, lineLen, &split);
  const char* field = line + split.nFreqStart;
  const int64_t value = PhraseFrequencyValue(field);
  if (value < 0 || value > 250) ++stats.nFreqReduced;
  batch.Offer(line + split.nTextStart, split.nTextLen, PhraseFrequency(field), opt.byMinFreq,
              opt.byMaxFreq, stats);
}

// The loop shared by both imports, from the first line already read to the end.
void ImportLines(CTabrix& lib, uint8_t g, CTxtLineReader& reader, char* buffer, char* line,
                 bool applyHeaders, const tagIMPORTOPTIONS& opt, tagIMPORTSTATS& stats) {
  CProgressReporter progress(opt.funProgress, opt.pProgressData);
  progress.Begin(reader.GetLength());
  CPhraseBatch batch(lib, g, opt.pHistory);
  // Room for the phrases of a typical list at once: a line of two
  // characters, a tab, a frequency and a line end takes about 8 bytes.
  // Capped, so that a huge file cannot take a 32-bit program's address space
  // before it is known to hold that many phrases.
  const uint64_t nGuess = std::min<uint64_t>(reader.GetLength() / 8, kMaxReserve);
  if (nGuess > kMinReserve) batch.Reserve(size_t(nGuess));
  while (line != nullptr) {
    ++stats.nLines;
    if (line[0] == '@') {
      ++stats.nHeaders;
      if (applyHeaders) ApplyHeaderLine(lib, g, line);
    } else {
      ImportPhraseLine(batch, line, opt, stats);
    }
    line = reader.ReadLine(buffer, IMPORT_MAX_LINE);
    progress.Step(reader.GetPosition());
  }
  batch.Flush(stats);
  reader.Close();
  progress.End();
}

}  // namespace

uint8_t AddImportGroup(CTabrix& lib, const char* title, const tagIMPORTOPTIONS& opt) {
  if (opt.pHistory != nullptr) return opt.pHistory->AddGroup(lib, title, "", "", 0);
  return lib.AddGroup(title, "", "");
}

int EndEmptyImport(CTabrix& lib, uint8_t g, bool bNewGroup, const tagIMPORTOPTIONS& opt) {
  if (opt.pHistory != nullptr) {
    // What the open compound changed goes with it: no step, no mark.
    if (!opt.pHistory->CancelCompound(lib)) return IMPORT_OK;
  } else if (bNewGroup && !lib.RemoveGroup(g)) {
    return IMPORT_OK;
  }
  return IMPORT_NOTHING_ADDED;
}

tagIMPORTOPTIONS DefaultImportOptions() {
  tagIMPORTOPTIONS opt;
  opt.byMinFreq = 0;
  opt.byMaxFreq = 250;
  opt.pszTitle = nullptr;
  opt.funProgress = nullptr;
  opt.pProgressData = nullptr;
  opt.pHistory = nullptr;
  return opt;
}

int ImportNewGroup(CTabrix& lib, const char* path, const tagIMPORTOPTIONS& opt, uint8_t* pGroup,
                   tagIMPORTSTATS* pStats) {
  const std::string title =
      opt.pszTitle != nullptr ? std::string(opt.pszTitle) : GroupTitleFromPath(path);
  tagIMPORTOPTIONS named = opt;
  named.pszTitle = title.c_str();
  CTxtLineReader reader('#');
  reader.Open(path);
  return ImportNewGroup(lib, reader, named, pGroup, pStats);
}

int ImportNewGroup(CTabrix& lib, CTxtLineReader& reader, const tagIMPORTOPTIONS& opt,
                   uint8_t* pGroup, tagIMPORTSTATS* pStats) {
  tagIMPORTSTATS stats = {};
  stats.nFormat = DICT_FORMAT_TEXT;
  if (pStats != nullptr) *pStats = stats;
  if (pGroup != nullptr) *pGroup = TABRIX_NO_GROUP;

  if (!reader.IsOpen()) return IMPORT_OPEN_FAILED;
  char buffer[IMPORT_MAX_LINE + 1];
  char* line = reader.ReadLine(buffer, IMPORT_MAX_LINE);

  // The group exists only once the file is open and its first line read.
  CEditCompound compound(opt.pHistory, lib);
  uint8_t g = AddImportGroup(lib, opt.pszTitle != nullptr ? opt.pszTitle : "", opt);
  if (g == TABRIX_NO_GROUP) return IMPORT_GROUP_FAILED;  // the reader closes itself
  if (pGroup != nullptr) *pGroup = g;

  ImportLines(lib, g, reader, buffer, line, true, opt, stats);
  if (pStats != nullptr) *pStats = stats;
  if (stats.nAdded == 0 && EndEmptyImport(lib, g, true, opt) == IMPORT_NOTHING_ADDED) {
    if (pGroup != nullptr) *pGroup = TABRIX_NO_GROUP;
    return IMPORT_NOTHING_ADDED;
  }
  return IMPORT_OK;
}

int ImportToGroup(CTabrix& lib, uint8_t group, const char* path, const tagIMPORTOPTIONS& opt,
                  tagIMPORTSTATS* pStats) {
  CTxtLineReader reader('#');
  // A group that does not exist is said before the file is opened.
  if (group < lib.GetGroupCount()) reader.Open(path);
  return ImportToGroup(lib, group, reader, opt, pStats);
}

int ImportToGroup(CTabrix& lib, uint8_t group, CTxtLineReader& reader, const tagIMPORTOPTIONS& opt,
                  tagIMPORTSTATS* pStats) {
  tagIMPORTSTATS stats = {};
  stats.nFormat = DICT_FORMAT_TEXT;
  if (pStats != nullptr) *pStats = stats;
  if (group >= lib.GetGroupCount()) return IMPORT_NO_SUCH_GROUP;

  if (!reader.IsOpen()) return IMPORT_OPEN_FAILED;
  char buffer[IMPORT_MAX_LINE + 1];
  char* line = reader.ReadLine(buffer, IMPORT_MAX_LINE);

  CEditCompound compound(opt.pHistory, lib);
  ImportLines(lib, group, reader, buffer, line, false, opt, stats);
  if (pStats != nullptr) *pStats = stats;
  if (stats.nAdded == 0) return EndEmptyImport(lib, group, false, opt);
  return IMPORT_OK;
}

std::string GroupTitleFromPath(const char* path) { return FileTitleFromPath(path); }

std::string FitGroupName(const std::string& title) {
  return title.substr(0, GbkWholeCharsWithin(title.data(), title.size(), TABRIX_NAME_FIELD - 1));
}
