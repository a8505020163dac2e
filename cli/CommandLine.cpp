#include "CommandLine.h"

#include <algorithm>
#include <cctype>
#include <ostream>

#include "Tabrix.h"

const tagOPTIONDEF OPTION_OUTPUT = {
    "--output", 'o', "FILE",
    "the library to write: any name, an existing library only with --force (or as the "
    "command's documented in-place form), never a file that is not a library; \"-\" writes it "
    "to the standard output"};
const tagOPTIONDEF OPTION_GROUP = {"--group", 0, "N", "the group, by its index 0..126"};
const tagOPTIONDEF OPTION_JSON = {
    "--json", 0, nullptr,
    "write the result as one line of JSON (ASCII, other characters as \\u escapes)"};
const tagOPTIONDEF OPTION_DRY_RUN = {
    "--dry-run", 0, nullptr, "do everything but write: say what would be written, write nothing"};
const tagOPTIONDEF OPTION_FORCE = {"--force", 0, nullptr,
                                   "replace an existing library that the command does not read"};
const tagOPTIONDEF OPTION_SALVAGE = {
    "--salvage", 0, nullptr,
    "go on with what can be recovered of a damaged library instead of refusing it"};

namespace {

const tagOPTIONDEF kHelpOption = {"--help", 'h', nullptr, "this help"};
const tagOPTIONDEF kQuietOption = {"--quiet", 'q', nullptr,
                                   "no warnings, reports or progress: errors and results only"};

const size_t kOptionColumn = 24;  // where the options' texts start

const char kGeneralText[] =
    "wbk does batch work on phrase library files (.wbk) with the editor's own core.\n"
    "Files: the files a command reads come first, as arguments; a library written is named "
    "with -o FILE (the older forms that name it by position still work, and then its name must "
    "end in .wbk). \"-\" is the standard input for a list to import, remove or take "
    "frequencies from, and the standard output for a library or an exported list. A command "
    "never writes over a file it reads (except remove, delete-group, set-group and set-freq, "
    "which may write LIB itself), never writes a library over a file that is not a library, "
    "and replaces an existing library it has not "
    "read only with --force. --dry-run shows what a command would write and writes nothing.\n"
    "Groups: a library holds up to 127 groups, named by their index 0..126 (--group N), in "
    "the order the library keeps them.\n"
    "Output: results on the standard output, errors and warnings on the standard error, each "
    "message starting with \"error:\" or \"warning:\"; of one kind of warning only the first "
    "few are written, then their count. --json writes one line of JSON with the same names "
    "in every command.";

const char kExitText[] =
    "Exit status, for every command:\n"
    "  0  done\n"
    "  1  done, with warnings (check: with findings; diff: with differences)\n"
    "  2  failed (a usage error, a file that could not be read or written):\n"
    "     nothing was written\n";

bool StartsWith(const std::string& s, const char* prefix) {
  return s.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1] ? 1 : 0)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::string OptionLabel(const tagOPTIONDEF& o) {
  std::string label = o.cShort ? std::string("-") + o.cShort + ", " : "    ";
  label += o.pszName;
  if (o.pszValue) label += std::string(" ") + o.pszValue;
  return label;
}

std::vector<tagOPTIONDEF> AllOptions(const tagCOMMANDDEF& command) {
  std::vector<tagOPTIONDEF> all = command.arrOptions;
  all.push_back(kQuietOption);
  all.push_back(kHelpOption);
  return all;
}

// The usage lines: "Usage: wbk NAME FORM" and "   or: ..." for the others.
std::string UsageLines(const tagCOMMANDDEF& command) {
  std::string out;
  std::string forms = command.pszUsage;
  size_t from = 0;
  while (from <= forms.size()) {
    size_t to = forms.find('\n', from);
    if (to == std::string::npos) to = forms.size();
    const std::string head = out.empty() ? "Usage: " : "   or: ";
    const std::string line =
        "wbk " + std::string(command.pszName) + " " + forms.substr(from, to - from);
    out += head + WrapText(line, head.size(), head.size() + 4) + "\n";
    from = to + 1;
  }
  return out;
}

