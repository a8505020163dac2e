#include "Dpi.h"

#include "WinApp.h"

int ScreenDpi() {
  HDC hDC = ::GetDC(nullptr);
  const int dpi = hDC ? ::GetDeviceCaps(hDC, LOGPIXELSX) : 96;
  if (hDC) ::ReleaseDC(nullptr, hDC);
  return dpi > 0 ? dpi : 96;
}

int ScaleForDpi(int nPixelsAt96) { return ::MulDiv(nPixelsAt96, ScreenDpi(), 96); }

HICON LoadIconForDpi(UINT nID, bool bSmall) {
  const int cx = ::GetSystemMetrics(bSmall ? SM_CXSMICON : SM_CXICON);
  const int cy = ::GetSystemMetrics(bSmall ? SM_CYSMICON : SM_CYICON);
  // Shared: the system keeps the handle for the life of the module.
  return static_cast<HICON>(
      ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nID), IMAGE_ICON, cx, cy, LR_SHARED));
}
