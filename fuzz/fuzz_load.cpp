// libFuzzer harness for CTabrix::Load. Most inputs are a compact encoding
// (LoadInput.h) of a library file of up to thousands of records, in any order,
// with repeated texts, records naming no group and bad lengths, which damage
// steps may then break; the others are the file's bytes as they stand. Every
// file is also read here by a plain restatement of the format, which says
// whether it is whole and what a load of it must give. Both loads, with and
// without a report, must agree with that; the library then takes more phrases
// through AddPhrase, keeps its invariants, and survives a save and a second
// load unchanged.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "LoadReport.h"
#include "Tabrix.h"

#include "FuzzInput.h"
#include "FuzzSupport.h"
#include "LoadInput.h"
#include "StoreModel.h"

const char* const kFuzzHarnessName = "fuzz_load";

namespace {

// The file format, restated: header, group count byte, group records,
// phraseBytes, the records (group, frequency, length, text), one offset each.
constexpr uint16_t kMagic = 0x584B;
constexpr uint16_t kType = 0x4C43;
constexpr uint16_t kMajor = 2005;
constexpr uint16_t kMinor = 2;
constexpr size_t kHeaderSize = 12;
constexpr size_t kGroupSize = 308;
constexpr size_t kGroupTexts = 300;  // name, editor and remark fields
constexpr size_t kCountAt = 300;
constexpr size_t kEnableAt = 304;

void AppendU16(std::string& s, uint16_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8);
}

void AppendU32(std::string& s, uint32_t v) {
  for (int k = 0; k < 4; ++k) s += static_cast<char>((v >> (8 * k)) & 0xFF);
}

uint32_t U32At(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (int k = 3; k >= 0; --k) v = (v << 8) | static_cast<uint8_t>(s[at + k]);
  return v;
}

uint16_t U16At(const std::string& s, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) |
                               (static_cast<uint8_t>(s[at + 1]) << 8));
}

