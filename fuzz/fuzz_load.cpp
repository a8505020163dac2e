// libFuzzer harness for CTabrix::Load: arbitrary bytes must either be refused
// (leaving an empty library) or load into a library that keeps its
// invariants and survives a save and a second load unchanged.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "Tabrix.h"

#include "FuzzSupport.h"

const char* const kFuzzHarnessName = "fuzz_load";

namespace {

void CheckInvariants(CTabrix& library) {
  const uint32_t nGroups = library.GetGroupCount();
  Check(nGroups <= 255, "more groups than the file can count");
  uint64_t counted[256] = {};
  const tagPHRASE2* pPrev = nullptr;
  tagPHRASE2 prev;
  for (uint32_t i = 0; i < library.m_arrPhrase.GetCount(); ++i) {
    const tagPHRASE2* p = library.m_arrPhrase.GetAt(i);
    Check(p->byGroup < nGroups, "phrase names no group");
    Check(p->cLen <= 30, "phrase longer than 30 bytes");
    for (size_t k = p->cLen; k < sizeof(p->szWord); ++k)
      Check(p->szWord[k] == 0, "text not padded");
    if (pPrev) Check(ComparePhrase(&prev, p, nullptr) < 0, "store not sorted or not unique");
    prev = *p;
    pPrev = &prev;
    counted[p->byGroup]++;
  }
  for (uint32_t g = 0; g < nGroups; ++g)
    Check(library.GetGroup(g)->dwCount == counted[g], "group count not rebuilt");
}

bool SameLibrary(CTabrix& a, CTabrix& b) {
  if (a.GetGroupCount() != b.GetGroupCount()) return false;
  for (uint32_t i = 0; i < a.GetGroupCount(); ++i)
    if (memcmp(a.GetGroup(i), b.GetGroup(i), sizeof(tagGROUPINFO)) != 0) return false;
  if (a.m_arrPhrase.GetCount() != b.m_arrPhrase.GetCount()) return false;
  for (uint32_t i = 0; i < a.m_arrPhrase.GetCount(); ++i)
    if (memcmp(a.m_arrPhrase.GetAt(i), b.m_arrPhrase.GetAt(i), sizeof(tagPHRASE2)) != 0)
      return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input = FuzzScratchDir() + "/in.wbk";
  const std::string output = FuzzScratchDir() + "/out.wbk";
  FILE* file = fopen(input.c_str(), "wb");
  if (!file) abort();
  if (size > 0 && fwrite(data, 1, size, file) != size) abort();
  if (fclose(file) != 0) abort();

  CTabrix first;
  if (!first.Load(input.c_str())) {
    Check(first.GetGroupCount() == 0 && first.m_arrPhrase.GetCount() == 0,
          "refused load left a partial library");
    return 0;
  }
  CheckInvariants(first);
  Check(first.Save(output.c_str()) == 1, "save of a loaded library failed");
  CTabrix second;
  Check(second.Load(output.c_str()) == 1, "saved library does not load");
  Check(SameLibrary(first, second), "second load differs from the first");
  return 0;
}
