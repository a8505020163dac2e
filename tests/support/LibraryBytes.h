// Library files built byte by byte, the way another program might write
// them, for the tests of the reader, the checker and the tool. One builder:
// hand-made headers, groups and records, and whole files laid out as the
// writer lays them out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tabrix_test {

typedef std::vector<uint8_t> Bytes;

// One group and one phrase record of a file built by hand.
struct tagTESTGROUP {
  std::string strName, strEditor, strRemark;
  int32_t bEnable;
};
struct tagTESTRECORD {
  uint8_t byGroup, byFreq;
  std::string strText;  // any bytes, any length up to 255
};

class CFileBuilder {
 public:
  CFileBuilder& Header(uint16_t major = 2005, uint16_t minor = 2, uint16_t magic = 0x584B,
                       uint16_t type = 0x4C43, uint32_t stamp = 0x12345678) {
    U16(magic).U16(type).U16(major).U16(minor).U32(stamp);
    return *this;
  }
  CFileBuilder& Byte(uint8_t b) {
    m_bytes.push_back(b);
    return *this;
  }
  CFileBuilder& U16(uint16_t v) { return Byte(uint8_t(v)).Byte(uint8_t(v >> 8)); }
  CFileBuilder& U32(uint32_t v) { return U16(uint16_t(v)).U16(uint16_t(v >> 16)); }
  CFileBuilder& Raw(const void* p, size_t n) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    m_bytes.insert(m_bytes.end(), b, b + n);
    return *this;
  }
  // A group record: three text fields (zero-padded), dwCount, bEnable.
  CFileBuilder& Group(const std::string& name, uint32_t count, int32_t enable = 0,
                      const std::string& editor = "", const std::string& remark = "") {
    Field(name, 50).Field(editor, 50).Field(remark, 200);
    return U32(count).U32(uint32_t(enable));
  }
  CFileBuilder& Field(const std::string& text, size_t width) {
    for (size_t i = 0; i < width; ++i) Byte(i < text.size() ? uint8_t(text[i]) : 0);
    return *this;
  }
  // A phrase record whose length byte is the text's size.
  CFileBuilder& Phrase(uint8_t group, uint8_t freq, const std::string& text) {
    Byte(group).Byte(freq).Byte(uint8_t(text.size()));
    return Raw(text.data(), text.size());
  }
  // A whole phrase section as a writer that keeps its books makes it:
  // phraseBytes, the records and the offset index.
  CFileBuilder& Section(const std::vector<tagTESTRECORD>& records) {
    uint32_t nBytes = 0;
    std::vector<uint32_t> offsets;
    for (const tagTESTRECORD& r : records) {
      offsets.push_back(nBytes);
      nBytes += 3 + uint32_t(r.strText.size());
    }
    U32(nBytes);
    for (const tagTESTRECORD& r : records) Phrase(r.byGroup, r.byFreq, r.strText);
    for (uint32_t o : offsets) U32(o);
    return *this;
  }
  const Bytes& Get() const { return m_bytes; }
  std::string Str() const { return std::string(m_bytes.begin(), m_bytes.end()); }
  size_t Size() const { return m_bytes.size(); }

 private:
  Bytes m_bytes;
};

// A library file exactly as the writer lays it out (stamp 0): each group's
// count from the records that name it, phraseBytes and index from the records.
inline std::string BuildLibraryBytes(const std::vector<tagTESTGROUP>& groups,
                                     const std::vector<tagTESTRECORD>& records) {
  CFileBuilder file;
  file.Header(2005, 2, 0x584B, 0x4C43, 0).Byte(uint8_t(groups.size()));
  for (size_t g = 0; g < groups.size(); ++g) {
    uint32_t count = 0;
    for (const tagTESTRECORD& r : records) count += r.byGroup == g;
    file.Group(groups[g].strName, count, groups[g].bEnable, groups[g].strEditor,
               groups[g].strRemark);
  }
  return file.Section(records).Str();
}

}  // namespace tabrix_test
