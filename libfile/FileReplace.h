// Puts a finished temporary file in the place of the target in one step, so a
// reader sees either the old file or the complete new one.
#pragma once

// Nonzero when pszTemp now stands at pszTarget (replacing any file there).
// On failure both files are left as they were.
int ReplaceFileWith(const char* pszTemp, const char* pszTarget);
