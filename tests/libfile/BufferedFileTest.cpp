// The file streams buffer TABRIX_FILE_BUFFER bytes themselves. Writes,
// patches, reads, skips and whole libraries that cross the buffer's edges must
// give exactly the bytes an unbuffered stream would. The sizes below follow the
// buffer's, so that they cross its edges whatever it is.
#include <gtest/gtest.h>

#include <random>

#include "GroupRecord.h"
#include "LibfileTestSupport.h"

using namespace tabrix_test;

namespace {

Bytes RandomBytes(std::mt19937& rng, size_t n) {
  Bytes bytes(n);
  for (uint8_t& b : bytes) b = uint8_t(rng());
  return bytes;
}

// The file image of a library, encoded here independently of the writer.
Bytes ExpectedImage(CTabrix& library) {
  Bytes out(12, 0);
  PutU16(&out[0], TABRIX_FILE_MAGIC);
  PutU16(&out[2], TABRIX_FILE_TYPE);
  PutU16(&out[4], TABRIX_FILE_MAJOR);
  PutU16(&out[6], TABRIX_FILE_MINOR);
  out.push_back(uint8_t(library.GetGroupCount()));
  for (uint32_t g = 0; g < library.GetGroupCount(); ++g) {
    uint8_t record[TABRIX_GROUP_RECORD_SIZE];
    EncodeGroupRecord(*library.GetGroup(g), record);
    out.insert(out.end(), record, record + sizeof(record));
  }
  Bytes records, index;
  for (uint32_t i = 0; i < library.m_arrPhrase.GetCount(); ++i) {
    const tagPHRASE2* p = library.m_arrPhrase.GetAt(i);
    uint8_t offset[4];
    PutU32(offset, uint32_t(records.size()));
    index.insert(index.end(), offset, offset + 4);
    records.push_back(p->byGroup);
    records.push_back(p->byFreq);
    records.push_back(p->cLen);
    records.insert(records.end(), p->szWord, p->szWord + p->cLen);
  }
  uint8_t size[4];
  PutU32(size, uint32_t(records.size()));
  out.insert(out.end(), size, size + 4);
  out.insert(out.end(), records.begin(), records.end());
  out.insert(out.end(), index.begin(), index.end());
  return out;
}

}  // namespace

TEST(BufferedFile, WritesAndPatchesAcrossTheBuffer) {
  CScratchDir dir;
  const std::string path = dir.Path("w.bin");
  std::mt19937 rng(7);
  Bytes expected;
  CFileWriter file;
  ASSERT_TRUE(file.Open(path.c_str()));
  // Small pieces, pieces larger than the buffer, then small pieces again, and
  // pieces of exactly the buffer's size.
  const size_t kBuffer = TABRIX_FILE_BUFFER;
  for (size_t piece : {size_t(3), kBuffer + 4464, 2 * kBuffer + 18928, size_t(1), kBuffer}) {
    for (int k = 0; k < 40; ++k) {
      const Bytes bytes = RandomBytes(rng, k % 2 ? piece : rng() % 300);
      ASSERT_TRUE(file.Write(bytes.data(), bytes.size()));
      expected.insert(expected.end(), bytes.begin(), bytes.end());
      ASSERT_EQ(expected.size(), file.GetPosition());
    }
  }
  // One patch in bytes long written out, one in bytes still buffered.
  ASSERT_TRUE(file.PatchU32(10, 0xA1B2C3D4));
  PutU32(&expected[10], 0xA1B2C3D4);
  ASSERT_TRUE(file.WriteU16(0x0102));
  expected.push_back(0x02);
  expected.push_back(0x01);
  ASSERT_TRUE(file.PatchU32(expected.size() - 5, 0x55667788));
  PutU32(&expected[expected.size() - 5], 0x55667788);
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(expected, ReadAll(path));
}

TEST(BufferedFile, ReadsTakesAndSkipsAcrossTheBuffer) {
  CScratchDir dir;
  const std::string path = dir.Path("r.bin");
  std::mt19937 rng(11);
  const Bytes bytes = RandomBytes(rng, 4 * TABRIX_FILE_BUFFER + 37856);
  WriteAll(path, bytes);
  CFileReader file;
  ASSERT_TRUE(file.Open(path.c_str()));
  size_t pos = 0;
  while (pos < bytes.size()) {
    const size_t want =
        std::min(bytes.size() - pos,
                 size_t(rng() % 4 == 0 ? rng() % (TABRIX_FILE_BUFFER * 3 / 2) : rng() % 40));
    const int how = int(rng() % 3);
    if (how == 0) {
      Bytes got(want);
      ASSERT_TRUE(file.Read(got.data(), want)) << pos;
      ASSERT_TRUE(std::equal(got.begin(), got.end(), bytes.begin() + long(pos))) << pos;
    } else if (how == 1) {
      const uint8_t* p = file.Take(want);
      if (p == nullptr) continue;  // not buffered: nothing was taken
      ASSERT_TRUE(std::equal(p, p + want, bytes.begin() + long(pos))) << pos;
    } else {
      ASSERT_TRUE(file.Skip(want)) << pos;
    }
    pos += want;
  }
  EXPECT_EQ(nullptr, file.Take(1));
  uint8_t b = 0;
  EXPECT_FALSE(file.Read(&b, 1));
  EXPECT_NE(nullptr, file.Take(0));
  file.Close();
  EXPECT_EQ(nullptr, file.Take(0));
}

// A library of several buffers' worth: its records straddle the buffer's
// edges both ways.
TEST(BufferedFile, LargeLibrarySavesItsExactImageAndLoadsBack) {
  CScratchDir dir;
  std::mt19937 rng(5);
  CTabrix library;
  ASSERT_EQ(0, library.AddGroup("one", "ed", "remark"));
  ASSERT_EQ(1, library.AddGroup("two", "", ""));
  for (int i = 0; i < 30000; ++i) {
    std::string text;
    for (size_t k = rng() % 31; k > 0; --k) text += char(1 + rng() % 255);
    library.AddPhrase(text.c_str(), uint8_t(text.size()), uint8_t(rng() % 251), 1,
                      uint8_t(rng() % 2));
  }
  const std::string path = dir.Path("big.wbk");
  ASSERT_EQ(1, library.Save(path.c_str()));
  Bytes saved = ReadAll(path);
  ASSERT_GT(saved.size(), 4u * TABRIX_FILE_BUFFER);
  std::fill(saved.begin() + 8, saved.begin() + 12, 0);
  EXPECT_EQ(ExpectedImage(library), saved);

  CTabrix loaded;
  ASSERT_EQ(1, loaded.Load(path.c_str()));
  ExpectSameLibrary(library, loaded);
}
