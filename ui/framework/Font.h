// CFont: owns one GDI font made from a logical description; the font is
// deleted with the object unless deleted before.
#pragma once

#include "Win32.h"

class CFont {
 public:
  CFont();
  ~CFont();
  CFont(const CFont&) = delete;
  CFont& operator=(const CFont&) = delete;

  BOOL CreateFontIndirect(const LOGFONTA* pLogFont);
  BOOL DeleteObject();
  // The full logical description of the font; FALSE when there is none.
  BOOL GetLogFont(LOGFONTA* pLogFont) const;

  HFONT m_hObject;
  operator HFONT() const { return m_hObject; }
};
