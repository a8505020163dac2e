// libFuzzer harness for wbk check and the tool's text conversions: arbitrary
// bytes as a library file must be checked without reading outside the buffer,
// every finding must lie inside the file, and the texts of the findings (any
// bytes) must convert for showing and for JSON.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "JsonText.h"
#include "LibraryCheck.h"
#include "TextEncoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy, so a read one byte too far is caught.
  std::vector<uint8_t> bytes(data, data + size);
  tagCHECKREPORT report;
  CheckLibraryBytes(bytes.data(), bytes.size(), &report);
  if (report.nStatus == CHECK_CLEAN && !report.arrFindings.empty()) abort();
  if (report.nStatus != CHECK_CLEAN && report.arrFindings.empty() && report.nNotListed == 0)
    abort();
  for (const tagCHECKFINDING& f : report.arrFindings) {
    if (f.nOffset > size) abort();
    if (CheckKindName(f.nKind)[0] == 'u') abort();  // "unknown"
    JsonQuoteGbk(f.strText);
    GbkForDisplay(f.strText, CODEPAGE_UTF8);
  }
  std::string text(reinterpret_cast<const char*>(data), size < 4096 ? size : 4096);
  JsonQuoteUtf8(text);
  std::string converted;
  Utf8ToGbk(text, &converted);  // false for text with no GBK form: also fine
  return 0;
}
