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

// Where texts go: the terminal (UTF-8 on Linux, the console's output code
// page on Windows) and file names (UTF-8 on Linux, the ANSI code page on
// Windows, since paths are handed to the C library as narrow strings).
uint32_t TerminalCodePage();
uint32_t FileNameCodePage();

// True when the standard error stream is a terminal (for the progress bar).
bool StderrIsTerminal();
