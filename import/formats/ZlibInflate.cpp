#include "ZlibInflate.h"

#include <algorithm>

#include <zlib.h>

namespace {

// Steps small enough that an over-long stream is stopped soon after the
// limit, and that avail_in and avail_out (32-bit) always hold them. The
// output step grows with the output, from a size that a small body fills.
enum : size_t {
  INFLATE_IN_STEP = size_t(1) << 20,
  INFLATE_OUT_FIRST_STEP = size_t(4) << 10,
  INFLATE_OUT_STEP = size_t(256) << 10
};

}  // namespace

int InflateZlib(const uint8_t* data, size_t size, size_t nMaxOut, std::vector<uint8_t>* pOut) {
  pOut->clear();
  z_stream zs = {};
  if (inflateInit(&zs) != Z_OK) return READ_FAULT_INFLATE_START;
  size_t nFed = 0;
  int nFault = READ_FAULT_NONE;
  for (;;) {
    if (zs.avail_in == 0 && nFed < size) {
      const size_t nStep = std::min(size - nFed, size_t(INFLATE_IN_STEP));
      zs.next_in = const_cast<Bytef*>(data + nFed);  // zlib's input pointer is not const
      zs.avail_in = static_cast<uInt>(nStep);
      nFed += nStep;
    }
    // One byte past the limit is room enough to tell that it was passed.
    const size_t nHave = pOut->size();
    const size_t nGrowth =
        std::min(std::max(nHave, size_t(INFLATE_OUT_FIRST_STEP)), size_t(INFLATE_OUT_STEP));
    const size_t nStep = std::min(nGrowth, nMaxOut + 1 - nHave);
    if (pOut->capacity() < nHave + nStep)
      pOut->reserve(std::min(std::max(pOut->capacity() * 2, nHave + nStep), nMaxOut + 1));
    pOut->resize(nHave + nStep);
    zs.next_out = pOut->data() + nHave;
    zs.avail_out = static_cast<uInt>(nStep);
    const int nResult = inflate(&zs, Z_NO_FLUSH);
    pOut->resize(nHave + nStep - zs.avail_out);
    if (pOut->size() > nMaxOut) {
      nFault = READ_FAULT_INFLATE_TOO_LARGE;
      break;
    }
    if (nResult == Z_STREAM_END) break;
    if (nResult == Z_BUF_ERROR && zs.avail_in == 0 && nFed == size) {
      nFault = READ_FAULT_INFLATE_CUT;
      break;
    }
    if (nResult != Z_OK && nResult != Z_BUF_ERROR) {
      nFault = READ_FAULT_INFLATE_DAMAGED;
      break;
    }
  }
  inflateEnd(&zs);
  if (nFault != READ_FAULT_NONE) pOut->clear();
  return nFault;
}
