// CStatic: a static-text (or icon) control. The window operations come from
// CWnd; controls that act on their own clicks (the hyperlink) derive from it.
#pragma once

#include "Wnd.h"

class CStatic : public CWnd {
 public:
  CStatic();
  ~CStatic() override;

  // The icon shown by an SS_ICON control; the previous one.
  HICON SetIcon(HICON hIcon);
  HICON GetIcon() const;
};
