// A library's content as bytes: what Save writes after the file header,
// which holds nothing of the library but the format and a stamp. Equal
// bytes, equal libraries (groups, counts, ticks, phrases and their order).
// Written without Save's sync to the disk, so that many stay quick.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FileIO.h"
#include "Tabrix.h"

inline std::vector<char> LibraryBodyBytes(CTabrix& lib, const std::string& path) {
  {
    CFileWriter file;
    EXPECT_TRUE(file.Open(path.c_str()));
    EXPECT_EQ(1, lib.WriteBody(file));
    EXPECT_TRUE(file.Close());
  }
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
