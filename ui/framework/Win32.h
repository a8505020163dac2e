// The one place that includes the Windows headers for the framework and the
// dialogs: narrow (GBK) API only, Windows 7 and later.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
