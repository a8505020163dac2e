// The phrases of one import, gathered and added to the library at once: one
// sort and one merge instead of a search and an insertion per line. The
// library ends up exactly as if each phrase had gone through AddPhrase with
// the duplicate check, in file order.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ImportStats.h"
#include "PhraseSort.h"

class CEditHistory;
class CPhraseRun;
class CTabrix;

// Arrivals a batch numbers before it is added and begins again.
enum : uint32_t { PHRASE_BATCH_MAX = 1u << 24 };

class CPhraseBatch {
 public:
  // With a history, every change goes through it (CEditCompound makes them
  // one step).
  CPhraseBatch(CTabrix& lib, uint8_t group, CEditHistory* pHistory = nullptr);
  ~CPhraseBatch();
  CPhraseBatch(const CPhraseBatch&) = delete;
  CPhraseBatch& operator=(const CPhraseBatch&) = delete;

  // Makes room for about n phrases at once, so that the batch need not be
  // copied as it grows; only a hint, which may be refused.
  void Reserve(size_t n);
  // Add for a phrase whose text is one (at least one byte, no control byte),
  // whose frequency lies in lo..hi and whose text fits; otherwise counts why
  // it was refused, in that order.
  void Offer(const char* text, uint32_t length, uint8_t freq, uint8_t lo, uint8_t hi,
             tagIMPORTSTATS& stats);
  // Adds every phrase held, counting each as added or duplicate, and empties
  // the batch.
  void Flush(tagIMPORTSTATS& stats);

 private:
  class CBatchRun;
  // Takes a phrase of at most 30 bytes (Offer checked it). When memory for
  // the batch runs out, what it holds is added first.
  void Add(const char* text, uint32_t length, uint8_t freq, tagIMPORTSTATS& stats);

  // Room for one more phrase of length bytes; false when memory ran out.
  bool Grow(uint32_t length);
  // The smallest phrase left (the first arrival among equal texts), taken out;
  // the memory behind the taken keys goes back as the batch empties.
  const unsigned char* TakeSmallest();
  void FreeAll();
  // Sorted appends, for an import into an empty library.
  void AppendToEmptyStore(tagIMPORTSTATS& stats);
  // Each phrase through AddPhrase: for a few phrases into a large store.
  void AddOneByOne(tagIMPORTSTATS& stats);
  // One pass over the store and the batch into a new chain of blocks. False,
  // with the library untouched, when memory runs out.
  bool MergeIntoStore(tagIMPORTSTATS& stats);

  // The store's MergeRun and AddPhrase, through the history when there is one.
  int MergeRun(CPhraseRun& run, uint32_t* pAdded, uint32_t* pDropped);
  int AddPhrase(const char* text, uint8_t length, uint8_t freq);

  CTabrix& m_lib;
  CEditHistory* m_pHistory;
  uint8_t m_byGroup;
  // The phrases packed to their length in arrival order (about 12 bytes for
  // a phrase of four characters, where a fixed record takes 36), and their
  // keys, which the sort moves. Both malloc'ed: they grow and shrink with
  // realloc.
  unsigned char* m_pBytes;
  size_t m_nBytes;
  size_t m_nByteCapacity;
  phrase_sort::tagPACKEDKEY* m_pKeys;
  size_t m_nCount;
  size_t m_nCapacity;
};