std::string Paragraphs(const std::string& text) {
  std::string out;
  size_t from = 0;
  while (from <= text.size()) {
    size_t to = text.find('\n', from);
    if (to == std::string::npos) to = text.size();
    out += (out.empty() ? "" : "\n") + WrapText(text.substr(from, to - from), 0, 0) + "\n";
    from = to + 1;
  }
  return out;
}

std::string OptionTable(const std::vector<tagOPTIONDEF>& options) {
  std::string out;
  for (const tagOPTIONDEF& o : options) {
    std::string label = "  " + OptionLabel(o);
    if (label.size() + 2 > kOptionColumn) {
      out += label + "\n" + std::string(kOptionColumn, ' ');
    } else {
      out += label + std::string(kOptionColumn - label.size(), ' ');
    }
    out += WrapText(o.pszHelp, kOptionColumn, kOptionColumn) + "\n";
  }
  return out;
}

int Fail(const tagCLICONTEXT& ctx, const std::string& text) {
  *ctx.pErr << "error: " << text << "\n";
  return PARSE_FAILED;
}

std::string CommandNames(const tagCOMMANDDEF* const* commands, size_t n) {
  std::string list;
  for (size_t i = 0; i < n; ++i) list += (i ? ", " : "") + std::string(commands[i]->pszName);
  return list;
}

const tagCOMMANDDEF* FindCommand(const tagCOMMANDDEF* const* commands, size_t n,
                                 const std::string& name) {
  for (size_t i = 0; i < n; ++i) {
    if (name == commands[i]->pszName) return commands[i];
  }
  return nullptr;
}

int UnknownCommand(const tagCLICONTEXT& ctx, const tagCOMMANDDEF* const* commands, size_t n,
                   const std::string& name) {
  std::vector<std::string> names;
  for (size_t i = 0; i < n; ++i) names.push_back(commands[i]->pszName);
  std::string near = NearestName(name, names);
  std::string text = "unknown command \"" + name + "\"";
  if (!near.empty()) text += " (did you mean \"" + near + "\"?)";
  return Fail(ctx, text + "; the commands: " + CommandNames(commands, n) + "; see wbk help");
}

}  // namespace

bool CCommandLine::Has(const char* name) const {
  for (const tagOPTIONVALUE& o : m_arrOptions) {
    if (o.strName == name) return true;
  }
  return false;
}

const std::string* CCommandLine::Value(const char* name) const {
  const std::string* value = nullptr;
  for (const tagOPTIONVALUE& o : m_arrOptions) {
    if (o.strName == name) value = &o.strValue;
  }
  return value;
}

std::string WrapText(const std::string& text, size_t firstColumn, size_t indent, size_t width) {
  std::string out;
  size_t column = firstColumn;
  size_t from = 0;
  bool lineEmpty = true;
  while (from < text.size()) {
    size_t to = text.find(' ', from);
    if (to == std::string::npos) to = text.size();
    const std::string word = text.substr(from, to - from);
    from = to + 1;
    if (word.empty()) continue;
    // Columns are counted in bytes: the help is ASCII.
    if (!lineEmpty && column + 1 + word.size() > width) {
      out += "\n" + std::string(indent, ' ');
      column = indent;
      lineEmpty = true;
    }
    if (!lineEmpty) {
      out += ' ';
      ++column;
    }
    out += word;
    column += word.size();
    lineEmpty = false;
  }
  return out;
}

std::string NearestName(const std::string& word, const std::vector<std::string>& candidates) {
  const auto bare = [](const std::string& s) {
    return Lower(s.substr(
        s.find_first_not_of('-') == std::string::npos ? s.size() : s.find_first_not_of('-')));
  };
  const std::string w = bare(word);
  if (w.empty()) return std::string();
  std::string best;
  size_t bestDistance = SIZE_MAX;
  for (const std::string& candidate : candidates) {
    const std::string c = bare(candidate);
    size_t d = EditDistance(w, c);
    // A prefix ("-V" for "--version", "--dry" for "--dry-run") is as near as a typo.
    if (c.compare(0, w.size(), w) == 0) d = std::min<size_t>(d, 1);
    if (d < bestDistance) {
      bestDistance = d;
      best = candidate;
    }
  }
  return bestDistance <= std::max<size_t>(1, w.size() / 3) ? best : std::string();
}

