#include "FileIO.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <new>
#include <string>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/types.h>
#ifdef _WIN32
#include <io.h>
// One call of the system, declared here instead of pulling all of
// <windows.h> into the core.
extern "C" __declspec(dllimport) int __stdcall FlushFileBuffers(void* hFile);
#else
#include <unistd.h>
#endif

#include "FileNames.h"
#include "InputFile.h"

std::atomic<uint32_t> CFileFaultSeam::s_nFailAt{0};
std::atomic<uint32_t> CFileFaultSeam::s_nCount{0};
std::atomic<int> CFileFaultSeam::s_nErrno{EIO};

bool CFileFaultSeam::Step() {
  const uint32_t nCount = s_nCount.fetch_add(1, std::memory_order_relaxed) + 1;
  const uint32_t nFailAt = s_nFailAt.load(std::memory_order_relaxed);
  if (nFailAt == 0 || nCount != nFailAt) return false;
  errno = s_nErrno.load(std::memory_order_relaxed);
  return true;
}

bool CFileWriter::Fail() {
  if (!m_bFailed || m_nError == 0) m_nError = errno;
  m_bFailed = true;
  return false;
}

int CFileWriter::GetDescriptor() const {
#ifdef _WIN32
  return m_pFile ? _fileno(m_pFile) : -1;
#else
  return m_pFile ? fileno(m_pFile) : -1;
#endif
}

bool CFileWriter::CreateNew(const char* path, unsigned nMode) {
  if (m_pFile || !path) return Fail();
  if (CFileFaultSeam::Step()) return Fail();
  if (!m_pBuffer) m_pBuffer = new (std::nothrow) uint8_t[TABRIX_FILE_BUFFER];
  if (!m_pBuffer) {
    errno = ENOMEM;
    return Fail();
  }
  m_nBuffered = 0;
  m_nPosition = 0;
  m_bFailed = false;
  m_nError = 0;
#ifdef _WIN32
  (void)nMode;
  // _O_EXCL: CREATE_NEW underneath, which fails on any existing name.
  const std::wstring wide = WidePath(path);
  const int fd = wide.empty() ? (errno = ENOENT, -1)
                              : _wopen(wide.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                                       _S_IREAD | _S_IWRITE);
  if (fd < 0) return Fail();
  m_pFile = _fdopen(fd, "wb");
  if (!m_pFile) {
    const int nErr = errno;
    _close(fd);
    _wunlink(wide.c_str());
    errno = nErr;
    return Fail();
  }
#else
  // O_EXCL with O_CREAT refuses any existing name, a symbolic link included.
  const int fd =
      open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, static_cast<mode_t>(nMode));
  if (fd < 0) return Fail();
  m_pFile = fdopen(fd, "wb");
  if (!m_pFile) {
    const int nErr = errno;
    close(fd);
    unlink(path);
    errno = nErr;
    return Fail();
  }
#endif
  setvbuf(m_pFile, nullptr, _IONBF, 0);
  return true;
}

bool CFileWriter::Sync() {
  if (!Flush()) return false;
  if (CFileFaultSeam::Step()) return Fail();
#ifdef _WIN32
  if (!FlushFileBuffers(reinterpret_cast<void*>(_get_osfhandle(_fileno(m_pFile))))) {
    errno = EIO;
    return Fail();
  }
#else
  // The data and what is needed to read it back (size, blocks); the
  // times can wait.
  if (fdatasync(fileno(m_pFile)) != 0) return Fail();
#endif
  return true;
}

CFileWriter::~CFileWriter() {
  if (m_pFile) {
    // An abandoned writer still hands over what it holds, as a stdio stream would.
    if (!m_bFailed) Drain();
    fclose(m_pFile);
  }
  delete[] m_pBuffer;
}

bool CFileWriter::Open(const char* path) {
  if (m_pFile || !path) return Fail();
  if (CFileFaultSeam::Step()) return Fail();
  if (!m_pBuffer) m_pBuffer = new (std::nothrow) uint8_t[TABRIX_FILE_BUFFER];
  if (!m_pBuffer) return Fail();
  m_pFile = OpenFileByPath(path, "wb");
  m_nBuffered = 0;
  m_nPosition = 0;
  m_bFailed = false;
  m_nError = 0;
  if (m_pFile == nullptr) return Fail();
  // The writer buffers by itself: the stream passes whole chunks straight on.
  if (m_pFile) setvbuf(m_pFile, nullptr, _IONBF, 0);
  return !m_bFailed;
}

