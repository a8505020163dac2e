// libFuzzer harness for the text import: arbitrary bytes as a phrase-list
// file go through the line reader (checked against a plain restatement of its
// line rules), the phrase-line split, and both imports into a fresh library,
// which must keep its invariants and account for every line.
//
// The first input byte picks the run: bit 0 into-group import, bit 1 a library
// that already holds phrases, bits 2..7 the line length of the reader check.
// The second and third bytes are the frequency range.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "PhraseImport.h"
#include "Tabrix.h"
#include "TxtLineReader.h"

#include "FuzzSupport.h"

const char* const kFuzzHarnessName = "fuzz_import";

namespace {

// The raw lines of bytes as the reader cuts them: LF ends a line, CR ends it
// and drops the byte after it, max bytes end it, the file's end ends the last.
std::vector<std::string> RawLines(const std::string& bytes, size_t max) {
  std::vector<std::string> lines;
  size_t i = 0;
  while (i < bytes.size()) {
    std::string line;
    while (line.size() < max && i < bytes.size()) {
      char c = bytes[i++];
      if (c == '\n') break;
      if (c == '\r') {
        ++i;
        break;
      }
      line += c;
    }
    lines.push_back(line.substr(0, strlen(line.c_str())));  // as the caller sees it
  }
  return lines;
}

// The lines ReadLine hands out: raw lines that are neither empty nor comments.
std::vector<std::string> ExpectedLines(const std::string& bytes, size_t max, char comment) {
  std::vector<std::string> kept;
  for (const std::string& line : RawLines(bytes, max)) {
    if (comment != 0 && (line.empty() || line[0] == comment)) continue;
    kept.push_back(line);
  }
  return kept;
}

void CheckReader(const std::string& path, const std::string& bytes, uint32_t max, char comment) {
  CTxtLineReader reader(comment);
  Check(reader.Open(path.c_str()) != 0, "reader cannot open the scratch file");
  Check(reader.GetLength() == bytes.size(), "length is not the file's");
  std::vector<std::string> expected = ExpectedLines(bytes, max, comment);
  std::vector<char> buffer(max + 1);
  size_t n = 0;
  uint64_t lastPosition = 0;
  while (char* line = reader.ReadLine(buffer.data(), max)) {
    Check(n < expected.size(), "more lines than the rules give");
    Check(expected[n] == line, "a line differs from the rules");
    Check(reader.GetPosition() >= lastPosition, "position went back");
    Check(reader.GetPosition() <= bytes.size(), "position beyond the end");
    lastPosition = reader.GetPosition();
    ++n;
  }
  Check(n == expected.size(), "fewer lines than the rules give");
  Check(reader.GetPosition() == bytes.size(), "end not at the file's length");
  Check(reader.ReadLine(buffer.data(), max) == nullptr, "a line after the end");
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void CheckSplit(const std::string& line) {
  tagPHRASELINE split;
  SplitPhraseLine(line.data(), static_cast<uint32_t>(line.size()), &split);
  Check(split.nTextLen <= split.nFreqStart, "frequency field before the text's end");
  Check(split.nFreqStart <= line.size(), "frequency field beyond the line");
  if (split.nTextLen < line.size()) {
    Check(IsBlank(line[split.nTextLen]), "text ended by something but a blank");
    for (size_t k = split.nTextLen; k < split.nFreqStart; ++k) {
      Check(IsBlank(line[k]), "frequency field after a non-blank");
    }
    Check(split.nFreqStart == line.size() || !IsBlank(line[split.nFreqStart]),
          "blanks left before the frequency");
  } else {
    Check(split.nFreqStart == line.size(), "no text end but a frequency field");
  }
  Check(PhraseFrequency(line.c_str() + split.nFreqStart) <= 250, "frequency above 250");
  RangeFieldValue(line.c_str());
}

void CheckInvariants(CTabrix& lib) {
  const uint32_t groups = lib.GetGroupCount();
  std::vector<uint32_t> counted(groups, 0);
  for (uint32_t i = 0; i < lib.m_arrPhrase.GetCount(); ++i) {
    const tagPHRASE2* p = lib.m_arrPhrase.GetAt(i);
    Check(p->byGroup < groups, "phrase names no group");
    Check(p->cLen <= TABRIX_MAX_PHRASE_LEN, "phrase longer than 30 bytes");
    Check(p->byFreq <= 250, "frequency above 250");
    for (size_t k = 0; k < p->cLen; ++k) Check(p->szWord[k] != 0, "NUL inside a text");
    for (size_t k = p->cLen; k < sizeof(p->szWord); ++k)
      Check(p->szWord[k] == 0, "text not padded");
    if (i > 0) {
      Check(ComparePhrase(lib.m_arrPhrase.GetAt(i - 1), p, nullptr) < 0,
            "store not sorted or not unique");
    }
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
      for (size_t k = len; k < f.width; ++k) Check(f.field[k] == 0, "group text not padded");
    }
  }
  Check(total == lib.m_arrPhrase.GetCount(), "counts do not sum to the store");
}

struct tagPROGRESS {
  uint64_t nCalls;
  uint64_t nLast;
  uint64_t nLength;
  bool bBack;
};

void OnProgress(uint64_t length, uint64_t position, void* data) {
  tagPROGRESS* p = static_cast<tagPROGRESS*>(data);
  if (p->nCalls > 0 && position < p->nLast) p->bBack = true;
  p->nLength = length;
  p->nLast = position;
  ++p->nCalls;
}

void CheckImport(const std::string& path, const std::string& bytes, uint8_t mode, uint8_t lo,
                 uint8_t hi) {
  CTabrix lib;
  const bool into = (mode & 1) != 0;
  if ((mode & 2) != 0 || into) {
    Check(lib.AddGroup("seed", "", "") == 0, "cannot add the first group");
    const char* seeds[] = {"", "a", "ab", "\xD6\xD0", "\xB4\xCA"};
    for (const char* s : seeds) lib.AddPhrase(s, 255, 7, 1, 0);
  }
  const uint32_t groupsBefore = lib.GetGroupCount();
  const uint32_t phrasesBefore = lib.m_arrPhrase.GetCount();

  tagIMPORTOPTIONS opt = DefaultImportOptions();
  opt.byMinFreq = lo;
  opt.byMaxFreq = hi;
  tagPROGRESS progress = {0, 0, 0, false};
  opt.funProgress = OnProgress;
  opt.pProgressData = &progress;
  tagIMPORTSTATS stats;
  uint8_t g = 0;
  int result = into ? ImportToGroup(lib, 0, path.c_str(), opt, &stats)
                    : ImportNewGroup(lib, path.c_str(), opt, &g, &stats);
  Check(result == IMPORT_OK, "import failed");
  Check(lib.GetGroupCount() == groupsBefore + (into ? 0 : 1), "wrong number of groups");
  Check(into || g == groupsBefore, "new group at the wrong index");

  const size_t lines = ExpectedLines(bytes, IMPORT_MAX_LINE, '#').size();
  Check(stats.nLines == lines, "lines counted differ from the reader's");
  Check(stats.nLines ==
            stats.nHeaders + stats.nAdded + stats.nDuplicate + stats.nTooLong + stats.nOutOfRange,
        "a line left unaccounted");
  Check(lib.m_arrPhrase.GetCount() == phrasesBefore + stats.nAdded, "added count differs");
  Check(progress.nCalls == stats.nLines + 1, "progress not once per line");
  Check(!progress.bBack, "progress went back");
  // Without a line there is only the report before the first line.
  Check(progress.nLength == bytes.size(), "progress with a length not the file's");
  Check(progress.nLast == (stats.nLines > 0 ? bytes.size() : 0),
        "progress ends in the wrong place");
  CheckInvariants(lib);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const uint8_t mode = data[0];
  const uint8_t lo = data[1];
  const uint8_t hi = data[2];
  const std::string bytes(reinterpret_cast<const char*>(data) + 3, size - 3);

  const std::string path = FuzzScratchDir() + "/input.txt";
  FILE* f = fopen(path.c_str(), "wb");
  Check(f != nullptr, "cannot write the scratch file");
  Check(bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size(),
        "cannot write the scratch file");
  fclose(f);

  const uint32_t max = 1 + (mode >> 2);  // 1..64, small enough to cut lines often
  CheckReader(path, bytes, max, '#');
  CheckReader(path, bytes, IMPORT_MAX_LINE, '\0');
  for (const std::string& line : RawLines(bytes, IMPORT_MAX_LINE)) CheckSplit(line);
  CheckImport(path, bytes, mode, lo, hi);
  return 0;
}
