#include "PhraseRecords.h"

#include <cstring>

int ComparePhrase(const tagPHRASE2* a, const tagPHRASE2* b, void* /*data*/) {
  const unsigned char* x = reinterpret_cast<const unsigned char*>(a->szWord);
  const unsigned char* y = reinterpret_cast<const unsigned char*>(b->szWord);
  size_t i = 0;
  // Eight bytes at a time while they are equal and hold no NUL; the rest byte
  // by byte. (v - 0x01..01) & ~v & 0x80..80 is nonzero when v has a zero byte.
  for (; i + 8 <= sizeof(a->szWord); i += 8) {
    uint64_t u, v;
    std::memcpy(&u, x + i, 8);
    std::memcpy(&v, y + i, 8);
    if (u != v || ((u - 0x0101010101010101ull) & ~u & 0x8080808080808080ull) != 0) break;
  }
  // Stop at the field's end even when a record carries no NUL.
  for (; i < sizeof(a->szWord); ++i) {
    if (x[i] != y[i]) return x[i] < y[i] ? -1 : 1;
    if (x[i] == 0) return 0;
  }
  return 0;
}
