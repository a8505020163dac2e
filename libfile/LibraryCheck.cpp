#include "LibraryCheck.h"

#include <cstring>
#include <unordered_map>

#include "FileHeader.h"
#include "FileIO.h"
#include "GroupRecord.h"
#include "PhraseRecords.h"

namespace {

// Layout of the file after the header.
enum : size_t {
  kGroupTable = TABRIX_HEADER_SIZE,  // the count byte
  kGroupSize = TABRIX_GROUP_RECORD_SIZE,
  kRecordHead = TABRIX_PHRASE_HEAD_SIZE,
  kIndexEntry = TABRIX_INDEX_ENTRY_SIZE
};

struct tagRECORD {
  size_t nOffset;
  uint8_t byGroup;
  uint8_t cLen;
};

// Phrase records from pos while whole records fit below end (end <= size),
// at most maxCount of them. Returns the position after the last whole one;
// *pCut is set when a record starts below end but does not fit.
size_t WalkRecords(const uint8_t* data, size_t pos, size_t end, uint64_t maxCount,
                   std::vector<tagRECORD>* recs, bool* pCut) {
  recs->clear();
  *pCut = false;
  while (pos < end && recs->size() < maxCount) {
    if (end - pos < kRecordHead || end - pos - kRecordHead < data[pos + 2]) {
      *pCut = true;
      break;
    }
    recs->push_back(tagRECORD{pos, data[pos], data[pos + 2]});
    pos += kRecordHead + data[pos + 2];
  }
  return pos;
}

class CChecker {
 public:
  CChecker(const uint8_t* data, size_t size, tagCHECKREPORT* report)
      : m_pData(data), m_nSize(size), m_pReport(report) {}

  void Run();

 private:
  void Add(uint64_t offset, CheckKind kind, const std::string& message,
           const std::string& text = std::string());
  bool CheckHeader();
  static size_t GroupAt(uint32_t g) { return kGroupTable + 1 + size_t(g) * kGroupSize; }
  void ReadGroups(uint32_t groups);
  void CheckGroups();
  void CheckField(const char* field, size_t width, uint64_t offset, const char* what,
                  uint32_t group);
  void FindSection(size_t base, uint32_t phraseBytes, uint64_t total);
  void CheckRecords(uint32_t groups);
  void CheckCounts(uint32_t groups, size_t tableEnd, uint64_t total);
  void CheckIndex(size_t base);

