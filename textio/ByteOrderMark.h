// The byte-order marks a text may start with, and the encodings they name.
#pragma once

#include <cstddef>

enum SourceEncoding { SOURCE_GBK, SOURCE_UTF8, SOURCE_UTF16LE, SOURCE_UTF16BE };

// "gbk", "utf-8", "utf-16le", "utf-16be"; "unknown" for another value.
const char* SourceEncodingName(int nEncoding);

// The encoding a text starts with, from its first bytes: the byte-order mark
// and its length, or SOURCE_GBK and 0 when there is none.
SourceEncoding EncodingFromMark(const unsigned char* head, size_t size, size_t* pMarkSize);

// The bytes of a UTF-8 mark at the start (3), or 0.
size_t Utf8MarkSize(const unsigned char* head, size_t size);
// A UTF-16 mark (either order) at the start.
bool StartsWithUtf16Mark(const unsigned char* head, size_t size);
