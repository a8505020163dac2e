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

bool DecodeFileHeader(const uint8_t* data, size_t size, tagLIBHEADER* out) {
  if (size < TABRIX_HEADER_SIZE) return false;
  out->wMagic = GetU16(data);
  out->wType = GetU16(data + 2);
  out->wMajor = GetU16(data + 4);
  out->wMinor = GetU16(data + 6);
  out->dwStamp = GetU32(data + 8);
  return true;
}

int ReadFileHeader(CFileReader& file, uint16_t type, uint16_t minMajor, uint16_t minMinor,
                   uint32_t* pStamp, uint8_t* pHeader) {
  uint8_t header[TABRIX_HEADER_SIZE];
  tagLIBHEADER h;
  if (!file.Read(header, sizeof(header)) || !DecodeFileHeader(header, sizeof(header), &h)) return 0;
  if (h.wMagic != TABRIX_FILE_MAGIC || h.wType != type) return 0;
  if (h.wMajor < minMajor || h.wMinor < minMinor) return 0;
  if (pStamp) *pStamp = h.dwStamp;
  if (pHeader) memcpy(pHeader, header, sizeof(header));
  return 1;
}
