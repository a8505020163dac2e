#include "WholeNumber.h"

bool ParseWholeNumber(std::string_view text, int64_t* pValue) {
  if (text.empty()) return false;
  int64_t nValue = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    const int nDigit = c - '0';
    nValue = nValue > (INT64_MAX - nDigit) / 10 ? INT64_MAX : nValue * 10 + nDigit;
  }
  *pValue = nValue;
  return true;
}
