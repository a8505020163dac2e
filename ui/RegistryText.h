// The check of a registry value read as text, shared by the code that reads
// the registry (the installed library's folder, the link's browser command).
// Portable, so that it is tested on any host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Registry value types accepted as text: the values of REG_SZ and
// REG_EXPAND_SZ (an expandable text is taken as stored).
enum : uint32_t { REGISTRY_SZ = 1, REGISTRY_EXPAND_SZ = 2 };

// Result of the check.
enum : int32_t {
  REGISTRY_TEXT_OK = 0,
  REGISTRY_TEXT_INVALID = 13  // the platform's invalid-data code: wrong type or no terminator
};

// Checks a value read into a buffer: `size` bytes of `data` of registry type
// `type`. Text values only; the data must be empty (an empty text) or end with
// a NUL byte, and the text must fit `capacity` bytes with its terminator.
// REGISTRY_TEXT_OK copies the text into `out`; anything else leaves `out`
// untouched.
int32_t TakeRegistryText(uint32_t type, const char* data, size_t size, size_t capacity,
                         std::string& out);
// The same for a value read wide: `size` in bytes as the registry counts
// them (an odd count is no text), `capacity` in characters.
int32_t TakeRegistryText(uint32_t type, const wchar_t* data, size_t size, size_t capacity,
                         std::wstring& out);
