#include "GbkText.h"

#include <cstring>

#include "FileNames.h"

size_t GbkCharLength(const char* text, size_t size, size_t i) {
  return IsGbkLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < size ? 2 : 1;
}

size_t GbkWholeCharsWithin(const char* text, size_t size, size_t limit) {
  size_t i = 0;
  while (i < size) {
    const size_t n = IsGbkLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    if (i + n > size || i + n > limit) break;
    i += n;
  }
  return i;
}

size_t FieldTextLength(const char* field, size_t width) {
  size_t n = 0;
  while (n < width && field[n] != '\0') ++n;
  return n;
}

std::string FieldText(const char* field, size_t width) {
  return std::string(field, FieldTextLength(field, width));
}

std::string FileTitleFromPath(const char* path) {
  if (path == nullptr) return std::string();
  const unsigned char* p = reinterpret_cast<const unsigned char*>(path);
  size_t nameStart = 0;
  size_t i = 0;
  while (p[i] != 0) {
    // A UTF-8 path hides no separator in a character; a GBK one can.
    if (!PathsAreUtf8() && IsGbkLeadByte(p[i]) && IsGbkTrailByte(p[i + 1])) {
      i += 2;
      continue;
    }
    if (p[i] == '/' || p[i] == '\\') nameStart = i + 1;
    ++i;
  }
  const char* name = path + nameStart;
  // '.' is never the second byte of a GBK character.
  const char* dot = std::strrchr(name, '.');
  const size_t nameLen = dot != nullptr ? static_cast<size_t>(dot - name) : std::strlen(name);
  return std::string(name, nameLen);
}
