// Writes the seed corpus of fuzz_load (inputs as LoadInput.h describes):
// small libraries made by Save, fed as raw bytes, and encodings of libraries
// of thousands of records, whole or damaged.
//   make_load_seeds <folder>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "Tabrix.h"

#include "FuzzInput.h"
#include "LoadInput.h"

namespace {

bool WriteSeed(const std::string& folder, const char* name, const std::string& bytes) {
  const std::string path = folder + "/" + name;
  FILE* file = fopen(path.c_str(), "wb");
  bool ok = file != nullptr && fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (file != nullptr && fclose(file) != 0) ok = false;
  if (!ok) fprintf(stderr, "make_load_seeds: cannot write %s\n", path.c_str());
  return ok;
}

// A library saved, then fed as it stands.
bool SaveTo(CTabrix& library, const std::string& folder, const char* name) {
  const std::string path = folder + "/" + name + std::string(".tmp");
  bool ok = library.Save(path.c_str()) != 0;
  std::string bytes(1, static_cast<char>(LOAD_RAW));
  if (FILE* file = fopen(path.c_str(), "rb")) {
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), file)) > 0) bytes.append(buffer, n);
    fclose(file);
  } else {
    ok = false;
  }
  remove(path.c_str());
  if (!ok) {
    fprintf(stderr, "make_load_seeds: cannot save %s\n", name);
    return false;
  }
  return WriteSeed(folder, name, bytes);
}

// An encoded library: flags, group byte, seed, block byte, damage steps and
// commands, long enough for all the records it asks for.
std::string Encoded(uint8_t flags, uint8_t groups, uint8_t seed,
                    const std::vector<std::vector<uint8_t>>& steps, uint8_t blocks = 0) {
  std::string s;
  s += static_cast<char>(flags);
  s += static_cast<char>(groups);
  s += static_cast<char>(seed);
  s += static_cast<char>(blocks);
  for (const std::vector<uint8_t>& step : steps) s.append(step.begin(), step.end());
  // Shuffles of nothing up to the length that allows the most records.
  while (s.size() * kLoadRecordsPerByte < kLoadMaxRecords) s += std::string("\x07\x00\xFF\x00", 4);
  return s;
}