void SetU32At(std::string& s, size_t at, uint32_t v) {
  for (int k = 0; k < 4; ++k) s[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
}

// Records as the file holds them (group, frequency, length byte, text), one
// after another in an arena, and the order the file takes them in.
struct tagRECORDS {
  std::string arena;
  std::vector<uint32_t> order;  // offsets into the arena

  size_t Size() const { return order.size(); }
  void Add(uint8_t group, uint8_t freq, const char* text, size_t len) {
    order.push_back(static_cast<uint32_t>(arena.size()));
    arena += static_cast<char>(group);
    arena += static_cast<char>(freq);
    arena += static_cast<char>(len);
    arena.append(text, len);
  }
  void Add(uint8_t group, uint8_t freq, const std::string& text) {
    Add(group, freq, text.data(), text.size());
  }
  std::string Text(size_t i) const {
    return arena.substr(order[i] + 3, static_cast<uint8_t>(arena[order[i] + 2]));
  }
};

// A phrase added after the load: AddPhrase's arguments.
struct tagEDIT {
  uint8_t byGroup;
  uint8_t byFreq;
  uint8_t nLength;   // 255: AddPhrase measures the text
  std::string text;  // NUL-terminated behind, as c_str() gives it
};

// ---- The encoding --------------------------------------------------------

void DecodeCommands(CFuzzInput& in, uint32_t nGroups, uint32_t nMaxRecords, uint32_t nMaxEdits,
                    tagRECORDS& records, std::vector<tagEDIT>& edits) {
  uint32_t nCommand = 0;
  while (!in.AtEnd()) {
    const uint8_t op = in.Byte();
    const uint8_t a = in.Byte();
    const uint8_t b = in.Byte();
    const uint8_t c = in.Byte();
    const uint64_t seed =
        MixSeed(nCommand++, (uint32_t(op) << 24) | (uint32_t(a) << 16) | (uint32_t(b) << 8) | c);
    CFuzzRandom r(seed);
    const uint32_t nRoom = nMaxRecords - static_cast<uint32_t>(records.Size());
    const uint8_t alphabet = (op >> 5) & 3;
    // Mostly groups that exist; c bit 0 lets random groups overshoot by one.
    auto group = [&]() -> uint8_t {
      if (op & 0x80) return static_cast<uint8_t>(r.Below(nGroups + (c & 1)));
      return static_cast<uint8_t>(c % (nGroups + 1));
    };
    switch (op & 7) {
      case CMD_ASCENDING:
      case CMD_DESCENDING:
      case CMD_RANDOM: {
        const uint32_t n = std::min(RunCount(a, op >> 3), nRoom);
        const CTextRun run(op & 7, alphabet, b, n, seed);
        for (uint32_t i = 0; i < n; ++i) {
          const uint8_t g = group();
          records.Add(g, static_cast<uint8_t>(r.Next()), run.Text(i));
        }
        break;
      }
      case CMD_REPEAT: {
        if (records.Size() == 0) break;
        const size_t from = (size_t(b) * records.Size()) >> 8;
        const size_t span = records.Size() - from;
        const uint32_t n = std::min(RunCount(a, op >> 3), nRoom);
        for (uint32_t i = 0; i < n; ++i) {
          const size_t k = from + i % span;
          const uint8_t g =
              (c & 1) ? group() : static_cast<uint8_t>(records.arena[records.order[k]]);
          records.Add(g, static_cast<uint8_t>(r.Next()), records.Text(k));
        }
        break;
      }
      case CMD_BAD: {
        const uint32_t n = std::min<uint32_t>(a % 32 + 1, nRoom);
        for (uint32_t i = 0; i < n; ++i) {
          uint8_t g = group();
          std::string text;
          switch (b & 3) {
            case 0:  // longer than a phrase may be
              for (uint32_t k = 31 + r.Below(225); k > 0; --k) text += static_cast<char>(r.Next());
              break;
            case 1:  // a NUL inside: the text ends there
              text = CTextRun(RUN_RANDOM, alphabet, 0x84, 1, r.Next()).Text(0);
              text += '\0';
              for (uint32_t k = r.Below(8); k > 0; --k) text += static_cast<char>(r.Next());
              if (text.size() > 30) text.resize(30);
              break;
            case 2:  // a group byte past the table
              g = static_cast<uint8_t>(nGroups + r.Below(256 - nGroups));
              text = CTextRun(RUN_RANDOM, alphabet, 0xF3, 1, r.Next()).Text(0);
              break;
            default: {  // empty, 30 and 31 bytes
              const uint32_t len = r.Below(3) == 0 ? 0 : 30 + r.Below(2);
              for (uint32_t k = 0; k < len; ++k) text += static_cast<char>(0xB0 + r.Below(8));
              break;
            }
          }
          records.Add(g, static_cast<uint8_t>(r.Next()), text);
        }
        break;
      }
      case CMD_LITERAL:
        if (nRoom > 0) records.Add(a, b, in.Bytes(c));
        break;
      case CMD_EDIT: {
        const uint32_t nEditRoom = nMaxEdits - static_cast<uint32_t>(edits.size());
        const uint32_t n = std::min(RunCount(a, op >> 3), nEditRoom);
        const CTextRun run(b & 3, alphabet, b, n, seed);
        for (uint32_t i = 0; i < n; ++i) {
          tagEDIT e = {group(), static_cast<uint8_t>(r.Next()), 0, std::string()};
          if ((b & 3) == 3 && records.Size() > 0) {
            e.text = records.Text(r.Below(static_cast<uint32_t>(records.Size())));
          } else {
            e.text = run.Text(i);
          }
          // Measured, given whole, or one byte short of the text.
          if (c & 0x40) {
            e.nLength = 255;
          } else if ((c & 0x20) && !e.text.empty()) {
            e.nLength = static_cast<uint8_t>(std::min<size_t>(e.text.size() - 1, 254));
          } else {
            e.nLength = static_cast<uint8_t>(std::min<size_t>(e.text.size(), 254));
          }
          edits.push_back(e);
        }
        break;
      }
      default: {  // CMD_SHUFFLE
        if (records.Size() == 0) break;
        std::vector<uint32_t>& order = records.order;
        const size_t from = size_t(b) * order.size() / 255;  // 255: none, padding for seeds
        for (size_t i = order.size(); i > from + 1; --i) {
          std::swap(order[i - 1], order[from + r.Below(static_cast<uint32_t>(i - from))]);
        }
        break;
      }
    }
  }
}

// The encoded file and where its parts lie, for the damage steps.
struct tagIMAGE {
  std::string bytes;
  uint32_t nGroups = 0;
  size_t nPhraseBytesAt = 0;
  std::vector<size_t> recordAt;
  size_t nIndexAt = 0;
};

tagIMAGE BuildImage(uint8_t flags, uint32_t nGroups, uint8_t seed, const tagRECORDS& records) {
  tagIMAGE img;
  img.nGroups = nGroups;
  std::string& f = img.bytes;
  AppendU16(f, kMagic);
  AppendU16(f, kType);
  uint16_t major = kMajor;
  uint16_t minor = kMinor;
  if (flags & LOAD_NEW_VERSION) {
    major = static_cast<uint16_t>(kMajor + (seed >> 6));
    minor = static_cast<uint16_t>(1 + ((seed >> 4) & 3));  // 1 is too old on its own
  }
  AppendU16(f, major);
  AppendU16(f, minor);
  AppendU32(f, seed * 0x01000193u);
  f += static_cast<char>(nGroups);

  // The loader takes the sum of the counts, whichever groups announce it.
  std::vector<uint32_t> counts(nGroups, 0);
  CFuzzRandom r(MixSeed(seed, records.Size()));
  const uint32_t n = static_cast<uint32_t>(records.Size());
  if (nGroups > 0) {
    switch ((flags >> LOAD_SPLIT_SHIFT) & 3) {
      case SPLIT_FIRST:
        counts[0] = n;
        break;
      case SPLIT_OWNERS:
        for (uint32_t o : records.order) {
          const uint8_t g = static_cast<uint8_t>(records.arena[o]);
          ++counts[g < nGroups ? g : nGroups - 1];
        }
        break;
      case SPLIT_RANDOM:
        for (uint32_t i = 0; i < n; ++i) ++counts[r.Below(nGroups)];
        break;
      default:
        counts[nGroups - 1] = n;
        break;
    }
  }
  for (uint32_t g = 0; g < nGroups; ++g) {
    char group[kGroupSize] = {};
    if (g == 0 && (seed & 1)) {
      memset(group, 'N', 50);  // a name without its NUL, as files written elsewhere have
    } else {
      snprintf(group, 50, "\xD7\xE9%u", g);
    }
    snprintf(group + 50, 50, "ed%c", 'a' + (seed + g) % 26);
    snprintf(group + 100, 200, "%u", seed * g);
    std::string tail;
    AppendU32(tail, counts[g]);
    AppendU32(tail, (g + seed) % 5 == 4 ? 7u : (g + seed) & 1u);  // 7: neither ticked nor clear
    memcpy(group + kCountAt, tail.data(), 8);
    f.append(group, kGroupSize);
  }

  img.nPhraseBytesAt = f.size();
  AppendU32(f, 0);
  const size_t nStart = f.size();
  std::vector<uint32_t> offsets;
  if (nGroups > 0) {
    f.reserve(f.size() + records.arena.size() + 4 * n);
    for (uint32_t o : records.order) {
      offsets.push_back(static_cast<uint32_t>(f.size() - nStart));
      img.recordAt.push_back(f.size());
      f.append(records.arena, o, 3 + static_cast<uint8_t>(records.arena[o + 2]));
    }
  }
  SetU32At(f, img.nPhraseBytesAt, static_cast<uint32_t>(f.size() - nStart));
  img.nIndexAt = f.size();
  for (uint32_t o : offsets) AppendU32(f, o);
  return img;
}

void ApplyHarm(tagIMAGE& img, const uint8_t* h) {
  std::string& f = img.bytes;
  const uint32_t pos = (uint32_t(h[1]) << 8) | h[2];
  const uint8_t v = h[3];
  const size_t at = (f.size() * pos) >> 16;
  const size_t k = (img.recordAt.size() * pos) >> 16;
  const uint32_t delta = v == 0 ? 1u : static_cast<uint32_t>(static_cast<int8_t>(v));
  switch (h[0] & 7) {
    case HARM_FLIP:
      if (at < f.size()) f[at] = static_cast<char>(f[at] ^ (v | 1));
      break;
    case HARM_CUT:
      f.resize(at);
      break;
    case HARM_INDEX: {
      const size_t entry = img.nIndexAt + 4 * k;
      if (k < img.recordAt.size() && entry + 4 <= f.size())
        SetU32At(f, entry, U32At(f, entry) + (v | 1));
      break;
    }
    case HARM_PHRASE_BYTES:
      if (img.nPhraseBytesAt + 4 <= f.size()) {
        SetU32At(f, img.nPhraseBytesAt, U32At(f, img.nPhraseBytesAt) + delta);
      }
      break;
    case HARM_COUNT: {
      if (img.nGroups == 0) break;
      const size_t field = kHeaderSize + 1 + kGroupSize * (h[1] % img.nGroups) + kCountAt;
      if (field + 4 <= f.size()) SetU32At(f, field, U32At(f, field) + delta);
      break;
    }
    case HARM_TRAILING:
      f.append(v % 16 + 1, static_cast<char>(h[2]));
      break;
    case HARM_LENGTH:
      if (k < img.recordAt.size() && img.recordAt[k] + 2 < f.size()) {
        f[img.recordAt[k] + 2] = static_cast<char>(v);
      }
      break;
    default:  // HARM_SPLICE
      if (v & 0x80) {
        f.insert(at, v % 8 + 1, static_cast<char>(h[2]));
      } else if (at < f.size()) {
        f.erase(at, std::min<size_t>(v % 8 + 1, f.size() - at));
      }
      break;
  }
}

// ---- The format, read plainly ----------------------------------------------

enum { REF_NOT_LIBRARY, REF_WHOLE, REF_DAMAGED, REF_EITHER };

struct tagREFERENCE {
  int nVerdict = REF_NOT_LIBRARY;
  uint16_t wMajor = 0;
  uint16_t wMinor = 0;
  uint32_t dwStamp = 0;
  uint32_t nGroupByte = 0;
  uint32_t nGroupsRead = 0;  // group records wholly in the file
  uint64_t nAnnounced = 0;
  // What disagrees: the group table ends early, the records do, phraseBytes
  // is not their length, the index is short or wrong, bytes follow it.
  bool bTableShort = false;
  bool bTruncated = false;
  bool bPhraseBytes = false;
  bool bIndex = false;
  bool bTrailing = false;
  std::vector<size_t> recordAt;  // each record read, as far as they go
};

tagREFERENCE ReadReference(const std::string& f) {
  tagREFERENCE ref;
  if (f.size() < kHeaderSize) return ref;
  if (U16At(f, 0) != kMagic || U16At(f, 2) != kType) return ref;
  // The minor version on its own, whatever the major one.
  if (U16At(f, 4) < kMajor || U16At(f, 6) < kMinor) return ref;
  ref.wMajor = U16At(f, 4);
  ref.wMinor = U16At(f, 6);
  ref.dwStamp = U32At(f, 8);
  if (f.size() == kHeaderSize) {  // a bare header: no groups
    ref.nVerdict = REF_WHOLE;
    return ref;
  }
  ref.nGroupByte = static_cast<uint8_t>(f[kHeaderSize]);
  size_t pos = kHeaderSize + 1;
  while (ref.nGroupsRead < ref.nGroupByte && f.size() - pos >= kGroupSize) {
    ref.nAnnounced += U32At(f, pos + kCountAt);
    pos += kGroupSize;
    ++ref.nGroupsRead;
  }
  ref.nVerdict = REF_DAMAGED;
  if (ref.nGroupsRead < ref.nGroupByte) {
    ref.bTableShort = true;
    return ref;
  }
  if (f.size() - pos < 4) {
    // No phrase section: an empty library when nothing is announced. One to
    // three stray bytes there may pass either way.
    if (ref.nAnnounced > 0) {
      ref.bTruncated = true;
    } else {
      ref.nVerdict = f.size() == pos ? REF_WHOLE : REF_EITHER;
    }
    return ref;
  }
  const uint32_t nPhraseBytes = U32At(f, pos);
  pos += 4;
  const size_t nStart = pos;
  for (uint64_t i = 0; i < ref.nAnnounced; ++i) {
    if (f.size() - pos < 3 || f.size() - pos - 3 < static_cast<uint8_t>(f[pos + 2])) {
      ref.bTruncated = true;
      return ref;
    }
    ref.recordAt.push_back(pos);
    pos += 3 + static_cast<uint8_t>(f[pos + 2]);
  }
  ref.bPhraseBytes = pos - nStart != nPhraseBytes;
  uint64_t offset = 0;
  for (size_t at : ref.recordAt) {
    if (f.size() - pos < 4) {
      ref.bIndex = true;
      break;
    }
    if (U32At(f, pos) != offset) ref.bIndex = true;
    pos += 4;
    offset += 3 + static_cast<uint8_t>(f[at + 2]);
  }
  ref.bTrailing = pos < f.size();
  if (!ref.bPhraseBytes && !ref.bIndex && !ref.bTrailing) ref.nVerdict = REF_WHOLE;
  return ref;
}

// What a whole file's records load to: a length above 30 or a group past
// the table drops a record, a NUL ends a text, and of equal texts the first
// stays. Sorted once rather than kept in a map: files hold thousands.
struct tagKEPT {
  const char* text;
  uint32_t order;
  uint8_t len;
  uint8_t group;
  uint8_t freq;
};

struct tagDROPS {
  uint64_t nBadLength = 0;
  uint64_t nNoGroup = 0;
  uint64_t nDuplicate = 0;
};

bool TextBefore(const tagKEPT& a, const tagKEPT& b) {
  const int d = memcmp(a.text, b.text, a.len < b.len ? a.len : b.len);
  return d != 0 ? d < 0 : a.len < b.len;
}

std::vector<tagKEPT> ModelOfRecords(const std::string& f, const tagREFERENCE& ref, uint32_t nGroups,
                                    tagDROPS* pDrops) {
  std::vector<tagKEPT> kept;
  kept.reserve(ref.recordAt.size());
  for (size_t at : ref.recordAt) {
    const uint8_t group = static_cast<uint8_t>(f[at]);
    const uint8_t len = static_cast<uint8_t>(f[at + 2]);
    const char* text = f.data() + at + 3;
    if (len > 30) {
      ++pDrops->nBadLength;
    } else if (group >= nGroups) {
      ++pDrops->nNoGroup;
    } else {
      kept.push_back({text, static_cast<uint32_t>(kept.size()),
                      static_cast<uint8_t>(strnlen(text, len)), group,
                      static_cast<uint8_t>(f[at + 1])});
    }
  }
  // Stable: of equal texts the one read first comes first, and stays.
  std::stable_sort(kept.begin(), kept.end(), TextBefore);
  size_t n = 0;
  for (size_t i = 0; i < kept.size(); ++i) {
    if (n > 0 && !TextBefore(kept[n - 1], kept[i])) continue;
    kept[n++] = kept[i];
  }
  pDrops->nDuplicate = kept.size() - n;
  kept.resize(n);
  return kept;
}

// ---- Checks ----------------------------------------------------------------

void CheckInvariants(CTabrix& library) {
  const uint32_t nGroups = library.GetGroupCount();
  Check(nGroups <= 255, "more groups than the file can count");
  uint64_t counted[256] = {};
  // Each record is copied out: the next GetAt may take another block.
  tagPHRASE2 prev;
  bool bAny = false;
  for (uint32_t i = 0; i < library.m_arrPhrase.GetCount(); ++i) {
    const tagPHRASE2* p = library.m_arrPhrase.GetAt(i);
    Check(p != nullptr, "a record of the store cannot be reached");
    Check(p->byGroup < nGroups, "phrase names no group");
    Check(p->cLen <= 30, "phrase longer than 30 bytes");
    Check(memchr(p->szWord, 0, p->cLen) == nullptr, "NUL inside a text");
    Check(AllZero(p->szWord + p->cLen, sizeof(p->szWord) - p->cLen), "text not padded");
    if (bAny) Check(ComparePhrase(&prev, p, nullptr) < 0, "store not sorted or not unique");
    prev = *p;
    bAny = true;
    counted[p->byGroup]++;
  }
  for (uint32_t g = 0; g < nGroups; ++g)
    Check(library.GetGroup(g)->dwCount == counted[g], "group count not rebuilt");
}

// The first n groups as the file stores them, the counts aside.
void CheckGroupsAsStored(CTabrix& lib, const std::string& f, uint32_t n) {
  for (uint32_t g = 0; g < n; ++g) {
    const size_t at = kHeaderSize + 1 + kGroupSize * g;
    const tagGROUPINFO* group = lib.GetGroup(g);
    Check(memcmp(group, f.data() + at, kGroupTexts) == 0, "group texts not as stored");
    Check(static_cast<uint32_t>(group->bEnable) == U32At(f, at + kEnableAt),
          "group tick not as stored");
  }
}

bool IsEmpty(CTabrix& lib) { return lib.GetGroupCount() == 0 && lib.m_arrPhrase.GetCount() == 0; }

bool SameLibrary(CTabrix& a, CTabrix& b) {
  if (a.GetGroupCount() != b.GetGroupCount()) return false;
  for (uint32_t i = 0; i < a.GetGroupCount(); ++i)
    if (memcmp(a.GetGroup(i), b.GetGroup(i), sizeof(tagGROUPINFO)) != 0) return false;
  if (a.m_arrPhrase.GetCount() != b.m_arrPhrase.GetCount()) return false;
  for (uint32_t i = 0; i < a.m_arrPhrase.GetCount(); ++i)
    if (memcmp(a.m_arrPhrase.GetAt(i), b.m_arrPhrase.GetAt(i), sizeof(tagPHRASE2)) != 0)
      return false;
  return true;
}

uint64_t Dropped(const tagLOADREPORT& r) {
  return r.nDropDuplicate + r.nDropNoGroup + r.nDropBadLength + r.nDropDamaged;
}

void CheckWhole(CTabrix& lib, const tagLOADREPORT& r, const tagREFERENCE& ref,
                const std::string& f) {
  Check(r.nStatus == LOAD_WHOLE && r.nDamage == DAMAGE_NONE, "whole load reports damage");
  Check(r.wMajor == ref.wMajor && r.wMinor == ref.wMinor && r.dwStamp == ref.dwStamp,
        "report shows another header");
  Check(lib.GetGroupCount() == ref.nGroupByte, "not every group loaded");
  CheckGroupsAsStored(lib, f, ref.nGroupByte);
  tagDROPS drops;
  const std::vector<tagKEPT> kept = ModelOfRecords(f, ref, ref.nGroupByte, &drops);
  Check(lib.m_arrPhrase.GetCount() == kept.size(), "store holds a different number of phrases");
  std::vector<uint64_t> counts(ref.nGroupByte, 0);
  for (uint32_t i = 0; i < kept.size(); ++i) {
    const tagPHRASE2* p = lib.m_arrPhrase.GetAt(i);
    Check(p->cLen == kept[i].len && memcmp(p->szWord, kept[i].text, p->cLen) == 0,
          "store holds another text");
    Check(p->byGroup == kept[i].group, "a text kept another record's group");
    Check(p->byFreq == kept[i].freq, "a text kept another record's frequency");
    ++counts[p->byGroup];
  }
  for (uint32_t g = 0; g < ref.nGroupByte; ++g)
    Check(lib.GetGroup(g)->dwCount == counts[g], "group count differs from the records");
  Check(r.nAnnounced == ref.nAnnounced, "report announces another count");
  Check(r.nRead == ref.recordAt.size(), "report read another count");
  Check(r.nKept == kept.size(), "report kept another count");
  Check(r.nDropBadLength == drops.nBadLength, "bad lengths counted wrong");
  Check(r.nDropNoGroup == drops.nNoGroup, "records naming no group counted wrong");
  Check(r.nDropDuplicate == drops.nDuplicate, "repeated texts counted wrong");
  Check(r.nDropDamaged == 0, "a whole file's records disowned");
}

void CheckDamaged(CTabrix& lib, const tagLOADREPORT& r, const tagREFERENCE& ref,
                  const std::string& f) {
  Check(r.nStatus == LOAD_DAMAGED, "a damaged file not reported damaged");
  bool bKnown;
  if (ref.bTableShort) {
    bKnown = r.nDamage == DAMAGE_GROUP_TABLE;
  } else if (ref.bTruncated) {
    bKnown = r.nDamage == DAMAGE_TRUNCATED || r.nDamage == DAMAGE_PHRASE_BYTES ||
             r.nDamage == DAMAGE_INDEX;
  } else if (ref.nVerdict == REF_EITHER) {
    bKnown = r.nDamage > DAMAGE_GROUP_TABLE && r.nDamage <= DAMAGE_TRAILING;
  } else {
    bKnown = (ref.bPhraseBytes && r.nDamage == DAMAGE_PHRASE_BYTES) ||
             (ref.bIndex && r.nDamage == DAMAGE_INDEX) ||
             (ref.bTrailing && r.nDamage == DAMAGE_TRAILING);
  }
  Check(bKnown, "report names damage the file does not have");
  // What was recovered: the groups as stored, phrases the counts account for.
  if (ref.bTableShort) {
    Check(lib.GetGroupCount() <= ref.nGroupsRead, "groups the file does not hold");
    CheckGroupsAsStored(lib, f, lib.GetGroupCount());
    Check(lib.m_arrPhrase.GetCount() == 0, "phrases without a group table");
  } else {
    Check(lib.GetGroupCount() == ref.nGroupByte, "recovered library lost groups");
    CheckGroupsAsStored(lib, f, ref.nGroupByte);
    Check(r.nAnnounced == ref.nAnnounced, "report announces another count");
  }
  Check(r.nRead <= r.nAnnounced, "report read more than announced");
  Check(r.nKept == lib.m_arrPhrase.GetCount(), "report kept another count");
  Check(r.nRead == r.nKept + Dropped(r), "records read neither kept nor dropped");
}

// Adds the edits' phrases, checking each result against the model.
void ApplyEdits(CTabrix& lib, const std::vector<tagEDIT>& edits, int checkDuplicate,
                CStoreModel& model) {
  const uint32_t nGroups = lib.GetGroupCount();
  for (const tagEDIT& e : edits) {
    // AddPhrase takes at most the given length, or measures up to 31 bytes,
    // and a NUL ends the text either way.
    const size_t limit = e.nLength == 255 ? 31 : e.nLength;
    const size_t given = std::min(limit, e.text.size() + 1);
    const std::string text(e.text.c_str(), strnlen(e.text.c_str(), given));
    const bool bFits = e.nLength == 255 ? text.size() <= 30 : e.nLength <= 30;
    const bool bExpected = e.byGroup < nGroups && bFits && !model.Has(text);
    const int nAdded =
        lib.AddPhrase(e.text.c_str(), e.nLength, e.byFreq, checkDuplicate, e.byGroup);
    Check((nAdded != 0) == bExpected, "AddPhrase result differs from the model");
    if (bExpected) model.Add(text, e.byGroup, e.byFreq);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint8_t flags = size > 0 ? data[0] : LOAD_RAW;
  std::string file;
  std::vector<tagEDIT> edits;
  uint32_t nBlockSize = 500;
  if ((flags & LOAD_RAW) == LOAD_RAW) {
    if (size > 1) file.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
  } else {
    CFuzzInput in(data + 1, size - 1);
    const uint8_t groupByte = in.Byte();
    const uint32_t nGroups = (groupByte & 0x80) ? groupByte : (groupByte & 0x0F);
    const uint8_t seed = in.Byte();
    nBlockSize = StoreBlockSize(in.Byte());
    uint8_t harms[LOAD_DAMAGE_MASK][4];
    const uint32_t nHarms = flags & LOAD_DAMAGE_MASK;
    for (uint32_t i = 0; i < nHarms; ++i)
      for (int k = 0; k < 4; ++k) harms[i][k] = in.Byte();
    tagRECORDS records;
    const uint64_t nBudget = uint64_t(kLoadRecordsPerByte) * size;
    DecodeCommands(in, nGroups, static_cast<uint32_t>(std::min<uint64_t>(kLoadMaxRecords, nBudget)),
                   static_cast<uint32_t>(std::min<uint64_t>(kLoadMaxEdits, nBudget / 4)), records,
                   edits);
    tagIMAGE img = BuildImage(flags, nGroups, seed, records);
    for (uint32_t i = 0; i < nHarms; ++i) ApplyHarm(img, harms[i]);
    file.swap(img.bytes);
  }

  const std::string input = FuzzScratchDir() + "/in.wbk";
  const std::string output = FuzzScratchDir() + "/out.wbk";
  WriteScratchFile(input, file.data(), file.size());
  const tagREFERENCE ref = ReadReference(file);

  CTabrix plain;
  const int nPlain = plain.Load(input.c_str());
  // The editor's blocks for one load, perhaps small ones for the other: the
  // same file must give the same library.
  CTabrix lib;
  lib.m_arrPhrase.m_nBlockSize = nBlockSize;
  tagLOADREPORT report;
  const int nLoad = lib.Load(input.c_str(), &report);
  Check(nPlain == nLoad, "a report changes the result");
  CheckInvariants(lib);
  if (nPlain) {
    Check(SameLibrary(plain, lib), "loads with and without a report differ");
  } else {
    Check(IsEmpty(plain), "refused load left a partial library");
  }

  switch (ref.nVerdict) {
    case REF_NOT_LIBRARY:
      Check(nLoad == 0 && report.nStatus == LOAD_NOT_LIBRARY, "not a library, yet not refused");
      Check(IsEmpty(lib), "refused file left a library");
      break;
    case REF_WHOLE:
      Check(nLoad == 1, "a whole file did not load");
      CheckWhole(lib, report, ref, file);
      break;
    case REF_DAMAGED:
      Check(nLoad == 0, "a damaged file loaded as whole");
      CheckDamaged(lib, report, ref, file);
      break;
    default:  // REF_EITHER
      if (nLoad) {
        CheckWhole(lib, report, ref, file);
      } else {
        CheckDamaged(lib, report, ref, file);
      }
      break;
  }

  // More phrases into the loaded store: insertions all over its blocks.
  if (!edits.empty()) {
    CStoreModel model(lib);
    ApplyEdits(lib, edits, (flags & LOAD_EDIT_NO_CHECK) ? 0 : 1, model);
    model.CheckAgainst(lib);
  }

  // A refused file leaves nothing to save; the save is what costs most when
  // little was read.
  if (IsEmpty(lib)) return 0;
  Check(lib.Save(output.c_str()) == 1, "save of a loaded library failed");
  // Into a library already in use: a load starts from empty.
  tagLOADREPORT again;
  Check(plain.Load(output.c_str(), &again) == 1, "saved library does not load");
  Check(again.nStatus == LOAD_WHOLE && Dropped(again) == 0, "saved library loads with drops");
  Check(again.nRead == lib.m_arrPhrase.GetCount(), "saved library holds another count");
  Check(SameLibrary(lib, plain), "second load differs from the first");
  return 0;
}
