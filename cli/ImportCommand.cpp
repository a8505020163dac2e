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

#ifdef _WIN32
#include <io.h>
#else
#include <sys/types.h>
#include <unistd.h>
#endif

namespace {

// The phrase list as the importer reads it (GbkSource.h), each line left
// out named on the error stream.
class CCliSource : public CGbkSource {
 public:
  CCliSource(const tagCLICONTEXT& ctx, const std::string& path) : m_ctx(ctx), m_strPath(path) {}

 protected:
  void OnLineSkipped(uint32_t nLine, bool bDecodable) override {
    *m_ctx.pErr << "warning: " << ShownPath(m_ctx, m_strPath) << ":" << nLine << ": "
                << (bDecodable                     ? "a character with no GBK form"
                    : GetEncoding() == SOURCE_UTF8 ? "not valid UTF-8"
                                                   : "not valid UTF-16")
                << "; line skipped\n";
  }

 private:
  const tagCLICONTEXT& m_ctx;
  std::string m_strPath;
};

// Decides the file's encoding and, for UTF-8 or UTF-16, makes the GBK copy.
// False when the file cannot be read or the copy cannot be made (an error is
// written). Only a regular file is taken: a device or a FIFO could go on for ever.
bool PrepareSource(const tagCLICONTEXT& ctx, const std::string& path, const std::string& encoding,
                   CCliSource* src) {
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
  if (result == SOURCE_CANNOT_COPY) {
    *ctx.pErr << "error: cannot write a temporary file for " << ShownPath(ctx, path) << "\n";
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
  *ctx.pErr << "warning: " << ShownPath(ctx, path)
            << ": the file name has characters with no GBK form; they are '_' in the group's "
               "name\n";
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

// A phrase list counts lines, a dictionary entries. group is 255 when the
// import made no group.
void Report(const tagCLICONTEXT& ctx, const std::string& path, CTabrix& lib, uint8_t group,
            const tagIMPORTSTATS& s, bool bEntries) {
  const char* units = bEntries ? " entries" : " lines";
  *ctx.pOut << ShownPath(ctx, path) << " -> ";
  if (const tagGROUPINFO* info = group != TABRIX_NO_GROUP ? lib.GetGroup(group) : nullptr) {
    *ctx.pOut << "group " << static_cast<unsigned>(group) << " \""
              << Shown(ctx, info->szName, sizeof info->szName) << "\"";
  } else {
    *ctx.pOut << "no group";
  }
  *ctx.pOut << ": " << s.nLines << units << " read, " << s.nAdded
            << " phrases added; skipped: " << s.nDuplicate << " duplicate, " << s.nTooLong
            << " too long, " << s.nOutOfRange << " out of range";
  if (s.nControlOrEmpty) *ctx.pOut << ", " << s.nControlOrEmpty << " empty or with control bytes";
  if (s.nNoGbkForm) *ctx.pOut << ", " << s.nNoGbkForm << units << " with no GBK form";
  if (s.nUndecodable) *ctx.pOut << ", " << s.nUndecodable << units << " not decodable";
  if (s.nHeaders) *ctx.pOut << "; " << s.nHeaders << " header lines";
  if (s.nFreqReduced) *ctx.pOut << "; " << s.nFreqReduced << " frequencies reduced into 0..250";
  *ctx.pOut << "; read as " << SourceEncodingName(s.nEncoding) << " " << DictFormatName(s.nFormat)
            << "\n";
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
  if (opt.byMinFreq > opt.byMaxFreq) {
    *ctx.pErr << "warning: the range " << static_cast<unsigned>(opt.byMinFreq) << ".."
              << static_cast<unsigned>(opt.byMaxFreq) << " is empty; no phrase can be added\n";
  }
  int status = EXIT_DONE;
  const int nFormatAsked = DictFormatFromName(args.strFormat);
  for (const std::string& path : args.arrTexts) {
    const int nFormat =
        nFormatAsked == DICT_FORMAT_AUTO ? DetectDictFormat(path.c_str()) : nFormatAsked;
    std::string title = args.nInto < 0 ? GroupTitle(ctx, path) : std::string();
    opt.pszTitle = title.c_str();
    CProgressBar bar(ctx, "importing");
    opt.funProgress = &CProgressBar::OnLibraryProgress;
    opt.pProgressData = &bar;
    tagIMPORTSTATS stats{};
    uint8_t group = static_cast<uint8_t>(args.nInto);
    int result = IMPORT_OK;
    std::string error;
    if (nFormat == DICT_FORMAT_TEXT) {
      CCliSource src(ctx, path);
      if (!PrepareSource(ctx, path, args.strEncoding, &src)) return EXIT_FAILED;
      result = ImportSourceList(lib, src, opt, args.nInto < 0, &group, &stats, &error);
    } else {
      bool refused = false;
      std::FILE* file = OpenInputFile(ctx, path, &refused);
      if (refused) return EXIT_FAILED;
      if (file != nullptr) std::fclose(file);
      result =
          ImportDictionary(lib, path.c_str(), nFormat, opt, args.nInto < 0, &group, &stats, &error);
    }
    bar.End();
    if (stats.nNoGbkForm || stats.nUndecodable) status = EXIT_WARNINGS;
    if (result == IMPORT_OPEN_FAILED) {
      *ctx.pErr << "error: " << ShownPath(ctx, path) << ": cannot open the "
                << (nFormat == DICT_FORMAT_TEXT ? "text file" : "dictionary") << "\n";
      return EXIT_FAILED;
    }
    if (result == IMPORT_DAMAGED) {
      *ctx.pErr << "error: " << ShownPath(ctx, path) << ": not a readable "
                << DictFormatName(stats.nFormat) << " dictionary: " << error << "\n";
      return EXIT_FAILED;
    }
    if (result == IMPORT_GROUP_FAILED) {
      ExplainGroupFailure(ctx, lib, path, title);
      return EXIT_FAILED;
    }
    if (result == IMPORT_NOTHING_ADDED) {
      Report(ctx, path, lib, args.nInto < 0 ? uint8_t(TABRIX_NO_GROUP) : group, stats,
             stats.nFormat != DICT_FORMAT_TEXT);
      *ctx.pErr << "warning: " << ShownPath(ctx, path) << " added no phrases"
                << (args.nInto < 0 ? "; no group was made for it" : "") << "\n";
      status = EXIT_WARNINGS;
      continue;
    }
    if (result != IMPORT_OK) {
      *ctx.pErr << "error: " << ShownPath(ctx, path) << ": the import failed\n";
      return EXIT_FAILED;
    }
    Report(ctx, path, lib, group, stats, stats.nFormat != DICT_FORMAT_TEXT);
  }
  if (!SaveLibraryFile(ctx, lib, args.strOutput)) return EXIT_FAILED;
  *ctx.pOut << ShownPath(ctx, args.strOutput) << ": " << lib.GetGroupCount() << " groups, "
            << lib.GetPhraseTotal() << " phrases\n";
  return status;
}
