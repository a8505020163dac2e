// wbk import: text files into a library, each as a new group ("导入新组") or
// into one group ("导入到当前组"), through the editor's own importer.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "Commands.h"
#include "LibraryFiles.h"
#include "DictImport.h"
#include "GbkSource.h"
#include "ListImport.h"
#include "PhraseImport.h"
#include "ProgressBar.h"
#include "Tabrix.h"
#include "TextEncoding.h"
#include "CommandLine.h"
#include "LibraryJson.h"
#include "OutputRules.h"
#include "Warnings.h"

#ifdef _WIN32
#include <io.h>
#else
#include <sys/types.h>
#include <unistd.h>
#endif

namespace {

// The group a list read from the standard input is named after.
const char kStdinName[] = "stdin";

// The phrase list as the importer reads it (GbkSource.h), each line left
// out named on the error stream.
class CCliSource : public CGbkSource {
 public:
  CCliSource(const tagCLICONTEXT& ctx, const std::string& path) : m_ctx(ctx), m_strPath(path) {}

 protected:
  void OnLineSkipped(uint32_t nLine, bool bDecodable) override {
    WarnLazily(m_ctx, "line skipped", [&] {
      return ShownPath(m_ctx, m_strPath) + ":" + std::to_string(nLine) + ": " +
             (bDecodable                     ? "a character with no GBK form"
              : GetEncoding() == SOURCE_UTF8 ? "not valid UTF-8"
                                             : "not valid UTF-16") +
             "; line skipped";
    });
  }

 private:
  const tagCLICONTEXT& m_ctx;
  std::string m_strPath;
};

// Decides the file's encoding and, for UTF-8 or UTF-16, counts the lines
// that do not convert. False when the file cannot be read (an error is
// written). Only a regular file is taken: a device or a FIFO could go on for ever.
bool PrepareSource(const tagCLICONTEXT& ctx, const std::string& path, const std::string& encoding,
                   CCliSource* src) {
  // The importer says it cannot open a path it is not given whole.
  bool refused = false;
  std::FILE* file = OpenInputFile(ctx, path, &refused);
  if (refused) return false;
  if (file != nullptr) std::fclose(file);
  // GBK text goes to the importer as it is, once it is known to be text; the
  // importer says when it cannot open it.
  if (encoding != "gbk" && file == nullptr) {
    *ctx.pErr << "error: " << ShownPath(ctx, path) << ": cannot open the text file\n";
    return false;
  }
  const SourceMode mode = encoding == "gbk"     ? SOURCE_MODE_GBK
                          : encoding == "utf-8" ? SOURCE_MODE_UTF8
                                                : SOURCE_MODE_AUTO;
  const int result = src->Open(path.c_str(), mode);
  if (result == SOURCE_CANNOT_READ) {
    *ctx.pErr << "error: " << ShownPath(ctx, path) << ": cannot open the text file\n";
    return false;
  }
  if (result == SOURCE_NOT_TEXT) {
    *ctx.pErr << "error: " << ShownPath(ctx, path) << ": not a text file: ";
    if (src->GetTextFault() == TEXT_FAULT_NUL) {
      *ctx.pErr << "line " << src->GetFaultLine() << " holds a NUL byte";
    } else if (src->GetTextFault() == TEXT_FAULT_CONTROL) {
      char byte[8];
      std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned>(src->GetFaultByte()));
      *ctx.pErr << "line " << src->GetFaultLine() << " holds the control byte " << byte;
    } else {
      *ctx.pErr << "most of it decodes neither as UTF-8 nor as GBK";
    }
    *ctx.pErr << "; nothing imported\n";
    return false;
  }
  return true;
}

// The new group's name from the file name, in GBK like every library text. A
// character GBK lacks becomes '_': its bytes in another encoding would not be
// text in the library.
std::string GroupTitle(const tagCLICONTEXT& ctx, const std::string& path) {
  std::string title = GroupTitleFromPath(path.c_str());
  std::string gbk;
  if (ConvertCodePage(FileNameCodePage(), CODEPAGE_GBK, title, &gbk)) return gbk;
  gbk = ConvertEachCharacter(FileNameCodePage(), CODEPAGE_GBK, title, "_");
  Warn(ctx, "group name",
       ShownPath(ctx, path) +
           ": the file name has characters with no GBK form; they are '_' in the group's name");
  return gbk;
}

