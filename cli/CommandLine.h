// The grammar every wbk command shares: "wbk COMMAND ARGUMENT... OPTION...",
// options anywhere after the command's name, "--" ending the options, "-" an
// argument (the standard input or output). Each command is one
// tagCOMMANDDEF; the parser checks a command line against it (known options,
// values present, the number of arguments) and the help is made from it.
//
// Adding a command: write a file with its run function
//   int RunFooCommand(const tagCLICONTEXT& ctx, const CCommandLine& line);
// and its command
//   extern const tagCOMMANDDEF kFooCommand = {"foo", ...};
// declare the command in CommandTable.h and add &kFooCommand to the table in
// WbkApp.cpp where the help should list it. The shared options (-o, --group,
// --json, --dry-run, --force, --salvage) are the OPTION_... definitions below, so
// every command names and explains them alike; the helpers at the end read
// their values with the shared checks and messages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "CliContext.h"

struct tagOPTIONDEF {
  const char* pszName;   // "--group"
  char cShort;           // 'o' for -o; 0 when there is none
  const char* pszValue;  // the value's name in the help ("N"); null for a flag
  const char* pszHelp;
};

// The options shared by several commands, one text each.
extern const tagOPTIONDEF OPTION_OUTPUT;   // -o, --output FILE: the library written
extern const tagOPTIONDEF OPTION_GROUP;    // --group N
extern const tagOPTIONDEF OPTION_JSON;     // --json
extern const tagOPTIONDEF OPTION_DRY_RUN;  // --dry-run
extern const tagOPTIONDEF OPTION_FORCE;    // --force
extern const tagOPTIONDEF OPTION_SALVAGE;  // --salvage

class CCommandLine;

struct tagCOMMANDDEF {
  const char* pszName;
  // The forms of the command line after "wbk NAME ", one per line ('\n').
  const char* pszUsage;
  const char* pszSummary;                // a few words for the list of commands
  const char* pszDescription;            // its own help: paragraphs separated by '\n'
  std::vector<tagOPTIONDEF> arrOptions;  // besides --help and --quiet
  size_t nMinArgs;                       // positional arguments
  size_t nMaxArgs;                       // SIZE_MAX: no limit
  int (*funRun)(const tagCLICONTEXT& ctx, const CCommandLine& line);
};

// One occurrence of an option: its value ("" for a flag) and how many
// arguments came before it, so that an option can apply to the files after it.
struct tagOPTIONVALUE {
  std::string strName;  // the long name, "--group"
  std::string strValue;
  size_t nBeforeArg;
};

class CCommandLine {
 public:
  const tagCOMMANDDEF* GetSpec() const { return m_pSpec; }
  const std::vector<std::string>& GetArgs() const { return m_arrArgs; }
  bool Has(const char* name) const;
  // The last value given, or null.
  const std::string* Value(const char* name) const;
  const std::vector<tagOPTIONVALUE>& GetOptions() const { return m_arrOptions; }

 private:
  friend int ParseCommandLine(const tagCLICONTEXT&, const tagCOMMANDDEF* const*, size_t, int,
                              const char* const*, const tagCOMMANDDEF**, CCommandLine*);
  const tagCOMMANDDEF* m_pSpec = nullptr;
  std::vector<std::string> m_arrArgs;
  std::vector<tagOPTIONVALUE> m_arrOptions;
};

// What ParseCommandLine found.
enum ParseResult {
  PARSE_RUN,        // run *pLine's command
  PARSE_HELP,       // help or the version was written to the standard output
  PARSE_FAILED,     // a usage error was written
  PARSE_NO_COMMAND  // "wbk" alone: the usage was written to the error stream
};

int ParseCommandLine(const tagCLICONTEXT& ctx, const tagCOMMANDDEF* const* commands,
                     size_t nCommands, int argc, const char* const* argv,
                     const tagCOMMANDDEF** ppSpec, CCommandLine* pLine);

// The help of the tool (pSpec null) or of one command, wrapped at 80 columns.
std::string HelpText(const tagCOMMANDDEF* const* commands, size_t nCommands,
                     const tagCOMMANDDEF* pSpec);

// The text wrapped to width columns, every line after the first indented by
// indent blanks (the first line starts where the caller's cursor is, at
// firstColumn).
std::string WrapText(const std::string& text, size_t firstColumn, size_t indent, size_t width = 80);

// The nearest of candidates to word, for "did you mean"; empty when none is near.
std::string NearestName(const std::string& word, const std::vector<std::string>& candidates);

// Writes "error: COMMAND: text" and returns EXIT_FAILED.
int UsageError(const tagCLICONTEXT& ctx, const CCommandLine& line, const std::string& text);

// --group N (or another option naming a group): *pGroup is -1 when it is not
// given. False, with the error written, when it is not a group index 0..126.
bool GroupOption(const tagCLICONTEXT& ctx, const CCommandLine& line, const char* name, int* pGroup);
// A group index given as an argument.
bool ParseGroupIndex(const tagCLICONTEXT& ctx, const CCommandLine& line, const char* what,
                     const std::string& text, int* pGroup);
// An option whose value is one of choices; *pValue keeps its default when
// the option is not given.
bool ChoiceOption(const tagCLICONTEXT& ctx, const CCommandLine& line, const char* name,
                  const std::vector<std::string>& choices, std::string* pValue);
// Every value of an option that may be given more than once, in order.
bool ChoiceOptions(const tagCLICONTEXT& ctx, const CCommandLine& line, const char* name,
                   const std::vector<std::string>& choices, std::vector<std::string>* pValues);
