// The cell dictionary readers allocate with the entries they find, never on
// the word of a count: files whose counts promise up to billions of entries
// are refused without a block of such a size. This program replaces the
// allocation functions to see the largest block asked for.
#include <string>

#include <gtest/gtest.h>

#include "BdictBytes.h"
#include "DictContent.h"
#include "DictReadChecks.h"
#include "ReplacedAllocation.h"
#include "ScelBytes.h"

namespace {

using namespace tabrix_test;

// The smallest count below (0xFFFF) times an entry's size is over 3 MB.
const size_t kSmallBlock = 64 * 1024;

size_t LargestBlockOfRead(DictReader read, const Bytes& file, bool* pOk, tagREADFAULT* pFault) {
  tagDICTCONTENT content;
  content.nUndecodable = 0;
  g_nLargestBlock = 0;
  *pOk = read(file.data(), file.size(), &content, pFault);
  return g_nLargestBlock;
}

TEST(DictAllocation, HugeCountsInAFewBytesAllocateNothingOfTheirSize) {
  CScelBuilder scel;
  scel.Group({0}, {{u"中", ScelExt(1), ""}});
  const size_t groupAt = scel.WordTableAt();
  Bytes groups = scel.Build(), words = groups, pinyins = groups;
  CScelBuilder::PutU32(groups, CScelBuilder::GROUP_COUNT_AT, 0xFFFFFFFF);
  CScelBuilder::PutU16(words, groupAt, 0xFFFF);
  CScelBuilder::PutU16(pinyins, CScelBuilder::PINYIN_TABLE_AT, 0xFFFF);

  const Bytes entries = CBdictBuilder().Pinyin({{11, 29}}, u"你", 1).Count(0xFFFFFFFF).Build();
  const Bytes units = CBdictBuilder().Raw({0xFF, 0xFF, 1, 0, 11, 29}).Build();

  struct tagCASE {
    const char* pszName;
    DictReader read;
    const Bytes& file;
  } cases[] = {
      {"scel groups", ReadScel, groups},     {"scel words of a group", ReadScel, words},
      {"scel pinyin", ReadScel, pinyins},    {"bdict entries", ReadBdict, entries},
      {"bdict syllables", ReadBdict, units},
  };
  for (const tagCASE& c : cases) {
    SCOPED_TRACE(c.pszName);
    bool bOk = true;
    tagREADFAULT fault = {};
    EXPECT_LT(LargestBlockOfRead(c.read, c.file, &bOk, &fault), kSmallBlock);
    EXPECT_FALSE(bOk);
    EXPECT_NE(fault.nCode, READ_FAULT_NONE);
  }
}

}  // namespace
