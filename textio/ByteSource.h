// Bytes read in order from somewhere: a file as it is, or a text converted
// as it is read. The line reader reads through it.
#pragma once

#include <cstddef>
#include <cstdint>

class CByteSource {
 public:
  virtual ~CByteSource() = default;
  // Up to size bytes into data; 0 at the end. A read error ends the bytes
  // as the end does.
  virtual size_t Read(void* data, size_t size) = 0;
  // For progress, in bytes of the file underneath: its length, and how far
  // reading has come once nTaken bytes of this source were taken.
  virtual uint64_t GetLength() const = 0;
  virtual uint64_t ProgressAt(uint64_t nTaken) const = 0;
};
