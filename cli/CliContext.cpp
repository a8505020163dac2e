#include "CliContext.h"

#include "PhraseRecords.h"
#include "TextEncoding.h"

std::string Shown(const tagCLICONTEXT& ctx, const std::string& gbk) {
  return GbkForDisplay(gbk, ctx.nCodePage);
}

std::string Shown(const tagCLICONTEXT& ctx, const char* field, size_t width) {
  return Shown(ctx, std::string(field, FieldTextLength(field, width)));
}

std::string ShownPath(const tagCLICONTEXT& ctx, const std::string& path) {
  std::string out;
  if (ConvertCodePage(FileNameCodePage(), ctx.nCodePage, path, &out)) return out;
  return path;
}
