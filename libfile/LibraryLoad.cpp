// Reading the library file. A load yields everything the file announces and
// checks it against the file's own bookkeeping (the phrase section's length
// and the offset index); a file that disagrees with itself is reported as
// damaged, never passed off as whole.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "FileHeader.h"
#include "FileIO.h"
#include "GroupRecord.h"
#include "LoadReport.h"
#include "LoadSink.h"
#include "Progress.h"
#include "Tabrix.h"

namespace {

// The smallest file bytes a record costs: its 3-byte head and its offset.
constexpr uint64_t kMinRecordBytes = TABRIX_PHRASE_HEAD_SIZE + TABRIX_INDEX_ENTRY_SIZE;

// A growing list of bytes that reports a failed allocation instead of
// throwing.
class CByteList {
 public:
  CByteList() : m_p(nullptr), m_n(0), m_nCapacity(0) {}
  ~CByteList() { std::free(m_p); }
  CByteList(const CByteList&) = delete;
  CByteList& operator=(const CByteList&) = delete;
  bool Reserve(size_t n) {
    if (n <= m_nCapacity) return true;
    void* p = std::realloc(m_p, n);
    if (p == nullptr) return false;
    m_p = static_cast<uint8_t*>(p);
    m_nCapacity = n;
    return true;
  }
  bool Add(uint8_t v) {
    if (m_n == m_nCapacity && !Reserve(m_nCapacity * 2 + 4096)) return false;
    m_p[m_n++] = v;
    return true;
  }
  size_t Count() const { return m_n; }
  uint8_t operator[](size_t i) const { return m_p[i]; }

 private:
  uint8_t* m_p;
  size_t m_n;
  size_t m_nCapacity;
};

void SetDamage(tagLOADREPORT& r, int nDamage) {
  r.nStatus = LOAD_DAMAGED;
  if (r.nDamage == DAMAGE_NONE) r.nDamage = nDamage;
}

// A damaged file read again as bytes, its records taken where its offset
// index puts them: a record whose length disagrees with the index is
// dropped, and the records around it survive. Used only when the index is
// plausible (starts at 0, rises, stays inside the section); otherwise the
// records read in order are all that can be had. True when it replaced them.
bool SalvageByIndex(CTabrix& library, const std::vector<uint8_t>& bytes, tagLOADREPORT& r) {
  const uint64_t nGroups = library.GetGroupCount();
  const uint64_t nSection = TABRIX_HEADER_SIZE + 1 + nGroups * TABRIX_GROUP_RECORD_SIZE + 4;
  const uint64_t n = r.nAnnounced;
  const uint64_t nSize = bytes.size();
  if (n == 0 || n > nSize / 4 || nSize - 4 * n < nSection) return false;
  const uint64_t nIndex = nSize - 4 * n;  // the index ends the file
  const uint64_t nLength = nIndex - nSection;
  uint64_t nPrev = 0;
  for (uint64_t i = 0; i < n; ++i) {
    const uint64_t o = GetU32(&bytes[nIndex + 4 * i]);
    if ((i == 0 && o != 0) || (i > 0 && o <= nPrev) || o + 3 > nLength) return false;
    nPrev = o;
  }

  library.FreePhrases();
  tagLOADREPORT fresh = r;
  fresh.nDropDuplicate = fresh.nDropNoGroup = fresh.nDropBadLength = fresh.nDropDamaged = 0;
  fresh.nRead = n;
  CLoadSink sink(library, fresh);
  for (uint64_t i = 0; i < n; ++i) {
    const uint64_t o = GetU32(&bytes[nIndex + 4 * i]);
    const uint64_t end = i + 1 < n ? GetU32(&bytes[nIndex + 4 * (i + 1)]) : nLength;
    const uint8_t* p = &bytes[nSection + o];
    if (TABRIX_PHRASE_HEAD_SIZE + p[2] != end - o) {
      ++fresh.nDropDamaged;
      continue;
    }
    if (!sink.Add(p[0], p[1], reinterpret_cast<const char*>(p + 3), p[2])) return false;
  }
  if (!sink.Finish()) return false;
  r = fresh;
  return true;
}

bool ReadAllBytes(const char* path, std::vector<uint8_t>* pBytes) {
  CFileReader file;
  if (!file.Open(path)) return false;
  const uint64_t nSize = file.GetSize();
  if (nSize > SIZE_MAX) return false;
  pBytes->resize(static_cast<size_t>(nSize));
  return nSize == 0 || file.Read(pBytes->data(), static_cast<size_t>(nSize));
}

}  // namespace

