// The in-memory phrase library: the group table (CGroupManager) and, on top of
// it, the sorted duplicate-free phrase store with per-group counts (CTabrix).
#pragma once

#include <cstdint>

#include "PhraseRecords.h"
#include "SArray.h"

class CFileWriter;  // libfile/FileIO.h
class CFileReader;
class CPhraseRun;      // PhraseRun.h
struct tagLOADREPORT;  // libfile/LoadReport.h

class CGroupManager {
 public:
  CGroupManager();
  virtual ~CGroupManager();

  // Index of the new group, or 255 (127 groups or more already, a text too
  // long for its field, or no memory). A null text counts as empty.
  uint8_t AddGroup(const char* name, const char* editor, const char* remark);
  tagGROUPINFO* GetGroup(uint32_t index) { return m_arrGroup.GetAt(index); }
  uint32_t GetGroupCount() const { return m_arrGroup.GetCount(); }
  uint32_t GetPhraseTotal();
  void FreeGroups();

  // The group table of the library file; implemented in libfile/.
  int WriteGroups(CFileWriter& file);
  int ReadGroups(CFileReader& file);

  CSArray<tagGROUPINFO> m_arrGroup;
};

class CTabrix : public CGroupManager {
 public:
  CTabrix();
  ~CTabrix() override;

  // Nonzero when stored: 0 for no such group, a null text, a text longer than
  // 30 bytes, a text already stored (in any group) or no memory. length 255
  // means: measure the text up to its NUL; otherwise at most length bytes are
  // taken, and a NUL among them ends the text (cLen is what was stored).
  int AddPhrase(const char* text, uint8_t length, uint8_t freq, int checkDuplicate, uint8_t group);
  void Free();
  // Appends a well-formed record (a text of at most 30 bytes, zero-padded,
  // naming a group) that the caller knows to sort after every stored text,
  // as a saved library's records arrive: AddPhrase without its checks and
  // search. Nonzero when stored; 0 when memory ran out.
  int AppendSorted(const tagPHRASE2& rec);
  // This library becomes a copy of other's groups and phrases (not its
  // progress callback), block for block: a copy of a million phrases costs
  // about what moving their bytes does. 1, or 0 when memory ran out: this
  // library is then empty.
  int CopyFrom(const CTabrix& other);
  // Empties the store and sets every group's count to 0; the groups stay.
  void FreePhrases();
  // The sum of the groups' counts, summed wide, each then set to 0: a
  // library file's groups announce its phrases this way before they are read.
  uint64_t TakeGroupCounts();
  // Adds every phrase of a run in ascending text order in one pass over the
  // store. A text already stored, or repeated in the run, is dropped (the
  // first stays), and so is a phrase naming no group; group counts follow.
  // Returns 1, or 0 when memory ran out: the store is then as it was, but the
  // run has been used up.
  int MergeRun(CPhraseRun& run, uint32_t* pAdded, uint32_t* pDropped);

  // Phrase-level edits (TabrixEdit.cpp). Positions are store indexes; a
  // position list may be in any order and repeat a position. Each returns 1,
  // or 0 with nothing changed: a position out of range, no such group, a
  // frequency above 250, or no memory. A text list resolves each text to its
  // position; a text not stored is skipped and counted in *pMissing.
  // Removal is one pass over the store however many phrases leave.
  int RemovePhrasesAt(const uint32_t* pPos, uint32_t nPos);
  // RemovePhrasesAt's inverse: record i goes to store index pPos[i] of the
  // store as it will be (positions ascending, the records in store order).
  // Blocks with room take their records in place, touching no other block;
  // records that overfill blocks are merged into the store's row of full
  // blocks instead, when that can be done in place. 0 for positions out of
  // order or range, a record naming no group, or no memory, with nothing
  // changed; it is the caller's to keep the order and the texts unique.
  int InsertPhrasesAt(const uint32_t* pPos, const tagPHRASE2* pRec, uint32_t nRec);
  int RemovePhrasesByText(const char* const* ppText, uint32_t nText, uint32_t* pMissing);
  // The group's phrases leave the store and every later group moves up one
  // index; the other groups' records and phrases stay as they were.
  int RemoveGroup(uint32_t group);
  // RemoveGroup's inverse for the table: the record goes in at index group
  // with a count of 0, and every later group (its phrases following) moves
  // down one. 0 for an index past the end, a full table or no memory, with
  // nothing changed.
  int InsertGroup(uint32_t group, const tagGROUPINFO& info);
  // RemoveGroup's inverse whole: the group as above, and with it its phrases
  // as InsertPhrasesAt puts them (each taking the group, whatever its
  // byGroup), in one pass over the store. Also 0 for positions out of order
  // or range.
  int InsertGroup(uint32_t group, const tagGROUPINFO& info, const uint32_t* pPos,
                  const tagPHRASE2* pRec, uint32_t nRec);
  int SetFrequencyAt(const uint32_t* pPos, uint32_t nPos, uint32_t freq);
  int SetFrequencyByText(const char* const* ppText, uint32_t nText, uint32_t freq,
                         uint32_t* pMissing);
  int MovePhrasesAt(const uint32_t* pPos, uint32_t nPos, uint32_t group);
  // The way back from SetFrequencyAt (bGroup false) and MovePhrasesAt
  // (true): record pPos[i] takes pValue[i] as its frequency (any byte) or
  // its group, the group counts following. Positions ascending without
  // repeats; 0 for positions out of order or range, or a group the library
  // lacks, with nothing changed.
  int RestoreValuesAt(const uint32_t* pPos, const uint8_t* pValue, uint32_t nPos, bool bGroup);
  int MovePhrasesByText(const char* const* ppText, uint32_t nText, uint32_t group,
                        uint32_t* pMissing);
  // 1 when the exact text is stored: its position and group go to *pPos and
  // *pGroup when given. 0 for a text not stored, null or over 30 bytes.
  int FindPhrase(const char* text, uint32_t* pPos, uint8_t* pGroup);
  // Calls hit for every phrase whose text holds needle starting on a
  // character (never on a trail byte), in store order; group TABRIX_NO_GROUP
  // means every group. An empty needle matches every phrase. Returns the
  // number of hits. The store must not change during the calls.
  typedef void (*PhraseHitFunc)(uint32_t pos, const tagPHRASE2* phrase, void* data);
  uint32_t FindSubstring(const char* needle, uint32_t group, PhraseHitFunc hit, void* data);
  // The same search over the nPhrases store positions from *pNext on (fewer
  // where the store ends), *pNext left after the last one looked at: a long
  // search resumes there, a slice at a time.
  uint32_t FindSubstringFrom(const char* needle, uint32_t group, uint32_t* pNext, uint32_t nPhrases,
                             PhraseHitFunc hit, void* data);

  // The library file; implemented in libfile/. Nonzero on success.
  // Load is 1 only for a file that is whole. With a report, the report says
  // why a load failed and what was dropped, and a damaged file leaves what
  // could be recovered in the library; without one, any failure leaves the
  // library empty. Save's *pError (SAVE_ERROR_..., libfile/SaveError.h)
  // says why a save failed.
  int Load(const char* path, tagLOADREPORT* pReport = nullptr);
  int Save(const char* path, int* pError = nullptr);
  int WriteBody(CFileWriter& file);
  int ReadBody(CFileReader& file, tagLOADREPORT* pReport = nullptr);

  CSArray<tagPHRASE2> m_arrPhrase;
  ProgressCallback m_funProgress;
  void* m_pProgressData;
};
