// The in-memory phrase library: the group table (CGroupManager) and, on top of
// it, the sorted duplicate-free phrase store with per-group counts (CTabrix).
#pragma once

#include <cstdint>

#include "PhraseRecords.h"
#include "SArray.h"

class CFileWriter;  // libfile/FileIO.h
class CFileReader;

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

  // The library file; implemented in libfile/. Nonzero on success.
  int Load(const char* path);
  int Save(const char* path);
  int WriteBody(CFileWriter& file);
  int ReadBody(CFileReader& file);

  CSArray<tagPHRASE2> m_arrPhrase;
  ProgressCallback m_funProgress;
  void* m_pProgressData;
};
