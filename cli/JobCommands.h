// The wbk commands that edit a library's groups and frequencies, compare two
// libraries and count a library's phrases. Like the other commands (see
// Commands.h) each returns the exit status; their command-line forms are
// the commands of CommandTable.h, defined beside each function.
#pragma once

#include <string>

#include "CliContext.h"

struct tagSETGROUPARGS {
  std::string strLibrary;
  std::string strOutput;  // -o: may be the library itself
  int nGroup = -1;
  // Each text is set only when given (in the code page of the command line).
  bool bName = false, bEditor = false, bRemark = false;
  std::string strName, strEditor, strRemark;
  bool bTick = false, bUntick = false;
  bool bSalvage = false;
  bool bJson = false;
  bool bDryRun = false;
};
int RunSetGroup(const tagCLICONTEXT& ctx, const tagSETGROUPARGS& args);

struct tagSETFREQARGS {
  std::string strLibrary;
  std::string strOutput;   // -o: may be the library itself
  std::string strPhrases;  // a phrase list: text and frequency per line ("-": standard input)
  bool bSalvage = false;
  bool bJson = false;
  bool bDryRun = false;
};
int RunSetFreq(const tagCLICONTEXT& ctx, const tagSETFREQARGS& args);

struct tagDIFFARGS {
  std::string strOld;  // A
  std::string strNew;  // B
  bool bJson = false;
  bool bSalvage = false;
};
// Exit 0 when the two libraries hold the same groups and phrases, 1 when they
// differ, 2 when one cannot be read.
int RunDiff(const tagCLICONTEXT& ctx, const tagDIFFARGS& args);

struct tagSTATSARGS {
  std::string strLibrary;
  int nGroup = -1;  // -1: every group
  bool bJson = false;
  bool bSalvage = false;
};
int RunStats(const tagCLICONTEXT& ctx, const tagSTATSARGS& args);
