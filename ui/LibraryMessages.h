// The editor's messages after a load or a save that did not simply work:
// what a damaged file lost, what a load left out, why a save failed, which
// lines of a phrase list an import left out.
#pragma once

#include <cstdint>
#include <string>

struct tagIMPORTSTATS;
struct tagLOADREPORT;
struct tagREADFAULT;

// One message for a load that returned a library: damage and the records
// left out, by reason. Empty for a whole file with nothing left out.
std::string LoadOutcomeMessage(const tagLOADREPORT& report);
// A load that returned no library: pszFirst ("载入词库失败！"), then the
// file's name and why on lines of their own.
std::string LoadFailedMessage(const char* pszFirst, const std::string& strName,
                              const tagLOADREPORT& report);
// Why a save failed, in a sentence: "磁盘空间不足。", ...
const char* SaveFailedReason(int nSaveError);
// The status bar after a load (bSaved false) or a save:
// "已载入 <name>：N 个组，M 个词条" / "已保存 <name>：…".
std::string LibraryStatusText(bool bSaved, const std::string& strName, uint32_t nGroups,
                              uint32_t nPhrases);
// The status bar after an import of the file strFile: "<file>：已导入 N 条",
// then "；跳过 M 条：" and each reason with its count ("重复 1,401，超出词频范围
// 6，过长 4，…") when any line was left out, "；词频超出 0 到 250 的 K 条已缩减"
// when the line rules brought frequencies into range, and how the file was
// read: "；UTF-8 编码的 Rime 词典". Counts above 999 are grouped by commas.
std::string ImportStatusText(const std::string& strFile, const tagIMPORTSTATS& stats);
// A format of DictFormat.h for the user: "文本列表", "搜狗细胞词库", ...
const char* DictFormatText(int nFormat);
// An encoding of GbkSource.h for the user: "GBK", "UTF-16 LE", ...
const char* SourceEncodingText(int nEncoding);
// "词库已修改，是否保存？": asked before modified work would be dropped.
const char* SaveChangesQuestion();
// "保存失败" followed by the reason on a line of its own.
std::string SaveFailedMessage(int nSaveError);
// One message for what an import left out before its checks: lines of a
// phrase list, or entries of a dictionary (bEntries), holding a character GBK
// cannot represent, or not decodable. Empty when none.
std::string ImportSkippedMessage(uint32_t nNoGbkForm, uint32_t nUndecodable, bool bEntries = false);
// A dictionary that could not be read: its format, the file and, on a line
// of its own, what was wrong (ReadFaultChinese).
std::string DictionaryFailedMessage(int nFormat, const std::string& strFile,
                                    const tagREADFAULT& fault);
// A file that is no text, refused by the import: the file and why (a
// TextFault, the line it shows in and the control byte found there).
std::string NotTextMessage(const std::string& strFile, int nFault, uint32_t nLine, uint8_t byByte);
// What an import skipped, by reason, the counts grouped by thousands:
// "重复 1,401，超出词频范围 6，过长 4，无 GBK 字形 3"; empty when nothing was.
std::string ImportSkippedCounts(const tagIMPORTSTATS& stats);
// An import that added no phrase: that nothing was imported (and, for a new
// group, that no group was made), then why.
std::string NothingImportedMessage(const tagIMPORTSTATS& stats, bool bNewGroup);
