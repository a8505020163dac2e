// The texts of the phrase window and of the group commands: captions,
// questions before a deletion, and why an edit was refused. GBK.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// "词条 - <scope>（共 N 条）", and "，找到 M 条" inside the brackets while a
// find text filters the rows. The scope is a group's name, or "整个词库".
std::string PhraseWindowCaption(const std::string& strScope, uint32_t nTotal, bool bFiltered,
                                uint32_t nShown);
// The scope of the whole library in the caption.
const char* WholeLibraryScope();
// The delete question names this many phrases at most.
enum : uint32_t { DELETE_QUESTION_NAMES = 5 };
// "确实要删除选定的 N 个词条“<text>”、“<text>”吗？", the texts being the first
// of the N (at most DELETE_QUESTION_NAMES are named, "等" after them when
// there are more).
std::string DeletePhrasesQuestion(uint32_t nCount, const std::vector<std::string>& arrFirst);
// "添加到组“<name>”": the label that says where "添加" puts a phrase.
std::string AddTargetLabel(const std::string& strGroup);
// "确实要删除组“<name>”及其 N 个词条吗？后面的组将依次上移。"
std::string DeleteGroupQuestion(const std::string& strName, uint32_t nCount);
// "词条“<text>”已在组“<name>”中。"
std::string PhraseExistsMessage(const std::string& strText, const std::string& strGroup);
// "词条不能超过 30 个字节（15 个汉字）。"
const char* PhraseTooLongMessage();
// "请输入要添加的词条。"
const char* PhraseEmptyMessage();
// "词条不能含有空格、制表符或换行。"
const char* PhraseBlankMessage();
// "词频应为 0 到 250 之间的整数。"
const char* FrequencyInvalidMessage();
// "词条含有 GBK 无法表示的字符。"
const char* PhraseNoGbkFormMessage();
// "词频范围应为 0 到 250 之间的整数。"
const char* FrequencyRangeInvalidMessage();
// "请先在列表中选择一个组。"
const char* NoGroupMarkedMessage();
// "请选择要移到的组。"
const char* NoTargetGroupMessage();
// "一次只能载入一个词库文件。"
const char* OneLibraryAtATimeMessage();
// "请先选定词条。"
const char* NoPhraseSelectedMessage();
// "内存不足，这次操作没有完成。"
const char* EditFailedMessage();
// Why a new group could not be made, one message per reason: the library
// holds nGroups, 127 or more: "无法新建组：组数已满（最多 127 个组）。"; the
// name of nNameBytes does not fit its field: "无法新建组：文件名太长。";
// otherwise memory ran out (EditFailedMessage()).
const char* NewGroupFailedMessage(uint32_t nGroups, size_t nNameBytes);
// "导出完成：N 个词条。", then a line for phrases the text format cannot carry
// or that import as 250, when there are any.
std::string ExportDoneMessage(uint32_t nWritten, uint32_t nLeftOut, uint32_t nHighFreq);
// "导出失败" followed by the reason on a line of its own.
std::string ExportFailedMessage(int nSaveError);
