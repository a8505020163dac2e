// Writes the seed corpus of fuzz_load: small libraries made by Save.
//   make_load_seeds <folder>
#include <cstdio>
#include <string>

#include "Tabrix.h"

namespace {

bool SaveTo(CTabrix& library, const std::string& folder, const char* name) {
  const std::string path = folder + "/" + name;
  if (library.Save(path.c_str())) return true;
  fprintf(stderr, "make_load_seeds: cannot write %s\n", path.c_str());
  return false;
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

  return ok ? 0 : 1;
}
