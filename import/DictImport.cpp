#include "DictImport.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <vector>

#include "DictContent.h"
#include "EditHistory.h"
#include "FileNames.h"
#include "GbkSource.h"
#include "GbkText.h"
#include "PackedEntries.h"
#include "InputFile.h"
#include "PhraseBatch.h"
#include "Progress.h"
#include "Tabrix.h"
#include "TextConvert.h"
#include "Utf8Rules.h"
#include "WeightScale.h"

namespace {

const char* const kFormatNames[DICT_FORMAT_COUNT] = {"auto", "text", "scel",   "bdict",
                                                     "qpyd", "rime", "columns"};
// The encoding each format keeps its texts in.
const SourceEncoding kFormatEncodings[DICT_FORMAT_COUNT] = {
    SOURCE_GBK,     SOURCE_GBK,  SOURCE_UTF16LE, SOURCE_UTF16LE,
    SOURCE_UTF16LE, SOURCE_UTF8, SOURCE_UTF8};

bool EndsWith(const std::string& text, const char* tail) {
  const size_t n = std::strlen(tail);
  if (text.size() < n) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = text[text.size() - n + i];
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (c != tail[i]) return false;
  }
  return true;
}

// The file opened, when it is a regular file of a size the readers take;
// IMPORT_OK with *ppFile and *pSize set, or what stands in the way.
int OpenDictionaryFile(const char* path, std::FILE** ppFile, uint64_t* pSize,
                       tagREADFAULT* pFault) {
  *ppFile = OpenInputFile(path, INPUT_SHARED, pSize, nullptr);
  if (*ppFile == nullptr) return IMPORT_OPEN_FAILED;
  if (*pSize > DICT_MAX_FILE_BYTES) {
    std::fclose(*ppFile);
    *ppFile = nullptr;
    SetReadFault(pFault, READ_FAULT_TOO_LARGE, *pSize, DICT_MAX_FILE_BYTES);
    return IMPORT_DAMAGED;
  }
  return IMPORT_OK;
}

// The whole file, when it is a regular file of a size the readers take.
int ReadWholeFile(const char* path, std::vector<uint8_t>* pBytes, tagREADFAULT* pFault) {
  uint64_t size = 0;
  std::FILE* file = nullptr;
  const int nOpen = OpenDictionaryFile(path, &file, &size, pFault);
  if (nOpen != IMPORT_OK) return nOpen;
  pBytes->resize(static_cast<size_t>(size));
  const size_t n = pBytes->empty() ? 0 : std::fread(pBytes->data(), 1, pBytes->size(), file);
  const bool bFailed = std::ferror(file) != 0;
  std::fclose(file);
  if (bFailed) return IMPORT_OPEN_FAILED;
  pBytes->resize(n);  // a file that shrank meanwhile: what was there
  return IMPORT_OK;
}

// A piece never begins with a byte that could start a byte-order mark (EF,
// FE, FF), which the reader treats apart at the start of the text it is
// given; such a line stays with the piece before.
}  // namespace

