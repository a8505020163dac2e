// The checks of the group property dialog that need no window: the byte
// limits of its three texts and the message for a text over its limit.
#pragma once

#include <cstddef>
#include <string>

#include "GbkText.h"
#include "PhraseRecords.h"

// Longest texts, in GBK bytes, that fit the group record's fields together
// with their terminating NUL (the fields' sizes are the record's).
constexpr size_t GROUP_REMARK_LIMIT = TABRIX_REMARK_FIELD - 1;
constexpr size_t GROUP_NAME_LIMIT = TABRIX_NAME_FIELD - 1;
constexpr size_t GROUP_EDITOR_LIMIT = TABRIX_NAME_FIELD - 1;

// True when `text` holds at most `limit` bytes.
inline bool TextWithinLimit(const std::string& text, size_t limit) { return text.size() <= limit; }

// "组的名称、编辑和备注不能含有 GBK 无法表示的字符。"
const char* GroupTextNoGbkFormMessage();

// "请输入不多于 %1 个的字符。" with %1 the limit in decimal.
std::string LimitMessage(size_t limit);

// Copies `text` with its terminator into a fixed field of `width` bytes and
// zeroes the rest of the field. Returns false, leaving the field untouched,
// when the text does not fit.
bool StoreFieldText(char* field, size_t width, const std::string& text);

// The text of a fixed field is read with FieldText (GbkText.h).
