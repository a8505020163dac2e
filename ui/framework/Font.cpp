#include "Font.h"

CFont::CFont() : m_hObject(nullptr) {}

CFont::~CFont() { DeleteObject(); }

BOOL CFont::CreateFontIndirect(const LOGFONTA* pLogFont) {
  if (m_hObject || !pLogFont) return FALSE;
  m_hObject = ::CreateFontIndirectA(pLogFont);
  return m_hObject != nullptr;
}

BOOL CFont::DeleteObject() {
  if (!m_hObject) return FALSE;
  const BOOL deleted = ::DeleteObject(m_hObject);
  m_hObject = nullptr;
  return deleted;
}

BOOL CFont::GetLogFont(LOGFONTA* pLogFont) const {
  if (!m_hObject || !pLogFont) return FALSE;
  return ::GetObjectA(m_hObject, sizeof(LOGFONTA), pLogFont) == sizeof(LOGFONTA);
}
