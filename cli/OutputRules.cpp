#include "OutputRules.h"

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <ostream>

#include "CommandLine.h"
#include "FileHeader.h"
#include "FileNames.h"
#include "LibraryFiles.h"
#include "Tabrix.h"

namespace fs = std::filesystem;

bool IsStandardStream(const std::string& path) { return path == "-"; }

bool HasLibraryName(const std::string& path) {
  if (path.size() < 4) return false;
  std::string ext = path.substr(path.size() - 4);
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return ext == ".wbk";
}

bool SameFile(const std::string& a, const std::string& b) {
  if (IsStandardStream(a) || IsStandardStream(b)) return false;
  std::error_code ec;
  return fs::equivalent(NativePath(a), NativePath(b), ec) && !ec;
}

FileKind ClassifyFile(const std::string& path) {
  std::error_code ec;
  const fs::file_status st = fs::status(NativePath(path), ec);
  if (st.type() == fs::file_type::not_found) return FILE_MISSING;
  if (ec || st.type() != fs::file_type::regular) return FILE_OTHER;
  if (fs::file_size(NativePath(path), ec) == 0 && !ec) return FILE_EMPTY;
  std::FILE* file = OpenFileByPath(path.c_str(), "rb");
  if (file == nullptr) return FILE_OTHER;
  uint8_t head[TABRIX_HEADER_SIZE];
  const size_t n = std::fread(head, 1, sizeof head, file);
  std::fclose(file);
  tagLIBHEADER header;
  if (!DecodeFileHeader(head, n, &header)) return FILE_OTHER;
  return header.wMagic == TABRIX_FILE_MAGIC && header.wType == TABRIX_FILE_TYPE ? FILE_LIBRARY
                                                                                : FILE_OTHER;
}

namespace {

void Refuse(const tagCLICONTEXT& ctx, const char* command, const std::string& text) {
  *ctx.pErr << "error: " << command << ": " << text << "; nothing was written\n";
}

}  // namespace

bool CheckOutput(const tagCLICONTEXT& ctx, const char* command, const tagOUTPUTRULE& rule) {
  if (IsStandardStream(rule.strPath)) return true;
  const std::string shown = ShownPath(ctx, rule.strPath);
  if (rule.nKind == OUTPUT_LIBRARY && rule.bByPosition && !HasLibraryName(rule.strPath)) {
    Refuse(ctx, command,
           "\"" + shown +
               "\" would be the library written, but a library named by position must end "
               "in .wbk (is an argument missing or out of order?); -o FILE names any file");
    return false;
  }
  bool inPlace = !rule.strInPlace.empty() &&
                 (rule.strPath == rule.strInPlace || SameFile(rule.strPath, rule.strInPlace));
  for (const std::string& input : rule.arrInputs) {
    if (inPlace || (input != rule.strPath && !SameFile(input, rule.strPath))) continue;
    Refuse(ctx, command,
           shown +
               " is also a file the command reads, and is not written over; name "
               "another file");
    return false;
  }
  const FileKind kind = ClassifyFile(rule.strPath);
  if (kind == FILE_OTHER && rule.nKind == OUTPUT_LIBRARY) {
    Refuse(ctx, command,
           shown +
               " exists and is not a library; a library is never written over another "
               "file");
    return false;
  }
  if (kind == FILE_LIBRARY && !inPlace && !rule.bForce) {
    std::string how = rule.strKeepHint.empty() ? "" : rule.strKeepHint + ", or ";
    Refuse(ctx, command,
           shown + " is an existing library" +
               (rule.nKind == OUTPUT_TEXT ? " and would be replaced by text" : "") + "; " + how +
               "replace it with --force");
    return false;
  }
  return true;
}

bool WriteLibraryOutput(const tagCLICONTEXT& ctx, CTabrix& lib, const std::string& path,
                        bool bDryRun) {
  if (bDryRun) return true;
  if (!IsStandardStream(path)) return SaveLibraryFile(ctx, lib, path);
  // The library is written the one way the core knows, to a file, and then
  // copied whole: a failed save writes nothing to the stream.
  CTempFile copy;
  std::vector<uint8_t> bytes;
  if (!copy.Create(std::string())) {
    *ctx.pErr << "error: cannot write a temporary file for the standard output\n";
    return false;
  }
  if (!SaveLibraryFile(ctx, lib, copy.GetPath())) return false;
  if (!ReadWholeFile(copy.GetPath(), &bytes)) {
    *ctx.pErr << "error: cannot read back the temporary file for the standard output\n";
    return false;
  }
  ctx.pOut->write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
  ctx.pOut->flush();
  if (!*ctx.pOut) {
    *ctx.pErr << "error: cannot write to the standard output\n";
    return false;
  }
  return true;
}

bool CopyStandardInput(const tagCLICONTEXT& ctx, CTempFile* pCopy) {
  if (ctx.pIn == nullptr) {
    *ctx.pErr << "error: there is no standard input to read\n";
    return false;
  }
  std::string bytes((std::istreambuf_iterator<char>(*ctx.pIn)), std::istreambuf_iterator<char>());
  if (ctx.pIn->bad()) {
    *ctx.pErr << "error: cannot read the standard input\n";
    return false;
  }
  if (!pCopy->Create(bytes)) {
    *ctx.pErr << "error: cannot write a temporary file for the standard input\n";
    return false;
  }
  return true;
}

bool TakeOutput(const tagCLICONTEXT& ctx, const CCommandLine& line, const char* usage,
                std::string* pOut, size_t* pNext, tagOUTPUTRULE* pRule) {
  const std::vector<std::string>& args = line.GetArgs();
  *pNext = 1;
  if (const std::string* out = line.Value("--output")) {
    *pOut = *out;
  } else if (args.size() >= 2) {
    *pOut = args[1];
    *pNext = 2;
    pRule->bByPosition = true;
  } else {
    UsageError(ctx, line,
               std::string("no library to write: name it with -o OUT (-o LIB changes LIB "
                           "itself): wbk ") +
                   line.GetSpec()->pszName + " " + usage);
    return false;
  }
  pRule->strPath = *pOut;
  pRule->strInPlace = args[0];
  pRule->bForce = line.Has("--force");
  return true;
}

int CheckEditRun(const tagCLICONTEXT& ctx, const CCommandLine& line, const char* command,
                 bool bJson, const std::string& strOutput, const tagOUTPUTRULE& rule) {
  if (bJson && IsStandardStream(strOutput)) {
    return UsageError(ctx, line, "--json and -o - would both write to the standard output");
  }
  if (!CheckOutput(ctx, command, rule)) return EXIT_FAILED;
  for (const std::string& input : rule.arrInputs) {
    if (!IsStandardStream(input) && RefuseSpecialFile(ctx, input)) return EXIT_FAILED;
  }
  return EXIT_DONE;
}
