// The screen's resolution for the program: the program declares itself aware
// of it (its manifest), so the system draws nothing enlarged and every size
// in pixels that is not in dialog units (a list's columns, say) is scaled
// here; dialog units follow the font by themselves.
#pragma once

#include "Win32.h"

// Dots per inch of the screen: 96 at 100 %, 144 at 150 %, 192 at 200 %.
int ScreenDpi();
// A width in pixels at 96 dots per inch, for the screen's resolution.
int ScaleForDpi(int nPixelsAt96);
// Icon nID of the program's resources at the size of the system's small
// (bSmall) or big icons, drawn from the icon's nearest image.
HICON LoadIconForDpi(UINT nID, bool bSmall);