const char* DamageName(int nDamage) {
  switch (nDamage) {
    case DAMAGE_NONE:
      return "none";
    case DAMAGE_GROUP_TABLE:
      return "the file ends inside the group table";
    case DAMAGE_TRUNCATED:
      return "the file ends before the phrases its groups announce";
    case DAMAGE_PHRASE_BYTES:
      return "the phrase records disagree with the phrase section's length";
    case DAMAGE_INDEX:
      return "the phrase index disagrees with the phrase records";
    case DAMAGE_TRAILING:
      return "unexpected bytes after the phrase index";
    default:
      return "unknown damage";
  }
}

int CGroupManager::ReadGroups(CFileReader& file) {
  uint8_t nGroups = 0;
  // A file that ends before the count byte has no groups (a bare header).
  if (!file.Read(&nGroups, 1)) return 1;
  uint8_t record[TABRIX_GROUP_RECORD_SIZE];
  for (uint32_t i = 0; i < nGroups; ++i) {
    if (!file.Read(record, sizeof(record))) return 0;
    // Kept as stored, even beyond the 127 groups that AddGroup allows.
    tagGROUPINFO group;
    DecodeGroupRecord(record, &group);
    if (m_arrGroup.Add(group) < 0) return 0;
  }
  return 1;
}

int CTabrix::ReadBody(CFileReader& file, tagLOADREPORT* pReport) {
  tagLOADREPORT local = {};
  tagLOADREPORT& r = pReport ? *pReport : local;
  if (!ReadGroups(file)) {
    FreePhrases();
    SetDamage(r, DAMAGE_GROUP_TABLE);
    return 0;
  }

  // The phrase count is the sum of the stored group counts; the counts are
  // then rebuilt from the phrases actually stored.
  const uint64_t nTotal = TakeGroupCounts();
  r.nAnnounced = nTotal;

  uint8_t size[4];
  if (!file.Read(size, sizeof(size))) {
    // A table with no phrase section is an empty library, as a bare header is.
    if (nTotal == 0) return 1;
    SetDamage(r, DAMAGE_TRUNCATED);
    return 0;
  }
  const uint32_t nPhraseBytes = GetU32(size);

  // Room for as many records as the file can hold, not as many as it
  // claims: the counts may be absurd.
  const uint64_t nRoom = file.GetSize() / kMinRecordBytes;
  const uint64_t nExpected = nTotal < nRoom ? nTotal : nRoom;
  CByteList lengths;  // of the records read, to check the index
  CLoadSink sink(*this, r);
  lengths.Reserve(static_cast<size_t>(nExpected));
  sink.Reserve(static_cast<size_t>(nExpected));

  CProgressReporter progress(m_funProgress, m_pProgressData);
  progress.Begin(nTotal);
  bool bMemory = true;
  uint64_t nSection = 0;  // bytes of the records read
  for (uint64_t i = 0; i < nTotal; ++i) {
    uint8_t head[TABRIX_PHRASE_HEAD_SIZE];  // byGroup, byFreq, cLen
    char text[256];                         // room for any length byte
    // Records are taken straight from the reader's buffer where it holds
    // them whole, and copied out only across a refill.
    const uint8_t* pHead = file.Take(sizeof(head));
    if (pHead != nullptr) {
      memcpy(head, pHead, sizeof(head));
    } else if (!file.Read(head, sizeof(head))) {
      SetDamage(r, DAMAGE_TRUNCATED);
      break;
    }
    const char* pText = reinterpret_cast<const char*>(file.Take(head[2]));
    if (pText == nullptr) {
      if (!file.Read(text, head[2])) {
        SetDamage(r, DAMAGE_TRUNCATED);
        break;
      }
      pText = text;
    }
    // A record past the section's stated end is not a record: the counts
    // or a length byte are wrong, and what follows is the index or garbage.
    if (nSection + TABRIX_PHRASE_HEAD_SIZE + head[2] > nPhraseBytes) {
      SetDamage(r, DAMAGE_PHRASE_BYTES);
      break;
    }
    ++r.nRead;
    nSection += TABRIX_PHRASE_HEAD_SIZE + head[2];
    if (!lengths.Add(head[2]) || !sink.Add(head[0], head[1], pText, head[2])) {
      bMemory = false;
      break;
    }
    progress.Step(i);
  }

  if (bMemory && r.nStatus == LOAD_WHOLE && nSection != nPhraseBytes) {
    SetDamage(r, DAMAGE_PHRASE_BYTES);
  }
  // The index: one offset per record, each where the records before it end.
  if (bMemory && r.nStatus == LOAD_WHOLE) {
    uint32_t nOffset = 0;
    for (size_t k = 0; k < lengths.Count(); ++k) {
      const uint8_t nLength = lengths[k];
      uint8_t bytes[4];
      const uint8_t* p = file.Take(4);
      if (p == nullptr) {
        if (!file.Read(bytes, 4)) {
          SetDamage(r, DAMAGE_INDEX);
          break;
        }
        p = bytes;
      }
      if (GetU32(p) != nOffset) {
        SetDamage(r, DAMAGE_INDEX);
        break;
      }
      nOffset += TABRIX_PHRASE_HEAD_SIZE + nLength;
    }
  }
  if (bMemory && r.nStatus == LOAD_WHOLE && file.Skip(1)) SetDamage(r, DAMAGE_TRAILING);

  if (bMemory) bMemory = sink.Finish();
  progress.End();
  if (!bMemory) {
    r.nStatus = LOAD_NO_MEMORY;
    return 0;
  }
  r.nKept = m_arrPhrase.GetCount();
  return r.nStatus == LOAD_WHOLE ? 1 : 0;
}

