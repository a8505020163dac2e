// One dictionary reader (TABRIX_DICT_READER, set per harness) on arbitrary
// bytes: it returns, never crashes or hangs, and what it gives holds: a
// failure has a reason, one line of text in English; a read dictionary's
// texts are valid UTF-8, its weights are present only where said, and it
// holds no more entries than the file has bytes. The format's mark (TABRIX_DICT_MARK, where it has
// one) looks at the same bytes, and a file the reader reads holds it (for Rime, whose mark needs
// the header's name: one that gives a title).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>

#include "DictContent.h"

namespace {

bool IsUtf8(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

#ifdef TABRIX_DICT_MARK
// The Rime harness: its mark needs a name, which only a title shows.
bool IsRime() { return TABRIX_DICT_READER == ReadRimeDict; }
#endif

void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_dict: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tagDICTCONTENT content;
  content.nUndecodable = 0;
  tagREADFAULT fault = {};
  const bool bRead = TABRIX_DICT_READER(data, size, &content, &fault);
#ifdef TABRIX_DICT_MARK
  const bool bMarked = TABRIX_DICT_MARK(data, size);
  if (bRead && !bMarked && !(content.strTitle.empty() && IsRime()))
    Fail("a file read without its format's mark");
#endif
  if (!bRead) {
    if (fault.nCode <= READ_FAULT_NONE || fault.nCode >= READ_FAULT_COUNT)
      Fail("a failure without a reason");
    const std::string text = ReadFaultText(fault);
    if (text.empty() || text.find('\n') != std::string::npos)
      Fail("an error without one line of text");
    return 0;
  }
  if (!IsUtf8(content.strTitle)) Fail("a title that is not UTF-8");
  if (content.arrEntries.size() > size) Fail("more entries than bytes");
  for (const tagDICTENTRY& e : content.arrEntries) {
    if (!IsUtf8(e.strText)) Fail("a text that is not UTF-8");
    if (!e.bHasWeight && e.nWeight != 0) Fail("a weight where none was said");
  }
  return 0;
}
