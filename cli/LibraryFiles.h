// Files for the wbk commands: library load and save through the core with a
// progress bar, whole-file reads, and temporary files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CliContext.h"

class CTabrix;

// CTabrix::Load and CTabrix::Save with the progress bar; false on failure
// (an error naming the path is written to the error stream).
bool LoadLibraryFile(const tagCLICONTEXT& ctx, CTabrix& lib, const std::string& path);
bool SaveLibraryFile(const tagCLICONTEXT& ctx, CTabrix& lib, const std::string& path);

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* out);
// Writes the bytes, replacing any file there; false on any write error.
bool WriteWholeFile(const std::string& path, const std::string& bytes);

// Creates the folder and any missing parent folders; true when it exists
// afterwards. Paths stay narrow strings, as the core takes them.
bool MakeFolder(const std::string& path);
// folder + separator + name.
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
