#include "FileHeader.h"

#include <cstring>

#include "FileIO.h"

int WriteFileHeader(CFileWriter& file, uint16_t type, uint16_t major, uint16_t minor,
                    uint32_t stamp, uint8_t* pHeader) {
  uint8_t header[TABRIX_HEADER_SIZE];
  PutU16(header + 0, TABRIX_FILE_MAGIC);
  PutU16(header + 2, type);
  PutU16(header + 4, major);
  PutU16(header + 6, minor);
  PutU32(header + 8, stamp);
  if (pHeader) memcpy(pHeader, header, sizeof(header));
  return file.Write(header, sizeof(header)) ? 1 : 0;
}

int ReadFileHeader(CFileReader& file, uint16_t type, uint16_t minMajor, uint16_t minMinor,
                   uint32_t* pStamp, uint8_t* pHeader) {
  uint8_t header[TABRIX_HEADER_SIZE];
  if (!file.Read(header, sizeof(header))) return 0;
  if (GetU16(header + 0) != TABRIX_FILE_MAGIC) return 0;
  if (GetU16(header + 2) != type) return 0;
  if (GetU16(header + 4) < minMajor) return 0;
  if (GetU16(header + 6) < minMinor) return 0;
  if (pStamp) *pStamp = GetU32(header + 8);
  if (pHeader) memcpy(pHeader, header, sizeof(header));
  return 1;
}
