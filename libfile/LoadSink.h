// Where a load puts the records it reads: into the store as they come while
// they arrive in order (a saved library), and, from the first one out of
// order, into a pending run that is sorted and merged once at the end, so a
// file in any order loads in n log n. The first record of a text wins, as
// it would one record at a time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "PhraseRecords.h"

class CTabrix;
struct tagLOADREPORT;

// A record waiting in the pending run; the text zero-padded.
struct tagPENDINGPHRASE {
  char szWord[31];
  uint8_t byFreq;
  uint8_t byGroup;
  uint8_t cLen;
  uint32_t nOrder;  // arrival: among equal texts the first wins
};

class CLoadSink {
 public:
  CLoadSink(CTabrix& lib, tagLOADREPORT& report);
  ~CLoadSink();
  CLoadSink(const CLoadSink&) = delete;
  CLoadSink& operator=(const CLoadSink&) = delete;

  // Room for about n pending records; only a hint.
  void Reserve(size_t n);
  // One record as the file holds it. False only when memory ran out.
  bool Add(uint8_t byGroup, uint8_t byFreq, const char* text, uint8_t cLen);
  // Merges what is pending. False when memory ran out.
  bool Finish();

 private:
  CTabrix& m_lib;
  tagLOADREPORT& m_report;
  tagPHRASE2 m_last;             // the record appended last, while in order
  bool m_bAny;                   // m_last holds a record
  tagPENDINGPHRASE* m_pPending;  // malloc'ed; null until the order breaks
  size_t m_nPending;
  size_t m_nCapacity;
  size_t m_nHint;
};
