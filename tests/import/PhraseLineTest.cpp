#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "CasePrint.h"
#include "PhraseImport.h"

namespace {

struct tagSPLITCASE {
  std::string line;
  uint32_t textStart;
  uint32_t textLen;
  std::string freqField;
};

void PrintTo(const tagSPLITCASE& c, std::ostream* os) { *os << Printable(c.line); }

class SplitCases : public testing::TestWithParam<tagSPLITCASE> {};

TEST_P(SplitCases, FindsTheTextAndTheFrequencyField) {
  const tagSPLITCASE& c = GetParam();
  tagPHRASELINE split = {999, 999, 999};
  SplitPhraseLine(c.line.data(), static_cast<uint32_t>(c.line.size()), &split);
  EXPECT_EQ(split.nTextStart, c.textStart);
  EXPECT_EQ(split.nTextLen, c.textLen);
  ASSERT_LE(split.nFreqStart, c.line.size());
  EXPECT_EQ(c.line.substr(split.nFreqStart), c.freqField);
}

const tagSPLITCASE kSplitCases[] = {
    {"中文 12", 0, 4, "12"},
    {"中文\t\t7", 0, 4, "7"},
    {"中文", 0, 4, ""},
    // Blanks and tabs before the text are passed over.
    {" 5", 1, 1, ""},
    {"  \xC7\xB0\t5", 2, 2, "5"},
    {"\t \t", 3, 0, ""},
    {"ab \t \t3 x", 0, 2, "3 x"},
    {"ab ", 0, 2, ""},
    {"", 0, 0, ""},
    {"abc", 0, 3, ""},
    // A lead byte takes the byte after it along, even a blank.
    {"\x81 b 4", 0, 3, "4"},
    // A lead byte as the last byte ends the scan: the whole line is the text.
    {"\xD6", 0, 1, ""},
    {"a\xD6", 0, 2, ""},
    {"中\xD6", 0, 3, ""},
    // A second byte 0x20 or 0x09 of a character is no blank.
    {"\xB0\x09x 9", 0, 3, "9"},
};

INSTANTIATE_TEST_SUITE_P(Table, SplitCases, testing::ValuesIn(kSplitCases));

struct tagNUMBERCASE {
  const char* text;
  uint8_t value;
};

void PrintTo(const tagNUMBERCASE& c, std::ostream* os) {
  *os << Printable(c.text) << " -> " << int(c.value);
}

class FrequencyCases : public testing::TestWithParam<tagNUMBERCASE> {};

TEST_P(FrequencyCases, ClampsReducesAndLowers) {
  EXPECT_EQ(PhraseFrequency(GetParam().text), GetParam().value) << GetParam().text;
}

const tagNUMBERCASE kFrequencyCases[] = {
    {"12", 12},
    {"0", 0},
    {"250", 250},
    {"251", 250},
    {"253", 250},
    {"255", 250},
    {"256", 0},
    {"300", 44},
    {"-3", 250},  // low 8 bits of -3 are 253
    {"-255", 1},
    {"-256", 0},
    {"+7", 7},
    {"007", 7},
    {"12abc", 12},
    {"12 34", 12},
    {"", 0},
    {"abc", 0},
    {"-", 0},
    {"+", 0},
    {"--3", 0},
    {" 3", 0},  // the split has skipped the blanks already
    {"2147483647", 250},
    {"2147483648", 250},  // clamped to 2147483647, low byte 255
    {"99999999999", 250},
    {"999999999999999999999999999999", 250},
    {"-2147483648", 0},
    {"-2147483649", 0},  // clamped to -2147483648, low byte 0
    {"-99999999999", 0},
    {"4294967340", 250},  // would be 44 if the value wrapped instead of clamping
};

INSTANTIATE_TEST_SUITE_P(Table, FrequencyCases, testing::ValuesIn(kFrequencyCases));

// The value before it is brought into one byte: an import counts the
// frequencies it had to reduce.
TEST(PhraseFrequencyValue, IsTheClampedSignedNumber) {
  const struct {
    const char* text;
    int64_t value;
  } cases[] = {{"12", 12},
               {"250", 250},
               {"251", 251},
               {"300", 300},
               {"-3", -3},
               {"+7", 7},
               {"", 0},
               {"abc", 0},
               {"12abc", 12},
               {"99999999999", 2147483647},
               {"-99999999999", -2147483648LL}};
  for (const auto& c : cases) EXPECT_EQ(PhraseFrequencyValue(c.text), c.value) << c.text;
}

class RangeFieldCases : public testing::TestWithParam<tagNUMBERCASE> {};

TEST_P(RangeFieldCases, ReadsAnUnsignedNumberReducedToOneByte) {
  EXPECT_EQ(RangeFieldValue(GetParam().text), GetParam().value) << GetParam().text;
}

const tagNUMBERCASE kRangeFieldCases[] = {
    {"0", 0},
    {"1", 1},
    {"250", 250},
    {"255", 255},  // a range bound is not lowered to 250
    {"256", 0},
    {"300", 44},
    {"", 0},
    {"abc", 0},
    {" 12", 12},
    {"\t7 ", 7},
    {"+5", 5},
    {"-5", 0},  // unsigned fields take no negative number
    {"12abc", 12},
    {"4294967295", 255},
    {"99999999999", 255},  // clamped to 32 bits, not wrapped
};

INSTANTIATE_TEST_SUITE_P(Table, RangeFieldCases, testing::ValuesIn(kRangeFieldCases));

TEST(RangeFieldValue, NullTextIsZero) { EXPECT_EQ(RangeFieldValue(nullptr), 0); }

}  // namespace
