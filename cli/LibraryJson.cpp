#include "LibraryJson.h"

#include "GbkText.h"
#include "Tabrix.h"

void SetJsonText(CJson& obj, const char* key, const std::string& gbk) {
  obj[key] = JsonTextGbk(gbk);
  if (!GbkHasUnicodeForm(gbk)) obj[std::string(key) + "_bytes"] = HexBytes(gbk);
}

void SetJsonField(CJson& obj, const char* key, const char* field, size_t width) {
  SetJsonText(obj, key, FieldText(field, width));
}

CJson GroupJson(CTabrix& lib, uint32_t g) {
  const tagGROUPINFO* info = lib.GetGroup(g);
  CJson group;
  group["index"] = g;
  SetJsonField(group, "name", info->szName, sizeof info->szName);
  SetJsonField(group, "editor", info->szEditor, sizeof info->szEditor);
  SetJsonField(group, "remark", info->szRemark, sizeof info->szRemark);
  group["ticked"] = info->bEnable != 0;
  group["phrase_count"] = info->dwCount;
  return group;
}

CJson PhraseJson(const std::string& gbk, uint8_t byFreq, uint8_t byGroup) {
  CJson phrase;
  SetJsonText(phrase, "text", gbk);
  phrase["frequency"] = byFreq;
  phrase["group"] = byGroup;
  return phrase;
}

std::string PhraseJsonText(const std::string& gbk, uint8_t byFreq, uint8_t byGroup) {
  if (!GbkHasUnicodeForm(gbk)) return JsonDump(PhraseJson(gbk, byFreq, byGroup));
  return "{\"text\":" + JsonQuoteGbk(gbk) + ",\"frequency\":" + std::to_string(byFreq) +
         ",\"group\":" + std::to_string(byGroup) + "}";
}

CJson CommandJson(const char* command) {
  CJson json;
  json["command"] = command;
  return json;
}

void SetLibraryJson(CJson& obj, CTabrix& lib) {
  obj["group_count"] = lib.GetGroupCount();
  obj["phrase_count"] = lib.GetPhraseTotal();
  CJson groups = CJson::array();
  for (uint32_t g = 0; g < lib.GetGroupCount(); ++g) groups.push_back(GroupJson(lib, g));
  obj["groups"] = std::move(groups);
}
