// Where a command may write, so that no command destroys a file by accident:
// never over a file it reads (but for its documented in-place form), never a
// library over a file that is not a library, never over an existing library
// it has not read unless --force, and a library named by position only when
// its name ends in .wbk (a swapped or forgotten argument is then refused,
// not obeyed). Also the standard streams as files: "-".
#pragma once

#include <string>
#include <vector>

#include "CliContext.h"
#include "FilePaths.h"

class CCommandLine;
class CTabrix;

enum OutputKind { OUTPUT_LIBRARY, OUTPUT_TEXT };

struct tagOUTPUTRULE {
  std::string strPath;  // "-": the standard output
  OutputKind nKind = OUTPUT_LIBRARY;
  bool bByPosition = false;            // named by position, not by -o
  std::vector<std::string> arrInputs;  // every file the command reads
  std::string strInPlace;              // the input it may write over; empty: none
  bool bForce = false;
  // How to keep an existing library instead of replacing it ("add to it
  // with --base OUT"), or empty.
  std::string strKeepHint;
};

// True when the command may write there; otherwise the error is written.
bool CheckOutput(const tagCLICONTEXT& ctx, const char* command, const tagOUTPUTRULE& rule);

class CCommandLine;

// What an edit of a library checks before it runs: --json and "-o -" would
// both use the standard output; the output may be written (CheckOutput); no
// input but the standard input is a special file. EXIT_DONE to go on, else
// the exit code, the error written.
int CheckEditRun(const tagCLICONTEXT& ctx, const CCommandLine& line, const char* command,
                 bool bJson, const std::string& strOutput, const tagOUTPUTRULE& rule);

bool HasLibraryName(const std::string& path);    // ends in .wbk, in any case
bool IsStandardStream(const std::string& path);  // "-"
// Both name one existing file (also through other names or links).
bool SameFile(const std::string& a, const std::string& b);

enum FileKind { FILE_MISSING, FILE_EMPTY, FILE_LIBRARY, FILE_OTHER };
// A library is a file that starts with a library's header.
FileKind ClassifyFile(const std::string& path);

// Saves the library to path, to the standard output for "-" (binary, whole,
// once saved), or nowhere on a dry run. False with the error written.
bool WriteLibraryOutput(const tagCLICONTEXT& ctx, CTabrix& lib, const std::string& path,
                        bool bDryRun);

// The standard input copied to a temporary file that the readers open like
// any other; false with the error written.
bool CopyStandardInput(const tagCLICONTEXT& ctx, CTempFile* pCopy);

// The library a command that changes one library writes: -o OUT, or the
// older form's OUT after LIB (*pNext is then the argument after it). Fills
// the rule's path, in-place input (LIB) and --force. False with the error
// written when neither is given; usage is the form named in the error.
bool TakeOutput(const tagCLICONTEXT& ctx, const CCommandLine& line, const char* usage,
                std::string* pOut, size_t* pNext, tagOUTPUTRULE* pRule);
