// GBK text as the library keeps it, and the few questions every part of the
// program asks of it: where a character ends, how much of a text fits a
// limit, what a fixed-size field holds, and what a path's file title is.
//
// One rule says where a character starts: a byte of 0x80 or more is the lead
// byte of a two-byte character, whatever byte follows it. So the import, the
// editor and wbk split a text into the same characters, even one that is not
// valid GBK.
#pragma once

#include <cstddef>
#include <string>

// True for the first byte of a two-byte character.
inline bool IsGbkLeadByte(unsigned char c) { return c >= 0x80; }

// True for a byte that can follow a lead byte in GBK: 0x40..0xFE but 0x7F.
// Among them 0x5C ('\\') and 0x7C ('|'), so a text cut into pieces at such
// bytes must first step over whole characters.
inline bool IsGbkTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

// Bytes of the character at text[i] of a text of size bytes (i < size): 2 for
// a lead byte with a byte after it, else 1 (a lead byte at the end stands
// alone).
size_t GbkCharLength(const char* text, size_t size, size_t i);

// The longest prefix of text[0..size), at most limit bytes long, that ends on
// a whole character. A lead byte at the text's end is half a character and is
// left out.
size_t GbkWholeCharsWithin(const char* text, size_t size, size_t limit);

// Length of a fixed-size text field: up to its NUL, or the whole field when a
// file written elsewhere left no NUL inside it.
size_t FieldTextLength(const char* field, size_t width);

// The text of a fixed-size field: up to its NUL, or the whole field when it
// holds none.
std::string FieldText(const char* field, size_t width);

// The title of a file from its narrow path (GBK, or the ANSI code page on
// Windows): no folder, that is nothing up to the last '/' or '\\', and no last
// extension ("dir/a.b.txt" -> "a.b", ".txt" -> ""). A lead byte followed by a
// trail byte is one character, so the trail byte 0x5C of "\xD5\x5C" is no
// separator; a lead byte before '/' is no character with it, since '/' is
// never a trail byte. A null path has the empty title.
std::string FileTitleFromPath(const char* path);
