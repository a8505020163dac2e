// Paths and temporary files shared by the tool and the editor's import: narrow
// paths in the C library's encoding (the ANSI code page on Windows, where a
// GBK trail byte 0x5C is no separator), and files in the system's temporary
// folder created exclusively.
#pragma once

#include <filesystem>
#include <string>

// The path as the file system takes it, and back; NarrowPath is false when
// the path has no narrow form.
std::filesystem::path NativePath(const std::string& path);
bool NarrowPath(const std::filesystem::path& path, std::string* out);

// folder + '/' + name, or folder + name when the folder ends in a separator.
std::string JoinPath(const std::string& folder, const std::string& name);

// A temporary file that is removed when this object goes away.
class CTempFile {
 public:
  CTempFile() = default;
  ~CTempFile();
  CTempFile(const CTempFile&) = delete;
  CTempFile& operator=(const CTempFile&) = delete;

  // Creates the file in the system's temporary folder and writes the bytes.
  bool Create(const std::string& bytes);
  const std::string& GetPath() const { return m_strPath; }

 private:
  std::string m_strPath;
};
