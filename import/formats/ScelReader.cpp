#include "DictContent.h"

bool ReadScel(const uint8_t* data, size_t size, tagDICTCONTENT* pOut, std::string* pError) {
  (void)data;
  (void)size;
  (void)pOut;
  *pError = "this format cannot be read yet";
  return false;
}
