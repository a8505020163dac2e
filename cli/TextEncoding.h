// Character conversion for the wbk tool's own texts: the terminal and file
// names use other encodings than the library's GBK. The conversion itself is
// the core's (TextConvert.h).
#pragma once

#include <cstdint>
#include <string>

#include "TextConvert.h"

// A GBK text for showing in codePage: characters that do not convert (a
// damaged file can hold any bytes) appear as \xHH for each of their bytes.
std::string GbkForDisplay(const std::string& gbk, uint32_t codePage);

// A text in fromCodePage converted to toCodePage character by character:
// a character with no form there becomes replacement. Characters are UTF-8
// sequences when fromCodePage is UTF-8, single bytes otherwise.
std::string ConvertEachCharacter(uint32_t fromCodePage, uint32_t toCodePage, const std::string& in,
                                 const char* replacement);

// Where texts go: the terminal (UTF-8 on Linux, the console's output code
// page on Windows) and file names (UTF-8 on Linux; on Windows UTF-8 when the
// program took its arguments wide, as wbk.exe does, the ANSI code page
// otherwise: see FileNames.h).
uint32_t TerminalCodePage();
uint32_t FileNameCodePage();

// True when the standard error stream is a terminal (for the progress bar).
bool StderrIsTerminal();
