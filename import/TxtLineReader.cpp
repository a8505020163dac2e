#include "TxtLineReader.h"

#include <cstring>
#include <new>

#include <sys/stat.h>
#if defined(_WIN32)
#include <share.h>
#endif

namespace {

constexpr uint32_t kBufferSize = 4096;

// Opens path for reading bytes. On Windows nobody else may read or write the
// file while it is open, and it cannot be opened while another program holds
// it. A directory is refused: it holds no lines.
std::FILE* OpenForReading(const char* path, uint64_t* pLength) {
#if defined(_WIN32)
  std::FILE* file = _fsopen(path, "rb", _SH_DENYRW);
  if (file == nullptr) return nullptr;
  struct _stati64 st;
  if (_fstati64(_fileno(file), &st) != 0 || (st.st_mode & _S_IFDIR) != 0) {
    std::fclose(file);
    return nullptr;
  }
#else
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return nullptr;
  struct stat st;
  if (fstat(fileno(file), &st) != 0 || S_ISDIR(st.st_mode)) {
    std::fclose(file);
    return nullptr;
  }
#endif
  *pLength = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
  return file;
}

}  // namespace

struct CTxtLineReader::tagLINEBUFFER {
  unsigned char byData[kBufferSize];
  uint32_t nNext;   // next byte to hand out
  uint32_t nCount;  // bytes held
  bool bEnd;        // the file gave no more bytes
};

CTxtLineReader::CTxtLineReader(char commentChar)
    : m_pFile(nullptr),
      m_byComment(static_cast<uint8_t>(commentChar)),
      m_pBuffer(nullptr),
      m_nLength(0),
      m_nPosition(0) {}

CTxtLineReader::~CTxtLineReader() { Close(); }

int CTxtLineReader::Open(const char* path) {
  Close();
  if (path == nullptr) return 0;
  uint64_t length = 0;
  std::FILE* file = OpenForReading(path, &length);
  if (file == nullptr) return 0;
  tagLINEBUFFER* buffer = new (std::nothrow) tagLINEBUFFER;
  if (buffer == nullptr) {
    std::fclose(file);
    return 0;
  }
  // Our own buffer does the buffering; the stream reads straight into it.
  std::setvbuf(file, nullptr, _IONBF, 0);
  buffer->nNext = 0;
  buffer->nCount = 0;
  buffer->bEnd = false;
  m_pFile = file;
  m_pBuffer = buffer;
  m_nLength = length;
  m_nPosition = 0;
  return 1;
}

void CTxtLineReader::Close() {
  if (m_pFile == nullptr) return;
  delete m_pBuffer;
  m_pBuffer = nullptr;
  std::fclose(m_pFile);
  m_pFile = nullptr;
  m_nLength = 0;
  m_nPosition = 0;
}

bool CTxtLineReader::Fill() {
  tagLINEBUFFER& buf = *m_pBuffer;
  if (buf.nNext < buf.nCount) return true;
  if (buf.bEnd) return false;
  size_t got = std::fread(buf.byData, 1, kBufferSize, m_pFile);
  // A read error ends the lines as the end of the file does.
  if (got == 0) {
    buf.bEnd = true;
    return false;
  }
  buf.nNext = 0;
  buf.nCount = static_cast<uint32_t>(got);
  m_nPosition += got;
  return true;
}

int CTxtLineReader::NextByte() {
  if (!Fill()) return -1;
  return m_pBuffer->byData[m_pBuffer->nNext++];
}

char* CTxtLineReader::ReadRawLine(char* buffer, uint32_t max) {
  tagLINEBUFFER& buf = *m_pBuffer;
  uint32_t stored = 0;
  while (stored < max) {
    if (!Fill()) {
      if (stored == 0) return nullptr;
      break;
    }
    // The line's bytes that the buffer holds, up to a line end, in one go.
    const unsigned char* run = buf.byData + buf.nNext;
    uint32_t avail = buf.nCount - buf.nNext;
    if (avail > max - stored) avail = max - stored;
    const void* lf = std::memchr(run, '\n', avail);
    uint32_t k =
        lf != nullptr ? static_cast<uint32_t>(static_cast<const unsigned char*>(lf) - run) : avail;
    const void* cr = std::memchr(run, '\r', k);
    if (cr != nullptr) k = static_cast<uint32_t>(static_cast<const unsigned char*>(cr) - run);
    std::memcpy(buffer + stored, run, k);
    stored += k;
    buf.nNext += k;
    if (k < avail) {
      const unsigned char end = buf.byData[buf.nNext++];
      // A CR drops the byte after it: normally the LF of a CR LF pair.
      if (end == '\r') NextByte();
      break;
    }
  }
  buffer[stored] = '\0';
  return buffer;
}

char* CTxtLineReader::ReadLine(char* buffer, uint32_t max) {
  // With max 0 every raw line would be empty and skipping them would never end.
  if (m_pFile == nullptr || buffer == nullptr || max == 0) return nullptr;
  char* line = ReadRawLine(buffer, max);
  while (m_byComment != 0 && line != nullptr &&
         (static_cast<uint8_t>(line[0]) == m_byComment || line[0] == '\0')) {
    line = ReadRawLine(buffer, max);
  }
  return line;
}
