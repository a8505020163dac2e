// What the tests of the hyperlink and of the About box measure on a link:
// its colours, where it sits and how wide its text is.
#pragma once

#include <windows.h>

#include <string>

#include "HyperLink.h"

const COLORREF kLinkColour = RGB(0, 0, 238);
const COLORREF kVisitedColour = RGB(85, 26, 139);
const COLORREF kHoverColour = RGB(255, 0, 0);

// Rectangle of a window in its parent's client coordinates.
inline RECT RectInParent(HWND hWnd) {
  RECT rect;
  ::GetWindowRect(hWnd, &rect);
  ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hWnd), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// The extent of the link's text in its underlined font.
inline SIZE UnderlinedExtent(CHyperLink& link) {
  const std::string text = link.GetWindowText();
  SIZE size = {0, 0};
  HDC hDC = ::GetDC(link.m_hWnd);
  HGDIOBJ hOld = ::SelectObject(hDC, link.m_fontUnderlined.m_hObject);
  ::GetTextExtentPoint32A(hDC, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(hDC, hOld);
  ::ReleaseDC(link.m_hWnd, hDC);
  return size;
}
