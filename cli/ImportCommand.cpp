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

// A text file as the importer will read it: the original path, or a GBK copy
// made from UTF-8 text.
struct tagIMPORTSOURCE {
  std::string strPath;  // what the importer opens
  std::unique_ptr<CTempFile> pTemp;
  uint32_t nUnconvertible = 0;  // lines skipped because they have no GBK form
};

// UTF-8 to GBK into the temporary copy; a line that does not convert is
// named and left out (as an empty line, which the reader skips) without
// losing the rest.
class CCopyConverter : public CUtf8LineConverter {
 public:
  CCopyConverter(const tagCLICONTEXT& ctx, const std::string& path, std::FILE* out)
      : m_ctx(ctx), m_strPath(path), m_pOut(out) {}

 protected:
  bool Put(const char* gbk, size_t size) override {
    return m_pOut != nullptr && std::fwrite(gbk, 1, size, m_pOut) == size;
  }
  bool TakeBack(uint64_t size) override {
    if (m_pOut == nullptr || std::fflush(m_pOut) != 0) return false;
#ifdef _WIN32
    return _chsize_s(_fileno(m_pOut), static_cast<__int64>(size)) == 0 &&
           _fseeki64(m_pOut, static_cast<__int64>(size), SEEK_SET) == 0;
#else
    return ftruncate(fileno(m_pOut), static_cast<off_t>(size)) == 0 &&
           fseeko(m_pOut, static_cast<off_t>(size), SEEK_SET) == 0;
#endif
  }
  void OnLineSkipped(uint32_t line, bool validUtf8) override {
    *m_ctx.pErr << "warning: " << ShownPath(m_ctx, m_strPath) << ":" << line << ": "
                << (validUtf8 ? "a character with no GBK form" : "not valid UTF-8")
                << "; line skipped\n";
  }

 private:
  const tagCLICONTEXT& m_ctx;
  std::string m_strPath;
  std::FILE* m_pOut;
};

// Reads the file in blocks: never more of it in memory than one block.
class CBlockReader {
 public:
  explicit CBlockReader(std::FILE* file) : m_pFile(file), m_arrBlock(65536) {}
  // The next block, empty at the end of the file or on a read error.
  size_t Next() { return std::fread(m_arrBlock.data(), 1, m_arrBlock.size(), m_pFile); }
  const char* Data() const { return m_arrBlock.data(); }
  bool Failed() const { return std::ferror(m_pFile) != 0; }

 private:
  std::FILE* m_pFile;
  std::vector<char> m_arrBlock;
};

// Whether the text starts with a byte-order mark and must be converted from
// UTF-8 (NeedsUtf8Conversion over the whole file), read in blocks. "auto"
// reads until the answer is known: to the end only for valid UTF-8.
bool ScanText(std::FILE* file, const std::string& mode, bool* pBom, bool* pConvert) {
  CBlockReader reader(file);
  CUtf8Scan scan;
  char head[3];
  size_t headSize = 0;
  size_t n;
  while ((n = reader.Next()) > 0) {
    for (size_t i = 0; i < n && headSize < sizeof head; ++i) head[headSize++] = reader.Data()[i];
    if (mode != "auto" || HasUtf8Bom(head, headSize)) break;
    scan.Feed(reader.Data(), n);
    if (!scan.IsValidSoFar()) break;
  }
  if (reader.Failed()) return false;
  *pBom = HasUtf8Bom(head, headSize);
  *pConvert = mode == "utf-8" || *pBom || (scan.IsValid() && !scan.IsPlainAscii());
  return true;
}

// The GBK copy of UTF-8 text, from the byte after any byte-order mark. False,
// with an error written, when the text cannot be read or the copy not made.
bool MakeGbkCopy(const tagCLICONTEXT& ctx, const std::string& path, std::FILE* file, bool bom,
                 tagIMPORTSOURCE* src) {
  if (std::fseek(file, bom ? 3 : 0, SEEK_SET) != 0) {
    *ctx.pErr << "error: " << ShownPath(ctx, path) << ": cannot open the text file\n";
    return false;
  }
  src->pTemp.reset(new CTempFile);
  std::FILE* out = nullptr;
  // Created empty under a name nobody else holds, then filled as the text converts.
  if (src->pTemp->Create(std::string())) out = std::fopen(src->pTemp->GetPath().c_str(), "wb");
  CCopyConverter converter(ctx, path, out);
  CBlockReader reader(file);
  size_t n;
  // Without a copy the lines are still converted, to name those with no GBK form.
  while ((n = reader.Next()) > 0) converter.Feed(reader.Data(), n);
  bool readFailed = reader.Failed();
  if (!readFailed) converter.Finish();
  bool written = out != nullptr && !converter.IsOutputFailed();
  if (out != nullptr && std::fclose(out) != 0) written = false;
  if (readFailed) {
    *ctx.pErr << "error: " << ShownPath(ctx, path) << ": cannot open the text file\n";
    return false;
  }
  src->nUnconvertible = converter.GetSkipped();
  if (!written) {
    *ctx.pErr << "error: cannot write a temporary file for " << ShownPath(ctx, path) << "\n";
    return false;
  }
  src->strPath = src->pTemp->GetPath();
  return true;
}

// Decides the file's encoding and, for UTF-8, makes the GBK copy. False when
// the file cannot be read or the copy cannot be made (an error is written).
// Only a regular file is taken: a device or a FIFO could go on for ever.
bool PrepareSource(const tagCLICONTEXT& ctx, const std::string& path, const std::string& encoding,
                   tagIMPORTSOURCE* src) {
  src->strPath = path;
  bool refused = false;
  std::FILE* file = OpenInputFile(ctx, path, &refused);
  if (refused) return false;
  // GBK text goes to the importer as it is; the importer says when it cannot open it.
  if (encoding == "gbk") {
    if (file != nullptr) std::fclose(file);
    return true;
  }
  bool bom = false, convert = false;
  if (file == nullptr || !ScanText(file, encoding, &bom, &convert)) {
    if (file != nullptr) std::fclose(file);
    *ctx.pErr << "error: " << ShownPath(ctx, path) << ": cannot open the text file\n";
    return false;
  }
  bool ok = !convert || MakeGbkCopy(ctx, path, file, bom, src);
  std::fclose(file);
  return ok;
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
  for (const std::string& path : args.arrTexts) {
    tagIMPORTSOURCE src;
    if (!PrepareSource(ctx, path, args.strEncoding, &src)) return EXIT_FAILED;
    if (src.nUnconvertible) status = EXIT_WARNINGS;
    std::string title = args.nInto < 0 ? GroupTitle(ctx, path) : std::string();
    opt.pszTitle = title.c_str();
    CProgressBar bar(ctx, "importing");
    opt.funProgress = &CProgressBar::OnLibraryProgress;
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