bool ParseRange(const tagCLICONTEXT& ctx, const char* what, const std::string& text, uint8_t* out) {
  size_t i = !text.empty() && text[0] == '+' ? 1 : 0;
  bool digits = i < text.size();
  for (size_t k = i; k < text.size(); ++k) digits = digits && text[k] >= '0' && text[k] <= '9';
  if (!digits) {
    *ctx.pErr << "error: " << what << " must be an unsigned number, not \"" << text << "\"\n";
    return false;
  }
  *out = RangeFieldValue(text.c_str());  // the low 8 bits, as the editor's field
  return true;
}

void ExplainGroupFailure(const tagCLICONTEXT& ctx, CTabrix& lib, const std::string& path,
                         const std::string& title) {
  *ctx.pErr << "error: " << ShownPath(ctx, path) << ": no group could be created: ";
  if (lib.GetGroupCount() >= TABRIX_MAX_GROUPS) {
    *ctx.pErr << "the library already holds " << lib.GetGroupCount() << " groups (at most "
              << TABRIX_MAX_GROUPS << ")\n";
  } else if (title.size() >= TABRIX_NAME_FIELD) {
    *ctx.pErr << "the group name \"" << Shown(ctx, title) << "\" is " << title.size()
              << " bytes in GBK, at most " << TABRIX_NAME_FIELD - 1 << " fit; rename the file\n";
  } else {
    *ctx.pErr << "out of memory\n";
  }
}

// What one file gave, reported once the library is saved.
struct tagFILEREPORT {
  std::string strPath;
  uint8_t byGroup;  // 255: the import made no group
  tagIMPORTSTATS stats;
  bool bEntries;  // a dictionary: entries, not lines
};

// A phrase list counts lines, a dictionary entries.
void Report(const tagCLICONTEXT& ctx, std::ostream& out, CTabrix& lib, const tagFILEREPORT& r) {
  const char* units = r.bEntries ? " entries" : " lines";
  const tagIMPORTSTATS& s = r.stats;
  out << ShownPath(ctx, r.strPath) << " -> ";
  if (const tagGROUPINFO* info = r.byGroup != TABRIX_NO_GROUP ? lib.GetGroup(r.byGroup) : nullptr) {
    out << "group " << static_cast<unsigned>(r.byGroup) << " \""
        << Shown(ctx, info->szName, sizeof info->szName) << "\"";
  } else {
    out << "no group";
  }
  out << ": " << s.nLines << units << " read, " << s.nAdded
      << " phrases added; skipped: " << s.nDuplicate << " duplicate, " << s.nTooLong
      << " too long, " << s.nOutOfRange << " out of range";
  if (s.nControlOrEmpty) out << ", " << s.nControlOrEmpty << " empty or with control bytes";
  if (s.nNoGbkForm) out << ", " << s.nNoGbkForm << units << " with no GBK form";
  if (s.nUndecodable) out << ", " << s.nUndecodable << units << " not decodable";
  if (s.nHeaders) out << "; " << s.nHeaders << " header lines";
  if (s.nFreqReduced) out << "; " << s.nFreqReduced << " frequencies reduced into 0..250";
  out << "; read as " << SourceEncodingName(s.nEncoding) << " " << DictFormatName(s.nFormat)
      << "\n";
}

