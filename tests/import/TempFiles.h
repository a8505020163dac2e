// A folder of small fixture files for one test case, removed with everything
// in it when the case ends. Fixture names matter to the import (the group is
// named after the file), so each case gets a folder rather than a prefix.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "TestPaths.h"

class CTempFiles {
 public:
  CTempFiles() : m_dir(TestTempPath("files")) {
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
    std::filesystem::create_directories(m_dir, ec);
    EXPECT_FALSE(ec) << m_dir.string();
  }
  ~CTempFiles() {
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
  }
  CTempFiles(const CTempFiles&) = delete;
  CTempFiles& operator=(const CTempFiles&) = delete;

  std::string Path(const std::string& name) const { return (m_dir / name).string(); }
  std::string Dir() const { return m_dir.string(); }

  // Writes the bytes exactly as given; returns the file's path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::string path = Path(name);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr) << path;
    if (f != nullptr) {
      size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), f);
      EXPECT_EQ(written, bytes.size());
      std::fclose(f);
    }
    return path;
  }

 private:
  std::filesystem::path m_dir;
};
