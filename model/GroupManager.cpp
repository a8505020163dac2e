#include <cstring>

#include "GbkText.h"
#include "Tabrix.h"

CGroupManager::CGroupManager() {}

CGroupManager::~CGroupManager() { FreeGroups(); }

uint8_t CGroupManager::AddGroup(const char* name, const char* editor, const char* remark) {
  // A table read from a file may already hold more than 127 groups.
  if (m_arrGroup.GetCount() >= TABRIX_MAX_GROUPS) return TABRIX_NO_GROUP;
  if (name == nullptr) name = "";
  if (editor == nullptr) editor = "";
  if (remark == nullptr) remark = "";
  // Counted no further than the field: the text only has to fit it, and
  // needs room for its terminator.
  const size_t nameLen = FieldTextLength(name, TABRIX_NAME_FIELD);
  const size_t editorLen = FieldTextLength(editor, TABRIX_NAME_FIELD);
  const size_t remarkLen = FieldTextLength(remark, TABRIX_REMARK_FIELD);
  if (nameLen >= TABRIX_NAME_FIELD || editorLen >= TABRIX_NAME_FIELD ||
      remarkLen >= TABRIX_REMARK_FIELD) {
    return TABRIX_NO_GROUP;
  }

  tagGROUPINFO group;
  std::memset(&group, 0, sizeof(group));  // the record goes to the file as it is
  std::memcpy(group.szName, name, nameLen);
  std::memcpy(group.szEditor, editor, editorLen);
  std::memcpy(group.szRemark, remark, remarkLen);

  const int index = m_arrGroup.Add(group);
  if (index < 0) return TABRIX_NO_GROUP;
  return uint8_t(index);
}

uint32_t CGroupManager::GetPhraseTotal() {
  uint32_t total = 0;
  const uint32_t count = m_arrGroup.GetCount();
  for (uint32_t i = 0; i < count; ++i) total += m_arrGroup.GetAt(i)->dwCount;
  return total;
}

void CGroupManager::FreeGroups() { m_arrGroup.FreeBlocks(); }
