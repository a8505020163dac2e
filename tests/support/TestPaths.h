// Scratch and data file paths for the test programs.
//
// CTest runs the programs of a test folder in several processes at a time
// (the shards of its programs), and they share the folder's
// scratch folder, so two cases must never share a scratch file: the names
// built here carry the running case's suite and name. Tests make their scratch
// files in a CScratchDir (ScratchDir.h), which is named here.
#pragma once

#include <gtest/gtest.h>

#include <string>

#ifndef TABRIX_TEST_TMP
#error "TABRIX_TEST_TMP comes from tabrix_add_test() in tests/CMakeLists.txt"
#endif

// "<scratch folder>/<Suite>.<Case>.<leaf>", with the characters a file name
// cannot hold ('/' of parameterised cases, for instance) turned into '_'.
inline std::string TestTempPath(const std::string& leaf) {
  std::string name = "test";
  if (const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info()) {
    name = std::string(info->test_suite_name()) + "." + info->name();
  }
  for (char& c : name) {
    if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
        c == '>' || c == '|') {
      c = '_';
    }
  }
  return std::string(TABRIX_TEST_TMP) + "/" + name + "." + leaf;
}

// "<data folder>/<leaf>": read-only inputs kept next to the test sources.
inline std::string TestDataPath(const std::string& leaf) {
  return std::string(TABRIX_TEST_DATA) + "/" + leaf;
}