CJson FileJson(const tagFILEREPORT& r) {
  const tagIMPORTSTATS& s = r.stats;
  CJson file;
  file["file"] = JsonTextPath(r.strPath);
  // null when the import made no group (it added nothing).
  if (r.byGroup != TABRIX_NO_GROUP) {
    file["group"] = r.byGroup;
  } else {
    file["group"] = nullptr;
  }
  file[r.bEntries ? "entry_count" : "line_count"] = s.nLines;
  file["header_line_count"] = s.nHeaders;
  file["added_count"] = s.nAdded;
  file["frequency_reduced_count"] = s.nFreqReduced;
  file["encoding"] = SourceEncodingName(s.nEncoding);
  file["format"] = DictFormatName(s.nFormat);
  file["dropped"]["duplicate"] = s.nDuplicate;
  file["dropped"]["too_long"] = s.nTooLong;
  file["dropped"]["out_of_range"] = s.nOutOfRange;
  file["dropped"]["control_or_empty"] = s.nControlOrEmpty;
  file["dropped"]["no_gbk_form"] = s.nNoGbkForm;
  file["dropped"]["undecodable"] = s.nUndecodable;
  return file;
}

}  // namespace

int RunImport(const tagCLICONTEXT& ctx, const tagIMPORTARGS& args) {
  tagIMPORTOPTIONS opt = DefaultImportOptions();
  if (!ParseRange(ctx, "--min", args.strMin, &opt.byMinFreq) ||
      !ParseRange(ctx, "--max", args.strMax, &opt.byMaxFreq)) {
    return EXIT_FAILED;
  }
  CTabrix lib;
  if (!args.strBase.empty() &&
      !LoadLibraryFile(ctx, lib, args.strBase, args.bSalvage ? DAMAGE_SALVAGE : DAMAGE_REFUSE)) {
    return EXIT_FAILED;
  }
  if (args.nInto >= 0 && static_cast<uint32_t>(args.nInto) >= lib.GetGroupCount()) {
    *ctx.pErr << "error: --into " << args.nInto << ": the library has " << lib.GetGroupCount()
              << " groups\n";
    return EXIT_FAILED;
  }
  int status = EXIT_DONE;
  if (opt.byMinFreq > opt.byMaxFreq) {
    Warn(ctx, "empty range",
         "the range " + std::to_string(opt.byMinFreq) + ".." + std::to_string(opt.byMaxFreq) +
             " is empty; no phrase can be added");
  }
  if (args.arrFormats.size() > 1 && args.arrFormats.size() != args.arrTexts.size()) {
    *ctx.pErr << "error: --format is given " << args.arrFormats.size() << " times for "
              << args.arrTexts.size()
              << " files: give it once for every file, or once per file in the files' order\n";
    return EXIT_FAILED;
  }
  std::vector<tagFILEREPORT> reports;
  for (size_t nFile = 0; nFile < args.arrTexts.size(); ++nFile) {
    const std::string& given = args.arrTexts[nFile];
    const int nFormatAsked = DictFormatFromName(
        args.arrFormats.empty() ? "auto" : args.arrFormats[args.arrFormats.size() > 1 ? nFile : 0]);
    // The standard input is read into a file first: the importers read files.
    CTempFile stdinCopy;
    if (IsStandardStream(given) && !CopyStandardInput(ctx, &stdinCopy)) return EXIT_FAILED;
    const std::string& path = IsStandardStream(given) ? stdinCopy.GetPath() : given;
    const std::string shown = IsStandardStream(given) ? std::string(kStdinName) : given;
    const int nFormat =
        nFormatAsked == DICT_FORMAT_AUTO ? DetectDictFormat(path.c_str()) : nFormatAsked;
    std::string title = args.nInto < 0 ? GroupTitle(ctx, shown) : std::string();
    opt.pszTitle = title.c_str();
    CProgressBar bar(ctx, "importing");
    opt.funProgress = &CProgressBar::OnLibraryProgress;
    opt.pProgressData = &bar;
    tagIMPORTSTATS stats{};
    uint8_t group = static_cast<uint8_t>(args.nInto);
    int result = IMPORT_OK;
    tagREADFAULT fault = {};
    if (nFormat == DICT_FORMAT_TEXT) {
      CCliSource src(ctx, shown);
      if (!PrepareSource(ctx, path, args.strEncoding, &src)) return EXIT_FAILED;
      result = ImportSourceList(lib, src, opt, args.nInto < 0, &group, &stats, &fault);
    } else {
      bool refused = false;
      std::FILE* file = OpenInputFile(ctx, path, &refused);
      if (refused) return EXIT_FAILED;
      if (file != nullptr) std::fclose(file);
      result =
          ImportDictionary(lib, path.c_str(), nFormat, opt, args.nInto < 0, &group, &stats, &fault);
    }
    bar.End();
    if (stats.nNoGbkForm || stats.nUndecodable) status = EXIT_WARNINGS;
    if (result == IMPORT_OPEN_FAILED) {
      *ctx.pErr << "error: " << ShownPath(ctx, shown) << ": cannot open the "
                << (nFormat == DICT_FORMAT_TEXT ? "text file" : "dictionary") << "\n";
      return EXIT_FAILED;
    }
    if (result == IMPORT_DAMAGED) {
      *ctx.pErr << "error: " << ShownPath(ctx, shown) << ": not a readable "
                << DictFormatName(stats.nFormat) << " dictionary: " << ReadFaultText(fault) << "\n";
      return EXIT_FAILED;
    }
    if (result == IMPORT_GROUP_FAILED) {
      ExplainGroupFailure(ctx, lib, shown, title);
      return EXIT_FAILED;
    }
    if (result == IMPORT_NOTHING_ADDED) {
      reports.push_back({shown, args.nInto < 0 ? uint8_t(TABRIX_NO_GROUP) : group, stats,
                         stats.nFormat != DICT_FORMAT_TEXT});
      Warn(ctx, "nothing added",
           ShownPath(ctx, shown) + " added no phrases" +
               (args.nInto < 0 ? "; no group was made for it" : ""));
      status = EXIT_WARNINGS;
      continue;
    }
    if (result != IMPORT_OK) {
      *ctx.pErr << "error: " << ShownPath(ctx, shown) << ": the import failed\n";
      return EXIT_FAILED;
    }
    reports.push_back({shown, group, stats, stats.nFormat != DICT_FORMAT_TEXT});
  }
  // What was added is told only once it is saved.
  if (!WriteLibraryOutput(ctx, lib, args.strOutput, args.bDryRun)) return EXIT_FAILED;
  if (args.bJson) {
    CJson json = CommandJson("import");
    json["output"] = JsonTextPath(args.strOutput);
    json["dry_run"] = args.bDryRun;
    CJson files = CJson::array();
    for (const tagFILEREPORT& r : reports) files.push_back(FileJson(r));
    json["files"] = std::move(files);
    SetLibraryJson(json, lib);
    *ctx.pOut << JsonDump(json) << "\n";
    return status;
  }
  std::ostream& out = ReportStream(ctx, IsStandardStream(args.strOutput));
  for (const tagFILEREPORT& r : reports) Report(ctx, out, lib, r);
  out << ShownPath(ctx, args.strOutput) << ": " << lib.GetGroupCount() << " groups, "
      << lib.GetPhraseTotal() << " phrases" << (args.bDryRun ? " (dry run: nothing written)" : "")
      << "\n";
  return status;
}

