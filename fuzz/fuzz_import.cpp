// libFuzzer harness for the text import: a phrase-list file goes through the
// line reader (checked against a plain restatement of its line rules), the
// phrase-line split, and one of the imports, into an empty library or one
// already holding up to thousands of phrases. The result must keep the
// invariants, account for every line, and hold what a line-by-line import
// through AddPhrase would (StoreModel.h keeps that beside the library).
//
// Byte 0 picks the run: bit 0 into-group import, bit 1 a library built from
// five more bytes (below; without them an into-group import gets a small
// one), bit 2 an encoded file (below; else the rest is the file as it
// stands), bits 3..7 the line length of the reader check. Bytes 1 and 2 are
// the frequency range.
//
// The library: groups (255: 127 groups, a full table; else 1 + n % 4), then
// a b c: RunCount(a, b & 3) phrases (CTextRun, FuzzInput.h), b bit 4 random
// texts (else ascending), b bit 5 added in random order (at most
// kPreloadShuffled), b bits 6..7 the alphabet, c the texts' shape; then the
// store's block size (StoreBlockSize).
//
// The encoded file: commands of 4 bytes, op a b c, up to the input's end, for
// at most kImportMaxLines lines (and kLinesPerByte per byte of the input; the
// library as many phrases); op bits 0..2 the command, bits 3..4 the
// count's scale (RunCount(a, scale)), bits 5..6 the alphabet.
//   0, 1, 2  phrase lines of an ascending, descending or random run shaped
//            by b; c: bits 0..1 the separator (tab, space, blanks, none),
//            2..3 the frequency (random, fixed by b, odd numbers, counting),
//            4..5 the line end (LF, CRLF, CR, mixed), 6 junk after the
//            frequency, 7 now and then a blank before the text
//   3        lines from (b / 256) of the way on again
//   4        a % 16 + 1 special lines, b % 8: comment, empty or blank,
//            name header, editor or remark header, other '@' line, line
//            longer than the reader takes, lead byte at a text's end, NUL
//   5        a bytes of the input as they stand
//   6        the lines from (b / 255) of the way on, shuffled (none for 255)
//   7        the last a % 4 + 1 bytes cut off
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "PhraseImport.h"
#include "Progress.h"
#include "Tabrix.h"
#include "TxtLineReader.h"

#include "FuzzInput.h"
#include "FuzzSupport.h"
#include "StoreModel.h"

const char* const kFuzzHarnessName = "fuzz_import";

namespace {

constexpr uint32_t kImportMaxLines = 4096;
constexpr size_t kImportMaxBytes = 128 * 1024;
// What an input costs grows with its length: libFuzzer keeps the shortest
// input it knows for what it found, and so keeps most runs cheap.
constexpr uint32_t kLinesPerByte = 8;
constexpr uint32_t kPreloadShuffled = 1024;  // AddPhrase in random order is slow

enum : uint8_t {
  MODE_INTO = 1,
  MODE_LIBRARY = 2,
  MODE_ENCODED = 4,
};

// A line of the file as a caller of the reader sees it: its bytes up to the
// first NUL. Kept as a place in the file, not a copy: files have thousands.
struct tagLINE {
  size_t at;
  size_t len;
};

// The lines of bytes as the reader's rules cut them, one at a time: LF, CR
// LF and CR alone each end a line, a line keeps its first max bytes and the
// rest is read past, the file's end ends the last. With a comment
// character, empty lines and comments are skipped.
class CLineRules {
 public:
  CLineRules(const std::string& bytes, size_t max, char comment)
      : m_bytes(bytes), m_nMax(max), m_cComment(comment), m_i(0) {}

