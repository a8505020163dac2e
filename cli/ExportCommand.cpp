// wbk export: groups as phrase lists in the import format, so that importing
// the files into an empty library gives the same groups back. Whatever the
// format cannot carry is named in a warning.
#include <cstdio>
#include <cstring>
#include <ostream>

#include "Commands.h"
#include "GbkText.h"
#include "LibraryFiles.h"
#include "PhraseImport.h"
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

struct tagHEADERKEY {
  const char* pszKey;  // GBK: '@', two characters, '='
  size_t nOffset;
  size_t nWidth;
  const char* pszWhat;
};
// The keys as GBK bytes whatever the compiler's execution character set:
// @名称= (name), @编辑= (editor), @备注= (remark).
const tagHEADERKEY kHeaderKeys[] = {
    {"@\xC3\xFB\xB3\xC6=", offsetof(tagGROUPINFO, szName), sizeof(tagGROUPINFO::szName), "name"},
    {"@\xB1\xE0\xBC\xAD=", offsetof(tagGROUPINFO, szEditor), sizeof(tagGROUPINFO::szEditor),
     "editor"},
    {"@\xB1\xB8\xD7\xA2=", offsetof(tagGROUPINFO, szRemark), sizeof(tagGROUPINFO::szRemark),
     "remark"},
};

// The value written for a header field: cut at a line break and to what one
// line of the reader holds. *pCarried: importing it restores the field's text.
std::string HeaderValue(const tagHEADERKEY& key, const char* field, bool* pCarried) {
  std::string text = FieldText(field, key.nWidth);
  std::string value = text.substr(0, text.find_first_of("\r\n"));
  value.resize(
      GbkWholeCharsWithin(value.data(), value.size(), IMPORT_MAX_LINE - strlen(key.pszKey)));
  std::string copy(key.nWidth, '\0');
  CopyHeaderValue(&copy[0], static_cast<uint32_t>(key.nWidth), value.c_str());
  *pCarried = FieldText(copy.data(), key.nWidth) == text;
  return value;
}

enum LineFault {
  LINE_OK,
  LINE_NUL,         // a NUL byte inside the text: the import sees the text end there
  LINE_BREAK,       // CR or LF inside the text
  LINE_COMMENT,     // first byte '#'
  LINE_HEADER,      // first byte '@'
  LINE_BLANK,       // a blank or tab inside the text
  LINE_SPLIT,       // the split finds another text (half a character at its end)
  LINE_HIGH_FREQ,   // frequency above 250: imports as 250 (the phrase is written)
  LINE_NO_UNICODE,  // --encoding utf-8: the text has no Unicode form
  LINE_FAULT_COUNT
};
const char* const kFaultNames[LINE_FAULT_COUNT] = {"",
                                                   "a NUL byte inside",
                                                   "a line break inside",
                                                   "first byte '#'",
                                                   "first byte '@'",
                                                   "a blank or tab inside",
                                                   "ends in half a character",
                                                   "frequency above 250 (imports as 250)",
                                                   "no Unicode form"};

// Builds the phrase's line (GBK, without line end) and says whether the
// import reads the same text and frequency back from it.
LineFault PhraseLine(const tagPHRASE2& p, std::string* line) {
  std::string text(p.szWord, p.cLen);
  *line = text + "\t" + std::to_string(p.byFreq);
  if (text.find('\0') != std::string::npos) return LINE_NUL;
  if (text.find_first_of("\r\n") != std::string::npos) return LINE_BREAK;
  if (!text.empty() && text[0] == '#') return LINE_COMMENT;
  if (!text.empty() && text[0] == '@') return LINE_HEADER;
  tagPHRASELINE split{};
  SplitPhraseLine(line->c_str(), static_cast<uint32_t>(line->size()), &split);
  if (split.nTextLen != p.cLen) {
    return text.find_first_of(" \t") != std::string::npos ? LINE_BLANK : LINE_SPLIT;
  }
  if (PhraseFrequency(line->c_str() + split.nFreqStart) != p.byFreq) return LINE_HIGH_FREQ;
  return LINE_OK;
}

struct tagGROUPEXPORT {
  std::string strText;  // the file's bytes
  uint32_t nWritten = 0;
  uint32_t arrFaults[LINE_FAULT_COUNT] = {};
  std::vector<std::string> arrNamed;  // "text (reason)", GBK
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
  for (const tagHEADERKEY& key : kHeaderKeys) {
    const char* field = reinterpret_cast<const char*>(info) + key.nOffset;
    bool carried = false;
    std::string value = HeaderValue(key, field, &carried);
    if (!AppendLine(key.pszKey + value, utf8, &ex->strText)) {
      AppendLine(key.pszKey, utf8, &ex->strText);
      ex->arrHeaderWarnings.push_back(std::string("the ") + key.pszWhat +
                                      " has no Unicode form and is left empty");
    } else if (!carried) {
      ex->arrHeaderWarnings.push_back(
          std::string("the ") + key.pszWhat + " is cut (a line holds " +
          std::to_string(IMPORT_MAX_LINE - strlen(key.pszKey)) +
          " bytes of value, a line break ends it, and its field keeps whole characters)");
    }
  }
  for (uint32_t index : phrases) {
    const tagPHRASE2& p = *lib.m_arrPhrase.GetAt(index);
    std::string line;
    LineFault fault = PhraseLine(p, &line);
    if (fault == LINE_OK || fault == LINE_HIGH_FREQ) {
      if (AppendLine(line, utf8, &ex->strText)) {
        ++ex->nWritten;
      } else {
        fault = LINE_NO_UNICODE;
      }
    }
    if (fault != LINE_OK) {
      ++ex->arrFaults[fault];
      if (ex->arrNamed.size() < kNamedLimit) {
        ex->arrNamed.push_back(std::string(p.szWord, p.cLen) + "\x01" + kFaultNames[fault]);
      }
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
  uint32_t skipped = 0, high = ex.arrFaults[LINE_HIGH_FREQ];
  for (int f = LINE_NUL; f < LINE_FAULT_COUNT; ++f) {
    if (f != LINE_HIGH_FREQ) skipped += ex.arrFaults[f];
  }
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
    for (const std::string& named : ex.arrNamed) {
      size_t sep = named.find('\x01');
      *ctx.pErr << "  \"" << Shown(ctx, named.substr(0, sep)) << "\": " << named.substr(sep + 1)
                << "\n";
    }
    if (skipped + high > ex.arrNamed.size()) {
      *ctx.pErr << "  ... and " << skipped + high - ex.arrNamed.size() << " more\n";
    }
  }
}

bool HasWarnings(const tagGROUPEXPORT& ex) {
  if (!ex.arrHeaderWarnings.empty()) return true;
  for (uint32_t n : ex.arrFaults) {
    if (n) return true;
  }
  return false;
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
