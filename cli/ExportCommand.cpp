// wbk export: groups as phrase lists in the import format, so that importing
// the files into an empty library gives the same groups back. Whatever the
// format cannot carry is named in a warning.
#include <cstdio>
#include <cstring>
#include <ostream>

#include "Commands.h"
#include "GbkText.h"
#include "LibraryFiles.h"
#include "PhraseListWriter.h"
#include "ProgressBar.h"
#include "Tabrix.h"
#include "TextEncoding.h"

namespace {

#ifdef _WIN32
const char kLineEnd[] = "\r\n";
#else
const char kLineEnd[] = "\n";
#endif

// Phrases named one by one in a warning; the rest are only counted.
const uint32_t kNamedLimit = 20;

// A phrase named in a warning, and why.
struct tagNAMEDPHRASE {
  std::string strText;    // GBK
  const char* pszReason;  // what the text format cannot carry
};

struct tagGROUPEXPORT {
  std::string strText;  // the file's bytes
  uint32_t nWritten = 0;
  uint32_t nLeftOut = 0;   // phrases the text format cannot carry, not written
  uint32_t nHighFreq = 0;  // written, but import as 250
  std::vector<tagNAMEDPHRASE> arrNamed;
  std::vector<std::string> arrHeaderWarnings;
};

bool AppendLine(const std::string& gbk, bool utf8, std::string* out) {
  std::string line;
  if (utf8) {
    if (!GbkToUtf8(gbk, &line)) return false;
  } else {
    line = gbk;
  }
  *out += line;
  *out += kLineEnd;
  return true;
}

void ExportGroup(CTabrix& lib, uint32_t g, const std::vector<uint32_t>& phrases, bool utf8,
                 CProgressBar& bar, uint64_t* pDone, tagGROUPEXPORT* ex) {
  const tagGROUPINFO* info = lib.GetGroup(g);
  for (const tagHEADERFIELD& field : kHeaderFields) {
    bool carried = false;
    std::string value = HeaderLineValue(field, *info, &carried);
    if (!AppendLine(field.pszKey + value, utf8, &ex->strText)) {
      AppendLine(field.pszKey, utf8, &ex->strText);
      ex->arrHeaderWarnings.push_back(std::string("the ") + field.pszWhat +
                                      " has no Unicode form and is left empty");
    } else if (!carried) {
      ex->arrHeaderWarnings.push_back(
          std::string("the ") + field.pszWhat + " is cut (a line holds " +
          std::to_string(HeaderValueLimit(field)) +
          " bytes of value, a line break ends it, and its field keeps whole characters)");
    }
  }
  for (uint32_t index : phrases) {
    const tagPHRASE2& p = *lib.m_arrPhrase.GetAt(index);
    std::string line;
    const PhraseLineFault fault = PhraseListLine(p, &line);
    const char* reason = PhraseLineFaultName(fault);
    bool written = false;
    if (fault == LINE_OK || fault == LINE_HIGH_FREQ) {
      written = AppendLine(line, utf8, &ex->strText);
      if (written) {
        ++ex->nWritten;
      } else {
        reason = "no Unicode form";
      }
    }
    if (!written) {
      ++ex->nLeftOut;
    } else if (fault == LINE_HIGH_FREQ) {
      ++ex->nHighFreq;
    }
    if ((!written || fault != LINE_OK) && ex->arrNamed.size() < kNamedLimit) {
      ex->arrNamed.push_back({std::string(p.szWord, p.cLen), reason});
    }
    bar.Update(++*pDone);
  }
}

// "NNN-name.txt" when the name makes a short, safe file name, else "NNN.txt".
// The name itself travels in the @名称= line; the number keeps the groups'
// order when the files are imported in name order.
std::string FileNameFor(uint32_t g, const tagGROUPINFO& info) {
  char number[16];
  snprintf(number, sizeof number, "%03u", static_cast<unsigned>(g));
  std::string name = FieldText(info.szName, sizeof info.szName);
  // The title of the file name must fit a group name when it is imported.
  if (name.empty() || strlen(number) + 1 + name.size() >= TABRIX_NAME_FIELD) {
    return std::string(number) + ".txt";
  }
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (IsGbkLeadByte(c)) {
      ++i;  // the second byte of a GBK character is never a separator
    } else if (c < 0x20 || strchr("/\\:*?\"<>|.", c) != nullptr) {
      name[i] = '_';
    }
  }
  std::string converted;
  if (!ConvertCodePage(CODEPAGE_GBK, FileNameCodePage(), name, &converted)) {
    return std::string(number) + ".txt";
  }
  return std::string(number) + "-" + converted + ".txt";
}

