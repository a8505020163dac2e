// When memory runs out while an import's batch is merged with the store, the
// library is left as it was and the batch goes in phrase by phrase instead:
// the result is the one of a plain line-by-line import. This program replaces
// the allocation functions so that one chosen block allocation fails.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "ImportChecks.h"
#include "PhraseImport.h"
#include "ReplacedAllocation.h"
#include "ScratchDir.h"
#include "Tabrix.h"

using tabrix_test::g_nArraysBeforeFailure;

namespace {

void BuildLibrary(CTabrix& lib) {
  ASSERT_EQ(0, lib.AddGroup("old", "", ""));
  for (int i = 0; i < 3000; i += 2) {
    const std::string text = "w" + std::to_string(100000 + i);
    ASSERT_EQ(1, lib.AddPhrase(text.c_str(), 255, uint8_t(i % 251), 1, 0));
  }
}

std::string PhraseFile() {
  std::string file;
  for (int i = 0; i < 3000; i += 3) file += "w" + std::to_string(100000 + i) + " 7\n";
  return file + "w100003 9\n";  // a second arrival of a text of the file
}

TEST(BatchAllocation, AFailedMergeFallsBackToOneByOne) {
  CScratchDir dir;
  const std::string path = dir.Write("list.txt", PhraseFile());

  CTabrix reference;
  BuildLibrary(reference);
  tagIMPORTSTATS want = {};
  ASSERT_EQ(IMPORT_OK, ImportToGroup(reference, 0, path.c_str(), DefaultImportOptions(), &want));
  EXPECT_EQ(501u, want.nDuplicate);  // the 500 texts stored before, and the repeat

  // Each array allocation of the import made to fail in turn (the merged
  // chain's blocks, however many its block size makes), until an import meets
  // no failure at all.
  int nFailed = 0;
  for (int k = 0;; ++k) {
    SCOPED_TRACE("failing array allocation " + std::to_string(k));
    CTabrix lib;
    BuildLibrary(lib);
    tagIMPORTSTATS got = {};
    g_nArraysBeforeFailure = k;
    const int result = ImportToGroup(lib, 0, path.c_str(), DefaultImportOptions(), &got);
    const bool failed = g_nArraysBeforeFailure < 0;
    g_nArraysBeforeFailure = -1;
    ASSERT_EQ(IMPORT_OK, result);
    EXPECT_EQ(want.nAdded, got.nAdded);
    EXPECT_EQ(want.nDuplicate, got.nDuplicate);
    EXPECT_EQ(PhrasesOf(reference, 0), PhrasesOf(lib, 0));
    ExpectLibraryInvariants(lib);
    if (!failed || HasFailure()) break;
    ++nFailed;
  }
  EXPECT_GT(nFailed, 0) << "the import allocated no array to fail";
}

}  // namespace
