#include "FileIO.h"

#include <gtest/gtest.h>

#include "LibfileTestSupport.h"

using namespace tabrix_test;

namespace {}  // namespace

TEST(FileWriter, CountsBytesAndPatchesLittleEndian) {
  CScratchDir dir;
  const std::string path = dir.Path("w.bin");
  CFileWriter file;
  ASSERT_TRUE(file.Open(path.c_str()));
  EXPECT_EQ(0u, file.GetPosition());
  ASSERT_TRUE(file.WriteByte(0xAA));
  ASSERT_TRUE(file.WriteU32(0));
  ASSERT_TRUE(file.WriteU16(0x0102));
  EXPECT_EQ(7u, file.GetPosition());
  ASSERT_TRUE(file.PatchU32(1, 0x11223344));
  EXPECT_EQ(7u, file.GetPosition());
  ASSERT_TRUE(file.WriteByte(0xBB));  // lands at the end, after the patch
  ASSERT_TRUE(file.Flush());
  ASSERT_TRUE(file.Close());
  EXPECT_EQ((Bytes{0xAA, 0x44, 0x33, 0x22, 0x11, 0x02, 0x01, 0xBB}), ReadAll(path));
}

TEST(FileWriter, PatchOutsideTheWrittenBytesFails) {
  CScratchDir dir;
  CFileWriter file;
  ASSERT_TRUE(file.Open(dir.Path("w.bin").c_str()));
  ASSERT_TRUE(file.WriteU32(0));
  EXPECT_FALSE(file.PatchU32(1, 5));
  EXPECT_FALSE(file.WriteByte(1));  // the writer stays failed
  EXPECT_FALSE(file.Close());
}

TEST(FileWriter, OpenInMissingFolderFails) {
  CScratchDir dir;
  CFileWriter file;
  EXPECT_FALSE(file.Open(dir.Path("missing/w.bin").c_str()));
  EXPECT_FALSE(file.Write("x", 1));
  EXPECT_FALSE(file.Flush());
  EXPECT_FALSE(file.Close());
}

TEST(FileWriter, EveryCallFailsAfterAnInjectedFault) {
  SeamGuard guard;
  CScratchDir dir;
  CFileWriter file;
  CFileFaultSeam::FailAt(3);  // open, write, then this write
  ASSERT_TRUE(file.Open(dir.Path("w.bin").c_str()));
  ASSERT_TRUE(file.WriteByte(1));
  EXPECT_FALSE(file.WriteByte(2));
  EXPECT_EQ(1u, file.GetPosition());
  EXPECT_FALSE(file.WriteByte(3));
  EXPECT_FALSE(file.Flush());
  EXPECT_FALSE(file.Close());
}

TEST(FileWriter, InjectedCloseFaultStillClosesAndReports) {
  SeamGuard guard;
  CScratchDir dir;
  const std::string path = dir.Path("w.bin");
  CFileWriter file;
  CFileFaultSeam::FailAt(3);  // open, write, close
  ASSERT_TRUE(file.Open(path.c_str()));
  ASSERT_TRUE(file.WriteByte(7));
  EXPECT_FALSE(file.Close());
  EXPECT_EQ(3u, CFileFaultSeam::GetCount());
  std::filesystem::remove(path);  // the stream is closed: the file can go
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(FileReader, ShortReadReportsAndStaysInsideTheBuffer) {
  CScratchDir dir;
  const std::string path = dir.Path("r.bin");
  WriteAll(path, Bytes{1, 2, 3});
  CFileReader file;
  ASSERT_TRUE(file.Open(path.c_str()));
  uint8_t buffer[8] = {9, 9, 9, 9, 9, 9, 9, 9};
  EXPECT_TRUE(file.Read(buffer, 2));
  EXPECT_FALSE(file.Read(buffer + 2, 4));
  EXPECT_EQ((Bytes{1, 2, 3, 9, 9, 9, 9, 9}), Bytes(buffer, buffer + 8));
  EXPECT_TRUE(file.Read(buffer, 0));
  EXPECT_FALSE(file.Skip(1));
}

TEST(FileReader, SkipsAcrossItsScratchBuffer) {
  CScratchDir dir;
  const std::string path = dir.Path("r.bin");
  Bytes bytes(600, 0);
  bytes[599] = 42;
  WriteAll(path, bytes);
  CFileReader file;
  ASSERT_TRUE(file.Open(path.c_str()));
  ASSERT_TRUE(file.Skip(599));
  uint8_t last = 0;
  ASSERT_TRUE(file.Read(&last, 1));
  EXPECT_EQ(42, last);
  EXPECT_FALSE(file.Read(&last, 1));
}

TEST(FileReader, MissingFileDoesNotOpen) {
  CScratchDir dir;
  CFileReader file;
  EXPECT_FALSE(file.Open(dir.Path("none.bin").c_str()));
  uint8_t b = 0;
  EXPECT_FALSE(file.Read(&b, 1));
}
