#include "FileHeader.h"

#include <gtest/gtest.h>

#include "FileIO.h"
#include "LibfileTestSupport.h"

using namespace tabrix_test;

TEST(FileHeader, WritesTwelveBytesAndCopiesThem) {
  CScratchDir dir;
  const std::string path = dir.Path("h.bin");
  uint8_t copy[12] = {};
  {
    CFileWriter file;
    ASSERT_TRUE(file.Open(path.c_str()));
    ASSERT_EQ(1, WriteFileHeader(file, 0x4C43, 2005, 2, 0xA1B2C3D4u, copy));
    EXPECT_EQ(12u, file.GetPosition());
    ASSERT_TRUE(file.Close());
  }
  const Bytes expected = {0x4B, 0x58, 0x43, 0x4C, 0xD5, 0x07, 0x02, 0x00, 0xD4, 0xC3, 0xB2, 0xA1};
  EXPECT_EQ(expected, ReadAll(path));
  EXPECT_EQ(expected, Bytes(copy, copy + 12));
}

struct HeaderCase {
  const char* what;
  uint16_t magic, type, major, minor;
  size_t length;  // bytes of the header present in the file
  bool accepted;
};

class FileHeaderAcceptance : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(FileHeaderAcceptance, ReadsOrRefuses) {
  const HeaderCase& c = GetParam();
  CScratchDir dir;
  const std::string path = dir.Path("h.bin");
  Bytes bytes = CFileBuilder().Header(c.major, c.minor, c.magic, c.type, 0x01020304).Get();
  bytes.resize(c.length);
  WriteAll(path, bytes);

  CFileReader file;
  ASSERT_TRUE(file.Open(path.c_str()));
  uint32_t stamp = 0;
  uint8_t header[12] = {};
  EXPECT_EQ(c.accepted ? 1 : 0, ReadFileHeader(file, 0x4C43, 2005, 2, &stamp, header)) << c.what;
  if (c.accepted) {
    EXPECT_EQ(0x01020304u, stamp);
    EXPECT_EQ(bytes, Bytes(header, header + 12));
  } else {
    EXPECT_EQ(0u, stamp);  // nothing stored on refusal
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileHeaderAcceptance,
    ::testing::Values(HeaderCase{"as written", 0x584B, 0x4C43, 2005, 2, 12, true},
                      HeaderCase{"newer minor", 0x584B, 0x4C43, 2005, 3, 12, true},
                      HeaderCase{"newer major", 0x584B, 0x4C43, 2006, 2, 12, true},
                      HeaderCase{"minor compared on its own", 0x584B, 0x4C43, 2006, 1, 12, false},
                      HeaderCase{"older major", 0x584B, 0x4C43, 2004, 9, 12, false},
                      HeaderCase{"older minor", 0x584B, 0x4C43, 2005, 1, 12, false},
                      HeaderCase{"wrong magic", 0x584C, 0x4C43, 2005, 2, 12, false},
                      HeaderCase{"magic bytes swapped", 0x4B58, 0x4C43, 2005, 2, 12, false},
                      HeaderCase{"wrong type", 0x584B, 0x4C44, 2005, 2, 12, false},
                      HeaderCase{"short header", 0x584B, 0x4C43, 2005, 2, 11, false},
                      HeaderCase{"no header", 0x584B, 0x4C43, 2005, 2, 0, false}));

TEST(FileHeader, TypeIsTheCallersChoice) {
  CScratchDir dir;
  const std::string path = dir.Path("h.bin");
  WriteAll(path, CFileBuilder().Header(2005, 2, 0x584B, 0x1234).Get());
  CFileReader a;
  ASSERT_TRUE(a.Open(path.c_str()));
  EXPECT_EQ(1, ReadFileHeader(a, 0x1234, 2005, 2, nullptr, nullptr));
  CFileReader b;
  ASSERT_TRUE(b.Open(path.c_str()));
  EXPECT_EQ(0, ReadFileHeader(b, 0x4C43, 2005, 2, nullptr, nullptr));
}