namespace {

int RunImportCommand(const tagCLICONTEXT& ctx, const CCommandLine& line) {
  tagIMPORTARGS args;
  std::vector<std::string> files = line.GetArgs();
  tagOUTPUTRULE rule;
  if (const std::string* out = line.Value("--output")) {
    args.strOutput = *out;
  } else if (files.size() >= 2) {
    // The older form: OUT first.
    args.strOutput = files.front();
    files.erase(files.begin());
    rule.bByPosition = true;
  } else {
    return UsageError(ctx, line,
                      "no library to write: name it with -o FILE (wbk import TEXT... -o OUT)");
  }
  args.arrTexts = files;
  if (const std::string* base = line.Value("--base")) args.strBase = *base;
  int into = -1, group = -1;
  if (!GroupOption(ctx, line, "--into", &into) || !GroupOption(ctx, line, "--group", &group)) {
    return EXIT_FAILED;
  }
  if (into >= 0 && group >= 0 && into != group) {
    return UsageError(ctx, line, "--into and --group name different groups");
  }
  args.nInto = into >= 0 ? into : group;
  if (const std::string* min = line.Value("--min")) args.strMin = *min;
  if (const std::string* max = line.Value("--max")) args.strMax = *max;
  if (!ChoiceOption(ctx, line, "--encoding", {"auto", "gbk", "utf-8"}, &args.strEncoding) ||
      !ChoiceOptions(ctx, line, "--format",
                     {"auto", "text", "scel", "bdict", "qpyd", "rime", "columns"},
                     &args.arrFormats)) {
    return EXIT_FAILED;
  }
  args.bSalvage = line.Has("--salvage");
  args.bJson = line.Has("--json");
  args.bDryRun = line.Has("--dry-run");
  size_t fromStdin = 0;
  for (const std::string& file : args.arrTexts) {
    if (IsStandardStream(file)) {
      ++fromStdin;
    } else if (HasLibraryName(file)) {
      return UsageError(ctx, line,
                        ShownPath(ctx, file) +
                            " is a library, not a list to import (to add to a library: --base "
                            "LIB; to join libraries: wbk merge); nothing was written");
    }
  }
  if (fromStdin > 1) return UsageError(ctx, line, "the standard input (\"-\") can be read once");
  if (args.bJson && IsStandardStream(args.strOutput)) {
    return UsageError(ctx, line, "--json and -o - would both write to the standard output");
  }
  rule.strPath = args.strOutput;
  rule.arrInputs = args.arrTexts;
  if (!args.strBase.empty()) rule.arrInputs.push_back(args.strBase);
  rule.strInPlace = args.strBase;
  rule.bForce = line.Has("--force");
  rule.strKeepHint = "add to it with --base " + ShownPath(ctx, args.strOutput);
  if (!CheckOutput(ctx, "import", rule)) return EXIT_FAILED;
  for (const std::string& input : rule.arrInputs) {
    if (!IsStandardStream(input) && RefuseSpecialFile(ctx, input)) return EXIT_FAILED;
  }
  return RunImport(ctx, args);
}

}  // namespace

