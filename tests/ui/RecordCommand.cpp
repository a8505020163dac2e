// A stand-in browser for the hyperlink tests: writes the command line it was
// started with to the file named by TABRIX_RECORD_FILE, then ends.
#include <windows.h>

#include <cstring>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("TABRIX_RECORD_FILE", path, sizeof path);
  if (length == 0 || length >= sizeof path) return 2;
  // Written aside and then renamed, so that a reader never sees half of it.
  const std::string partial = std::string(path) + ".part";
  HANDLE hFile = CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return 3;
  const char* line = GetCommandLineA();
  DWORD written = 0;
  const BOOL ok = WriteFile(hFile, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
  CloseHandle(hFile);
  if (!ok || !MoveFileExA(partial.c_str(), path, MOVEFILE_REPLACE_EXISTING)) return 4;
  return 0;
}
