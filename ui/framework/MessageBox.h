// The program's message boxes: captioned with the application's name and
// answered by the test seam while a script runs. Above the window wrappers,
// beside the application object whose name they show.
#pragma once

#include "Win32.h"

// A message box owned by hOwner, captioned with the application's name unless
// a caption is given.
int AfxMessageBox(HWND hOwner, const char* text, UINT nType = MB_OK, const char* caption = nullptr);
