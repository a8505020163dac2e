// wbk info: the header and the group table of a library.
#include <cstdio>
#include <ostream>

#include "Commands.h"
#include "JsonText.h"
#include "LibraryCheck.h"
#include "LibraryFiles.h"
#include "Tabrix.h"

namespace {

bool ReadHeader(const std::string& path, tagLIBHEADER* header) {
  uint8_t bytes[12];
  FILE* f = fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  size_t n = fread(bytes, 1, sizeof bytes, f);
  fclose(f);
  return ReadLibraryHeader(bytes, n, header);
}

std::string FieldText(const char* field, size_t width) {
  return std::string(field, FieldTextLength(field, width));
}

void PrintJson(const tagCLICONTEXT& ctx, const tagINFOARGS& args, const tagLIBHEADER& h,
               CTabrix& lib) {
  std::ostream& out = *ctx.pOut;
  out << "{\"file\":" << JsonQuotePath(args.strLibrary) << ",\"version\":{\"major\":" << h.wMajor
      << ",\"minor\":" << h.wMinor << "},\"stamp\":" << h.dwStamp << ",\"groups\":[";
  for (uint32_t g = 0; g < lib.GetGroupCount(); ++g) {
    const tagGROUPINFO* info = lib.GetGroup(g);
    out << (g ? "," : "") << "{\"index\":" << g
        << ",\"name\":" << JsonQuoteGbk(FieldText(info->szName, sizeof info->szName))
        << ",\"phrases\":" << info->dwCount << ",\"ticked\":" << (info->bEnable ? "true" : "false")
        << ",\"editor\":" << JsonQuoteGbk(FieldText(info->szEditor, sizeof info->szEditor))
        << ",\"remark\":" << JsonQuoteGbk(FieldText(info->szRemark, sizeof info->szRemark)) << "}";
  }
  out << "],\"total\":" << lib.GetPhraseTotal() << "}\n";
}

void PrintText(const tagCLICONTEXT& ctx, const tagINFOARGS& args, const tagLIBHEADER& h,
               CTabrix& lib) {
  std::ostream& out = *ctx.pOut;
  out << "file: " << ShownPath(ctx, args.strLibrary) << "\n"
      << "version: " << h.wMajor << "." << h.wMinor << "\n"
      << "stamp: " << h.dwStamp << "\n"
      << "groups: " << lib.GetGroupCount() << "\n";
  for (uint32_t g = 0; g < lib.GetGroupCount(); ++g) {
    const tagGROUPINFO* info = lib.GetGroup(g);
    out << "group " << g << ": " << Shown(ctx, info->szName, sizeof info->szName) << "\n"
        << "  phrases: " << info->dwCount << "\n"
        << "  ticked: " << (info->bEnable ? "yes" : "no") << "\n"
        << "  editor: " << Shown(ctx, info->szEditor, sizeof info->szEditor) << "\n"
        << "  remark: " << Shown(ctx, info->szRemark, sizeof info->szRemark) << "\n";
  }
  out << "total phrases: " << lib.GetPhraseTotal() << "\n";
}

}  // namespace

int RunInfo(const tagCLICONTEXT& ctx, const tagINFOARGS& args) {
  CTabrix lib;
  if (!LoadLibraryFile(ctx, lib, args.strLibrary)) return EXIT_FAILED;
  tagLIBHEADER header{};
  if (!ReadHeader(args.strLibrary, &header)) {
    *ctx.pErr << "error: " << ShownPath(ctx, args.strLibrary) << ": cannot read the header\n";
    return EXIT_FAILED;
  }
  if (args.bJson) {
    PrintJson(ctx, args, header, lib);
  } else {
    PrintText(ctx, args, header, lib);
  }
  return EXIT_DONE;
}
