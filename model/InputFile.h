// The one way an input file is opened for reading its bytes: the library
// loader, the line reader, the dictionary readers and wbk all come here. Only
// a regular file opens, on every system: a folder holds no bytes, and a
// device, a pipe or a FIFO may never end. Opening never waits for a FIFO's
// writer.
#pragma once

#include <cstdint>
#include <cstdio>

// What the path named when it did not open as a regular file.
enum InputKind {
  INPUT_REGULAR,   // opened
  INPUT_UNOPENED,  // the open failed (no such file, no right...): errno says why
  INPUT_FOLDER,
  INPUT_FIFO,
  INPUT_PIPE,  // a pipe or a console on Windows
  INPUT_DEVICE,
  INPUT_SOCKET,
  INPUT_OTHER
};

enum InputSharing {
  INPUT_SHARED,    // others may read and write the file meanwhile
  INPUT_EXCLUSIVE  // on Windows nobody else may; a file another holds does not open
};

// The file opened for reading bytes, or null. *pSize: its size when opened;
// *pKind: INPUT_REGULAR, or why it did not open. Both may be null.
std::FILE* OpenInputFile(const char* path, InputSharing nSharing, uint64_t* pSize,
                         InputKind* pKind);

// "a folder", "a FIFO", "a pipe", "a device", "a socket", "some other kind";
// "a file" for the other two.
const char* InputKindName(InputKind nKind);