extern const tagCOMMANDDEF kImportCommand = {
    "import",
    "TEXT... -o OUT [--base LIB] [--group N] [options]\nOUT.wbk TEXT... [options]",
    "phrase lists and dictionaries into a library",
    "Import phrase lists (text files of phrase lines, after optional header lines for the "
    "group's name, editor and remark) and dictionaries: each file becomes a new group named after "
    "the file, or "
    "goes into group N with --group; the library is written to OUT. \"-\" reads a list from "
    "the standard input (its group is named stdin unless a header line names it).\n"
    "The import starts from an empty library, or from the library --base LIB. An existing "
    "library OUT is only added to with --base OUT, or replaced with --force.",
    {OPTION_OUTPUT,
     {"--base", 0, "LIB", "start from this library instead of an empty one"},
     OPTION_GROUP,
     {"--into", 0, "N", "the same as --group (the older name)"},
     {"--min", 0, "N", "lowest frequency taken (0..255; default 0)"},
     {"--max", 0, "N", "highest frequency taken (0..255; default 250)"},
     {"--encoding", 0, "E",
      "auto: UTF-8 text (a byte-order mark, or valid UTF-8 that is not plain ASCII) is converted "
      "to GBK; gbk: bytes as they are; utf-8: always converted"},
     {"--format", 0, "F",
      "auto: by its content when it has a format's mark (the .scel and .bdict magic bytes, "
      "Rime's YAML header, the .qpyd header), whatever its name; else by its name (.scel, "
      ".bdict, .qpyd, .dict.yaml; anything else is a phrase list); text: a phrase list (its "
      "encoding as --encoding says); "
      "scel, bdict, qpyd: Sogou, Baidu, QQ cell dictionaries; rime: a Rime .dict.yaml; "
      "columns: a UTF-8 list of columns, the text first and a column of whole numbers as the "
      "weight. A dictionary's weights are mapped into 0..250 by rank. Given once, for every "
      "file; given once per file, the first for the first file, and so on"},
     OPTION_FORCE,
     OPTION_DRY_RUN,
     OPTION_JSON,
     OPTION_SALVAGE},
    1,
    SIZE_MAX,
    &RunImportCommand};
