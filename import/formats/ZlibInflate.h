// Inflating a zlib stream held in memory (the body of a .qpyd file).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ReadFault.h"

// The most any dictionary body may inflate to: past it the file is taken for
// damaged (or hostile) rather than read into memory without end.
enum : size_t { ZLIB_MAX_OUTPUT = size_t(256) << 20 };

// Inflates the zlib stream at the start of data into *pOut in bounded steps,
// so that memory grows only with what the stream really gives. Returns
// READ_FAULT_NONE, or what was wrong but not where (the caller knows that):
// READ_FAULT_INFLATE_DAMAGED for a damaged stream, _CUT for one cut short,
// _TOO_LARGE for one that gives more than nMaxOut bytes, _START when zlib
// cannot start. Bytes after the end of the stream are ignored.
int InflateZlib(const uint8_t* data, size_t size, size_t nMaxOut, std::vector<uint8_t>* pOut);
