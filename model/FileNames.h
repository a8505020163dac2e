// File names as the program's narrow strings carry them. On Windows every
// path of one process is in one code page: the ANSI code page (the editor,
// whose window calls are narrow) unless the program chose UTF-8 at its start
// (wbk, whose arguments it reads wide). Every file call of the core turns the
// path into the system's wide name here, so that UTF-8 reaches any name the
// file system holds. Elsewhere a path is the bytes the system takes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

enum : uint32_t { PATH_CODEPAGE_ANSI = 0, PATH_CODEPAGE_UTF8 = 65001 };

// Set once, before any file is opened.
void SetPathCodePage(uint32_t codePage);
// PATH_CODEPAGE_ANSI or PATH_CODEPAGE_UTF8 (always ANSI off Windows).
uint32_t GetPathCodePage();
// True when paths are UTF-8 on Windows: a byte of 0x80 or more then never
// hides a separator, as the second byte of a GBK character can.
bool PathsAreUtf8();

// The path as the file system takes it (std::filesystem), and back;
// NarrowPath is false when the path has no narrow form.
std::filesystem::path NativePath(const std::string& path);
bool NarrowPath(const std::filesystem::path& path, std::string* out);

// folder + '/' + name, or folder + name when the folder ends in a separator.
std::string JoinPath(const std::string& folder, const std::string& name);

// fopen and remove by the path's wide name on Windows.
std::FILE* OpenFileByPath(const char* path, const char* mode);
int RemoveFileByPath(const char* path);

#ifdef _WIN32
// The path's wide name; empty for an empty path or one that does not convert.
std::wstring WidePath(const char* path);
// A wide name as a path of the process; false when the code page cannot spell it.
bool PathFromWide(const wchar_t* wide, std::string* out);
#endif
