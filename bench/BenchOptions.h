// Option values shared by the benchmark programs.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

// "100000,1000000" -> {100000, 1000000}; false for an empty or zero entry.
inline bool ParseSizeList(const std::string& value, std::vector<uint32_t>* sizes) {
  sizes->clear();
  size_t pos = 0;
  while (pos <= value.size()) {
    size_t comma = value.find(',', pos);
    if (comma == std::string::npos) comma = value.size();
    const unsigned long n = strtoul(value.substr(pos, comma - pos).c_str(), nullptr, 10);
    if (n == 0) return false;
    sizes->push_back(static_cast<uint32_t>(n));
    pos = comma + 1;
  }
  return true;
}
