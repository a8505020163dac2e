// How the encoding of a phrase list is chosen: the mode may say it; else the
// byte-order mark; else the zero bytes of UTF-16; else text that is UTF-8 but
// for a few bytes (CTextScan::IsMostlyUtf8) is UTF-8, and the rest GBK.
#pragma once

#include <cstddef>

#include "ByteOrderMark.h"
#include "TextScan.h"

// auto looks for itself; gbk and utf8 say it.
enum SourceMode { SOURCE_MODE_AUTO, SOURCE_MODE_GBK, SOURCE_MODE_UTF8 };

// The encoding the first bytes and the mode say. *pMarkSize: the mark's bytes
// to leave out (a mark of another encoding than the mode's is just bytes);
// *pGuessed: neither a mark nor the mode said it, the scan must tell.
SourceEncoding EncodingFromHead(const unsigned char* head, size_t size, SourceMode nMode,
                                size_t* pMarkSize, bool* pGuessed);

// UTF-16 without a mark, from the zero bytes of a scan of the first block:
// true with *pEncoding set.
bool GuessUtf16(const CTextScan& scan, SourceEncoding* pEncoding);

// The guess between UTF-8 and GBK from a scan of the whole text.
SourceEncoding GuessFromScan(const CTextScan& scan);

// Why the scanned text is no text in the encoding (TEXT_FAULT_NONE when it
// is): its control bytes, or, for a guess, most of it undecodable. An
// encoding the file or the caller named is taken at its word.
TextFault JudgeScan(const CTextScan& scan, SourceEncoding nEncoding, bool bGuessed);
