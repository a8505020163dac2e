// Sorting many phrases at once into the store's order, for loads and imports
// that gather their phrases first and add them in one merge. The records are
// any type with a zero-padded szWord[31] and an arrival number nOrder: among
// equal texts the first arrival is the one a store keeps.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

namespace phrase_sort {

// Eight bytes of the text from offset on, as one big-endian number: numbers
// compare as the bytes do.
inline uint64_t TextChunk(const char* text, int offset) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text) + offset;
  uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v = (v << 8) | p[i];
  return v;
}

// The 31-byte field as four chunks, the last overlapping the third: equal
// chunks up to one mean equal bytes up to its end.
constexpr int kChunkOffsets[4] = {0, 8, 16, 23};

inline bool SameText(const char* a, const char* b) {
  for (int offset : kChunkOffsets) {
    uint64_t u, v;
    std::memcpy(&u, a + offset, 8);
    std::memcpy(&v, b + offset, 8);
    if (u != v) return false;
  }
  return true;
}

// Descending order of (text, arrival): a sorted run is used up from its end,
// so the smallest text and, among equal texts, the first arrival come out
// first. A function object, so that std::sort inlines the comparison.
struct SortsAfter {
  template <class T>
  bool operator()(const T& a, const T& b) const {
    for (int offset : kChunkOffsets) {
      const uint64_t u = TextChunk(a.szWord, offset);
      const uint64_t v = TextChunk(b.szWord, offset);
      if (u != v) return u > v;
    }
    return a.nOrder > b.nOrder;
  }
};

// Bytes of the text field at which the run is split by value before the
// comparison sort takes over, and the part size below which it does.
constexpr int kRadixBytes = 4;
constexpr size_t kRadixMin = 64;

// The items in less's order: split in place by bucket(item, depth), the
// item's byte at depth mapped so that the first part comes first (largest
// byte first), each part split again by the next byte, and small parts
// sorted by comparison. Splitting moves each item about once per level where
// comparisons would move it about log2(n) times.
template <class T, class Bucket, class Less>
void RadixSortBy(T* items, size_t n, int depth, Bucket bucket, Less less) {
  if (n < kRadixMin || depth == kRadixBytes) {
    std::sort(items, items + n, less);
    return;
  }
  size_t count[256] = {};
  for (size_t i = 0; i < n; ++i) ++count[bucket(items[i], depth)];
  size_t start[257];
  size_t next[256];
  start[0] = 0;
  for (int b = 0; b < 256; ++b) {
    start[b + 1] = start[b] + count[b];
    next[b] = start[b];
  }
  // Each item is carried straight to the part it belongs to, displacing the
  // one there, which is carried on in turn.
  for (int b = 0; b < 256; ++b) {
    while (next[b] < start[b + 1]) {
      T carried = items[next[b]];
      for (int home = bucket(carried, depth); home != b; home = bucket(carried, depth)) {
        std::swap(carried, items[next[home]++]);
      }
      items[next[b]++] = carried;
    }
  }
  for (int b = 0; b < 256; ++b) {
    if (count[b] > 1) RadixSortBy(items + start[b], count[b], depth + 1, bucket, less);
  }
}

// The phrases in SortsAfter's order, split by their text's bytes.
template <class T>
void RadixSort(T* items, size_t n) {
  RadixSortBy(
      items, n, 0,
      [](const T& s, int depth) { return 255 - static_cast<unsigned char>(s.szWord[depth]); },
      SortsAfter());
}

// A phrase of a packed run: records of 3 + cLen bytes laid end to end as the
// library file lays them ([byGroup][byFreq][cLen][text]), each found through
// a key of 12 bytes that the sort moves instead of the record. Records in
// arrival order, so that among equal texts the smaller offset arrived first.
enum : uint32_t { PACKED_HEAD = 3 };

#pragma pack(push, 4)
struct tagPACKEDKEY {
  uint64_t nPrefix;  // the text's first eight bytes, zero-padded, big-endian
  uint32_t nOffset;  // the record's first byte in the run
};
#pragma pack(pop)

inline uint64_t PackedPrefix(const char* text, uint32_t length) {
  unsigned char bytes[8] = {};
  std::memcpy(bytes, text, length < 8 ? length : 8);
  return TextChunk(reinterpret_cast<const char*>(bytes), 0);
}

// Descending order of (text, arrival) over a packed run, as SortsAfter. The
// texts hold no NUL, so equal prefixes of a text of at most eight bytes mean
// equal lengths.
struct PackedSortsAfter {
  const unsigned char* pBase;
  bool operator()(const tagPACKEDKEY& a, const tagPACKEDKEY& b) const {
    if (a.nPrefix != b.nPrefix) return a.nPrefix > b.nPrefix;
    const unsigned char* pa = pBase + a.nOffset;
    const unsigned char* pb = pBase + b.nOffset;
    const uint32_t la = pa[2], lb = pb[2];
    if (la > 8 && lb > 8) {
      const int d = std::memcmp(pa + PACKED_HEAD + 8, pb + PACKED_HEAD + 8, std::min(la, lb) - 8);
      if (d != 0) return d > 0;
    }
    if (la != lb) return la > lb;
    return a.nOffset > b.nOffset;
  }
};

// The keys in PackedSortsAfter's order, split by the prefix's bytes as
// RadixSort splits by the text's.
inline void RadixSortPacked(tagPACKEDKEY* keys, size_t n, const unsigned char* pBase) {
  RadixSortBy(
      keys, n, 0,
      [](const tagPACKEDKEY& k, int depth) {
        return 255 - static_cast<int>((k.nPrefix >> (56 - 8 * depth)) & 0xFF);
      },
      PackedSortsAfter{pBase});
}

}  // namespace phrase_sort
