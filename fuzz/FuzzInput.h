// The compact encodings of the harnesses share these pieces: an input read as
// a stream of bytes, a generator seeded from a few of them, and runs of texts
// that a few bytes describe, so that a short input stands for thousands of
// phrases and fills a store of many blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The input, byte by byte. Past its end it yields zeros, so that an input cut
// anywhere still decodes to something.
class CFuzzInput {
 public:
  CFuzzInput(const uint8_t* data, size_t size) : m_p(data), m_n(size), m_i(0) {}
  bool AtEnd() const { return m_i >= m_n; }
  size_t Left() const { return m_n - m_i; }
  uint8_t Byte() { return m_i < m_n ? m_p[m_i++] : 0; }
  // Up to n bytes as they stand: fewer when the input ends first.
  std::string Bytes(size_t n) {
    if (n > Left()) n = Left();
    std::string s(reinterpret_cast<const char*>(m_p + m_i), n);
    m_i += n;
    return s;
  }

 private:
  const uint8_t* m_p;
  size_t m_n;
  size_t m_i;
};

// splitmix64: cheap, and every seed gives a different stream.
class CFuzzRandom {
 public:
  explicit CFuzzRandom(uint64_t seed) : m_s(seed) {}
  uint64_t Next() {
    uint64_t z = (m_s += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  uint32_t Below(uint32_t n) { return n == 0 ? 0 : static_cast<uint32_t>(Next() % n); }

 private:
  uint64_t m_s;
};

inline uint64_t MixSeed(uint64_t a, uint64_t b) {
  CFuzzRandom r(a * 0x100000001B3ull ^ b);
  return r.Next();
}

// The symbols texts are made of. Symbols compare in the order of their
// values, byte for byte, so a counter written in them sorts as it counts.
enum : uint8_t {
  ALPHABET_GBK = 0,    // two-byte characters B0A1..F7FE
  ALPHABET_ASCII = 1,  // 0x21..0x7E: no blanks
  ALPHABET_FEW = 2,    // 'a', 'b' and one GBK character: texts collide often
  ALPHABET_BYTES = 3   // any byte but NUL: line ends and blanks included
};

inline uint32_t AlphabetSize(uint8_t alphabet) {
  switch (alphabet & 3) {
    case ALPHABET_GBK:
      return 72 * 94;
    case ALPHABET_ASCII:
      return 94;
    case ALPHABET_FEW:
      return 3;
    default:
      return 255;
  }
}

inline void AppendSymbol(std::string& s, uint8_t alphabet, uint32_t v) {
  switch (alphabet & 3) {
    case ALPHABET_GBK:
      s += static_cast<char>(0xB0 + v / 94);
      s += static_cast<char>(0xA1 + v % 94);
      break;
    case ALPHABET_ASCII:
      s += static_cast<char>(0x21 + v);
      break;
    case ALPHABET_FEW:
      if (v < 2) {
        s += static_cast<char>('a' + v);
      } else {
        s += "\xB0\xA1";
      }
      break;
    default:
      s += static_cast<char>(1 + v);
      break;
  }
}

enum : uint8_t { RUN_ASCENDING = 0, RUN_DESCENDING = 1, RUN_RANDOM = 2 };

// A run of texts described by a few bytes. shape: bits 0..2 the symbols of a
// common prefix (counters) or the most symbols of a text (random texts), bit
// 3 eight symbols more, so that some texts pass 30 bytes; bits 4..7 narrow
// the symbols of random texts to the first 2^n, so that they repeat.
class CTextRun {
 public:
  CTextRun(uint8_t kind, uint8_t alphabet, uint8_t shape, uint32_t count, uint64_t seed)
      : m_nKind(kind), m_nAlphabet(alphabet & 3), m_nCount(count), m_nSeed(seed) {
    const uint32_t nSize = AlphabetSize(m_nAlphabet);
    m_nSymbols = (shape & 7) + ((shape & 8) ? 8 : 0);
    const uint32_t nNarrow = shape >> 4;
    m_nSpread = nNarrow < 13 && (1u << nNarrow) < nSize ? (1u << nNarrow) : nSize;
    CFuzzRandom r(seed);
    if (m_nKind != RUN_RANDOM) {
      for (uint32_t i = 0; i < m_nSymbols; ++i)
        AppendSymbol(m_strPrefix, m_nAlphabet, r.Below(nSize));
      m_nStart = r.Below(1024);
      // Digits enough for the last value, so all counters have one width.
      m_nDigits = 1;
      for (uint64_t top = nSize; top <= uint64_t(m_nStart) + count; top *= nSize) ++m_nDigits;
    }
  }

  std::string Text(uint32_t i) const {
    const uint32_t nSize = AlphabetSize(m_nAlphabet);
    if (m_nKind == RUN_RANDOM) {
      CFuzzRandom r(MixSeed(m_nSeed, i));
      const uint32_t n = 1 + r.Below(m_nSymbols + 1);
      std::string s;
      for (uint32_t k = 0; k < n; ++k) AppendSymbol(s, m_nAlphabet, r.Below(m_nSpread));
      return s;
    }
    uint64_t v = m_nStart + uint64_t(m_nKind == RUN_DESCENDING ? m_nCount - 1 - i : i);
    uint32_t d[16];
    for (uint32_t k = 0; k < m_nDigits; ++k) {
      d[k] = static_cast<uint32_t>(v % nSize);
      v /= nSize;
    }
    std::string s = m_strPrefix;
    for (uint32_t k = m_nDigits; k-- > 0;) AppendSymbol(s, m_nAlphabet, d[k]);
    return s;
  }

 private:
  uint8_t m_nKind;
  uint8_t m_nAlphabet;
  uint32_t m_nCount;
  uint64_t m_nSeed;
  uint32_t m_nSymbols;
  uint32_t m_nSpread = 1;
  uint32_t m_nStart = 0;
  uint32_t m_nDigits = 1;
  std::string m_strPrefix;
};

// How many a run command makes: the count byte plus one, times 1, 2, 8 or
// 16; at most 4,096, the records of nine store blocks.
inline uint32_t RunCount(uint8_t count, uint8_t scale) {
  static const uint8_t kShift[4] = {0, 1, 3, 4};
  return (uint32_t(count) + 1) << kShift[scale & 3];
}

// The block size a byte picks for a phrase store: below 128 the editor's 500,
// else 1..64, so that a few hundred records span many blocks. The store takes
// any size before its first record.
inline uint32_t StoreBlockSize(uint8_t byte) { return byte < 128 ? 500 : (byte & 63) + 1; }
