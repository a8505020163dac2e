#include "TxtLineReader.h"

#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "InputFile.h"

namespace {

constexpr uint32_t kBufferSize = 4096;
// The file is read in blocks of this many bytes (a whole number of buffers),
// and the buffer is filled from them: one system call per 16 buffers.
constexpr uint32_t kReadSize = 16 * kBufferSize;

// A file's bytes as they are.
class CFileBytes : public CByteSource {
 public:
  CFileBytes(std::FILE* file, uint64_t nLength) : m_pFile(file), m_nLength(nLength) {
    // The line buffer does the buffering; the stream reads straight into it.
    std::setvbuf(file, nullptr, _IONBF, 0);
  }
  ~CFileBytes() override { std::fclose(m_pFile); }
  CFileBytes(const CFileBytes&) = delete;
  CFileBytes& operator=(const CFileBytes&) = delete;

  size_t Read(void* data, size_t size) override { return std::fread(data, 1, size, m_pFile); }
  uint64_t GetLength() const override { return m_nLength; }
  uint64_t ProgressAt(uint64_t nTaken) const override { return nTaken; }

 private:
  std::FILE* m_pFile;
  uint64_t m_nLength;
};

}  // namespace

struct CTxtLineReader::tagLINEBUFFER {
  const unsigned char* pData;  // the buffer: up to kBufferSize bytes of byBlock
  uint32_t nNext;              // next byte of pData to hand out
  uint32_t nCount;             // bytes in pData
  bool bEnd;                   // the file gave no more bytes
  unsigned char byBlock[kReadSize];
  uint32_t nBlockNext;   // first byte of byBlock not yet in a buffer
  uint32_t nBlockCount;  // bytes in byBlock
};

CTxtLineReader::CTxtLineReader(char commentChar)
    : m_byComment(static_cast<uint8_t>(commentChar)), m_pBuffer(nullptr), m_nPosition(0) {}

CTxtLineReader::~CTxtLineReader() { Close(); }

std::unique_ptr<CByteSource> OpenFileBytes(const char* path) {
  if (path == nullptr) return nullptr;
  // Nobody else may read or write the file while it is read (on Windows,
  // where files have share modes); one another program holds does not open.
  uint64_t length = 0;
  std::FILE* file = OpenInputFile(path, INPUT_EXCLUSIVE, &length, nullptr);
  if (file == nullptr) return nullptr;
  std::unique_ptr<CByteSource> source(new (std::nothrow) CFileBytes(file, length));
  if (source == nullptr) std::fclose(file);
  return source;
}

int CTxtLineReader::Open(const char* path) {
  Close();
  return Open(OpenFileBytes(path));
}

int CTxtLineReader::Open(std::unique_ptr<CByteSource> source) {
  Close();
  if (source == nullptr) return 0;
  tagLINEBUFFER* buffer = new (std::nothrow) tagLINEBUFFER;
  if (buffer == nullptr) return 0;
  buffer->nNext = 0;
  buffer->nCount = 0;
  buffer->bEnd = false;
  buffer->pData = buffer->byBlock;
  buffer->nBlockNext = 0;
  buffer->nBlockCount = 0;
  m_pSource = std::move(source);
  m_pBuffer = buffer;
  m_nPosition = 0;
  return 1;
}

void CTxtLineReader::Close() {
  if (m_pSource == nullptr) return;
  delete m_pBuffer;
  m_pBuffer = nullptr;
  m_pSource.reset();
  m_nPosition = 0;
}

bool CTxtLineReader::Fill() {
  tagLINEBUFFER& buf = *m_pBuffer;
  if (buf.nNext < buf.nCount) return true;
  if (buf.bEnd) return false;
  if (buf.nBlockNext == buf.nBlockCount) {
    size_t got = m_pSource->Read(buf.byBlock, kReadSize);
    // A read error ends the lines as the end of the file does.
    if (got == 0) {
      buf.bEnd = true;
      return false;
    }
    buf.nBlockNext = 0;
    buf.nBlockCount = static_cast<uint32_t>(got);
  }
  // The next buffer's worth: the same bytes and positions as reading the
  // file one buffer at a time.
  uint32_t got = buf.nBlockCount - buf.nBlockNext;
  if (got > kBufferSize) got = kBufferSize;
  buf.pData = buf.byBlock + buf.nBlockNext;
  buf.nBlockNext += got;
  buf.nNext = 0;
  buf.nCount = got;
  m_nPosition += got;
  return true;
}

char* CTxtLineReader::ReadRawLine(char* buffer, uint32_t max) {
  tagLINEBUFFER& buf = *m_pBuffer;
  uint32_t stored = 0;
  bool any = false;  // a byte or a line end was taken: there is a line
  for (;;) {
    if (!Fill()) {
      if (!any) return nullptr;
      break;
    }
    any = true;
    // The line's bytes that the buffer holds, up to a line end, in one go;
    // past the first max bytes they are read past, not stored.
    const unsigned char* run = buf.pData + buf.nNext;
    const uint32_t avail = buf.nCount - buf.nNext;
    const void* lf = std::memchr(run, '\n', avail);
    uint32_t k =
        lf != nullptr ? static_cast<uint32_t>(static_cast<const unsigned char*>(lf) - run) : avail;
    const void* cr = std::memchr(run, '\r', k);
    if (cr != nullptr) k = static_cast<uint32_t>(static_cast<const unsigned char*>(cr) - run);
    const uint32_t keep = k < max - stored ? k : max - stored;
    std::memcpy(buffer + stored, run, keep);
    stored += keep;
    buf.nNext += k;
    if (k < avail) {
      const unsigned char end = buf.pData[buf.nNext++];
      // CR LF is one line end; a CR alone ends the line by itself.
      if (end == '\r' && Fill() && buf.pData[buf.nNext] == '\n') ++buf.nNext;
      break;
    }
  }
  buffer[stored] = '\0';
  return buffer;
}

char* CTxtLineReader::ReadLine(char* buffer, uint32_t max) {
  // With max 0 every raw line would be empty and skipping them would never end.
  if (m_pSource == nullptr || buffer == nullptr || max == 0) return nullptr;
  char* line = ReadRawLine(buffer, max);
  while (m_byComment != 0 && line != nullptr &&
         (static_cast<uint8_t>(line[0]) == m_byComment || line[0] == '\0')) {
    line = ReadRawLine(buffer, max);
  }
  return line;
}
