// wbk: the command-line tool for batch work on phrase library files.
#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"
#include "TextEncoding.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "FileNames.h"
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  // Exported phrase lists go out byte for byte; the console takes LF alone.
  _setmode(_fileno(stdout), _O_BINARY);
  // A list read from the standard input is taken byte for byte as well.
  _setmode(_fileno(stdin), _O_BINARY);
  // The arguments as the system holds them, wide, kept as UTF-8: every name
  // arrives, also one the ANSI code page cannot spell, and the core opens
  // files by their wide names.
  std::vector<std::string> args;
  int wargc = 0;
  if (LPWSTR* wargv = CommandLineToArgvW(GetCommandLineW(), &wargc)) {
    for (int i = 0; i < wargc; ++i) {
      const int n = WideCharToMultiByte(CP_UTF8, 0, wargv[i], -1, nullptr, 0, nullptr, nullptr);
      std::string arg(n > 0 ? static_cast<size_t>(n) : 1, '\0');
      if (n > 0) WideCharToMultiByte(CP_UTF8, 0, wargv[i], -1, &arg[0], n, nullptr, nullptr);
      arg.resize(arg.size() - 1);
      args.push_back(arg);
    }
    LocalFree(wargv);
    SetPathCodePage(PATH_CODEPAGE_UTF8);
  }
  std::vector<char*> utf8Argv;
  for (std::string& arg : args) utf8Argv.push_back(&arg[0]);
  utf8Argv.push_back(nullptr);
  if (!args.empty()) {
    argc = static_cast<int>(args.size());
    argv = utf8Argv.data();
  }
#endif
  tagCLICONTEXT ctx{&std::cout, &std::cerr, TerminalCodePage(), StderrIsTerminal()};
  ctx.pIn = &std::cin;
  int status = RunWbk(ctx, argc, argv);
  std::cout.flush();
  return status;
}