  bool Next(tagLINE* out) {
    while (m_i < m_bytes.size()) {
      const size_t at = m_i;
      size_t n = 0;
      while (m_i < m_bytes.size()) {
        const char c = m_bytes[m_i++];
        if (c == '\n') break;
        if (c == '\r') {
          if (m_i < m_bytes.size() && m_bytes[m_i] == '\n') ++m_i;
          break;
        }
        if (n < m_nMax) ++n;
      }
      const tagLINE line = {at, strnlen(m_bytes.data() + at, n)};
      if (m_cComment != 0 && (line.len == 0 || m_bytes[at] == m_cComment)) continue;
      *out = line;
      return true;
    }
    return false;
  }

 private:
  const std::string& m_bytes;
  size_t m_nMax;
  char m_cComment;
  size_t m_i;
};

std::vector<tagLINE> ExpectedLines(const std::string& bytes, size_t max, char comment) {
  std::vector<tagLINE> lines;
  CLineRules rules(bytes, max, comment);
  for (tagLINE line; rules.Next(&line);) lines.push_back(line);
  return lines;
}

void CheckReader(const std::string& path, const std::string& bytes, uint32_t max, char comment) {
  CTxtLineReader reader(comment);
  Check(reader.Open(path.c_str()) != 0, "reader cannot open the scratch file");
  Check(reader.GetLength() == bytes.size(), "length is not the file's");
  CLineRules rules(bytes, max, comment);
  std::vector<char> buffer(max + 1);
  uint64_t lastPosition = 0;
  tagLINE want;
  while (char* line = reader.ReadLine(buffer.data(), max)) {
    Check(rules.Next(&want), "more lines than the rules give");
    Check(strlen(line) == want.len && memcmp(line, bytes.data() + want.at, want.len) == 0,
          "a line differs from the rules");
    Check(reader.GetPosition() >= lastPosition, "position went back");
    Check(reader.GetPosition() <= bytes.size(), "position beyond the end");
    lastPosition = reader.GetPosition();
  }
  Check(!rules.Next(&want), "fewer lines than the rules give");
  Check(reader.GetPosition() == bytes.size(), "end not at the file's length");
  Check(reader.ReadLine(buffer.data(), max) == nullptr, "a line after the end");
}

// A line copied out with its NUL, as the importer hands it on.
struct tagLINETEXT {
  char text[IMPORT_MAX_LINE + 1];
  uint32_t len;
  tagLINETEXT(const std::string& bytes, const tagLINE& line) {
    len = static_cast<uint32_t>(line.len < IMPORT_MAX_LINE ? line.len : IMPORT_MAX_LINE);
    memcpy(text, bytes.data() + line.at, len);
    text[len] = 0;
  }
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void CheckSplit(const tagLINETEXT& t) {
  const char* line = t.text;
  tagPHRASELINE split;
  SplitPhraseLine(line, t.len, &split);
  for (size_t k = 0; k < split.nTextStart; ++k) Check(IsBlank(line[k]), "text begins late");
  Check(split.nTextStart == t.len || !IsBlank(line[split.nTextStart]), "a blank begins the text");
  const size_t end = split.nTextStart + split.nTextLen;
  Check(end <= split.nFreqStart, "frequency field before the text's end");
  Check(split.nFreqStart <= t.len, "frequency field beyond the line");
  if (end < t.len) {
    Check(IsBlank(line[end]), "text ended by something but a blank");
    for (size_t k = end; k < split.nFreqStart; ++k) {
      Check(IsBlank(line[k]), "frequency field after a non-blank");
    }
    Check(split.nFreqStart == t.len || !IsBlank(line[split.nFreqStart]),
          "blanks left before the frequency");
  } else {
    Check(split.nFreqStart == t.len, "no text end but a frequency field");
  }
  Check(PhraseFrequency(line + split.nFreqStart) <= 250, "frequency above 250");
  RangeFieldValue(line);
}

void CheckInvariants(CTabrix& lib) {
  const uint32_t groups = lib.GetGroupCount();
  std::vector<uint32_t> counted(groups, 0);
  // Each record is copied out: the next GetAt may take another block.
  tagPHRASE2 prev;
  for (uint32_t i = 0; i < lib.m_arrPhrase.GetCount(); ++i) {
    const tagPHRASE2* p = lib.m_arrPhrase.GetAt(i);
    Check(p != nullptr, "a record of the store cannot be reached");
    Check(p->byGroup < groups, "phrase names no group");
    Check(p->cLen <= TABRIX_MAX_PHRASE_LEN, "phrase longer than 30 bytes");
    Check(p->byFreq <= 250, "frequency above 250");
    Check(memchr(p->szWord, 0, p->cLen) == nullptr, "NUL inside a text");
    Check(AllZero(p->szWord + p->cLen, sizeof(p->szWord) - p->cLen), "text not padded");
    if (i > 0) Check(ComparePhrase(&prev, p, nullptr) < 0, "store not sorted or not unique");
    prev = *p;
    ++counted[p->byGroup];
  }
  uint64_t total = 0;
  for (uint32_t g = 0; g < groups; ++g) {
    const tagGROUPINFO* info = lib.GetGroup(g);
    Check(info->dwCount == counted[g], "group count wrong");
    total += info->dwCount;
    const struct {
      const char* field;
      size_t width;
    } fields[] = {{info->szName, sizeof(info->szName)},
                  {info->szEditor, sizeof(info->szEditor)},
                  {info->szRemark, sizeof(info->szRemark)}};
    for (const auto& f : fields) {
      size_t len = strnlen(f.field, f.width);
      Check(len < f.width, "group text without terminator");
      Check(AllZero(f.field + len, f.width - len), "group text not padded");
    }
  }
  Check(total == lib.m_arrPhrase.GetCount(), "counts do not sum to the store");
}

// ---- The library before the import ------------------------------------------

struct tagPRELOAD {
  bool bUsed;
  uint8_t byGroups, a, b, c, byBlocks;
  uint32_t nMax;  // phrases at most
};

void BuildLibrary(CTabrix& lib, const tagPRELOAD& pre, bool into) {
  if (!pre.bUsed) {
    if (!into) return;
    Check(lib.AddGroup("seed", "", "") == 0, "cannot add the first group");
    const char* seeds[] = {"", "a", "ab", "\xD6\xD0", "\xB4\xCA"};
    for (const char* s : seeds) lib.AddPhrase(s, 255, 7, 1, 0);
    return;
  }
  lib.m_arrPhrase.m_nBlockSize = StoreBlockSize(pre.byBlocks);
  const uint32_t nGroups = pre.byGroups == 0xFF ? TABRIX_MAX_GROUPS : 1 + pre.byGroups % 4;
  for (uint32_t g = 0; g < nGroups; ++g) {
    char name[16];
    snprintf(name, sizeof(name), "\xD7\xE9%u", g);
    Check(lib.AddGroup(name, "", "") == g, "cannot add a group");
  }
  const bool bShuffled = (pre.b & 0x20) != 0;
  uint32_t n = std::min(RunCount(pre.a, pre.b & 3), pre.nMax);
  if (bShuffled) n = std::min(n, kPreloadShuffled);
  const CTextRun run((pre.b & 0x10) ? RUN_RANDOM : RUN_ASCENDING, pre.b >> 6, pre.c, n,
                     MixSeed(pre.a, (uint32_t(pre.b) << 8) | pre.c));
  std::vector<uint32_t> order(n);
  for (uint32_t i = 0; i < n; ++i) order[i] = i;
  if (bShuffled) {
    CFuzzRandom r(pre.c);
    for (uint32_t i = n; i > 1; --i) std::swap(order[i - 1], order[r.Below(i)]);
  }
  for (uint32_t i : order) {
    const std::string text = run.Text(i);
    lib.AddPhrase(text.c_str(), 255, static_cast<uint8_t>(i % 251), 1,
                  static_cast<uint8_t>(i % nGroups));
  }
}

// ---- The encoded file ------------------------------------------------------

std::string Frequency(CFuzzRandom& r, uint8_t kind, uint8_t b, uint32_t i) {
  switch (kind & 3) {
    case 0:
      return std::to_string(r.Below(256));
    case 1:
      return std::to_string((b & 15) * 17);
    case 2: {
      static const char* const odd[] = {"+007",       "-3",  "99999999999", "",     "-2147483649",
                                        "4294967296", "12x", "+",           "0250", "251"};
      return odd[r.Below(10)];
    }
    default:
      return std::to_string(i % 300);
  }
}

std::string LineEnd(CFuzzRandom& r, uint8_t kind) {
  static const char* const ends[] = {"\n", "\r\n", "\r"};
  return ends[kind < 3 ? kind : r.Below(3)];
}

// Text of n bytes, GBK characters and ASCII; a character may be cut in half.
std::string Filler(CFuzzRandom& r, uint32_t n) {
  std::string s;
  while (s.size() < n) {
    if (r.Below(2)) {
      s += static_cast<char>(0xB0 + r.Below(72));
      s += static_cast<char>(0xA1 + r.Below(94));
    } else {
      s += static_cast<char>('a' + r.Below(26));
    }
  }
  s.resize(n);
  return s;
}

std::string SpecialLine(CFuzzRandom& r, uint8_t kind, const std::string& end) {
  static const char* const keys[] = {
      "\xC3\xFB\xB3\xC6=", "\xB1\xE0\xBC\xAD=", "\xB1\xB8\xD7\xA2="};  // 名称= 编辑= 备注=
  switch (kind & 7) {
    case 0:
      return "#" + Filler(r, r.Below(20)) + end;
    case 1:
      return (r.Below(2) ? std::string() : std::string(" \t", 1 + r.Below(2))) + end;
    case 2:
      return "@" + std::string(keys[0]) + Filler(r, r.Below(70)) + end;
    case 3:
      return "@" + std::string(keys[1 + r.Below(2)]) + Filler(r, r.Below(220)) + end;
    case 4:
      return "@" + Filler(r, r.Below(12)) + end;
    case 5:
      return Filler(r, 101 + r.Below(150)) + "\t" + std::to_string(r.Below(256)) + end;
    case 6:
      return Filler(r, r.Below(29)) + "\xB0" + (r.Below(2) ? " 5" : "") + end;
    default: {
      std::string s = Filler(r, r.Below(10));
      s += '\0';
      return s + Filler(r, r.Below(10)) + " 9" + end;
    }
  }
}

std::string DecodeFile(CFuzzInput& in, uint32_t nMaxLines) {
  std::vector<std::string> lines;
  size_t nBytes = 0;
  uint32_t nCommand = 0;
  auto add = [&](std::string line) {
    nBytes += line.size();
    lines.push_back(std::move(line));
  };
  while (!in.AtEnd() && lines.size() < nMaxLines && nBytes < kImportMaxBytes) {
    const uint8_t op = in.Byte();
    const uint8_t a = in.Byte();
    const uint8_t b = in.Byte();
    const uint8_t c = in.Byte();
    const uint64_t seed =
        MixSeed(nCommand++, (uint32_t(op) << 24) | (uint32_t(a) << 16) | (uint32_t(b) << 8) | c);
    CFuzzRandom r(seed);
    const uint32_t nRoom = nMaxLines - static_cast<uint32_t>(lines.size());
    switch (op & 7) {
      case 0:
      case 1:
      case 2: {
        const uint32_t n = std::min(RunCount(a, op >> 3), nRoom);
        const CTextRun run(op & 7, (op >> 5) & 3, b, n, seed);
        static const char* const separators[] = {"\t", " ", " \t  ", ""};
        for (uint32_t i = 0; i < n && nBytes < kImportMaxBytes; ++i) {
          std::string line;
          if ((c & 0x80) && r.Below(16) == 0) line += ' ';
          line += run.Text(i);
          if ((c & 3) != 3) line += separators[c & 3] + Frequency(r, c >> 2, b, i);
          if (c & 0x40) line += " x";
          add(line + LineEnd(r, (c >> 4) & 3));
        }
        break;
      }
      case 3: {
        if (lines.empty()) break;
        const size_t from = (size_t(b) * lines.size()) >> 8;
        const size_t span = lines.size() - from;
        const uint32_t n = std::min(RunCount(a, op >> 3), nRoom);
        for (uint32_t i = 0; i < n && nBytes < kImportMaxBytes; ++i) {
          add(std::string(lines[from + i % span]));
        }
        break;
      }
      case 4: {
        const uint32_t n = std::min<uint32_t>(a % 16 + 1, nRoom);
        for (uint32_t i = 0; i < n; ++i) add(SpecialLine(r, b, LineEnd(r, (c >> 4) & 3)));
        break;
      }
      case 5:
        add(in.Bytes(a));
        break;
      case 6: {
        if (lines.empty()) break;
        const size_t from = size_t(b) * lines.size() / 255;  // 255: none, padding for seeds
        for (size_t i = lines.size(); i > from + 1; --i) {
          std::swap(lines[i - 1], lines[from + r.Below(static_cast<uint32_t>(i - from))]);
        }
        break;
      }
      default: {
        if (lines.empty()) break;
        std::string& last = lines.back();
        last.resize(last.size() - std::min<size_t>(last.size(), a % 4 + 1));
        break;
      }
    }
  }
  std::string file;
  file.reserve(nBytes);
  for (const std::string& line : lines) file += line;
  return file;
}

// ---- The import and its reference ------------------------------------------

// The progress calls of one import: a begin with the file's length, a step
// with the bytes read after every line, one end.
struct tagPROGRESS {
  uint32_t nBegins = 0;
  uint32_t nSteps = 0;
  uint32_t nEnds = 0;
  int32_t nTotal = -1;
  int32_t nLast = 0;
  bool bBack = false;     // a step below the one before
  bool bOutside = false;  // a step before the begin, a call after the end, an unknown stage
};

void OnProgress(int32_t stage, int32_t value, void* data) {
  tagPROGRESS* p = static_cast<tagPROGRESS*>(data);
  if (p->nEnds > 0) p->bOutside = true;
  switch (stage) {
    case PROGRESS_BEGIN:
      ++p->nBegins;
      p->nTotal = value;
      break;
    case PROGRESS_STEP:
      if (p->nBegins == 0) p->bOutside = true;
      if (p->nSteps > 0 && value < p->nLast) p->bBack = true;
      p->nLast = value;
      ++p->nSteps;
      break;
    case PROGRESS_END:
      ++p->nEnds;
      break;
    default:
      p->bOutside = true;
      break;
  }
}

// What the import must give, as the editor once ran it: each accepted line
// through AddPhrase with the duplicate check, in file order, so that a text
// the library holds stays and of equal texts the first line wins; header
// lines set the new group's texts (pInfo; null for an import into a group).
tagIMPORTSTATS ExpectedImport(CStoreModel& model, tagGROUPINFO* pInfo, uint8_t g,
                              const std::string& bytes, const std::vector<tagLINE>& lines,
                              const tagIMPORTOPTIONS& opt) {
  static const char kKeyName[] = "\xC3\xFB\xB3\xC6=";    // 名称=
  static const char kKeyEditor[] = "\xB1\xE0\xBC\xAD=";  // 编辑=
  static const char kKeyRemark[] = "\xB1\xB8\xD7\xA2=";  // 备注=
  tagIMPORTSTATS stats = {};
  for (const tagLINE& l : lines) {
    const tagLINETEXT t(bytes, l);
    const char* line = t.text;
    ++stats.nLines;
    if (line[0] == '@') {
      ++stats.nHeaders;
      if (pInfo == nullptr) continue;
      if (strncmp(line + 1, kKeyName, 5) == 0) {
        CopyHeaderValue(pInfo->szName, sizeof(pInfo->szName), line + 6);
      } else if (strncmp(line + 1, kKeyEditor, 5) == 0) {
        CopyHeaderValue(pInfo->szEditor, sizeof(pInfo->szEditor), line + 6);
      } else if (strncmp(line + 1, kKeyRemark, 5) == 0) {
        CopyHeaderValue(pInfo->szRemark, sizeof(pInfo->szRemark), line + 6);
      }
      continue;
    }
    tagPHRASELINE split;
    SplitPhraseLine(line, t.len, &split);
    const char* text = line + split.nTextStart;
    const int64_t value = PhraseFrequencyValue(line + split.nFreqStart);
    if (value < 0 || value > 250) ++stats.nFreqReduced;
    const uint8_t freq = PhraseFrequency(line + split.nFreqStart);
    bool bText = split.nTextLen > 0;
    for (uint32_t k = 0; k < split.nTextLen; ++k)
      bText = bText && static_cast<uint8_t>(text[k]) >= 0x20 && text[k] != 0x7F;
    if (!bText) {
      ++stats.nControlOrEmpty;
    } else if (freq < opt.byMinFreq || freq > opt.byMaxFreq) {
      ++stats.nOutOfRange;
    } else if (split.nTextLen > TABRIX_MAX_PHRASE_LEN) {
      ++stats.nTooLong;
    } else if (model.Add(std::string(text, split.nTextLen), g, freq)) {
      ++stats.nAdded;
    } else {
      ++stats.nDuplicate;
    }
  }
  return stats;
}

// The group table's texts and ticks; the counts are the model's.
void CheckGroupTexts(CTabrix& lib, const std::vector<tagGROUPINFO>& groups) {
  Check(lib.GetGroupCount() == groups.size(), "wrong number of groups");
  for (uint32_t g = 0; g < lib.GetGroupCount(); ++g) {
    const tagGROUPINFO* info = lib.GetGroup(g);
    Check(memcmp(info, &groups[g], offsetof(tagGROUPINFO, dwCount)) == 0,
          "group texts differ from a line-by-line import");
    Check(info->bEnable == groups[g].bEnable, "group tick changed by an import");
  }
}

void CheckImport(const std::string& path, const std::string& bytes,
                 const std::vector<tagLINE>& lines, uint8_t mode, const tagPRELOAD& pre, uint8_t lo,
                 uint8_t hi) {
  const bool into = (mode & MODE_INTO) != 0;
  CTabrix lib;
  BuildLibrary(lib, pre, into);
  CheckInvariants(lib);
  const uint32_t groupsBefore = lib.GetGroupCount();
  const uint32_t phrasesBefore = lib.m_arrPhrase.GetCount();
  std::vector<tagGROUPINFO> groups;
  for (uint32_t i = 0; i < groupsBefore; ++i) groups.push_back(*lib.GetGroup(i));
  CStoreModel model(lib);

  tagIMPORTOPTIONS opt = DefaultImportOptions();
  opt.byMinFreq = lo;
  opt.byMaxFreq = hi;
  tagPROGRESS progress;
  opt.funProgress = OnProgress;
  opt.pProgressData = &progress;
  tagIMPORTSTATS stats;
  uint8_t g = 0;
  int result = into ? ImportToGroup(lib, 0, path.c_str(), opt, &stats)
                    : ImportNewGroup(lib, path.c_str(), opt, &g, &stats);
  if (!into && groupsBefore >= TABRIX_MAX_GROUPS) {
    // A full group table takes no new group: nothing changes.
    Check(result == IMPORT_GROUP_FAILED, "a group past the table's limit");
    Check(g == TABRIX_NO_GROUP, "a failed import names a group");
    Check(stats.nLines == 0 && stats.nAdded == 0, "a failed import counts lines");
    model.CheckAgainst(lib);
    CheckGroupTexts(lib, groups);
    return;
  }
  // An import that adds nothing leaves no new group and says so.
  const bool bNothing = stats.nAdded == 0;
  Check(result == (bNothing ? IMPORT_NOTHING_ADDED : IMPORT_OK), "import result wrong");
  Check(lib.GetGroupCount() == groupsBefore + (into || bNothing ? 0 : 1), "wrong number of groups");
  Check(into || g == (bNothing ? TABRIX_NO_GROUP : groupsBefore), "new group at the wrong index");

  Check(stats.nLines == lines.size(), "lines counted differ from the reader's");
  Check(stats.nLines == stats.nHeaders + stats.nAdded + stats.nDuplicate + stats.nTooLong +
                            stats.nOutOfRange + stats.nControlOrEmpty,
        "a line left unaccounted");
  Check(lib.m_arrPhrase.GetCount() == phrasesBefore + stats.nAdded, "added count differs");
  Check(progress.nBegins == 1 && progress.nEnds == 1, "progress not begun and ended once");
  Check(!progress.bOutside, "progress outside its begin and end");
  Check(progress.nTotal == static_cast<int32_t>(bytes.size()),
        "progress of a length not the file's");
  Check(progress.nSteps == stats.nLines, "progress not once per line");
  Check(!progress.bBack, "progress went back");
  Check(stats.nLines == 0 || progress.nLast == static_cast<int32_t>(bytes.size()),
        "progress ends in the wrong place");
  CheckInvariants(lib);

  tagGROUPINFO* pNew = nullptr;
  if (!into) {
    CGroupManager fresh;  // the new group as AddGroup makes it
    fresh.AddGroup(GroupTitleFromPath(path.c_str()).c_str(), "", "");
    groups.push_back(*fresh.GetGroup(0));
    pNew = &groups.back();
    model.AddGroup();
  }
  const uint8_t gWant = into ? 0 : static_cast<uint8_t>(groupsBefore);
  const tagIMPORTSTATS want = ExpectedImport(model, pNew, gWant, bytes, lines, opt);
  Check(stats.nHeaders == want.nHeaders && stats.nAdded == want.nAdded &&
            stats.nDuplicate == want.nDuplicate && stats.nTooLong == want.nTooLong &&
            stats.nOutOfRange == want.nOutOfRange &&
            stats.nControlOrEmpty == want.nControlOrEmpty &&
            stats.nFreqReduced == want.nFreqReduced,
        "statistics differ from a line-by-line import");
  if (!into && want.nAdded == 0) {
    groups.pop_back();
    model.RemoveLastGroup();
  }
  model.CheckAgainst(lib);
  CheckGroupTexts(lib, groups);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  CFuzzInput in(data, size);
  const uint8_t mode = in.Byte();
  const uint8_t lo = in.Byte();
  const uint8_t hi = in.Byte();
  const uint32_t nMax =
      static_cast<uint32_t>(std::min<uint64_t>(kImportMaxLines, uint64_t(kLinesPerByte) * size));
  tagPRELOAD pre = {false, 0, 0, 0, 0, 0, nMax};
  if (mode & MODE_LIBRARY) {
    pre.bUsed = true;
    pre.byGroups = in.Byte();
    pre.a = in.Byte();
    pre.b = in.Byte();
    pre.c = in.Byte();
    pre.byBlocks = in.Byte();
  }
  const std::string bytes = (mode & MODE_ENCODED) ? DecodeFile(in, nMax) : in.Bytes(in.Left());

  const std::string path = FuzzScratchDir() + "/input.txt";
  WriteScratchFile(path, bytes.data(), bytes.size());

  const uint32_t max = 1 + (mode >> 3);  // 1..32, small enough to cut lines often
  CheckReader(path, bytes, max, '#');
  CheckReader(path, bytes, IMPORT_MAX_LINE, '\0');
  CLineRules raw(bytes, IMPORT_MAX_LINE, '\0');
  for (tagLINE line; raw.Next(&line);) CheckSplit(tagLINETEXT(bytes, line));
  const std::vector<tagLINE> lines = ExpectedLines(bytes, IMPORT_MAX_LINE, '#');
  CheckImport(path, bytes, lines, mode, pre, lo, hi);
  return 0;
}
