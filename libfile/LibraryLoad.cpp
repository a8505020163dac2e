// Reading the library file. A load either yields everything the file
// announces or fails and leaves the library empty.
#include <cstdint>
#include <cstring>

#include "FileHeader.h"
#include "FileIO.h"
#include "GroupRecord.h"
#include "Tabrix.h"

namespace {

void ReportProgress(const CTabrix& library, int32_t stage, int32_t value) {
  if (library.m_funProgress) library.m_funProgress(stage, value, library.m_pProgressData);
}

int32_t ProgressValue(uint64_t value) {
  return value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}

}  // namespace

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

int CTabrix::ReadBody(CFileReader& file) {
  if (!ReadGroups(file)) return 0;

  // The phrase count is the sum of the stored group counts; summed wide so
  // that absurd counts cannot wrap around to a small number.
  uint64_t nTotal = 0;
  const uint32_t nGroups = GetGroupCount();
  for (uint32_t i = 0; i < nGroups; ++i) nTotal += GetGroup(i)->dwCount;

  // phraseBytes is not used. A file that ends here holds no records, which
  // the loop below notices when some were announced.
  file.Skip(4);

  ReportProgress(*this, 0, ProgressValue(nTotal));
  for (uint32_t i = 0; i < nGroups; ++i) GetGroup(i)->dwCount = 0;

  int nOk = 1;
  for (uint64_t i = 0; i < nTotal; ++i) {
    uint8_t head[3];  // byGroup, byFreq, cLen
    char text[256];   // room for any length byte
    // Records are taken straight from the reader's buffer where it holds
    // them whole, and copied out only across a refill.
    const uint8_t* pHead = file.Take(sizeof(head));
    if (pHead != nullptr) {
      memcpy(head, pHead, sizeof(head));
    } else if (!file.Read(head, sizeof(head))) {
      nOk = 0;
      break;
    }
    const char* pText = reinterpret_cast<const char*>(file.Take(head[2]));
    if (pText == nullptr) {
      if (!file.Read(text, head[2])) {
        nOk = 0;
        break;
      }
      pText = text;
    }
    // A record longer than a phrase can be is read past and dropped; its
    // length must never reach AddPhrase, where 255 means "measure the text".
    if (head[2] <= TABRIX_MAX_PHRASE_LEN) AddPhrase(pText, head[2], head[1], 0, head[0]);
    ReportProgress(*this, 1, ProgressValue(i));
  }
  ReportProgress(*this, 2, 0);
  return nOk;
}

int CTabrix::Load(const char* path) {
  Free();
  CFileReader file;
  if (!path || !file.Open(path)) return 0;
  if (!ReadFileHeader(file, TABRIX_FILE_TYPE, TABRIX_FILE_MAJOR, TABRIX_FILE_MINOR, nullptr,
                      nullptr)) {
    return 0;
  }
  if (!ReadBody(file)) {
    Free();  // a partial library must not pass for the whole
    return 0;
  }
  return 1;
}