int ReadColumnsInPieces(const char* path, tagDICTCONTENT* pContent, tagREADFAULT* pFault,
                        size_t nPiece) {
  const size_t kPiece = nPiece < 2 ? 2 : nPiece;
  uint64_t size = 0;
  std::FILE* file = nullptr;
  const int nOpen = OpenDictionaryFile(path, &file, &size, pFault);
  if (nOpen != IMPORT_OK) return nOpen;
  pContent->strTitle.clear();  // a column list has none
  pContent->arrEntries.clear();
  // A small file takes no more room than it needs.
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min<uint64_t>(kPiece, size + 1)));
  size_t nHeld = 0;
  uint32_t nUndecodable = 0;
  bool bEnd = false;
  int result = IMPORT_OK;
  while (result == IMPORT_OK && !(bEnd && nHeld == 0)) {
    if (!bEnd) {
      if (nHeld == buffer.size()) buffer.resize(buffer.size() * 2);  // a line longer than that
      const size_t n = std::fread(buffer.data() + nHeld, 1, buffer.size() - nHeld, file);
      if (std::ferror(file) != 0) result = IMPORT_OPEN_FAILED;
      bEnd = n < buffer.size() - nHeld;
      nHeld += n;
    }
    size_t nCut = bEnd ? nHeld : 0;
    for (size_t i = nHeld; !bEnd && i > 1; --i) {
      const uint8_t next = buffer[i - 1];
      if (buffer[i - 2] == '\n' && next != 0xEF && next != 0xFE && next != 0xFF) {
        nCut = i - 1;
        break;
      }
    }
    if (nCut == 0 && !bEnd) continue;  // a line longer than the piece: read on
    // Each piece is read on its own (a reader begins by clearing what it
    // is given); its entries join the others.
    tagDICTCONTENT piece;
    piece.nUndecodable = 0;
    piece.pSink = pContent->pSink;
    if (result == IMPORT_OK && !ReadColumnList(buffer.data(), nCut, &piece, pFault))
      result = IMPORT_DAMAGED;
    nUndecodable += piece.nUndecodable;
    for (tagDICTENTRY& entry : piece.arrEntries) pContent->arrEntries.push_back(std::move(entry));
    std::memmove(buffer.data(), buffer.data() + nCut, nHeld - nCut);
    nHeld -= nCut;
  }
  std::fclose(file);
  pContent->nUndecodable = nUndecodable;
  return result;
}

namespace {

bool ReadDictionary(int nFormat, const std::vector<uint8_t>& bytes, tagDICTCONTENT* pContent,
                    tagREADFAULT* pFault) {
  const uint8_t* data = bytes.data();
  const size_t size = bytes.size();
  switch (nFormat) {
    case DICT_FORMAT_SCEL:
      return ReadScel(data, size, pContent, pFault);
    case DICT_FORMAT_BDICT:
      return ReadBdict(data, size, pContent, pFault);
    case DICT_FORMAT_QPYD:
      return ReadQpyd(data, size, pContent, pFault);
    case DICT_FORMAT_RIME:
      return ReadRimeDict(data, size, pContent, pFault);
    case DICT_FORMAT_COLUMNS:
      return ReadColumnList(data, size, pContent, pFault);
    default:
      return SetReadFault(pFault, READ_FAULT_NOT_DICTIONARY);
  }
}

// The group's name: the dictionary's title in GBK, cut at a character that
// fits; the file's title when there is none or it has no GBK form.
std::string GroupName(CUtf8ToGbk& converter, const tagDICTCONTENT& content, const char* path,
                      const tagIMPORTOPTIONS& opt) {
  std::string gbk;
  if (!content.strTitle.empty() && converter.Convert(content.strTitle, &gbk) && !gbk.empty())
    return FitGroupName(gbk);
  return opt.pszTitle != nullptr ? std::string(opt.pszTitle) : GroupTitleFromPath(path);
}

// A UTF-8 list whose lines all hold three or more columns, one of them after
// the text a whole number: "text pinyin frequency", "word frequency tag".
// The line rules would take its second column for the frequency, so it is
// read as columns. GBK lists and lists of two columns keep the line rules.
bool LooksLikeColumnList(const std::string& head) {
  CUtf8Scan scan;
  scan.Feed(head.data(), head.size());
  if (!scan.IsValidSoFar() || scan.IsPlainAscii()) return false;
  uint32_t nLines = 0;
  size_t start = Utf8MarkSize(reinterpret_cast<const unsigned char*>(head.data()), head.size());
  // The last line may be cut where the sample ends: only whole lines count.
  for (size_t end; (end = head.find('\n', start)) != std::string::npos && nLines < 100;
       start = end + 1) {
    const std::string line = head.substr(start, end - start);
    if (line.empty() || line[0] == '#' || line == "\r") continue;
    uint32_t nColumns = 0;
    bool bNumber = false;
    size_t i = 0;
    while (i < line.size()) {
      while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
      if (i == line.size()) break;
      size_t j = i;
      bool bDigits = true;
      while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != '\r') {
        bDigits = bDigits && line[j] >= '0' && line[j] <= '9';
        ++j;
      }
      if (nColumns > 0 && bDigits) bNumber = true;
      ++nColumns;
      i = j;
    }
    if (nColumns < 3 || !bNumber) return false;
    ++nLines;
  }
  return nLines > 0;
}

