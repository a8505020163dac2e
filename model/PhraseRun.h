// A run of phrases handed to the store in one merge: ascending text order,
// and among equal texts the one the store should keep first.
#pragma once

#include "PhraseRecords.h"

class CPhraseRun {
 public:
  virtual ~CPhraseRun() = default;
  // The next phrase into *pOut (zero-padded text, cLen its length); false
  // when the run is used up.
  virtual bool Next(tagPHRASE2* pOut) = 0;
};
