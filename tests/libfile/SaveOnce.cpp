// Saves a small library to the path given, for tests that watch a save from
// outside (its system calls). Exit status 0 when the save worked.
#include <cstdio>

#include "Tabrix.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  CTabrix library;
  library.AddGroup("g", "", "");
  char text[16];
  for (int i = 0; i < 50000; ++i) {
    std::snprintf(text, sizeof text, "w%06d", i);
    library.AddPhrase(text, 255, 1, 1, 0);
  }
  return library.Save(argv[1]) == 1 ? 0 : 1;
}
