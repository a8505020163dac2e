// wbk check: what the loader does not look at, each finding with its offset.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "Commands.h"
#include "CommandLine.h"
#include "JsonText.h"
#include "LibraryJson.h"
#include "ProgressBar.h"
#include "LibraryCheck.h"

namespace {

const char* StatusName(CheckStatus status) {
  return status == CHECK_CLEAN ? "clean" : status == CHECK_FINDINGS ? "findings" : "unreadable";
}

// The checker's kinds as JSON values: snake_case like every name of the JSON.
std::string SnakeCase(const char* name) {
  std::string out = name;
  for (char& c : out) c = c == '-' ? '_' : c;
  return out;
}

void PrintJson(const tagCLICONTEXT& ctx, const tagCHECKARGS& args, const tagCHECKREPORT& r) {
  CJson findings = CJson::array();
  for (const tagCHECKFINDING& f : r.arrFindings) {
    CJson finding;
    finding["offset"] = f.nOffset;
    finding["kind"] = SnakeCase(CheckKindName(f.nKind));
    finding["message"] = JsonTextUtf8(f.strMessage);
    if (!f.strText.empty()) SetJsonText(finding, "text", f.strText);
    findings.push_back(std::move(finding));
  }
  CJson json = CommandJson("check");
  json["file"] = JsonTextPath(args.strLibrary);
  json["size"] = r.nSize;
  json["status"] = StatusName(r.nStatus);
  json["group_count"] = r.nGroups;
  json["phrase_count"] = r.nRecords;
  json["findings"] = std::move(findings);
  json["findings_not_listed"] = r.nNotListed;
  *ctx.pOut << JsonDump(json) << "\n";
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

// Bytes in one block of memory, grown without exceptions: a file too large
// for memory is an error like any other.
class CByteBuffer {
 public:
  CByteBuffer() = default;
  ~CByteBuffer() { std::free(m_pData); }
  CByteBuffer(const CByteBuffer&) = delete;
  CByteBuffer& operator=(const CByteBuffer&) = delete;

  // Room for at least n more bytes after the ones held.
  bool Reserve(size_t n) {
    if (m_nCapacity - m_nSize >= n) return true;
    if (n > SIZE_MAX - m_nSize) return false;
    void* p = std::realloc(m_pData, m_nSize + n);
    if (p == nullptr) return false;
    m_pData = static_cast<uint8_t*>(p);
    m_nCapacity = m_nSize + n;
    return true;
  }
  uint8_t* End() { return m_pData + m_nSize; }
  size_t Room() const { return m_nCapacity - m_nSize; }
  void Grow(size_t n) { m_nSize += n; }
  const uint8_t* Data() const { return m_pData; }
  size_t Size() const { return m_nSize; }

 private:
  uint8_t* m_pData = nullptr;
  size_t m_nSize = 0;
  size_t m_nCapacity = 0;
};

// The whole file: the checker goes back and forth in it. Only a regular file
// is read, so what is read is what the file holds.
bool ReadLibraryBytes(const tagCLICONTEXT& ctx, const std::string& path, CByteBuffer* out) {
  bool refused = false;
  uint64_t size = 0;
  std::FILE* file = OpenInputFile(ctx, path, &refused, &size);
  if (file == nullptr) {
    if (!refused) *ctx.pErr << "error: " << ShownPath(ctx, path) << ": cannot be read\n";
    return false;
  }
  // The length is where reading starts from; the file may still change (and
  // some system files report none), so the end is where reading stops.
  const size_t kStep = 65536;
  bool ok = size < SIZE_MAX - kStep && out->Reserve(static_cast<size_t>(size) + 1);
  // A large file takes a while: the bar shows it when the error stream is a terminal.
  CProgressBar bar(ctx, "reading");
  bar.Begin(size);
  while (ok) {
    bar.Update(out->Size());
    if (out->Room() == 0 && !out->Reserve(out->Size() < kStep ? kStep : out->Size() / 2)) {
      ok = false;
      break;
    }
    size_t n = std::fread(out->End(), 1, out->Room(), file);
    out->Grow(n);
    if (n == 0) break;
  }
  bool readError = std::ferror(file) != 0;
  std::fclose(file);
  if (!ok) {
    *ctx.pErr << "error: " << ShownPath(ctx, path) << ": too large to be checked in memory\n";
    return false;
  }
  if (readError) *ctx.pErr << "error: " << ShownPath(ctx, path) << ": cannot be read\n";
  return !readError;
}

}  // namespace

int RunCheck(const tagCLICONTEXT& ctx, const tagCHECKARGS& args) {
  CByteBuffer bytes;
  if (!ReadLibraryBytes(ctx, args.strLibrary, &bytes)) return EXIT_FAILED;
  tagCHECKREPORT report;
  CheckLibraryBytes(bytes.Data(), bytes.Size(), &report);
  if (args.bJson) {
    PrintJson(ctx, args, report);
  } else {
    PrintText(ctx, args, report);
  }
  return report.nStatus == CHECK_CLEAN      ? EXIT_DONE
         : report.nStatus == CHECK_FINDINGS ? EXIT_WARNINGS
                                            : EXIT_FAILED;
}

namespace {

int RunCheckCommand(const tagCLICONTEXT& ctx, const CCommandLine& line) {
  tagCHECKARGS args;
  args.strLibrary = line.GetArgs()[0];
  args.bJson = line.Has("--json");
  if (RefuseSpecialFile(ctx, args.strLibrary)) return EXIT_FAILED;
  return RunCheck(ctx, args);
}

}  // namespace

extern const tagCOMMANDDEF kCheckCommand = {
    "check",
    "LIB [--json]",
    "check a library file byte by byte",
    "Check the library file LIB byte by byte, also where the loader does not look, and name "
    "each finding with its offset. Exit 0: clean; 1: findings; 2: not a library the loader "
    "accepts.",
    {OPTION_JSON},
    1,
    1,
    &RunCheckCommand};
