// A whole file's bytes, for the readers' tests on fixtures and real files.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// False when the file cannot be opened (a real dictionary not installed).
inline bool ReadFileBytes(const std::string& path, std::vector<uint8_t>* pBytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  pBytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

// A file of the Linux system (a dictionary Debian ships) as the test program
// sees it: the Windows build runs under Wine, where the Linux root is drive Z:.
inline std::string SystemFilePath(const std::string& path) {
#ifdef _WIN32
  return "Z:" + path;
#else
  return path;
#endif
}
