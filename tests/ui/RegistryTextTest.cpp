// The check of a registry value read as text, which the installed library's
// folder and the link's browser command both go through.
#include <gtest/gtest.h>

#include <string>

#include "RegistryText.h"

namespace {

struct tagREGTEXTCASE {
  const char* what;
  uint32_t type;
  std::string data;
  int32_t result;
  const char* text;  // what `out` holds afterwards
};

TEST(RegistryTextTest, TakesOnlyReadAndTerminatedText) {
  const std::string full(259, 'a');
  const tagREGTEXTCASE cases[] = {
      {"string", REGISTRY_SZ, std::string("htmlfile\0", 9), REGISTRY_TEXT_OK, "htmlfile"},
      {"expandable string taken as stored", REGISTRY_EXPAND_SZ, std::string("%P%\\b.exe\0", 10),
       REGISTRY_TEXT_OK, "%P%\\b.exe"},
      {"no data is an empty text", REGISTRY_SZ, std::string(), REGISTRY_TEXT_OK, ""},
      {"a lone NUL is an empty text", REGISTRY_SZ, std::string("\0", 1), REGISTRY_TEXT_OK, ""},
      {"the text ends at its first NUL", REGISTRY_SZ, std::string("ab\0cd\0", 6), REGISTRY_TEXT_OK,
       "ab"},
      {"no terminator", REGISTRY_SZ, std::string("htmlfile"), REGISTRY_TEXT_INVALID, "keep"},
      {"binary", 3, std::string("htmlfile\0", 9), REGISTRY_TEXT_INVALID, "keep"},
      {"number", 4, std::string("\1\0\0\0", 4), REGISTRY_TEXT_INVALID, "keep"},
      {"multi-string", 7, std::string("a\0\0", 3), REGISTRY_TEXT_INVALID, "keep"},
      {"longest text that fits", REGISTRY_SZ, full + '\0', REGISTRY_TEXT_OK, full.c_str()},
      {"one byte too long", REGISTRY_SZ, full + "a" + '\0', REGISTRY_TEXT_INVALID, "keep"},
  };
  for (const tagREGTEXTCASE& c : cases) {
    std::string out = "keep";
    EXPECT_EQ(TakeRegistryText(c.type, c.data.data(), c.data.size(), 260, out), c.result) << c.what;
    EXPECT_EQ(out, c.text) << c.what;
  }
}

// Read wide: the same checks, counted in characters; an odd byte count is
// half a character.
TEST(RegistryTextTest, WideTextIsCheckedTheSameWay) {
  const std::wstring full(259, L'a');
  const struct {
    const char* what;
    uint32_t type;
    std::wstring data;
    size_t nBytes;  // of data, as the registry counts them
    int32_t result;
    std::wstring text;
  } cases[] = {
      {"string", REGISTRY_SZ, std::wstring(L"\uD55C\uAD6D\0", 3), 3 * sizeof(wchar_t),
       REGISTRY_TEXT_OK, L"\uD55C\uAD6D"},
      {"no data is an empty text", REGISTRY_SZ, L"", 0, REGISTRY_TEXT_OK, L""},
      {"the text ends at its first NUL", REGISTRY_EXPAND_SZ, std::wstring(L"ab\0cd\0", 6),
       6 * sizeof(wchar_t), REGISTRY_TEXT_OK, L"ab"},
      {"no terminator", REGISTRY_SZ, L"ab", 2 * sizeof(wchar_t), REGISTRY_TEXT_INVALID, L"keep"},
      {"half a character", REGISTRY_SZ, std::wstring(L"ab\0", 3), 3 * sizeof(wchar_t) - 1,
       REGISTRY_TEXT_INVALID, L"keep"},
      {"number", 4, std::wstring(L"\1\0", 2), 4, REGISTRY_TEXT_INVALID, L"keep"},
      {"longest text that fits", REGISTRY_SZ, full + L'\0', 260 * sizeof(wchar_t), REGISTRY_TEXT_OK,
       full},
      {"one character too long", REGISTRY_SZ, full + L"a" + L'\0', 261 * sizeof(wchar_t),
       REGISTRY_TEXT_INVALID, L"keep"},
  };
  for (const auto& c : cases) {
    std::wstring out = L"keep";
    EXPECT_EQ(TakeRegistryText(c.type, c.data.data(), c.nBytes, 260, out), c.result) << c.what;
    EXPECT_TRUE(out == c.text) << c.what;
  }
}

}  // namespace
