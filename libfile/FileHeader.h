// The 12-byte identification at the start of a library file: magic, file
// type, major and minor version, and a stamp that is never interpreted.
#pragma once

#include <cstdint>

#include <cstddef>

class CFileWriter;
class CFileReader;

// The 12 header bytes as values.
struct tagLIBHEADER {
  uint16_t wMagic;
  uint16_t wType;
  uint16_t wMajor;
  uint16_t wMinor;
  uint32_t dwStamp;
};

// The header's values from the first bytes of a file; false when fewer than
// 12 bytes are given.
bool DecodeFileHeader(const uint8_t* data, size_t size, tagLIBHEADER* out);

enum : uint32_t {
  TABRIX_FILE_MAGIC = 0x584B,  // bytes 4B 58, "KX"
  TABRIX_FILE_TYPE = 0x4C43,   // bytes 43 4C, "CL": a phrase library
  TABRIX_FILE_MAJOR = 2005,
  TABRIX_FILE_MINOR = 2,
  TABRIX_HEADER_SIZE = 12
};

// Writes the header; when pHeader is given, also stores its 12 bytes there.
// Nonzero when all 12 bytes were written.
int WriteFileHeader(CFileWriter& file, uint16_t type, uint16_t major, uint16_t minor,
                    uint32_t stamp, uint8_t* pHeader);

// Nonzero when 12 bytes could be read, the magic and type match, the major
// version is at least minMajor and the minor version, on its own, at least
// minMinor. On success stores the stamp and the 12 bytes through the optional
// out-pointers.
int ReadFileHeader(CFileReader& file, uint16_t type, uint16_t minMajor, uint16_t minMinor,
                   uint32_t* pStamp, uint8_t* pHeader);
