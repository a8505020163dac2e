// Temporary files of the tool (a copy of its standard input, a library
// written to be read back): in the system's temporary folder, created
// exclusively. Their paths are those of the path layer (FileNames.h).
#pragma once

#include <string>

#include "FileNames.h"

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