void Warn(const tagCLICONTEXT& ctx, CTabrix& lib, uint32_t g, const tagGROUPEXPORT& ex) {
  const tagGROUPINFO* info = lib.GetGroup(g);
  std::string who =
      "group " + std::to_string(g) + " \"" + Shown(ctx, info->szName, sizeof info->szName) + "\"";
  for (const std::string& w : ex.arrHeaderWarnings)
    *ctx.pErr << "warning: " << who << ": " << w << "\n";
  const uint32_t skipped = ex.nLeftOut, high = ex.nHighFreq;
  if (skipped) {
    *ctx.pErr << "warning: " << who << ": " << skipped
              << " phrases cannot be carried by the text format and are left out";
  }
  if (high) {
    *ctx.pErr << (skipped ? "; " : "warning: " + who + ": ") << high
              << " phrases have a frequency above 250 and import as 250";
  }
  if (skipped || high) {
    *ctx.pErr << ":\n";
    for (const tagNAMEDPHRASE& named : ex.arrNamed) {
      *ctx.pErr << "  \"" << Shown(ctx, named.strText) << "\": " << named.pszReason << "\n";
    }
    if (skipped + high > ex.arrNamed.size()) {
      *ctx.pErr << "  ... and " << skipped + high - ex.arrNamed.size() << " more\n";
    }
  }
}

bool HasWarnings(const tagGROUPEXPORT& ex) {
  return !ex.arrHeaderWarnings.empty() || ex.nLeftOut > 0 || ex.nHighFreq > 0;
}

}  // namespace

int RunExport(const tagCLICONTEXT& ctx, const tagEXPORTARGS& args) {
  CTabrix lib;
  if (!LoadLibraryFile(ctx, lib, args.strLibrary, args.bSalvage ? DAMAGE_SALVAGE : DAMAGE_REFUSE)) {
    return EXIT_FAILED;
  }
  uint32_t groups = lib.GetGroupCount();
  std::vector<uint32_t> chosen;
  if (args.nGroup >= 0) {
    if (static_cast<uint32_t>(args.nGroup) >= groups) {
      *ctx.pErr << "error: --group " << args.nGroup << ": the library has " << groups
                << " groups\n";
      return EXIT_FAILED;
    }
    chosen.push_back(static_cast<uint32_t>(args.nGroup));
  } else {
    for (uint32_t g = 0; g < groups; ++g) chosen.push_back(g);
  }
  if (args.strDir.empty() && chosen.size() != 1) {
    *ctx.pErr << "error: the library has " << groups
              << " groups; one file holds one group: choose one with --group N, or write all with "
                 "--dir DIR\n";
    return EXIT_FAILED;
  }
  if (!args.strDir.empty()) {
    if (!MakeFolder(args.strDir)) {
      *ctx.pErr << "error: " << ShownPath(ctx, args.strDir) << ": cannot create the folder\n";
      return EXIT_FAILED;
    }
  }
  bool utf8 = args.strEncoding == "utf-8";
  int status = EXIT_DONE;
  if (groups > TABRIX_MAX_GROUPS && args.nGroup < 0) {
    *ctx.pErr << "warning: the library holds " << groups << " groups; an import stops at "
              << TABRIX_MAX_GROUPS << "\n";
    status = EXIT_WARNINGS;
  }
  // The store is sorted by text; each group's phrases keep that order.
  std::vector<std::vector<uint32_t>> byGroup(groups);
  uint64_t total = 0;
  for (uint32_t i = 0; i < lib.m_arrPhrase.GetCount(); ++i) {
    uint8_t g = lib.m_arrPhrase.GetAt(i)->byGroup;
    if (g < groups && (args.nGroup < 0 || g == static_cast<uint32_t>(args.nGroup))) {
      byGroup[g].push_back(i);
      ++total;
    }
  }
  CProgressBar bar(ctx, "exporting");
  bar.Begin(total);
  uint64_t done = 0;
  for (uint32_t g : chosen) {
    tagGROUPEXPORT ex;
    ExportGroup(lib, g, byGroup[g], utf8, bar, &done, &ex);
    std::vector<uint32_t>().swap(byGroup[g]);
    std::string target;
    if (!args.strDir.empty()) {
      target = JoinPath(args.strDir, FileNameFor(g, *lib.GetGroup(g)));
    } else {
      target = args.strOutput;
    }
    if (target.empty()) {
      ctx.pOut->write(ex.strText.data(), static_cast<std::streamsize>(ex.strText.size()));
      ctx.pOut->flush();
      if (!*ctx.pOut) {
        bar.End();
        *ctx.pErr << "error: cannot write to the standard output\n";
        return EXIT_FAILED;
      }
    } else if (!WriteWholeFile(target, ex.strText)) {
      bar.End();
      *ctx.pErr << "error: " << ShownPath(ctx, target) << ": cannot be written\n";
      return EXIT_FAILED;
    }
    bar.End();
    if (!target.empty()) {
      *ctx.pOut << "group " << g << " -> " << ShownPath(ctx, target) << ": " << ex.nWritten
                << " phrases\n";
    }
    if (HasWarnings(ex)) {
      Warn(ctx, lib, g, ex);
      status = EXIT_WARNINGS;
    }
  }
  return status;
}
