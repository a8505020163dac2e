#include "PhraseRecords.h"

int ComparePhrase(const tagPHRASE2* a, const tagPHRASE2* b, void* /*data*/) {
  const unsigned char* x = reinterpret_cast<const unsigned char*>(a->szWord);
  const unsigned char* y = reinterpret_cast<const unsigned char*>(b->szWord);
  // Stop at the field's end even when a record carries no NUL.
  for (size_t i = 0; i < sizeof(a->szWord); ++i) {
    if (x[i] != y[i]) return x[i] < y[i] ? -1 : 1;
    if (x[i] == 0) return 0;
  }
  return 0;
}

size_t FieldTextLength(const char* field, size_t width) {
  size_t n = 0;
  while (n < width && field[n] != '\0') ++n;
  return n;
}
