// Paths as the editor carries them, and as its windows show them. A path is
// a narrow string in the process's path form (FileNames.h): the editor
// chooses UTF-8 at its start, so that a path reaches every name the file
// system holds, and the core's file calls open it by its wide name. The
// windows and the library speak GBK. These are the roads between the three.
#pragma once

#include <string>

#include "Win32.h"

// The path of a wide name the system handed over (a file dialog, the command
// line, a drop, the registry); empty when it has none.
std::string PathFromSystem(const wchar_t* wide);

// GBK text (a window's, the library's) and its wide form.
std::wstring WideFromGbk(const std::string& gbk);
// A wide text in GBK: a character GBK lacks becomes chMissing, never a
// look-alike ("Dz" for U+01C5 would be another name).
std::string GbkFromWide(const std::wstring& wide, char chMissing);

// A path, or a part of one such as a file's title, as GBK text for a window
// or a group's name: a character GBK lacks becomes chMissing.
std::string PathTextInGbk(const std::string& pathText, char chMissing = '?');
// A GBK text as a path text: a file name a save dialog offers.
std::string PathTextFromGbk(const std::string& gbk);
