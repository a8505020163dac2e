// wbk: the command-line tool for batch work on phrase library files.
#include <iostream>

#include "Commands.h"
#include "TextEncoding.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  // Exported phrase lists go out byte for byte; the console takes LF alone.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  tagCLICONTEXT ctx{&std::cout, &std::cerr, TerminalCodePage(), StderrIsTerminal()};
  int status = RunWbk(ctx, argc, argv);
  std::cout.flush();
  return status;
}
