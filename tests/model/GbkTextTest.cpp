// The GBK rules every part of the program shares: character steps, cuts at a
// character boundary, fixed fields and file titles.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "GbkText.h"

namespace {

// Bytes spelled out, whatever character set the compiler gives literals:
// 中 D6 D0, 文 CE C4, 誠 D5 5C (its trail byte is a backslash).
const std::string kZhong = "\xD6\xD0";
const std::string kWen = "\xCE\xC4";
const std::string kCheng = "\xD5\x5C";
// A byte no GBK character begins with (the euro sign of code page 936).
const std::string kEuro = "\x80";

TEST(GbkLeadByteTest, EveryByteFrom0x80On) {
  for (int c = 0; c < 256; ++c) {
    EXPECT_EQ(IsGbkLeadByte(static_cast<unsigned char>(c)), c >= 0x80) << c;
  }
}

TEST(GbkTrailByteTest, From0x40To0xFEBut0x7F) {
  for (int c = 0; c < 256; ++c) {
    const bool expected = c >= 0x40 && c <= 0xFE && c != 0x7F;
    EXPECT_EQ(IsGbkTrailByte(static_cast<unsigned char>(c)), expected) << c;
  }
}

struct tagSTEPCASE {
  const char* pszWhat;
  std::string strText;
  size_t nAt;
  size_t nLength;
};

TEST(GbkCharLengthTest, OneForAsciiTwoForALeadByteWithAByteAfterIt) {
  const tagSTEPCASE cases[] = {
      {"ASCII", "ab", 0, 1},
      {"a character", kZhong, 0, 2},
      {"a character after ASCII", "a" + kZhong, 1, 2},
      {"the trail byte is a backslash", kCheng, 0, 2},
      {"0x80 leads as every byte above it does", kEuro + "a", 0, 2},
      {"a lead byte at the very end stands alone", "a\xD6", 1, 1},
      {"a lead byte alone", "\xFF", 0, 1},
      {"the lead byte takes a NUL inside the text", std::string("\xD6\0", 2), 0, 2},
  };
  for (const tagSTEPCASE& c : cases) {
    EXPECT_EQ(GbkCharLength(c.strText.data(), c.strText.size(), c.nAt), c.nLength) << c.pszWhat;
  }
}

struct tagCUTCASE {
  const char* pszWhat;
  std::string strText;
  size_t nLimit;
  size_t nKept;
};

TEST(GbkWholeCharsWithinTest, CutsOnlyBetweenCharacters) {
  const tagCUTCASE cases[] = {
      {"ASCII within the limit", "abc", 5, 3},
      {"ASCII at the limit", "abc", 3, 3},
      {"ASCII over the limit", "abcdef", 4, 4},
      {"limit zero", "abc", 0, 0},
      {"empty text", "", 10, 0},
      {"characters that fit", kZhong + kWen, 4, 4},
      {"a cut in the middle of a character", kZhong + kWen, 3, 2},
      {"a cut in the middle of the first character", kZhong, 1, 0},
      {"ASCII then a character across the limit", "ab" + kZhong, 3, 2},
      {"a lead byte at the very end is half a character", "ab\xD6", 10, 2},
      {"a lone lead byte", "\xD6", 10, 0},
      {"a trail byte 0x5C stays with its lead", "a" + kCheng + "b", 3, 3},
      {"0x80 takes the byte after it", kEuro + "abc", 1, 0},
  };
  for (const tagCUTCASE& c : cases) {
    EXPECT_EQ(GbkWholeCharsWithin(c.strText.data(), c.strText.size(), c.nLimit), c.nKept)
        << c.pszWhat;
  }
}

TEST(FieldTextTest, UpToTheNulOrTheWholeField) {
  const char named[8] = {'n', 'a', 'm', 'e', '\0', 'x', 'y', 'z'};
  EXPECT_EQ(FieldText(named, sizeof named), "name");
  EXPECT_EQ(FieldTextLength(named, sizeof named), 4u);
  const char empty[4] = {'\0', 'a', 'b', 'c'};
  EXPECT_EQ(FieldText(empty, sizeof empty), "");
  const char chinese[6] = {'\xD6', '\xD0', '\xCE', '\xC4', '\0', '\0'};
  EXPECT_EQ(FieldText(chinese, sizeof chinese), kZhong + kWen);
}

TEST(FieldTextTest, AFieldWithoutNulIsReadToItsEndAndNoFurther) {
  // The field ends its own allocation, so a read past it would be caught.
  const size_t width = 50;
  std::unique_ptr<char[]> field(new char[width]);
  for (size_t i = 0; i < width; ++i) field[i] = static_cast<char>('a' + i % 26);
  const std::string text = FieldText(field.get(), width);
  EXPECT_EQ(text.size(), width);
  EXPECT_EQ(text, std::string(field.get(), width));
  EXPECT_EQ(FieldTextLength(field.get(), width), width);
  EXPECT_EQ(FieldText(field.get(), 0), "");
}

struct tagTITLECASE {
  std::string strPath;
  std::string strTitle;
};

TEST(FileTitleFromPathTest, NoFolderAndNoLastExtension) {
  const tagTITLECASE cases[] = {
      {"dir/a.b.txt", "a.b"},
      {"C:\\Program Files\\Tabrix\\Tabrix.exe", "Tabrix"},
      {"Z:/work/build/Tabrix.exe", "Tabrix"},
      {"C:\\dir.d\\editor", "editor"},
      {"mixed\\dir/and\\file.tar.gz", "file.tar"},
      {"a", "a"},
      {"a.", "a"},
      {".txt", ""},
      {"dir/", ""},
      {"", ""},
      {"C:\\" + kZhong + kWen + "\\" + kWen + ".txt", kWen},
      // The trail byte 0x5C of 誠 is no separator, in the folder or the name.
      {"C:\\" + kCheng + "\\" + kCheng + ".exe", kCheng},
      {kCheng + kCheng, kCheng + kCheng},
      // '/' is never a trail byte: the lead byte before it stands alone.
      {"\xD5/x.txt", "x"},
      // A lead byte at the end stays in the title.
      {"dir/a\xD6", "a\xD6"},
  };
  for (const tagTITLECASE& c : cases) {
    EXPECT_EQ(FileTitleFromPath(c.strPath.c_str()), c.strTitle) << c.strPath;
  }
  EXPECT_EQ(FileTitleFromPath(nullptr), "");
}

}  // namespace
