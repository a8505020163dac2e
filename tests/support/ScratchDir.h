// The scratch folder of the tests: one folder of the running test case's own,
// emptied when made and removed with everything in it when the case ends.
//
// Paths are narrow strings in the code page the program uses (GBK under Wine)
// and go through the C library's own functions, as the program's do;
// std::filesystem would reinterpret such names on Windows.
#pragma once

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "TestPaths.h"

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#else
#include <dirent.h>
#include <unistd.h>
#endif

inline bool IsFolderPath(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && (st.st_mode & S_IFMT) == S_IFDIR;
}

// The names in a folder (without "." and ".."), sorted.
inline std::vector<std::string> FolderNames(const std::string& dir) {
  std::vector<std::string> names;
#ifdef _WIN32
  _finddata_t data;
  intptr_t h = _findfirst((dir + "/*").c_str(), &data);
  if (h != -1) {
    do {
      names.push_back(data.name);
    } while (_findnext(h, &data) == 0);
    _findclose(h);
  }
#else
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) names.push_back(e->d_name);
    closedir(d);
  }
#endif
  names.erase(std::remove_if(names.begin(), names.end(),
                             [](const std::string& n) { return n == "." || n == ".."; }),
              names.end());
  std::sort(names.begin(), names.end());
  return names;
}

// Removes a file, or a folder with everything in it.
inline void RemoveTree(const std::string& path) {
#ifdef _WIN32
  // Entries are told apart by the listing's attributes, not by _stat: the C
  // library takes a last byte 0x5C for a separator, and it is the trail byte
  // of some GBK characters (誠 is D5 5C).
  _finddata_t data;
  intptr_t h = _findfirst((path + "/*").c_str(), &data);
  if (h != -1) {
    do {
      const std::string name = data.name;
      if (name == "." || name == "..") continue;
      if (data.attrib & _A_SUBDIR) {
        RemoveTree(path + "/" + name);
      } else {
        const std::string file = path + "/" + name;
        _chmod(file.c_str(), _S_IREAD | _S_IWRITE);  // a read-only file is not removed
        std::remove(file.c_str());
      }
    } while (_findnext(h, &data) == 0);
    _findclose(h);
  }
  if (_rmdir(path.c_str()) != 0) {
    _chmod(path.c_str(), _S_IREAD | _S_IWRITE);
    std::remove(path.c_str());
  }
#else
  if (IsFolderPath(path)) {
    for (const std::string& name : FolderNames(path)) RemoveTree(path + "/" + name);
    rmdir(path.c_str());
  } else {
    std::remove(path.c_str());
  }
#endif
}

class CScratchDir {
 public:
  // The first folder of a case ends in ".dir", the next ones in ".dir2",
  // ".dir3", ...: a case may hold several at once.
  CScratchDir() : m_strDir(TestTempPath(NextLeaf())) {
    RemoveTree(m_strDir);
#ifdef _WIN32
    const int made = _mkdir(m_strDir.c_str());
#else
    const int made = mkdir(m_strDir.c_str(), 0777);
#endif
    EXPECT_EQ(made, 0) << m_strDir;
  }
  ~CScratchDir() { RemoveTree(m_strDir); }
  CScratchDir(const CScratchDir&) = delete;
  CScratchDir& operator=(const CScratchDir&) = delete;

  const std::string& Dir() const { return m_strDir; }
  std::string Path(const std::string& name) const { return m_strDir + "/" + name; }

  // Writes the bytes exactly as given; returns the file's path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::string path = Path(name);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr) << path;
    if (f != nullptr) {
      if (!bytes.empty()) {
        EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
      }
      std::fclose(f);
    }
    return path;
  }

  // The names in the folder, or in its subfolder sub, sorted.
  std::vector<std::string> Names(const std::string& sub = std::string()) const {
    return FolderNames(sub.empty() ? m_strDir : Path(sub));
  }
  // The paths of the files of subfolder sub, sorted by name (as a shell's
  // glob lists them).
  std::vector<std::string> Files(const std::string& sub) const {
    std::vector<std::string> files;
    for (const std::string& name : Names(sub)) files.push_back(Path(sub) + "/" + name);
    return files;
  }

 private:
  static std::string NextLeaf() {
    static const ::testing::TestInfo* s_pCase = nullptr;
    static int s_nMade = 0;
    const ::testing::TestInfo* pCase = ::testing::UnitTest::GetInstance()->current_test_info();
    if (pCase != s_pCase) {
      s_pCase = pCase;
      s_nMade = 0;
    }
    ++s_nMade;
    return s_nMade == 1 ? "dir" : "dir" + std::to_string(s_nMade);
  }

  std::string m_strDir;
};
