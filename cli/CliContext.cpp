#include "CliContext.h"

#include <ostream>

#include "FileNames.h"
#include "GbkText.h"
#include "InputFile.h"
#include "TextEncoding.h"

std::ostream& ReportStream(const tagCLICONTEXT& ctx, bool bDataOnStdout) {
  // A stream without buffer takes everything and writes nothing.
  static std::ostream s_nowhere(nullptr);
  if (ctx.bQuiet) return s_nowhere;
  return bDataOnStdout ? *ctx.pErr : *ctx.pOut;
}

std::string Shown(const tagCLICONTEXT& ctx, const std::string& gbk) {
  return GbkForDisplay(gbk, ctx.nCodePage);
}

std::string Shown(const tagCLICONTEXT& ctx, const char* field, size_t width) {
  return Shown(ctx, FieldText(field, width));
}

std::string ShownPath(const tagCLICONTEXT& ctx, const std::string& path) {
  std::string out;
  if (ConvertCodePage(FileNameCodePage(), ctx.nCodePage, path, &out)) return out;
  // A UTF-8 name on a console of another code page: what it cannot show is
  // '?', as in the system's own listings.
  if (FileNameCodePage() == CODEPAGE_UTF8 && ctx.nCodePage != CODEPAGE_UTF8) {
    return ConvertEachCharacter(CODEPAGE_UTF8, ctx.nCodePage, path, "?");
  }
  return path;
}

namespace {

void WriteRefusal(const tagCLICONTEXT& ctx, const std::string& path, InputKind nKind,
                  bool* pRefused) {
  *ctx.pErr << "error: " << ShownPath(ctx, path) << ": not a regular file (" << InputKindName(nKind)
            << "); nothing was read from it\n";
  *pRefused = true;
}

}  // namespace

std::FILE* OpenInputFile(const tagCLICONTEXT& ctx, const std::string& path, bool* pRefused,
                         uint64_t* pSize) {
  *pRefused = false;
  InputKind nKind = INPUT_UNOPENED;
  std::FILE* file = ::OpenInputFile(path.c_str(), INPUT_SHARED, pSize, &nKind);
  if (file == nullptr && nKind != INPUT_UNOPENED) WriteRefusal(ctx, path, nKind, pRefused);
  return file;
}

bool RefuseSpecialFile(const tagCLICONTEXT& ctx, const std::string& path) {
  bool refused = false;
  std::FILE* file = OpenInputFile(ctx, path, &refused);
  if (file != nullptr) std::fclose(file);
  return refused;
}
