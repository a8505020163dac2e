// Writing the library file. A save either produces the complete file at the
// target path or reports failure and leaves whatever was there untouched.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "FileHeader.h"
#include "FileIO.h"
#include "SaveError.h"
#include "SafeSave.h"
#include "GroupRecord.h"
#include "Progress.h"
#include "Tabrix.h"

namespace {

// Records go out in chunks of this size, each in one call of the system.
// Larger than the writer's buffer, so the writer passes them straight on:
// a megabyte per call keeps the calls few without holding much memory.
const size_t kChunkBytes = 1024 * 1024;

// Milliseconds from a steady clock, cut to 32 bits; the stamp is never read back.
uint32_t TickCount() {
  auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

}  // namespace

int CGroupManager::WriteGroups(CFileWriter& file) {
  const uint32_t nGroups = GetGroupCount();
  if (nGroups > 255) return 0;  // the group count is one byte in the file
  if (!file.WriteByte(static_cast<uint8_t>(nGroups))) return 0;
  uint8_t record[TABRIX_GROUP_RECORD_SIZE];
  for (uint32_t i = 0; i < nGroups; ++i) {
    EncodeGroupRecord(*GetGroup(i), record);
    if (!file.Write(record, sizeof(record))) return 0;
  }
  return 1;
}

int CTabrix::WriteBody(CFileWriter& file) {
  // The file stores no phrase count of its own: a reader takes the sum of the
  // group counts. A library where they disagree would not load back whole.
  uint64_t nCounted = 0;
  for (uint32_t i = 0; i < GetGroupCount(); ++i) nCounted += GetGroup(i)->dwCount;
  if (nCounted != m_arrPhrase.GetCount()) return 0;

  if (!WriteGroups(file)) return 0;
  if (!file.WriteU32(0)) return 0;  // phraseBytes, patched once the records are out
  const uint64_t nBase = file.GetPosition();
  const uint32_t nPhrases = m_arrPhrase.GetCount();
  std::unique_ptr<uint8_t[]> chunk(new (std::nothrow) uint8_t[kChunkBytes]);
  if (!chunk) return 0;

  CProgressReporter progress(m_funProgress, m_pProgressData);
  progress.Begin(nPhrases);
  size_t nUsed = 0;     // bytes in chunk
  uint32_t nFirst = 0;  // first record in chunk
  // Writes the chunk; its records count as done only once their bytes are out.
  auto writeChunk = [&](uint32_t nEnd) {
    if (nUsed > 0 && !file.Write(chunk.get(), nUsed)) return false;
    for (; nFirst < nEnd; ++nFirst) progress.Step(nFirst);
    nUsed = 0;
    return true;
  };
  bool bOk = true;
  uint64_t nOffset = 0;  // of the next record within the phrase section
  uint32_t i = 0;
  // The records in store order, block by block: no lookup per record.
  for (const tagSABLOCK<tagPHRASE2>* pBlock = m_arrPhrase.m_pFirst; pBlock && bOk;
       pBlock = pBlock->pNext) {
    for (uint32_t k = 0; k < pBlock->nCount; ++k, ++i) {
      const tagPHRASE2* pPhrase = pBlock->pItems + k;
      if (nOffset > UINT32_MAX || pPhrase->cLen > TABRIX_MAX_PHRASE_LEN) {
        bOk = false;
        break;
      }
      if (nUsed + sizeof(tagPHRASE2) > kChunkBytes && !writeChunk(i)) {
        bOk = false;
        break;
      }
      uint8_t* pRecord = chunk.get() + nUsed;
      EncodePhraseHead(*pPhrase, pRecord);
      // The whole text field is copied: a copy of fixed size compiles to a
      // few moves, one of the text's own length to a slow string
      // instruction. The bytes past the text are overwritten by the next
      // record.
      memcpy(pRecord + 3, pPhrase->szWord, sizeof(pPhrase->szWord));
      nUsed += TABRIX_PHRASE_HEAD_SIZE + pPhrase->cLen;
      nOffset += TABRIX_PHRASE_HEAD_SIZE + pPhrase->cLen;
    }
  }
  // What came before a refused record still goes out, as it always did.
  if (!writeChunk(i)) bOk = false;
  const uint64_t nPhraseBytes = file.GetPosition() - nBase;
  progress.End();
  if (!bOk || nPhraseBytes > UINT32_MAX) return 0;

  // The index, made in a second walk over the lengths: cheaper than keeping
  // an offset per phrase while the records go out.
  nOffset = 0;
  for (const tagSABLOCK<tagPHRASE2>* pBlock = m_arrPhrase.m_pFirst; pBlock;
       pBlock = pBlock->pNext) {
    for (uint32_t k = 0; k < pBlock->nCount; ++k) {
      if (nUsed + 4 > kChunkBytes) {
        if (!file.Write(chunk.get(), nUsed)) return 0;
        nUsed = 0;
      }
      PutU32(chunk.get() + nUsed, static_cast<uint32_t>(nOffset));
      nUsed += 4;
      nOffset += TABRIX_PHRASE_HEAD_SIZE + pBlock->pItems[k].cLen;
    }
  }
  if (nUsed > 0 && !file.Write(chunk.get(), nUsed)) return 0;

  return file.PatchU32(nBase - 4, static_cast<uint32_t>(nPhraseBytes)) ? 1 : 0;
}

namespace {

int WriteLibraryFile(CFileWriter& file, void* data) {
  CTabrix* pLibrary = static_cast<CTabrix*>(data);
  return WriteFileHeader(file, TABRIX_FILE_TYPE, TABRIX_FILE_MAJOR, TABRIX_FILE_MINOR, TickCount(),
                         nullptr) &&
         pLibrary->WriteBody(file);
}

}  // namespace

int CTabrix::Save(const char* path, int* pError) {
  int nLocal = 0;
  int& nError = pError ? *pError : nLocal;
  nError = SAVE_ERROR_NONE;
  // A library the file cannot hold is refused before anything is created:
  // the group count is one byte in the file, and the phrase count is the
  // sum of the group counts.
  uint64_t nCounted = 0;
  for (uint32_t i = 0; i < GetGroupCount(); ++i) nCounted += GetGroup(i)->dwCount;
  if (GetGroupCount() > 255 || nCounted != m_arrPhrase.GetCount()) {
    nError = SAVE_ERROR_INVALID;
    return 0;
  }
  nError = SaveFileSafely(path, &WriteLibraryFile, this);
  return nError == SAVE_ERROR_NONE ? 1 : 0;
}
