#include "ConvertedBytes.h"

#include <cstring>

#include "Utf16Decode.h"
#include "Utf8LineConverter.h"

namespace {

constexpr size_t kBlock = 65536;

}  // namespace

// The converter of the text, putting into the queue of what is not read yet.
class CConvertedBytes::CSink : public CUtf8LineConverter {
 public:
  CSink(CConvertedBytes& owner, bool bBigEndian, SkipFn funSkip, void* pSkipData)
      : m_owner(owner), m_utf16(bBigEndian), m_funSkip(funSkip), m_pSkipData(pSkipData) {}

  CUtf16ToUtf8& Utf16() { return m_utf16; }

 protected:
  bool Put(const char* gbk, size_t size) override {
    m_owner.m_strQueue.append(gbk, size);
    return true;
  }
  // Only what is not settled is ever taken back, and that is still queued.
  bool TakeBack(uint64_t size) override {
    m_owner.m_strQueue.resize(static_cast<size_t>(size - m_owner.m_nQueueBase));
    return true;
  }
  void OnLineSkipped(uint32_t line, bool validUtf8) override {
    if (m_funSkip != nullptr) m_funSkip(line, validUtf8, m_pSkipData);
  }

 private:
  CConvertedBytes& m_owner;
  CUtf16ToUtf8 m_utf16;
  SkipFn m_funSkip;
  void* m_pSkipData;
};

CConvertedBytes::CConvertedBytes(std::FILE* file, uint64_t nLength, SourceEncoding nEncoding,
                                 SkipFn funSkip, void* pSkipData)
    : m_pFile(file),
      m_nLength(nLength),
      m_nFilePos(0),
      m_bUtf16(nEncoding == SOURCE_UTF16LE || nEncoding == SOURCE_UTF16BE),
      m_bEnded(false),
      m_bReadFailed(false),
      m_pSink(new CSink(*this, nEncoding == SOURCE_UTF16BE, funSkip, pSkipData)),
      m_nQueueNext(0),
      m_nQueueBase(0) {
  if (m_pFile != nullptr) {
    // The mark read past is part of the progress.
    const long nAt = std::ftell(m_pFile);
    m_nFilePos = nAt > 0 ? static_cast<uint64_t>(nAt) : 0;
  }
}

CConvertedBytes::~CConvertedBytes() {
  if (m_pFile != nullptr) std::fclose(m_pFile);
}

uint64_t CConvertedBytes::ProgressAt(uint64_t nTaken) const {
  (void)nTaken;  // the converted bytes are no measure of the file's
  return m_nFilePos;
}

bool CConvertedBytes::Pump() {
  if (m_bEnded) return false;
  m_strBlock.resize(kBlock);
  const size_t n = m_pFile != nullptr ? std::fread(&m_strBlock[0], 1, kBlock, m_pFile) : 0;
  m_nFilePos += n;
  if (n == 0) {
    m_bReadFailed = m_pFile == nullptr || std::ferror(m_pFile) != 0;
    m_bEnded = true;
    if (!m_bReadFailed) {
      m_strUtf8.clear();
      if (m_bUtf16) m_pSink->Utf16().Finish(&m_strUtf8);
      m_pSink->Feed(m_strUtf8.data(), m_strUtf8.size());
      m_pSink->Finish();
    }
    return true;
  }
  if (!m_bUtf16) {
    m_pSink->Feed(m_strBlock.data(), n);
    return true;
  }
  m_strUtf8.clear();
  m_pSink->Utf16().Feed(reinterpret_cast<const unsigned char*>(m_strBlock.data()), n, &m_strUtf8);
  m_pSink->Feed(m_strUtf8.data(), m_strUtf8.size());
  return true;
}

size_t CConvertedBytes::Read(void* data, size_t size) {
  // What may be handed on: the bytes no take-back can reach any more.
  auto settled = [this] {
    return static_cast<size_t>(m_pSink->GetSettled() - m_nQueueBase) - m_nQueueNext;
  };
  while (settled() == 0 && Pump()) {
  }
  size_t n = settled();
  if (n > size) n = size;
  std::memcpy(data, m_strQueue.data() + m_nQueueNext, n);
  m_nQueueNext += n;
  // What was read goes once it is most of the queue.
  if (m_nQueueNext > kBlock && m_nQueueNext * 2 > m_strQueue.size()) {
    m_strQueue.erase(0, m_nQueueNext);
    m_nQueueBase += m_nQueueNext;
    m_nQueueNext = 0;
  }
  return n;
}
