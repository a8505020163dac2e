#include "Static.h"

CStatic::CStatic() = default;

CStatic::~CStatic() = default;

HICON CStatic::SetIcon(HICON hIcon) {
  return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(hIcon)));
}

HICON CStatic::GetIcon() const { return reinterpret_cast<HICON>(SendMessage(STM_GETICON)); }
