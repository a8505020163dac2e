// Checked binary file streams for the library file. Every operation reports
// whether it worked, so the writer can refuse to call a half-written file done.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>

// Test seam: counts the writer's operations (open, each Write call, the steps
// of a patch, flush, close, replace) and makes the k-th of them fail. A Write
// counts once whether its bytes stay in the buffer or go to the file. Zero, the default,
// never fails. Only tests arm it.
class CFileFaultSeam {
 public:
  // The failing operation reports the system error nErrno (errno values).
  static void FailAt(uint32_t k, int nErrno = 5 /* EIO */) {
    s_nFailAt = k;
    s_nCount = 0;
    s_nErrno = nErrno;
  }
  static uint32_t GetCount() { return s_nCount; }
  // Counts one operation; true when it is the one that must fail, with
  // errno set to the error it reports.
  static bool Step();

 private:
  // Atomic: the editor writes its recovery file on a thread of its own
  // while the window may save or export.
  static std::atomic<uint32_t> s_nFailAt;
  static std::atomic<uint32_t> s_nCount;
  static std::atomic<int> s_nErrno;
};

// Both streams keep a 64 KiB buffer of their own: a library is written and
// read as many small records, and one C library call per record costs more
// than the records themselves.
enum : size_t { TABRIX_FILE_BUFFER = 64 * 1024 };

class CFileWriter {
 public:
  CFileWriter()
      : m_pFile(nullptr),
        m_pBuffer(nullptr),
        m_nBuffered(0),
        m_nPosition(0),
        m_bFailed(false),
        m_nError(0) {}
  ~CFileWriter();
  CFileWriter(const CFileWriter&) = delete;
  CFileWriter& operator=(const CFileWriter&) = delete;

  bool Open(const char* path);  // creates or truncates
  // Creates a new file that must not exist yet, not even as a link, so
  // that nothing planted at the name is written through. nMode: the POSIX
  // permission bits (before the umask).
  bool CreateNew(const char* path, unsigned nMode);
  bool Write(const void* data, size_t size);
  bool WriteByte(uint8_t value) { return Write(&value, 1); }
  bool WriteU16(uint16_t value);  // little-endian
  bool WriteU32(uint32_t value);  // little-endian
  // Overwrites 4 bytes at an earlier offset and returns to the end.
  bool PatchU32(uint64_t offset, uint32_t value);
  bool Flush();
  // Flushes and asks the system to put the bytes on the disk (fsync,
  // FlushFileBuffers): after it, a power cut cannot take them.
  bool Sync();
  bool Close();  // the stream is closed even when closing reports an error

  // Bytes written so far: the offset of the next byte.
  uint64_t GetPosition() const { return m_nPosition; }
  bool IsOk() const { return m_pFile != nullptr && !m_bFailed; }
  // The system error (errno) of the first failure, 0 when none was given.
  int GetError() const { return m_nError; }
  // The descriptor of the open file, -1 when closed.
  int GetDescriptor() const;

 private:
  bool Fail();
  // Hands the buffered bytes to the stream.
  bool Drain();

  FILE* m_pFile;
  uint8_t* m_pBuffer;  // TABRIX_FILE_BUFFER bytes while open
  size_t m_nBuffered;  // bytes in m_pBuffer not yet handed to the stream
  uint64_t m_nPosition;
  bool m_bFailed;  // once set, every later call fails
  int m_nError;    // errno of the first failure
};

class CFileReader {
 public:
  CFileReader()
      : m_pFile(nullptr),
        m_pBuffer(nullptr),
        m_nNext(0),
        m_nHeld(0),
        m_nSize(0),
        m_bNotRegular(false) {}
  ~CFileReader();
  CFileReader(const CFileReader&) = delete;
  CFileReader& operator=(const CFileReader&) = delete;

  // Opens a regular file only: a folder, device or pipe is refused (see
  // IsNotRegular) before a byte is read, so that nothing reads without end.
  bool Open(const char* path);
  bool IsNotRegular() const { return m_bNotRegular; }
  // The file's size when it was opened.
  uint64_t GetSize() const { return m_nSize; }
  // True only when all size bytes were read into data.
  bool Read(void* data, size_t size);
  // The next size bytes, read past, when the buffer already holds them: valid
  // until the next call. Null otherwise, and nothing is read (use Read).
  const uint8_t* Take(size_t size) {
    if (m_pFile == nullptr || size > m_nHeld - m_nNext) return nullptr;
    const uint8_t* p = m_pBuffer + m_nNext;
    m_nNext += size;
    return p;
  }
  // True only when size bytes could be read past.
  bool Skip(size_t size);
  void Close();

 private:
  // Refills the buffer; false at the end of the file or on a read error.
  bool Refill();

  FILE* m_pFile;
  uint8_t* m_pBuffer;  // TABRIX_FILE_BUFFER bytes while open
  size_t m_nNext;      // next unread byte in m_pBuffer
  size_t m_nHeld;      // bytes in m_pBuffer
  uint64_t m_nSize;
  bool m_bNotRegular;  // the last Open found no regular file
};

// Little-endian helpers for the fixed fields of the file.
inline void PutU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline uint16_t GetU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
