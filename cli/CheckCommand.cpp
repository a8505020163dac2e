// wbk check: what the loader does not look at, each finding with its offset.
#include <ostream>

#include "Commands.h"
#include "JsonText.h"
#include "LibraryCheck.h"
#include "LibraryFiles.h"

namespace {

const char* StatusName(CheckStatus status) {
  return status == CHECK_CLEAN ? "clean" : status == CHECK_FINDINGS ? "findings" : "unreadable";
}

void PrintJson(const tagCLICONTEXT& ctx, const tagCHECKARGS& args, const tagCHECKREPORT& r) {
  std::ostream& out = *ctx.pOut;
  out << "{\"file\":" << JsonQuotePath(args.strLibrary) << ",\"size\":" << r.nSize
      << ",\"status\":\"" << StatusName(r.nStatus) << "\",\"groups\":" << r.nGroups
      << ",\"records\":" << r.nRecords << ",\"findings\":[";
  bool first = true;
  for (const tagCHECKFINDING& f : r.arrFindings) {
    out << (first ? "" : ",") << "{\"offset\":" << f.nOffset << ",\"kind\":\""
        << CheckKindName(f.nKind) << "\",\"message\":" << JsonQuoteUtf8(f.strMessage);
    if (!f.strText.empty()) out << ",\"text\":" << JsonQuoteGbk(f.strText);
    out << "}";
    first = false;
  }
  out << "],\"notListed\":" << r.nNotListed << "}\n";
}

void PrintText(const tagCLICONTEXT& ctx, const tagCHECKARGS& args, const tagCHECKREPORT& r) {
  std::ostream& out = *ctx.pOut;
  for (const tagCHECKFINDING& f : r.arrFindings) {
    out << "offset " << f.nOffset << ": " << CheckKindName(f.nKind) << ": " << f.strMessage;
    if (!f.strText.empty()) out << " [" << Shown(ctx, f.strText) << "]";
    out << "\n";
  }
  if (r.nNotListed) out << "... and " << r.nNotListed << " more findings not listed\n";
  out << ShownPath(ctx, args.strLibrary) << ": ";
  if (r.nStatus == CHECK_CLEAN) {
    out << "clean (" << r.nGroups << " groups, " << r.nRecords << " phrases)\n";
  } else if (r.nStatus == CHECK_FINDINGS) {
    out << r.arrFindings.size() + r.nNotListed << " findings\n";
  } else {
    out << "not a library the loader accepts\n";
  }
}

}  // namespace

int RunCheck(const tagCLICONTEXT& ctx, const tagCHECKARGS& args) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(args.strLibrary, &bytes)) {
    *ctx.pErr << "error: " << ShownPath(ctx, args.strLibrary) << ": cannot be read\n";
    return EXIT_FAILED;
  }
  tagCHECKREPORT report;
  CheckLibraryBytes(bytes.data(), bytes.size(), &report);
  if (args.bJson) {
    PrintJson(ctx, args, report);
  } else {
    PrintText(ctx, args, report);
  }
  return report.nStatus == CHECK_CLEAN      ? EXIT_DONE
         : report.nStatus == CHECK_FINDINGS ? EXIT_WARNINGS
                                            : EXIT_FAILED;
}
