#include "GroupPropLogic.h"

#include <cstring>

std::string LimitMessage(size_t limit) {
  std::string message = "请输入不多于 %1 个的字符。";
  const size_t at = message.find("%1");
  message.replace(at, 2, std::to_string(limit));
  return message;
}

bool StoreFieldText(char* field, size_t width, const std::string& text) {
  if (text.size() + 1 > width) return false;
  std::memcpy(field, text.data(), text.size());
  std::memset(field + text.size(), 0, width - text.size());
  return true;
}

const char* GroupTextNoGbkFormMessage() {
  return "组的名称、编辑和备注不能含有 GBK 无法表示的字符。";
}