int CTabrix::Load(const char* path, tagLOADREPORT* pReport) {
  tagLOADREPORT local = {};
  tagLOADREPORT& r = pReport ? *pReport : local;
  r = tagLOADREPORT{};
  Free();
  CFileReader file;
  if (!path || !file.Open(path)) {
    r.nOpenError = path ? errno : EINVAL;
    r.nStatus = file.IsNotRegular() ? LOAD_NOT_REGULAR : LOAD_UNREADABLE;
    return 0;
  }
  uint8_t header[TABRIX_HEADER_SIZE];
  if (!ReadFileHeader(file, TABRIX_FILE_TYPE, TABRIX_FILE_MAJOR, TABRIX_FILE_MINOR, &r.dwStamp,
                      header)) {
    r.nStatus = LOAD_NOT_LIBRARY;
    return 0;
  }
  r.wMajor = GetU16(header + 4);
  r.wMinor = GetU16(header + 6);
  if (ReadBody(file, &r)) return 1;
  file.Close();
  if (r.nStatus == LOAD_DAMAGED && pReport != nullptr) {
    // The caller asked to hear of damage: it keeps what can be recovered.
    if (r.nDamage != DAMAGE_GROUP_TABLE) {
      std::vector<uint8_t> bytes;
      if (ReadAllBytes(path, &bytes)) SalvageByIndex(*this, bytes, r);
    }
    r.nKept = m_arrPhrase.GetCount();
    return 0;
  }
  // A partial library must not pass for the whole.
  Free();
  r.nKept = 0;
  return 0;
}