std::string HelpText(const tagCOMMANDDEF* const* commands, size_t n, const tagCOMMANDDEF* pSpec) {
  if (pSpec != nullptr) {
    return UsageLines(*pSpec) + "\n" + Paragraphs(pSpec->pszDescription) + "\nOptions:\n" +
           OptionTable(AllOptions(*pSpec)) +
           "\nFiles, groups and exit statuses are the same for every command: wbk help\n";
  }
  std::string out =
      "Usage: wbk COMMAND ARGUMENT... [OPTION...]\n"
      "   or: wbk help [COMMAND]\n"
      "   or: wbk --version\n\n";
  out += Paragraphs(kGeneralText);
  out += "\nCommands:\n";
  for (size_t i = 0; i < n; ++i) {
    std::string label = "  " + std::string(commands[i]->pszName);
    label += std::string(label.size() < 16 ? 16 - label.size() : 1, ' ');
    out += label + WrapText(commands[i]->pszSummary, 16, 16) + "\n";
  }
  out += "\nOptions of every command:\n" + OptionTable({kHelpOption, kQuietOption});
  out += "\n";
  out += kExitText;
  out += "\nwbk help COMMAND (or wbk COMMAND --help) shows a command's own help.\n";
  return out;
}

int ParseCommandLine(const tagCLICONTEXT& ctx, const tagCOMMANDDEF* const* commands, size_t n,
                     int argc, const char* const* argv, const tagCOMMANDDEF** ppSpec,
                     CCommandLine* pLine) {
  if (argc < 2) {
    *ctx.pErr << "error: no command given\n\n" << HelpText(commands, n, nullptr);
    return PARSE_NO_COMMAND;
  }
  const std::string first = argv[1];
  if (first == "--version") {
    if (argc > 2) return Fail(ctx, "--version takes nothing after it");
    *ctx.pOut << "wbk " WBK_VERSION "\n";
    return PARSE_HELP;
  }
  if (first == "help" || first == "--help" || first == "-h") {
    if (argc > 3) return Fail(ctx, "help takes one command at most: wbk help [COMMAND]");
    const tagCOMMANDDEF* command = nullptr;
    if (argc == 3 && (command = FindCommand(commands, n, argv[2])) == nullptr) {
      return UnknownCommand(ctx, commands, n, argv[2]);
    }
    *ctx.pOut << HelpText(commands, n, command);
    return PARSE_HELP;
  }
  if (first.size() > 1 && first[0] == '-') {
    // An option before the command: the tool's own, misspelt, or a command's.
    std::vector<std::string> names = {"--help", "--version"};
    for (size_t i = 0; i < n; ++i) {
      for (const tagOPTIONDEF& o : commands[i]->arrOptions) {
        if (first == o.pszName) {
          return Fail(ctx, first +
                               " is an option of a command: it follows the command's name "
                               "(wbk COMMAND " +
                               first + "); see wbk help");
        }
      }
    }
    std::string near = NearestName(first, names);
    return Fail(ctx, "unknown option \"" + first + "\"" +
                         (near.empty() ? "" : " (did you mean \"" + near + "\"?)") +
                         "; wbk COMMAND ..., see wbk help");
  }
  const tagCOMMANDDEF* command = FindCommand(commands, n, first);
  if (command == nullptr) return UnknownCommand(ctx, commands, n, first);
  *ppSpec = command;
  pLine->m_pSpec = command;
  const std::vector<tagOPTIONDEF> options = AllOptions(*command);
  const std::string who = std::string(command->pszName) + ": ";
  const std::string seeHelp = "; see wbk help " + std::string(command->pszName);
  bool optionsEnded = false;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      pLine->m_arrArgs.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::string name = arg, value;
    bool hasValue = false;
    const tagOPTIONDEF* found = nullptr;
    if (StartsWith(arg, "--")) {
      const size_t eq = arg.find('=');
      if (eq != std::string::npos) {
        name = arg.substr(0, eq);
        value = arg.substr(eq + 1);
        hasValue = true;
      }
      for (const tagOPTIONDEF& o : options) {
        if (name == o.pszName) found = &o;
      }
    } else {
      for (const tagOPTIONDEF& o : options) {
        if (o.cShort == arg[1]) found = &o;
      }
      name = arg.substr(0, 2);
      if (found != nullptr && arg.size() > 2) {
        if (found->pszValue == nullptr) found = nullptr;  // "-qx" is no flag
        value = arg.substr(2);
        hasValue = true;
      }
    }
    if (found == nullptr) {
      std::vector<std::string> names;
      for (const tagOPTIONDEF& o : options) names.push_back(o.pszName);
      std::string near = NearestName(name, names);
      return Fail(ctx, who + "unknown option \"" + arg + "\"" +
                           (near.empty() ? "" : " (did you mean \"" + near + "\"?)") + seeHelp);
    }
    if (found == &options.back()) {  // --help
      *ctx.pOut << HelpText(commands, n, command);
      return PARSE_HELP;
    }
    if (found->pszValue == nullptr && hasValue) {
      return Fail(ctx, who + found->pszName + " takes no value" + seeHelp);
    }
    if (found->pszValue != nullptr && !hasValue) {
      if (i + 1 >= argc) {
        return Fail(ctx,
                    who + found->pszName + " needs a value (" + found->pszValue + ")" + seeHelp);
      }
      value = argv[++i];
    }
    pLine->m_arrOptions.push_back({found->pszName, value, pLine->m_arrArgs.size()});
  }
  const size_t count = pLine->m_arrArgs.size();
  if (count < command->nMinArgs || count > command->nMaxArgs) {
    std::string text = who;
    if (count > command->nMaxArgs) {
      text += "too many arguments: \"" + pLine->m_arrArgs[command->nMaxArgs] +
              "\" is one more than " + command->pszName + " takes";
    } else {
      text += count == 0 ? "no file given" : "too few arguments";
    }
    text += "\n" + UsageLines(*command);
    text.pop_back();
    return Fail(ctx, text + "\n(see wbk help " + command->pszName + ")");
  }
  return PARSE_RUN;
}