bool CFileWriter::Drain() {
  if (m_nBuffered == 0) return true;
  const size_t nBytes = m_nBuffered;
  m_nBuffered = 0;
  if (fwrite(m_pBuffer, 1, nBytes, m_pFile) != nBytes) return Fail();
  return true;
}

bool CFileWriter::Write(const void* data, size_t size) {
  if (!IsOk()) return false;
  if (size == 0) return true;
  if (CFileFaultSeam::Step()) return Fail();
  if (size > TABRIX_FILE_BUFFER - m_nBuffered && !Drain()) return false;
  if (size >= TABRIX_FILE_BUFFER) {
    if (fwrite(data, 1, size, m_pFile) != size) return Fail();
  } else {
    memcpy(m_pBuffer + m_nBuffered, data, size);
    m_nBuffered += size;
  }
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
  if (!Drain()) return false;  // the patched bytes may still be in the buffer
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
  if (!Drain()) return false;
  if (fflush(m_pFile) != 0) return Fail();
  return true;
}

bool CFileWriter::Close() {
  if (!m_pFile) return Fail();
  bool bFault = CFileFaultSeam::Step();
  if (!bFault && !m_bFailed) Drain();  // sets m_bFailed when the bytes do not go out
  int nResult = fclose(m_pFile);
  m_pFile = nullptr;
  m_nBuffered = 0;
  if (bFault || nResult != 0) Fail();
  return !m_bFailed;
}

CFileReader::~CFileReader() {
  Close();
  delete[] m_pBuffer;
}

bool CFileReader::Open(const char* path) {
  m_bNotRegular = false;
  if (m_pFile || !path) return false;
  if (!m_pBuffer) m_pBuffer = new (std::nothrow) uint8_t[TABRIX_FILE_BUFFER];
  if (!m_pBuffer) return false;
  m_nNext = m_nHeld = 0;
  InputKind nKind = INPUT_UNOPENED;
  m_pFile = OpenInputFile(path, INPUT_SHARED, &m_nSize, &nKind);
  if (m_pFile == nullptr) {
    // A folder, device or pipe is said to be no file rather than an
    // unreadable one; errno stays the open's.
    m_bNotRegular = nKind != INPUT_UNOPENED;
    return false;
  }
  setvbuf(m_pFile, nullptr, _IONBF, 0);
  return true;
}

bool CFileReader::Refill() {
  m_nNext = 0;
  m_nHeld = fread(m_pBuffer, 1, TABRIX_FILE_BUFFER, m_pFile);
  return m_nHeld > 0;
}

bool CFileReader::Read(void* data, size_t size) {
  if (!m_pFile) return false;
  uint8_t* pOut = static_cast<uint8_t*>(data);
  while (size > 0) {
    if (m_nNext == m_nHeld) {
      // A large request goes straight from the stream into the caller's memory.
      if (size >= TABRIX_FILE_BUFFER) return fread(pOut, 1, size, m_pFile) == size;
      if (!Refill()) return false;
    }
    size_t nChunk = m_nHeld - m_nNext;
    if (nChunk > size) nChunk = size;
    memcpy(pOut, m_pBuffer + m_nNext, nChunk);
    m_nNext += nChunk;
    pOut += nChunk;
    size -= nChunk;
  }
  return true;
}

bool CFileReader::Skip(size_t size) {
  if (!m_pFile) return false;
  while (size > 0) {
    if (m_nNext == m_nHeld && !Refill()) return false;
    size_t nChunk = m_nHeld - m_nNext;
    if (nChunk > size) nChunk = size;
    m_nNext += nChunk;
    size -= nChunk;
  }
  return true;
}

void CFileReader::Close() {
  if (m_pFile) fclose(m_pFile);
  m_pFile = nullptr;
  m_nNext = m_nHeld = 0;
}
