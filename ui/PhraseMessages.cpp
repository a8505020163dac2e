#include "PhraseMessages.h"

#include <cstdio>

#include "LibraryMessages.h"
#include "PhraseRecords.h"

namespace {

std::string Number(uint32_t n) {
  char text[16];
  std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(n));
  return text;
}

}  // namespace

std::string PhraseWindowCaption(const std::string& strScope, uint32_t nTotal, bool bFiltered,
                                uint32_t nShown) {
  std::string caption = "词条 - " + strScope + "（共 " + Number(nTotal) + " 条";
  if (bFiltered) caption += "，找到 " + Number(nShown) + " 条";
  return caption + "）";
}

const char* WholeLibraryScope() { return "整个词库"; }

std::string DeletePhrasesQuestion(uint32_t nCount, const std::vector<std::string>& arrFirst) {
  std::string question = "确实要删除选定的 " + Number(nCount) + " 个词条";
  const size_t nNamed =
      arrFirst.size() < DELETE_QUESTION_NAMES ? arrFirst.size() : size_t{DELETE_QUESTION_NAMES};
  for (size_t i = 0; i < nNamed; ++i) question += (i ? "、“" : "“") + arrFirst[i] + "”";
  if (nNamed > 0 && nCount > nNamed) question += "等";
  return question + "吗？";
}

std::string AddTargetLabel(const std::string& strGroup) { return "添加到组“" + strGroup + "”"; }

std::string DeleteGroupQuestion(const std::string& strName, uint32_t nCount) {
  return "确实要删除组“" + strName + "”及其 " + Number(nCount) + " 个词条吗？后面的组将依次上移。";
}

std::string PhraseExistsMessage(const std::string& strText, const std::string& strGroup) {
  return "词条“" + strText + "”已在组“" + strGroup + "”中。";
}

const char* PhraseTooLongMessage() { return "词条不能超过 30 个字节（15 个汉字）。"; }

const char* PhraseEmptyMessage() { return "请输入要添加的词条。"; }

const char* PhraseBlankMessage() { return "词条不能含有空格、制表符或换行。"; }

const char* FrequencyInvalidMessage() { return "词频应为 0 到 250 之间的整数。"; }

const char* PhraseNoGbkFormMessage() { return "词条含有 GBK 无法表示的字符。"; }

const char* NoTargetGroupMessage() { return "请选择要移到的组。"; }

const char* OneLibraryAtATimeMessage() { return "一次只能载入一个词库文件。"; }

const char* NoPhraseSelectedMessage() { return "请先选定词条。"; }

const char* EditFailedMessage() { return "内存不足，这次操作没有完成。"; }

const char* NewGroupFailedMessage(uint32_t nGroups, size_t nNameBytes) {
  if (nGroups >= TABRIX_MAX_GROUPS) return "无法新建组：组数已满（最多 127 个组）。";
  if (nNameBytes >= TABRIX_NAME_FIELD) return "无法新建组：文件名太长。";
  return EditFailedMessage();
}

std::string ExportDoneMessage(uint32_t nWritten, uint32_t nLeftOut, uint32_t nHighFreq) {
  std::string text = "导出完成：" + Number(nWritten) + " 个词条。";
  if (nLeftOut) text += "\n" + Number(nLeftOut) + " 个词条无法写成文本行，没有导出。";
  if (nHighFreq) text += "\n" + Number(nHighFreq) + " 个词条的词频超过 250，导入时按 250 计。";
  return text;
}

std::string ExportFailedMessage(int nSaveError) {
  return std::string("导出失败\n") + SaveFailedReason(nSaveError);
}

const char* FrequencyRangeInvalidMessage() { return "词频范围应为 0 到 250 之间的整数。"; }

const char* NoGroupMarkedMessage() { return "请先在列表中选择一个组。"; }
