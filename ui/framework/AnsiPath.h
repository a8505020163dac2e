// File names from the system's wide (UTF-16) form to the narrow form the
// program's file functions take (the ANSI code page, GBK here).
#pragma once

#include <string>

#include "Win32.h"

// The text in the ANSI code page; false when a character has no exact
// equivalent there (it would come out as '?', never as a look-alike).
bool NarrowText(const wchar_t* text, std::string& out);

// A path for the narrow file functions. A name the code page cannot spell is
// given by its short (8.3) name where the file system has one; a file that
// does not exist yet (a save's target) by its folder's short name and its
// own name. Otherwise the path keeps its '?', which no file name holds, so
// that opening it fails instead of reaching another file.
std::string AnsiPath(const wchar_t* path);
