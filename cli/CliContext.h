// What every wbk command writes to: its two streams, the encoding the reader
// of those streams expects, and whether a progress bar may be drawn; and how
// it opens the files it reads.
#pragma once

#include <cstdint>
#include <cstdio>
#include <istream>
#include <ostream>
#include <string>

class CWarnings;

// Exit status of every command.
enum : int { EXIT_DONE = 0, EXIT_WARNINGS = 1, EXIT_FAILED = 2 };

struct tagCLICONTEXT {
  std::ostream* pOut;              // results
  std::ostream* pErr;              // warnings, errors and the progress bar
  uint32_t nCodePage;              // what library texts are converted to for showing
  bool bProgress;                  // pErr is a terminal: a progress bar may be drawn
  std::istream* pIn = nullptr;     // the standard input ("-"); null: none
  bool bQuiet = false;             // --quiet: no warnings, reports or progress
  CWarnings* pWarnings = nullptr;  // null: warnings are written as they come
};

// Where a command's report goes: the standard output, or the error stream
// when the standard output carries the data (a library or a list written to
// "-"); nowhere with --quiet.
std::ostream& ReportStream(const tagCLICONTEXT& ctx, bool bDataOnStdout = false);

// A library text (GBK) as the reader of the streams can show it.
std::string Shown(const tagCLICONTEXT& ctx, const std::string& gbk);
std::string Shown(const tagCLICONTEXT& ctx, const char* field, size_t width);

// A path as given on the command line, for messages (it is already in the
// terminal's encoding on Linux; on Windows it is UTF-8 in wbk.exe, the ANSI
// code page otherwise, and a character the console cannot show is '?').
std::string ShownPath(const tagCLICONTEXT& ctx, const std::string& path);

// Opens an input file for reading bytes, and only a regular file: a device or
// a FIFO may never end (or never open), and a folder holds no bytes: the
// core's opener (InputFile.h), never waiting for a FIFO's writer. Null when the file cannot be
// opened (nothing is written; the caller says what it could not do) or is not a regular file (an
// error naming it is written and *pRefused is set). *pSize, when given, receives the length the
// file had when it was opened.
std::FILE* OpenInputFile(const tagCLICONTEXT& ctx, const std::string& path, bool* pRefused,
                         uint64_t* pSize = nullptr);

// Opens and closes the file: true, with the error written, when it is there
// but not a regular file. A file that cannot be opened is left to the reader.
bool RefuseSpecialFile(const tagCLICONTEXT& ctx, const std::string& path);
