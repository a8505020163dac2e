// JSON for --json output, built as nlohmann/json values. The output is plain
// ASCII: every other character is written as \uXXXX, so it reads the same
// whatever the terminal's encoding.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

// A JSON value whose objects keep their keys in the order they were set.
using CJson = nlohmann::ordered_json;

// The text of a JSON string, in well-formed UTF-8 as the library wants it.
// From UTF-8: each byte that begins no well-formed sequence becomes U+FFFD.
std::string JsonTextUtf8(const std::string& utf8);
// From a library text (GBK): each character with no Unicode form (a damaged
// file can hold any bytes) becomes U+FFFD; SetJsonText gives its bytes too.
std::string JsonTextGbk(const std::string& gbk);
// True when every character of the GBK text has a Unicode form.
bool GbkHasUnicodeForm(const std::string& gbk);
// The bytes as lowercase hex, two digits each.
std::string HexBytes(const std::string& bytes);
// From a path of the command line.
std::string JsonTextPath(const std::string& path);

// The value as one line of ASCII JSON, without line end.
std::string JsonDump(const CJson& value);
// JsonDump of an object whose last value is an empty array, without the
// closing "]}": the caller writes the array's items (comma-separated) and
// then "]}", so that a long array never has to be held whole.
std::string JsonDumpOpen(const CJson& object);

// A text as a quoted JSON string: JsonDump of the JsonText... above.
std::string JsonQuoteUtf8(const std::string& utf8);
std::string JsonQuoteGbk(const std::string& gbk);
std::string JsonQuotePath(const std::string& path);