uint8_t Op(uint8_t command, uint8_t scale, uint8_t alphabet, bool randomGroups) {
  return static_cast<uint8_t>(command | (scale << 3) | (alphabet << 5) | (randomGroups ? 0x80 : 0));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: make_load_seeds <folder>\n");
    return 2;
  }
  const std::string folder = argv[1];
  bool ok = true;

  CTabrix empty;
  ok &= SaveTo(empty, folder, "empty.wbk");

  CTabrix reference;
  reference.AddGroup("a", "", "");
  reference.AddPhrase("b", 1, 3, 1, 0);
  reference.AddPhrase("c", 1, 0, 1, 0);
  ok &= SaveTo(reference, folder, "reference.wbk");

  CTabrix groups;
  groups.AddGroup("\xB3\xA3\xD3\xC3", "editor", "remark");
  groups.AddGroup("second", "", "");
  groups.AddGroup("empty group", "", "");
  groups.GetGroup(1)->bEnable = 1;
  const char* texts[] = {"\xB0\xA1",
                         "\xB0\xA1\xB0\xA2",
                         "\xC4\xE3\xBA\xC3",
                         "ab",
                         "",
                         "\xD6\xD0\xB9\xFA\xC8\xCB\xC3\xF1\xD2\xF8\xD0\xD0\xB9\xC9\xB7\xDD"};
  for (int i = 0; i < 6; ++i) groups.AddPhrase(texts[i], 255, uint8_t(i * 40), 1, uint8_t(i % 2));
  ok &= SaveTo(groups, folder, "groups.wbk");

  CTabrix full;
  full.AddGroup("x", "", "");
  std::string text(30, '\xB0');
  full.AddPhrase(text.c_str(), 30, 250, 1, 0);
  ok &= SaveTo(full, folder, "longest.wbk");

  const uint8_t owners = SPLIT_OWNERS << LOAD_SPLIT_SHIFT;
  const uint8_t spread = SPLIT_RANDOM << LOAD_SPLIT_SHIFT;
  // 3,200 counter texts in order: a saved library of seven blocks.
  ok &= WriteSeed(
      folder, "ascending.enc",
      Encoded(owners, 3, 0x10, {{Op(CMD_ASCENDING, 3, ALPHABET_GBK, false), 199, 0x02, 1}}));
  // Random texts of a few symbols, repeated and shuffled: the sorting load.
  ok &= WriteSeed(folder, "shuffled.enc",
                  Encoded(spread, 4, 0x21,
                          {{Op(CMD_RANDOM, 2, ALPHABET_GBK, true), 99, 0x53, 0},
                           {Op(CMD_ASCENDING, 2, ALPHABET_ASCII, true), 60, 0x01, 1},
                           {Op(CMD_REPEAT, 1, 0, true), 200, 0x40, 1},
                           {CMD_SHUFFLE, 0, 0x20, 0}},
                          0x87));
  // Both directions, records naming no group, bad lengths, one literal.
  ok &= WriteSeed(folder, "mixed.enc",
                  Encoded(0, 2, 0x42,
                          {{Op(CMD_DESCENDING, 2, ALPHABET_FEW, false), 120, 0x03, 1},
                           {Op(CMD_ASCENDING, 1, ALPHABET_BYTES, true), 255, 0x02, 1},
                           {CMD_BAD, 20, 0, 0},
                           {CMD_BAD, 20, 1, 1},
                           {CMD_BAD, 20, 2, 0},
                           {CMD_BAD, 20, 3, 1},
                           {CMD_LITERAL, 1, 9, 4},
                           {0xB5, 0xA1, 0xB5, 0xA2}}));
  // A loaded store of many blocks (of 16) taking phrases all over it.
  ok &= WriteSeed(folder, "edits.enc",
                  Encoded(SPLIT_LAST << LOAD_SPLIT_SHIFT, 5, 0x63,
                          {{Op(CMD_ASCENDING, 2, ALPHABET_GBK, true), 150, 0x01, 0},
                           {Op(CMD_EDIT, 2, ALPHABET_GBK, true), 40, 0x02, 0},
                           {Op(CMD_EDIT, 1, ALPHABET_GBK, true), 100, 0x03, 0x40},
                           {Op(CMD_EDIT, 1, ALPHABET_ASCII, true), 50, 0x2D, 0x21}},
                          0x8F));
  // 200 groups, more than AddGroup allows, as files written elsewhere have.
  ok &=
      WriteSeed(folder, "groups200.enc",
                Encoded(owners, 200, 0x05, {{Op(CMD_RANDOM, 2, ALPHABET_GBK, true), 80, 0xA4, 0}}));
  // Damaged: an index entry, a cut, phraseBytes, a length byte, trailing bytes.
  ok &= WriteSeed(folder, "index.enc",
                  Encoded(owners | 1, 2, 0x11,
                          {{HARM_INDEX, 0x80, 0x00, 3},
                           {Op(CMD_ASCENDING, 2, ALPHABET_GBK, true), 120, 0x01, 0}}));
  ok &= WriteSeed(
      folder, "cut.enc",
      Encoded(owners | 1, 2, 0x12,
              {{HARM_CUT, 0x90, 0x00, 0}, {Op(CMD_RANDOM, 2, ALPHABET_GBK, true), 120, 0x73, 0}},
              0x83));
  ok &= WriteSeed(folder, "damage.enc",
                  Encoded(owners | 3, 3, 0x13,
                          {{HARM_PHRASE_BYTES, 0, 0, 0xFF},
                           {HARM_LENGTH, 0x40, 0, 0x0B},
                           {HARM_TRAILING, 0, 0x41, 2},
                           {Op(CMD_DESCENDING, 2, ALPHABET_GBK, true), 120, 0x02, 0}},
                          0x80));
  ok &= WriteSeed(folder, "version.enc",
                  Encoded(LOAD_NEW_VERSION | owners, 1, 0x61,
                          {{Op(CMD_ASCENDING, 0, ALPHABET_ASCII, false), 30, 0x01, 0}}));

  return ok ? 0 : 1;
}
