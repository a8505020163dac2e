// The wbk commands, one function each, called by the command's entry of the
// command table (CommandTable.h) with their arguments already checked for
// form and their output for safety (OutputRules.h). Each returns the exit
// status: EXIT_DONE, EXIT_WARNINGS or EXIT_FAILED.
#pragma once

#include <string>
#include <vector>

#include "CliContext.h"

struct tagINFOARGS {
  std::string strLibrary;
  bool bJson = false;
};
int RunInfo(const tagCLICONTEXT& ctx, const tagINFOARGS& args);

struct tagIMPORTARGS {
  std::string strOutput;
  std::string strBase;  // empty: start from an empty library
  int nInto = -1;       // group index, or -1: each file becomes a new group
  std::string strMin = "0";
  std::string strMax = "250";
  std::string strEncoding = "auto";  // auto, gbk or utf-8
  // auto, text, scel, bdict, qpyd, rime or columns: none given is auto, one
  // is every file's, else one per file in the files' order.
  std::vector<std::string> arrFormats;
  std::vector<std::string> arrTexts;
  bool bSalvage = false;  // a damaged base library: go on with what was recovered
  bool bJson = false;     // a JSON summary instead of the report
  bool bDryRun = false;   // everything but the write
};
int RunImport(const tagCLICONTEXT& ctx, const tagIMPORTARGS& args);

struct tagEXPORTARGS {
  std::string strLibrary;
  int nGroup = -1;        // -1: every group
  std::string strOutput;  // -o FILE
  std::string strDir;     // --dir DIR
  std::string strEncoding = "gbk";
  bool bSalvage = false;  // a damaged library: export what was recovered
  bool bJson = false;
  bool bDryRun = false;
  bool bForce = false;  // an existing library may be replaced by the list
};
int RunExport(const tagCLICONTEXT& ctx, const tagEXPORTARGS& args);

struct tagCHECKARGS {
  std::string strLibrary;
  bool bJson = false;
};
int RunCheck(const tagCLICONTEXT& ctx, const tagCHECKARGS& args);

struct tagMERGEARGS {
  std::string strOutput;
  std::vector<std::string> arrInputs;
  bool bSalvage = false;  // damaged inputs: merge what was recovered
  bool bJson = false;
  bool bDryRun = false;
};
int RunMerge(const tagCLICONTEXT& ctx, const tagMERGEARGS& args);

struct tagFINDARGS {
  std::string strLibrary;
  std::string strText;  // in the code page of the command line
  int nGroup = -1;      // -1: every group
  bool bJson = false;
  bool bSalvage = false;  // a damaged library: search what was recovered
};
int RunFind(const tagCLICONTEXT& ctx, const tagFINDARGS& args);

struct tagREMOVEARGS {
  std::string strLibrary;
  std::string strOutput;
  std::string strPhrases;  // a phrase list: the texts to remove ("-": standard input)
  bool bSalvage = false;
  bool bJson = false;
  bool bDryRun = false;
};
int RunRemove(const tagCLICONTEXT& ctx, const tagREMOVEARGS& args);

struct tagDELETEGROUPARGS {
  std::string strLibrary;
  std::string strOutput;
  int nGroup = -1;
  bool bSalvage = false;
  bool bJson = false;
  bool bDryRun = false;
};
int RunDeleteGroup(const tagCLICONTEXT& ctx, const tagDELETEGROUPARGS& args);

// The whole tool: parses argv and runs one command. --help, help and
// --version write to ctx.pOut; usage errors go to ctx.pErr with status
// EXIT_FAILED, as does "wbk" alone with the usage.
int RunWbk(const tagCLICONTEXT& ctx, int argc, const char* const* argv);
