#include "FileReplace.h"

#include "FileIO.h"

#ifdef _WIN32
// The one Win32 call the core needs, declared here instead of pulling in the
// whole of <windows.h>. rename() of the C runtime refuses an existing target.
extern "C" __declspec(dllimport) int __stdcall MoveFileExA(const char* lpExistingFileName,
                                                           const char* lpNewFileName,
                                                           unsigned long dwFlags);
enum : unsigned long { kMoveFileReplaceExisting = 0x1, kMoveFileWriteThrough = 0x8 };
#else
#include <cstdio>
#endif

int ReplaceFileWith(const char* pszTemp, const char* pszTarget) {
  if (!pszTemp || !pszTarget) return 0;
  if (CFileFaultSeam::Step()) return 0;
#ifdef _WIN32
  return MoveFileExA(pszTemp, pszTarget, kMoveFileReplaceExisting | kMoveFileWriteThrough) ? 1 : 0;
#else
  return std::rename(pszTemp, pszTarget) == 0 ? 1 : 0;
#endif
}
