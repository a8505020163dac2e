// The library side of the end-to-end scenario: the input files it writes, the
// library the core builds from them step by step (what the editor must show
// and save), and the comparison of the editor's rows and files with it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "E2eWindows.h"
#include "Tabrix.h"

// Writes bytes (GBK text) to a file; fails the scenario when it cannot.
void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool FileExists(const std::string& path);
// A Unix path as Wine's drive Z: sees it; Windows paths stay as they are.
std::string WindowsPath(const std::string& path);
// dir and name with one backslash between them.
std::string Join(const std::string& dir, const std::string& name);

// One row of the group list as a person reads it.
struct tagROW {
  std::string strName;
  std::string strCount;
  std::string strEditor;
  std::string strRemark;
  int nImage;  // 1 empty box, 2 ticked box
};

// The rows the editor shows for a library: name, count in decimal, editor,
// remark, and the box of bEnable.
std::vector<tagROW> RowsOfLibrary(CTabrix& library);
std::vector<tagROW> RowsOfList(const CRemoteList& list);

// Fails with a description of the first difference.
void ExpectRows(const char* step, const CRemoteList& list, CTabrix& library);

// Sets a group's three texts as the property dialog does.
void SetGroupTexts(CTabrix& library, uint32_t group, const std::string& name,
                   const std::string& editor, const std::string& remark);

// Fails unless the two library files hold the same bytes, the stamp (bytes 8
// to 11 of the header) aside. Returns the file's size.
size_t ExpectSameLibraryFile(const std::string& actualPath, const std::string& expectedPath);
