// CTxtLineReader opens regular files only: a device or a FIFO would hand out
// lines for ever, or hold the open until a writer comes.
#include <gtest/gtest.h>

#include <string>

#include "ScratchDir.h"
#include "TxtLineReader.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifndef _WIN32

TEST(TxtLineReaderDeviceFiles, ADeviceDoesNotOpen) {
  CTxtLineReader reader('#');
  EXPECT_EQ(reader.Open("/dev/zero"), 0);
  EXPECT_FALSE(reader.IsOpen());
  char line[101];
  EXPECT_EQ(reader.ReadLine(line, 100), nullptr);
}

TEST(TxtLineReaderDeviceFiles, AFifoDoesNotOpenAndIsNotRead) {
  CScratchDir dir;
  std::string fifo = dir.Path("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  CTxtLineReader reader('#');
  // No writer: a plain open would wait here for ever.
  EXPECT_EQ(reader.Open(fifo.c_str()), 0);
  EXPECT_FALSE(reader.IsOpen());
  // A writer with a line waiting: still refused, and the line left there.
  int fd = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(write(fd, "a 1\n", 4), 4);
  EXPECT_EQ(reader.Open(fifo.c_str()), 0);
  char back[8] = {};
  EXPECT_EQ(read(fd, back, sizeof back), 4);
  EXPECT_EQ(std::string(back), "a 1\n");
  close(fd);
}

#endif

TEST(TxtLineReaderDeviceFiles, ARegularFileStillOpensAfterARefusal) {
  CScratchDir dir;
  std::string path = dir.Write("in.txt", "one\n");
  CTxtLineReader reader('#');
  EXPECT_EQ(reader.Open(dir.Dir().c_str()), 0);
  ASSERT_NE(reader.Open(path.c_str()), 0);
  char line[101];
  ASSERT_NE(reader.ReadLine(line, 100), nullptr);
  EXPECT_EQ(std::string(line), "one");
}

}  // namespace
