// The cases that read the large dictionaries Debian ships (installed by
// tools/setup.sh) run once per platform: natively in the release build and
// under Wine in the Windows build, not in the sanitized debug build. The CMake
// option TABRIX_REAL_DATA_TESTS says whether they run in this build; where they
// do not, each reports itself skipped.
#pragma once

#include <gtest/gtest.h>

#ifndef TABRIX_REAL_DATA_TESTS
#error "TABRIX_REAL_DATA_TESTS comes from tabrix_add_test() in tests/CMakeLists.txt"
#endif

// The first statement of such a case.
#define TABRIX_SKIP_UNLESS_REAL_DATA_TESTS()                                             \
  do {                                                                                   \
    if (!TABRIX_REAL_DATA_TESTS) {                                                       \
      GTEST_SKIP() << "the large real dictionaries are read in the release and Windows " \
                      "builds (TABRIX_REAL_DATA_TESTS is OFF here)";                     \
    }                                                                                    \
  } while (false)
