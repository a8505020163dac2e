// Shared helpers of the wbk tests: running the tool in-process with captured
// streams, scratch folders, and library files built byte by byte.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <sys/stat.h>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "Commands.h"
#include "TestPaths.h"
#include "LibraryFiles.h"
#include "TextEncoding.h"

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#else
#include <dirent.h>
#include <unistd.h>
#endif

struct tagWBKRUN {
  int nStatus;
  std::string strOut;
  std::string strErr;
};

// Runs "wbk args..." in this process; texts are shown as UTF-8.
inline tagWBKRUN RunCli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  tagCLICONTEXT ctx{&out, &err, CODEPAGE_UTF8, false};
  std::vector<const char*> argv{"wbk"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  int status = RunWbk(ctx, static_cast<int>(argv.size()), argv.data());
  return tagWBKRUN{status, out.str(), err.str()};
}

inline std::string ReadBytes(const std::string& path) {
  std::string bytes;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return bytes;
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, n);
  std::fclose(f);
  return bytes;
}

// Files here are named by narrow strings in the code page the program uses,
// as the tool names them; std::filesystem would reinterpret them on Windows.
inline bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

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

inline void RemoveTree(const std::string& path) {
  if (IsFolderPath(path)) {
    for (const std::string& name : FolderNames(path)) RemoveTree(path + "/" + name);
#ifdef _WIN32
    _rmdir(path.c_str());
#else
    rmdir(path.c_str());
#endif
  } else {
    std::remove(path.c_str());
  }
}

// A scratch folder of the running test case, removed when the case ends.
class CScratchDir {
 public:
  CScratchDir() : m_strDir(TestTempPath("dir")) {
    RemoveTree(m_strDir);
    EXPECT_TRUE(MakeFolder(m_strDir)) << m_strDir;
  }
  ~CScratchDir() { RemoveTree(m_strDir); }
  CScratchDir(const CScratchDir&) = delete;
  CScratchDir& operator=(const CScratchDir&) = delete;

  std::string Path(const std::string& name) const { return m_strDir + "/" + name; }

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

  // The files of a subfolder, sorted by name (as a shell's glob lists them).
  std::vector<std::string> List(const std::string& sub) const {
    std::vector<std::string> files;
    for (const std::string& name : FolderNames(Path(sub))) files.push_back(Path(sub) + "/" + name);
    return files;
  }

 private:
  std::string m_strDir;
};

// One group and one phrase record of a library file built by hand.
struct tagTESTGROUP {
  std::string strName, strEditor, strRemark;
  int32_t bEnable;
};
struct tagTESTRECORD {
  uint8_t byGroup, byFreq;
  std::string strText;  // any bytes, any length up to 255
};

inline void PutLE(std::string* out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A library file exactly as the writer lays it out (stamp 0): counts from
// the records that name a group, phraseBytes and index from the records.
inline std::string BuildLibraryBytes(const std::vector<tagTESTGROUP>& groups,
                                     const std::vector<tagTESTRECORD>& records) {
  std::string out;
  PutLE(&out, 0x584B, 2);
  PutLE(&out, 0x4C43, 2);
  PutLE(&out, 2005, 2);
  PutLE(&out, 2, 2);
  PutLE(&out, 0, 4);
  out.push_back(static_cast<char>(groups.size()));
  for (size_t g = 0; g < groups.size(); ++g) {
    std::string rec(308, '\0');
    rec.replace(0, groups[g].strName.size(), groups[g].strName);
    rec.replace(50, groups[g].strEditor.size(), groups[g].strEditor);
    rec.replace(100, groups[g].strRemark.size(), groups[g].strRemark);
    uint32_t count = 0;
    for (const tagTESTRECORD& r : records) count += r.byGroup == g;
    std::string tail;
    PutLE(&tail, count, 4);
    PutLE(&tail, static_cast<uint32_t>(groups[g].bEnable), 4);
    rec.replace(300, 8, tail);
    out += rec;
  }
  std::string section, index;
  for (const tagTESTRECORD& r : records) {
    PutLE(&index, static_cast<uint32_t>(section.size()), 4);
    section.push_back(static_cast<char>(r.byGroup));
    section.push_back(static_cast<char>(r.byFreq));
    section.push_back(static_cast<char>(r.strText.size()));
    section += r.strText;
  }
  PutLE(&out, static_cast<uint32_t>(section.size()), 4);
  return out + section + index;
}

// The file with its stamp (bytes 8..11) and every group's tick flag zeroed:
// what two saves of the same library share.
inline std::string WithoutStampAndTicks(std::string bytes) {
  if (bytes.size() < 13) return bytes;
  for (size_t i = 8; i < 12; ++i) bytes[i] = 0;
  size_t groups = static_cast<unsigned char>(bytes[12]);
  for (size_t g = 0; g < groups; ++g) {
    size_t at = 13 + g * 308 + 304;
    for (size_t i = at; i < at + 4 && i < bytes.size(); ++i) bytes[i] = 0;
  }
  return bytes;
}
