// What every wbk command writes to: its two streams, the encoding the reader
// of those streams expects, and whether a progress bar may be drawn.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

// Exit status of every command.
enum : int { EXIT_DONE = 0, EXIT_WARNINGS = 1, EXIT_FAILED = 2 };

struct tagCLICONTEXT {
  std::ostream* pOut;  // results
  std::ostream* pErr;  // warnings, errors and the progress bar
  uint32_t nCodePage;  // what library texts are converted to for showing
  bool bProgress;      // pErr is a terminal: a progress bar may be drawn
};

// A library text (GBK) as the reader of the streams can show it.
std::string Shown(const tagCLICONTEXT& ctx, const std::string& gbk);
std::string Shown(const tagCLICONTEXT& ctx, const char* field, size_t width);

// A path as given on the command line, for messages (it is already in the
// terminal's encoding on Linux; on Windows it is in the ANSI code page).
std::string ShownPath(const tagCLICONTEXT& ctx, const std::string& path);
