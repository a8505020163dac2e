// JSON string literals for --json output. The output is plain ASCII: every
// other character is written as \uXXXX, so it reads the same whatever the
// terminal's encoding.
#pragma once

#include <string>

// A UTF-8 text as a quoted JSON string; bytes that are not UTF-8 become U+FFFD.
std::string JsonQuoteUtf8(const std::string& utf8);
// A library text (GBK) as a quoted JSON string; bytes that are not GBK are
// shown as \xHH (see GbkForDisplay).
std::string JsonQuoteGbk(const std::string& gbk);
// A path from the command line.
std::string JsonQuotePath(const std::string& path);