int UsageError(const tagCLICONTEXT& ctx, const CCommandLine& line, const std::string& text) {
  *ctx.pErr << "error: " << line.GetSpec()->pszName << ": " << text << "\n";
  return EXIT_FAILED;
}

bool ParseGroupIndex(const tagCLICONTEXT& ctx, const CCommandLine& line, const char* what,
                     const std::string& text, int* pGroup) {
  bool digits = !text.empty() && text.size() <= 3;
  for (char c : text) digits = digits && c >= '0' && c <= '9';
  const int value = digits ? std::stoi(text) : -1;
  if (value < 0 || value >= static_cast<int>(TABRIX_MAX_GROUPS)) {
    UsageError(ctx, line,
               std::string(what) + " \"" + text + "\": a group is named by its index, 0.." +
                   std::to_string(TABRIX_MAX_GROUPS - 1));
    return false;
  }
  *pGroup = value;
  return true;
}

bool GroupOption(const tagCLICONTEXT& ctx, const CCommandLine& line, const char* name,
                 int* pGroup) {
  *pGroup = -1;
  const std::string* value = line.Value(name);
  return value == nullptr || ParseGroupIndex(ctx, line, name, *value, pGroup);
}

bool ChoiceOption(const tagCLICONTEXT& ctx, const CCommandLine& line, const char* name,
                  const std::vector<std::string>& choices, std::string* pValue) {
  std::vector<std::string> values;
  if (!ChoiceOptions(ctx, line, name, choices, &values)) return false;
  if (!values.empty()) *pValue = values.back();
  return true;
}

bool ChoiceOptions(const tagCLICONTEXT& ctx, const CCommandLine& line, const char* name,
                   const std::vector<std::string>& choices, std::vector<std::string>* pValues) {
  for (const tagOPTIONVALUE& option : line.GetOptions()) {
    if (option.strName != name) continue;
    if (std::find(choices.begin(), choices.end(), option.strValue) == choices.end()) {
      std::string list;
      for (const std::string& c : choices) list += (list.empty() ? "" : ", ") + c;
      UsageError(ctx, line, std::string(name) + " \"" + option.strValue + "\": not one of " + list);
      return false;
    }
    pValues->push_back(option.strValue);
  }
  return true;
}
