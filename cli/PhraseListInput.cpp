#include "PhraseListInput.h"

#include <cstring>
#include <ostream>

#include "FilePaths.h"
#include "GbkSource.h"
#include "OutputRules.h"
#include "PhraseImport.h"
#include "TextEncoding.h"
#include "TxtLineReader.h"
#include "Warnings.h"

bool ReadPhraseList(const tagCLICONTEXT& ctx, const std::string& given,
                    std::vector<tagLISTEDPHRASE>* pList) {
  CTempFile stdinCopy;
  if (IsStandardStream(given) && !CopyStandardInput(ctx, &stdinCopy)) return false;
  const std::string& path = IsStandardStream(given) ? stdinCopy.GetPath() : given;
  CGbkSource source;
  CTxtLineReader reader('#');
  if (source.Open(path.c_str(), SOURCE_MODE_AUTO) != SOURCE_OK ||
      !reader.Open(source.OpenBytes())) {
    *ctx.pErr << "error: " << ShownPath(ctx, path) << ": cannot be read\n";
    return false;
  }
  char buffer[IMPORT_MAX_LINE + 1];
  for (char* line = reader.ReadLine(buffer, IMPORT_MAX_LINE); line;
       line = reader.ReadLine(buffer, IMPORT_MAX_LINE)) {
    if (line[0] == '@') continue;
    const uint32_t length = static_cast<uint32_t>(std::strlen(line));
    tagPHRASELINE split;
    SplitPhraseLine(line, length, &split);
    if (split.nTextLen == 0) continue;
    pList->push_back({std::string(line, split.nTextLen),
                      std::string(line + split.nFreqStart, length - split.nFreqStart)});
  }
  if (source.GetNoGbkForm() || source.GetUndecodable()) {
    Warn(ctx, "lines left out",
         ShownPath(ctx, given) + ": " +
             std::to_string(source.GetNoGbkForm() + source.GetUndecodable()) +
             " lines have characters GBK cannot represent or do not decode, and are left out");
  }
  return true;
}
