// Frequencies written as decimal numbers in text dictionaries.
#pragma once

#include <cstdint>
#include <string_view>

// A whole decimal number: one or more digits and nothing else (no sign, no
// spaces). Values past INT64_MAX give INT64_MAX: the weight only ranks the
// entries, and such a one ranks first either way.
bool ParseWholeNumber(std::string_view text, int64_t* pValue);