// The import of a dictionary's entries, whichever way they are held: next
// gives entry i's GBK text (false when it has none), in order; release is
// called once every entry has been offered, before the batch goes in.
template <class NextText, class Release>
int ImportEntries(CTabrix& lib, const tagDICTCONTENT& content, const std::vector<uint8_t>& freqs,
                  const char* path, const tagIMPORTOPTIONS& opt, bool bNewGroup, uint8_t* pGroup,
                  tagIMPORTSTATS* pStats, NextText next, Release release) {
  tagIMPORTSTATS stats = {};
  stats.nFormat = DICT_FORMAT_COLUMNS;
  stats.nEncoding = SOURCE_UTF8;
  if (pStats != nullptr) *pStats = stats;
  if (!bNewGroup && *pGroup >= lib.GetGroupCount()) return IMPORT_NO_SUCH_GROUP;
  if (bNewGroup) *pGroup = TABRIX_NO_GROUP;
  CProgressReporter progress(opt.funProgress, opt.pProgressData);
  CUtf8ToGbk converter;
  CEditCompound compound(opt.pHistory, lib);
  uint8_t g = *pGroup;
  if (bNewGroup) {
    g = AddImportGroup(lib, GroupName(converter, content, path, opt).c_str(), opt);
    if (g == TABRIX_NO_GROUP) return IMPORT_GROUP_FAILED;
    *pGroup = g;
  }
  stats.nUndecodable = content.nUndecodable;
  progress.Begin(freqs.size());
  CPhraseBatch batch(lib, g, opt.pHistory);
  batch.Reserve(freqs.size());
  for (size_t i = 0; i < freqs.size(); ++i) {
    const char* text = nullptr;
    uint32_t nLength = 0;
    if (!next(i, &text, &nLength)) {
      // Valid UTF-8 from a reader: what does not convert has no GBK form.
      ++stats.nNoGbkForm;
    } else {
      // The batch refuses an empty text and one holding a control byte.
      ++stats.nLines;
      batch.Offer(text, nLength, freqs[i], opt.byMinFreq, opt.byMaxFreq, stats);
    }
    progress.Step(i);
  }
  release();
  batch.Flush(stats);
  progress.End();
  if (pStats != nullptr) *pStats = stats;
  if (stats.nAdded == 0 && EndEmptyImport(lib, g, bNewGroup, opt) == IMPORT_NOTHING_ADDED) {
    if (bNewGroup) *pGroup = TABRIX_NO_GROUP;
    return IMPORT_NOTHING_ADDED;
  }
  return IMPORT_OK;
}

}  // namespace

int DictFormatFromName(const std::string& name) {
  for (int i = 0; i < DICT_FORMAT_COUNT; ++i)
    if (name == kFormatNames[i]) return i;
  return -1;
}

const char* DictFormatName(int nFormat) {
  return nFormat >= 0 && nFormat < DICT_FORMAT_COUNT ? kFormatNames[nFormat] : "unknown";
}

int DetectDictFormat(const char* path) {
  const std::string name(path);
  std::string sample(65536, '\0');
  size_t n = 0;
  if (std::FILE* file = OpenInputFile(path, INPUT_SHARED, nullptr, nullptr)) {
    n = std::fread(&sample[0], 1, sample.size(), file);
    std::fclose(file);
  }
  sample.resize(n);
  const uint8_t* head = reinterpret_cast<const uint8_t*>(sample.data());
  // Every format with a mark by its mark, whatever the name.
  if (HasScelMark(head, n)) return DICT_FORMAT_SCEL;
  if (HasBdictMark(head, n)) return DICT_FORMAT_BDICT;
  if (HasRimeHeader(head, n)) return DICT_FORMAT_RIME;
  if (HasQpydHeader(head, n)) return DICT_FORMAT_QPYD;
  // Then by name: a file without a mark.
  if (EndsWith(name, ".scel")) return DICT_FORMAT_SCEL;
  if (EndsWith(name, ".bdict") || EndsWith(name, ".bcd")) return DICT_FORMAT_BDICT;
  if (EndsWith(name, ".qpyd")) return DICT_FORMAT_QPYD;
  if (EndsWith(name, ".dict.yaml")) return DICT_FORMAT_RIME;
  // A whole valid UTF-8 text up to a character cut by the sample's end.
  size_t nWhole = sample.size();
  while (nWhole > 0 && nWhole + 4 > sample.size() &&
         (static_cast<unsigned char>(sample[nWhole - 1]) & 0xC0) == 0x80)
    --nWhole;
  if (nWhole > 0 && static_cast<unsigned char>(sample[nWhole - 1]) >= 0xC0) --nWhole;
  if (LooksLikeColumnList(sample.substr(0, nWhole))) return DICT_FORMAT_COLUMNS;
  return DICT_FORMAT_TEXT;
}