  const uint8_t* m_pData;
  size_t m_nSize;
  tagCHECKREPORT* m_pReport;
  uint32_t m_arrListed[CHECK_KIND_COUNT] = {};
  std::vector<tagGROUPINFO> m_arrGroups;
  std::vector<tagRECORD> m_arrRecords;
  size_t m_nSectionEnd = 0;  // after the last record: where the index starts
};

void CChecker::Add(uint64_t offset, CheckKind kind, const std::string& message,
                   const std::string& text) {
  if (m_arrListed[kind] >= CHECK_LIST_LIMIT) {
    ++m_pReport->nNotListed;
    return;
  }
  ++m_arrListed[kind];
  m_pReport->arrFindings.push_back(tagCHECKFINDING{offset, kind, message, text});
}

std::string Num(uint64_t v) { return std::to_string(v); }

bool CChecker::CheckHeader() {
  m_pReport->bHeader = DecodeFileHeader(m_pData, m_nSize, &m_pReport->header);
  if (!m_pReport->bHeader) {
    Add(0, CHECK_HEADER_SHORT,
        "the file holds " + Num(m_nSize) + " bytes, fewer than the 12-byte header");
    return false;
  }
  const tagLIBHEADER& h = m_pReport->header;
  bool ok = true;
  if (h.wMagic != TABRIX_FILE_MAGIC) {
    Add(0, CHECK_HEADER_MAGIC, "the file does not start with the library mark 4B 58");
    ok = false;
  }
  if (h.wType != TABRIX_FILE_TYPE) {
    Add(2, CHECK_HEADER_TYPE,
        "file type " + Num(h.wType) + " is not a phrase library (" + Num(TABRIX_FILE_TYPE) + ")");
    ok = false;
  }
  if (h.wMajor < TABRIX_FILE_MAJOR || h.wMinor < TABRIX_FILE_MINOR) {
    Add(h.wMajor < TABRIX_FILE_MAJOR ? 4 : 6, CHECK_HEADER_VERSION,
        "version " + Num(h.wMajor) + "." + Num(h.wMinor) + " is older than " +
            Num(TABRIX_FILE_MAJOR) + "." + Num(TABRIX_FILE_MINOR));
    ok = false;
  }
  return ok;
}

void CChecker::CheckField(const char* field, size_t width, uint64_t offset, const char* what,
                          uint32_t group) {
  const void* nul = memchr(field, 0, width);
  if (nul == nullptr) {
    Add(offset, CHECK_FIELD_UNTERMINATED,
        std::string("group ") + Num(group) + ": the " + what + " has no terminator in its " +
            Num(width) + " bytes");
    return;
  }
  for (size_t i = static_cast<size_t>(static_cast<const char*>(nul) - field) + 1; i < width; ++i) {
    if (field[i] != 0) {
      Add(offset + i, CHECK_FIELD_PADDING,
          std::string("group ") + Num(group) + ": nonzero byte after the " + what +
              "'s terminator");
      return;
    }
  }
}

// The group table, decoded as the loader decodes it.
void CChecker::ReadGroups(uint32_t groups) {
  m_arrGroups.resize(groups);
  for (uint32_t g = 0; g < groups; ++g) DecodeGroupRecord(m_pData + GroupAt(g), &m_arrGroups[g]);
}

void CChecker::CheckGroups() {
  for (uint32_t g = 0; g < m_arrGroups.size(); ++g) {
    const tagGROUPINFO& group = m_arrGroups[g];
    const size_t rec = GroupAt(g);
    CheckField(group.szName, sizeof(group.szName), rec + offsetof(tagGROUPINFO, szName), "name", g);
    CheckField(group.szEditor, sizeof(group.szEditor), rec + offsetof(tagGROUPINFO, szEditor),
               "editor", g);
    CheckField(group.szRemark, sizeof(group.szRemark), rec + offsetof(tagGROUPINFO, szRemark),
               "remark", g);
    const uint32_t enable = static_cast<uint32_t>(group.bEnable);
    if (enable > 1) {
      Add(rec + offsetof(tagGROUPINFO, bEnable), CHECK_TICK_FLAG,
          "group " + Num(g) + ": tick flag " + Num(enable) + " is neither 0 nor 1");
    }
  }
}

// Where do the records end? phraseBytes, the counts and the index each tell,
// and any of them may be the damaged one. A layout where the index exactly
// fills the rest of the file is believed first.
void CChecker::FindSection(size_t base, uint32_t phraseBytes, uint64_t total) {
  std::vector<tagRECORD> byBytes, byCounts;
  bool cutBytes = false, cutCounts = false;
  bool bytesFit = m_nSize - base >= phraseBytes;
  size_t endBytes = WalkRecords(m_pData, base, bytesFit ? base + phraseBytes : m_nSize, UINT64_MAX,
                                &byBytes, &cutBytes);
  bool bytesLand = bytesFit && !cutBytes && endBytes == base + phraseBytes;
  size_t endCounts = WalkRecords(m_pData, base, m_nSize, total, &byCounts, &cutCounts);
  bool countsLand = byCounts.size() == total;
  auto indexFills = [this](size_t end, size_t n) {
    return (m_nSize - end) / kIndexEntry == n && (m_nSize - end) % kIndexEntry == 0;
  };
  auto take = [this](std::vector<tagRECORD>* recs, size_t end) {
    m_arrRecords.swap(*recs);
    m_nSectionEnd = end;
  };
  if (bytesLand && indexFills(endBytes, byBytes.size())) return take(&byBytes, endBytes);
  if (countsLand && indexFills(endCounts, byCounts.size())) return take(&byCounts, endCounts);
  // The index alone: the first record boundary after which the rest of the
  // file is exactly one offset per record so far.
  {
    std::vector<tagRECORD> recs;
    size_t pos = base;
    while (true) {
      if (indexFills(pos, recs.size())) return take(&recs, pos);
      if (m_nSize - pos < kRecordHead || m_nSize - pos - kRecordHead < m_pData[pos + 2]) break;
      recs.push_back(tagRECORD{pos, m_pData[pos], m_pData[pos + 2]});
      pos += kRecordHead + m_pData[pos + 2];
    }
  }
  if (bytesLand) return take(&byBytes, endBytes);
  if (countsLand) return take(&byCounts, endCounts);
  // Nothing agrees: take what phraseBytes covers, and say where a record is cut.
  if (cutBytes) {
    size_t at = endBytes;
    Add(at, CHECK_RECORD_TRUNCATED,
        "the record at " + Num(at) + " runs past the end of the " +
            (bytesFit ? std::string("phrase section") : std::string("file")));
  }
  take(&byBytes, endBytes);
}

void CChecker::CheckRecords(uint32_t groups) {
  std::unordered_map<std::string, size_t> seen;
  seen.reserve(m_arrRecords.size());
  const tagRECORD* prev = nullptr;
  tagPHRASE2 prevPhrase = {}, phrase = {};
  for (const tagRECORD& r : m_arrRecords) {
    const char* text = reinterpret_cast<const char*>(m_pData + r.nOffset + kRecordHead);
    std::string shown(text, r.cLen);
    if (r.byGroup >= groups) {
      Add(r.nOffset, CHECK_GROUP_BYTE,
          "group byte " + Num(r.byGroup) + " names no group (the table holds " + Num(groups) + ")",
          shown);
    }
    if (r.cLen > TABRIX_MAX_PHRASE_LEN) {
      Add(r.nOffset + 2, CHECK_TEXT_TOO_LONG,
          "text of " + Num(r.cLen) + " bytes is longer than " + Num(TABRIX_MAX_PHRASE_LEN), shown);
      continue;  // the loader drops it: no part in order or duplicates
    }
    const void* nul = memchr(text, 0, r.cLen);
    if (nul != nullptr) {
      size_t at = static_cast<size_t>(static_cast<const char*>(nul) - text);
      Add(r.nOffset + kRecordHead + at, CHECK_TEXT_NUL, "NUL byte inside the text", shown);
    }
    memset(&phrase, 0, sizeof phrase);
    memcpy(phrase.szWord, text, r.cLen);
    std::string key(phrase.szWord);  // the store compares up to the NUL
    auto ins = seen.emplace(key, r.nOffset);
    if (!ins.second) {
      Add(r.nOffset, CHECK_DUPLICATE,
          "same text as the record at " + Num(ins.first->second) + " (the loader keeps the first)",
          key);
    } else if (prev != nullptr && ComparePhrase(&prevPhrase, &phrase, nullptr) > 0) {
      Add(r.nOffset, CHECK_TEXT_ORDER, "text sorts before the one at " + Num(prev->nOffset), key);
    }
    prev = &r;
    prevPhrase = phrase;
  }
}

void CChecker::CheckCounts(uint32_t groups, size_t tableEnd, uint64_t total) {
  std::vector<uint64_t> present(groups, 0);
  for (const tagRECORD& r : m_arrRecords) {
    if (r.byGroup < groups) ++present[r.byGroup];
  }
  for (uint32_t g = 0; g < groups; ++g) {
    const size_t at = GroupAt(g) + offsetof(tagGROUPINFO, dwCount);
    const uint32_t stored = m_arrGroups[g].dwCount;
    if (stored != present[g]) {
      Add(at, CHECK_GROUP_COUNT,
          "group " + Num(g) + ": stored count " + Num(stored) + ", records present " +
              Num(present[g]));
    }
  }
  if (total != m_arrRecords.size()) {
    Add(tableEnd, CHECK_RECORD_TOTAL,
        "the group counts add up to " + Num(total) + " but " + Num(m_arrRecords.size()) +
            " records are present; the loader reads " + Num(total));
  }
}

void CChecker::CheckIndex(size_t base) {
  size_t start = m_nSectionEnd;
  size_t n = m_arrRecords.size();
  size_t room = (m_nSize - start) / kIndexEntry;
  size_t have = room < n ? room : n;
  for (size_t i = 0; i < have; ++i) {
    size_t at = start + i * kIndexEntry;
    uint32_t stored = GetU32(m_pData + at);
    uint64_t want = m_arrRecords[i].nOffset - base;
    if (stored != want) {
      Add(at, CHECK_INDEX_ENTRY,
          "index entry " + Num(i) + " holds " + Num(stored) + ", the record is at " + Num(want));
    }
  }
  size_t indexEnd = start + have * kIndexEntry;
  if (have < n) {
    Add(indexEnd, CHECK_INDEX_SHORT,
        "the file ends with " + Num(have) + " of " + Num(n) + " index entries");
  } else if (indexEnd < m_nSize) {
    Add(indexEnd, CHECK_TRAILING_BYTES, Num(m_nSize - indexEnd) + " bytes after the index");
  }
}

void CChecker::Run() {
  if (!CheckHeader()) {
    m_pReport->nStatus = CHECK_UNREADABLE;
    return;
  }
  m_pReport->nStatus = CHECK_FINDINGS;  // lowered to clean at the end when nothing was found
  if (m_nSize <= kGroupTable) {
    Add(kGroupTable, CHECK_GROUP_TABLE_SHORT, "the file ends after the header: no group count");
    return;
  }
  uint32_t groups = m_pData[kGroupTable];
  m_pReport->nGroups = groups;
  if (groups > TABRIX_MAX_GROUPS) {
    Add(kGroupTable, CHECK_GROUP_LIMIT,
        Num(groups) + " groups, more than " + Num(TABRIX_MAX_GROUPS));
  }
  size_t tableEnd = kGroupTable + 1 + static_cast<size_t>(groups) * kGroupSize;
  if (m_nSize < tableEnd) {
    Add(m_nSize, CHECK_GROUP_TABLE_SHORT,
        "the file ends inside the group table of " + Num(groups) + " groups (" +
            Num(tableEnd - kGroupTable) + " bytes)");
    return;
  }
  ReadGroups(groups);
  CheckGroups();
  uint64_t total = 0;
  for (const tagGROUPINFO& group : m_arrGroups) total += group.dwCount;
  if (m_nSize - tableEnd < 4) {
    Add(tableEnd, CHECK_PHRASE_BYTES, "the file ends before phraseBytes");
    if (total != 0) {
      Add(tableEnd, CHECK_RECORD_TOTAL,
          "the group counts add up to " + Num(total) + " but no records are present");
    }
    return;
  }
  uint32_t phraseBytes = GetU32(m_pData + tableEnd);
  size_t base = tableEnd + 4;
  FindSection(base, phraseBytes, total);
  m_pReport->nRecords = static_cast<uint32_t>(m_arrRecords.size());
  if (phraseBytes != m_nSectionEnd - base) {
    Add(tableEnd, CHECK_PHRASE_BYTES,
        "phraseBytes is " + Num(phraseBytes) + ", the records take " + Num(m_nSectionEnd - base));
  }
  CheckRecords(groups);
  CheckCounts(groups, tableEnd, total);
  CheckIndex(base);
}

}  // namespace

void CheckLibraryBytes(const uint8_t* data, size_t size, tagCHECKREPORT* report) {
  report->nStatus = CHECK_CLEAN;
  report->bHeader = false;
  report->header = tagLIBHEADER{};
  report->nGroups = 0;
  report->nRecords = 0;
  report->nSize = size;
  report->arrFindings.clear();
  report->nNotListed = 0;
  CChecker checker(data, size, report);
  checker.Run();
  if (report->nStatus == CHECK_FINDINGS && report->arrFindings.empty() && report->nNotListed == 0) {
    report->nStatus = CHECK_CLEAN;
  }
}

const char* CheckKindName(CheckKind kind) {
  static const char* const kNames[CHECK_KIND_COUNT] = {
      "header-short",     "header-magic",      "header-type",        "header-version",
      "group-limit",      "group-table-short", "field-unterminated", "field-padding",
      "tick-flag",        "phrase-bytes",      "group-count",        "record-total",
      "record-truncated", "text-too-long",     "text-nul",           "group-byte",
      "text-order",       "duplicate",         "index-short",        "index-entry",
      "trailing-bytes"};
  return kind >= 0 && kind < CHECK_KIND_COUNT ? kNames[kind] : "unknown";
}
