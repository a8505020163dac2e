// Screenshots of the test display, taken by the script that runs a Windows
// test under Wine (tools/wine-common.sh, tabrix_answer_screenshots): the
// program writes NAME.req in the shots folder, holding the area as an X
// geometry (WxH+X+Y), and the script answers with NAME.png and NAME.done.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

// Asks for NAME.png of the screen area; true once it was taken, false when
// no answer came within timeoutMs.
inline bool RequestScreenshot(const std::string& dir, const std::string& name, RECT area,
                              DWORD timeoutMs = 30000) {
  if (area.left < 0) area.left = 0;
  if (area.top < 0) area.top = 0;
  char geometry[64];
  std::snprintf(geometry, sizeof geometry, "%ldx%ld+%ld+%ld", area.right - area.left,
                area.bottom - area.top, area.left, area.top);
  const std::string request = dir + "\\" + name + ".req";
  const std::string done = dir + "\\" + name + ".done";
  ::DeleteFileA(done.c_str());
  FILE* file = std::fopen(request.c_str(), "wb");
  if (!file) return false;
  std::fputs(geometry, file);
  std::fclose(file);
  const DWORD start = ::GetTickCount();
  while (::GetFileAttributesA(done.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (::GetTickCount() - start > timeoutMs) return false;
    ::Sleep(50);
  }
  ::DeleteFileA(done.c_str());
  return true;
}
