// Reads a DIALOGEX template from the running program's resources, so tests
// can compare it with what the editor is meant to show.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct tagTEMPLATEITEM {
  DWORD dwId;
  DWORD dwStyle;
  DWORD dwExStyle;
  short x, y, cx, cy;
  std::string strClass;  // "Button", "Edit", "Static", ... or the class name given
  std::wstring strText;
};

struct tagDIALOGTEMPLATE {
  DWORD dwStyle;
  DWORD dwExStyle;
  short x, y, cx, cy;
  std::wstring strCaption;
  WORD wPointSize;
  WORD wWeight;
  BYTE bItalic;
  BYTE bCharSet;
  std::wstring strTypeface;
  std::vector<tagTEMPLATEITEM> items;
};

// False when the template is missing or is not a DIALOGEX.
bool LoadDialogTemplate(WORD id, tagDIALOGTEMPLATE& out);

// UTF-16 to GBK (code page 936), whatever the process's code page is.
std::string ToGbk(const std::wstring& text);
