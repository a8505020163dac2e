#include "FileIO.h"

#include <climits>

uint32_t CFileFaultSeam::s_nFailAt = 0;
uint32_t CFileFaultSeam::s_nCount = 0;

CFileWriter::~CFileWriter() {
  if (m_pFile) fclose(m_pFile);
}

bool CFileWriter::Open(const char* path) {
  if (m_pFile || !path) return Fail();
  if (CFileFaultSeam::Step()) return Fail();
  m_pFile = fopen(path, "wb");
  m_nPosition = 0;
  m_bFailed = (m_pFile == nullptr);
  return !m_bFailed;
}

bool CFileWriter::Write(const void* data, size_t size) {
  if (!IsOk()) return false;
  if (size == 0) return true;
  if (CFileFaultSeam::Step()) return Fail();
  if (fwrite(data, 1, size, m_pFile) != size) return Fail();
  m_nPosition += size;
  return true;
}

bool CFileWriter::WriteU16(uint16_t value) {
  uint8_t bytes[2];
  PutU16(bytes, value);
  return Write(bytes, sizeof(bytes));
}

bool CFileWriter::WriteU32(uint32_t value) {
  uint8_t bytes[4];
  PutU32(bytes, value);
  return Write(bytes, sizeof(bytes));
}

bool CFileWriter::PatchU32(uint64_t offset, uint32_t value) {
  if (!IsOk()) return false;
  // fseek takes a long, which is 32 bits on Windows.
  if (offset + 4 > m_nPosition || offset > static_cast<uint64_t>(LONG_MAX)) return Fail();
  if (CFileFaultSeam::Step()) return Fail();
  if (fseek(m_pFile, static_cast<long>(offset), SEEK_SET) != 0) return Fail();
  uint8_t bytes[4];
  PutU32(bytes, value);
  if (CFileFaultSeam::Step()) return Fail();
  if (fwrite(bytes, 1, sizeof(bytes), m_pFile) != sizeof(bytes)) return Fail();
  if (CFileFaultSeam::Step()) return Fail();
  if (fseek(m_pFile, 0, SEEK_END) != 0) return Fail();
  return true;
}

bool CFileWriter::Flush() {
  if (!IsOk()) return false;
  if (CFileFaultSeam::Step()) return Fail();
  if (fflush(m_pFile) != 0) return Fail();
  return true;
}

bool CFileWriter::Close() {
  if (!m_pFile) return Fail();
  bool bFault = CFileFaultSeam::Step();
  int nResult = fclose(m_pFile);
  m_pFile = nullptr;
  if (bFault || nResult != 0) m_bFailed = true;
  return !m_bFailed;
}

CFileReader::~CFileReader() { Close(); }

bool CFileReader::Open(const char* path) {
  if (m_pFile || !path) return false;
  m_pFile = fopen(path, "rb");
  return m_pFile != nullptr;
}

bool CFileReader::Read(void* data, size_t size) {
  if (!m_pFile) return false;
  if (size == 0) return true;
  return fread(data, 1, size, m_pFile) == size;
}

bool CFileReader::Skip(size_t size) {
  uint8_t scratch[256];
  while (size > 0) {
    size_t nChunk = size < sizeof(scratch) ? size : sizeof(scratch);
    if (!Read(scratch, nChunk)) return false;
    size -= nChunk;
  }
  return true;
}

void CFileReader::Close() {
  if (m_pFile) fclose(m_pFile);
  m_pFile = nullptr;
}
