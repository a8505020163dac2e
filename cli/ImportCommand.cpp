// wbk import: text files into a library, each as a new group ("导入新组") or
// into one group ("导入到当前组"), through the editor's own importer.
#include <memory>
#include <ostream>

#include "Commands.h"
#include "LibraryFiles.h"
#include "PhraseImport.h"
#include "ProgressBar.h"
#include "Tabrix.h"
#include "TextEncoding.h"

namespace {

// A text file as the importer will read it: the original path, or a GBK copy
// made from UTF-8 text.
struct tagIMPORTSOURCE {
  std::string strPath;  // what the importer opens
  std::unique_ptr<CTempFile> pTemp;
  uint32_t nUnconvertible = 0;  // lines skipped because they have no GBK form
};

// UTF-8 to GBK line by line, so a line that does not convert can be named and
// left out (as an empty line, which the reader skips) without losing the rest.
std::string ConvertLines(const tagCLICONTEXT& ctx, const std::string& file, const std::string& text,
                         uint32_t* pSkipped) {
  std::string out;
  if (Utf8ToGbk(text, &out)) return out;  // the usual case: every line converts
  out.clear();
  out.reserve(text.size());
  size_t start = 0;
  uint32_t line = 0;
  while (start < text.size()) {
    ++line;
    size_t end = text.find('\n', start);
    size_t stop = end == std::string::npos ? text.size() : end;
    std::string gbk;
    if (Utf8ToGbk(text.substr(start, stop - start), &gbk)) {
      out += gbk;
    } else {
      ++*pSkipped;
      bool valid = IsValidUtf8(text.data() + start, stop - start);
      *ctx.pErr << "warning: " << ShownPath(ctx, file) << ":" << line << ": "
                << (valid ? "a character with no GBK form" : "not valid UTF-8")
                << "; line skipped\n";
    }
    if (end == std::string::npos) break;
    out += '\n';
    start = end + 1;
  }
  return out;
}

// Decides the file's encoding and, for UTF-8, makes the GBK copy. False when
// the file cannot be read or the copy cannot be made (an error is written).
bool PrepareSource(const tagCLICONTEXT& ctx, const std::string& path, const std::string& encoding,
                   tagIMPORTSOURCE* src) {
  src->strPath = path;
  if (encoding == "gbk") return true;
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, &bytes)) {
    *ctx.pErr << "error: " << ShownPath(ctx, path) << ": cannot open the text file\n";
    return false;
  }
  const char* p = reinterpret_cast<const char*>(bytes.data());
  size_t n = bytes.size();
  if (!NeedsUtf8Conversion(p, n, encoding)) return true;
  bool bom = HasUtf8Bom(p, n);
  std::string text = bom ? std::string(p + 3, n - 3) : std::string(p, n);
  std::string gbk = ConvertLines(ctx, path, text, &src->nUnconvertible);
  src->pTemp.reset(new CTempFile);
  if (!src->pTemp->Create(gbk)) {
    *ctx.pErr << "error: cannot write a temporary file for " << ShownPath(ctx, path) << "\n";
    return false;
  }
  src->strPath = src->pTemp->GetPath();
  return true;
}

// The new group's name from the file name, in GBK like every library text.
std::string GroupTitle(const tagCLICONTEXT& ctx, const std::string& path) {
  std::string title = GroupTitleFromPath(path.c_str());
  std::string gbk;
  if (ConvertCodePage(FileNameCodePage(), CODEPAGE_GBK, title, &gbk)) return gbk;
  *ctx.pErr << "warning: " << ShownPath(ctx, path)
            << ": the file name has characters with no GBK form; the group takes its bytes\n";
  return title;
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

void Report(const tagCLICONTEXT& ctx, const std::string& path, CTabrix& lib, uint8_t group,
            const tagIMPORTSTATS& s, const tagIMPORTSOURCE& src) {
  const tagGROUPINFO* info = lib.GetGroup(group);
  *ctx.pOut << ShownPath(ctx, path) << " -> group " << static_cast<unsigned>(group) << " \""
            << Shown(ctx, info->szName, sizeof info->szName) << "\": " << s.nLines
            << " lines read, " << s.nAdded << " phrases added; skipped: " << s.nDuplicate
            << " duplicate, " << s.nTooLong << " too long, " << s.nOutOfRange << " out of range";
  if (src.nUnconvertible) *ctx.pOut << ", " << src.nUnconvertible << " lines with no GBK form";
  if (s.nHeaders) *ctx.pOut << "; " << s.nHeaders << " header lines";
  *ctx.pOut << "\n";
}

}  // namespace

int RunImport(const tagCLICONTEXT& ctx, const tagIMPORTARGS& args) {
  tagIMPORTOPTIONS opt = DefaultImportOptions();
  if (!ParseRange(ctx, "--min", args.strMin, &opt.byMinFreq) ||
      !ParseRange(ctx, "--max", args.strMax, &opt.byMaxFreq)) {
    return EXIT_FAILED;
  }
  CTabrix lib;
  if (!args.strBase.empty() && !LoadLibraryFile(ctx, lib, args.strBase)) return EXIT_FAILED;
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
  for (const std::string& path : args.arrTexts) {
    tagIMPORTSOURCE src;
    if (!PrepareSource(ctx, path, args.strEncoding, &src)) return EXIT_FAILED;
    if (src.nUnconvertible) status = EXIT_WARNINGS;
    std::string title = args.nInto < 0 ? GroupTitle(ctx, path) : std::string();
    opt.pszTitle = title.c_str();
    CProgressBar bar(ctx, "importing");
    opt.funProgress = &CProgressBar::OnImportProgress;
    opt.pProgressData = &bar;
    tagIMPORTSTATS stats{};
    uint8_t group = static_cast<uint8_t>(args.nInto);
    int result = args.nInto >= 0 ? ImportToGroup(lib, group, src.strPath.c_str(), opt, &stats)
                                 : ImportNewGroup(lib, src.strPath.c_str(), opt, &group, &stats);
    bar.End();
    if (result == IMPORT_OPEN_FAILED) {
      *ctx.pErr << "error: " << ShownPath(ctx, path) << ": cannot open the text file\n";
      return EXIT_FAILED;
    }
    if (result == IMPORT_GROUP_FAILED) {
      ExplainGroupFailure(ctx, lib, path, title);
      return EXIT_FAILED;
    }
    if (result != IMPORT_OK) {
      *ctx.pErr << "error: " << ShownPath(ctx, path) << ": the import failed\n";
      return EXIT_FAILED;
    }
    Report(ctx, path, lib, group, stats, src);
    if (stats.nAdded == 0) {
      *ctx.pErr << "warning: " << ShownPath(ctx, path) << " added no phrases\n";
      status = EXIT_WARNINGS;
    }
  }
  if (!SaveLibraryFile(ctx, lib, args.strOutput)) return EXIT_FAILED;
  *ctx.pOut << ShownPath(ctx, args.strOutput) << ": " << lib.GetGroupCount() << " groups, "
            << lib.GetPhraseTotal() << " phrases\n";
  return status;
}