int ImportDictionary(CTabrix& lib, const char* path, int nFormat, const tagIMPORTOPTIONS& opt,
                     bool bNewGroup, uint8_t* pGroup, tagIMPORTSTATS* pStats,
                     tagREADFAULT* pFault) {
  tagIMPORTSTATS stats = {};
  stats.nFormat = nFormat;
  stats.nEncoding = nFormat >= 0 && nFormat < DICT_FORMAT_COUNT ? kFormatEncodings[nFormat] : -1;
  if (pStats != nullptr) *pStats = stats;
  *pFault = {};
  if (!bNewGroup && *pGroup >= lib.GetGroupCount()) return IMPORT_NO_SUCH_GROUP;
  if (bNewGroup) *pGroup = TABRIX_NO_GROUP;

  // The entries go straight from the reader into their packed GBK form.
  tagDICTCONTENT content;
  content.nUndecodable = 0;
  CPackedDictEntries packed;
  content.pSink = &packed;
  if (nFormat == DICT_FORMAT_COLUMNS) {
    const int nRead = ReadColumnsInPieces(path, &content, pFault, DICT_COLUMN_PIECE);
    if (nRead != IMPORT_OK) return nRead;
  } else {
    std::vector<uint8_t> bytes;
    const int nRead = ReadWholeFile(path, &bytes, pFault);
    if (nRead != IMPORT_OK) return nRead;
    // A Rime dictionary's entries are at most its lines, and their GBK texts
    // and length bytes no more than its bytes.
    if (nFormat == DICT_FORMAT_RIME)
      packed.Reserve(size_t(std::count(bytes.begin(), bytes.end(), uint8_t('\n'))) + 1,
                     bytes.size());
    if (!ReadDictionary(nFormat, bytes, &content, pFault)) return IMPORT_DAMAGED;
  }

  const int result =
      ImportPackedEntries(lib, content, packed, path, opt, bNewGroup, pGroup, pStats);
  if (pStats != nullptr) {
    pStats->nFormat = stats.nFormat;
    pStats->nEncoding = stats.nEncoding;
  }
  return result;
}

int ImportDictContent(CTabrix& lib, const tagDICTCONTENT& content, const char* path,
                      const tagIMPORTOPTIONS& opt, bool bNewGroup, uint8_t* pGroup,
                      tagIMPORTSTATS* pStats) {
  CUtf8ToGbk converter;
  std::string gbk;
  return ImportEntries(
      lib, content, FrequenciesByRank(content.arrEntries), path, opt, bNewGroup, pGroup, pStats,
      [&](size_t i, const char** ppText, uint32_t* pLength) {
        if (!converter.Convert(content.arrEntries[i].strText, &gbk)) return false;
        *ppText = gbk.data();
        *pLength = static_cast<uint32_t>(gbk.size());
        return true;
      },
      [] {});
}

int ImportPackedEntries(CTabrix& lib, const tagDICTCONTENT& content, CPackedDictEntries& packed,
                        const char* path, const tagIMPORTOPTIONS& opt, bool bNewGroup,
                        uint8_t* pGroup, tagIMPORTSTATS* pStats) {
  const std::vector<uint8_t> freqs = packed.TakeFrequencies();
  size_t nAt = 0;
  return ImportEntries(
      lib, content, freqs, path, opt, bNewGroup, pGroup, pStats,
      [&](size_t, const char** ppText, uint32_t* pLength) {
        return packed.Next(&nAt, ppText, pLength);
      },
      [&] { packed.Free(); });
}
