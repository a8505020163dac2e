#include "ByteOrderMark.h"

const char* SourceEncodingName(int nEncoding) {
  switch (nEncoding) {
    case SOURCE_GBK:
      return "gbk";
    case SOURCE_UTF8:
      return "utf-8";
    case SOURCE_UTF16LE:
      return "utf-16le";
    case SOURCE_UTF16BE:
      return "utf-16be";
    default:
      return "unknown";
  }
}

SourceEncoding EncodingFromMark(const unsigned char* head, size_t size, size_t* pMarkSize) {
  *pMarkSize = 0;
  if (size >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF) {
    *pMarkSize = 3;
    return SOURCE_UTF8;
  }
  if (size >= 2 && head[0] == 0xFF && head[1] == 0xFE) {
    *pMarkSize = 2;
    return SOURCE_UTF16LE;
  }
  if (size >= 2 && head[0] == 0xFE && head[1] == 0xFF) {
    *pMarkSize = 2;
    return SOURCE_UTF16BE;
  }
  return SOURCE_GBK;
}

size_t Utf8MarkSize(const unsigned char* head, size_t size) {
  size_t nMark = 0;
  return EncodingFromMark(head, size, &nMark) == SOURCE_UTF8 ? nMark : 0;
}

bool StartsWithUtf16Mark(const unsigned char* head, size_t size) {
  size_t nMark = 0;
  const SourceEncoding encoding = EncodingFromMark(head, size, &nMark);
  return encoding == SOURCE_UTF16LE || encoding == SOURCE_UTF16BE;
}
