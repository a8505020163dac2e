#include "LibraryMessages.h"

#include <cerrno>
#include <cstdio>

#include "DictImport.h"
#include "GbkSource.h"
#include "ImportStats.h"
#include "LoadReport.h"
#include "ReadFaultMessages.h"
#include "SaveError.h"
#include "TextScan.h"

namespace {

const char* DamageText(int nDamage) {
  switch (nDamage) {
    case DAMAGE_GROUP_TABLE:
      return "分组表不完整";
    case DAMAGE_TRUNCATED:
      return "文件不完整";
    case DAMAGE_PHRASE_BYTES:
      return "词条与词条区的长度不符";
    case DAMAGE_INDEX:
      return "词条索引与词条不符";
    case DAMAGE_TRAILING:
      return "索引之后有多余的数据";
    default:
      return "文件内容自相矛盾";
  }
}

std::string Number(unsigned long long n) {
  char text[32];
  std::snprintf(text, sizeof text, "%llu", n);
  return text;
}

// 1414 -> "1,414".
std::string Grouped(unsigned long long n) {
  std::string digits = Number(n);
  for (size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, ",");
  return digits;
}

// A name after Chinese text: a blank before one that starts in Latin letters
// ("的 Rime 词典", "的搜狗细胞词库").
std::string AfterChinese(const char* pszName) {
  const bool bLatin = (pszName[0] | 0x20) >= 'a' && (pszName[0] | 0x20) <= 'z';
  return (bLatin ? " " : "") + std::string(pszName);
}

// Phrases and lines an import skipped, whatever the reason.
unsigned long long SkippedTotal(const tagIMPORTSTATS& stats) {
  return 0ull + stats.nDuplicate + stats.nOutOfRange + stats.nTooLong + stats.nNoGbkForm +
         stats.nUndecodable + stats.nControlOrEmpty;
}

}  // namespace

std::string LibraryStatusText(bool bSaved, const std::string& strName, uint32_t nGroups,
                              uint32_t nPhrases) {
  return std::string(bSaved ? "已保存 " : "已载入 ") + strName + "：" + Grouped(nGroups) +
         " 个组，" + Grouped(nPhrases) + " 个词条";
}

std::string ImportStatusText(const std::string& strFile, const tagIMPORTSTATS& stats) {
  std::string text = strFile + "：已导入 " + Grouped(stats.nAdded) + " 条";
  const std::string skipped = ImportSkippedCounts(stats);
  if (!skipped.empty()) text += "；跳过 " + Grouped(SkippedTotal(stats)) + " 条：" + skipped;
  if (stats.nFreqReduced != 0)
    text += "；词频超出 0 到 250 的 " + Grouped(stats.nFreqReduced) + " 条已缩减";
  return text + "；" + SourceEncodingText(stats.nEncoding) + " 编码的" +
         AfterChinese(DictFormatText(stats.nFormat));
}

const char* DictFormatText(int nFormat) {
  switch (nFormat) {
    case DICT_FORMAT_TEXT:
      return "文本列表";
    case DICT_FORMAT_SCEL:
      return "搜狗细胞词库";
    case DICT_FORMAT_BDICT:
      return "百度细胞词库";
    case DICT_FORMAT_QPYD:
      return "QQ拼音词库";
    case DICT_FORMAT_RIME:
      return "Rime 词典";
    case DICT_FORMAT_COLUMNS:
      return "分列词表";
    default:
      return "词库";
  }
}

const char* SourceEncodingText(int nEncoding) {
  switch (nEncoding) {
    case SOURCE_GBK:
      return "GBK";
    case SOURCE_UTF8:
      return "UTF-8";
    case SOURCE_UTF16LE:
      return "UTF-16 LE";
    case SOURCE_UTF16BE:
      return "UTF-16 BE";
    default:
      return "未知";
  }
}

std::string LoadOutcomeMessage(const tagLOADREPORT& report) {
  std::string text;
  if (report.nStatus == LOAD_DAMAGED) {
    text = std::string("词库文件已损坏（") + DamageText(report.nDamage) + "）。文件中应有 " +
           Number(report.nAnnounced) + " 个词条，恢复了 " + Number(report.nKept) +
           " 个。\n请将恢复的词库另存为新文件，不要覆盖原文件。";
  }
  struct {
    unsigned long long n;
    const char* pszWhy;
  } const drops[] = {{report.nDropDuplicate, "重复的词条"},
                     {report.nDropNoGroup, "所属分组不存在的词条"},
                     {report.nDropBadLength, "长度错误的词条"},
                     {report.nDropDamaged, "损坏的词条"}};
  std::string dropped;
  for (const auto& d : drops) {
    if (d.n == 0) continue;
    dropped += dropped.empty() ? "" : "，";
    dropped += d.pszWhy + std::string(" ") + Number(d.n) + " 个";
  }
  if (!dropped.empty()) {
    if (!text.empty()) text += "\n";
    text += "载入时略去了" + dropped + "。";
  }
  return text;
}

const char* SaveFailedReason(int nSaveError) {
  const char* pszWhy;
  switch (nSaveError) {
    case SAVE_ERROR_NO_SPACE:
      pszWhy = "磁盘空间不足。";
      break;
    case SAVE_ERROR_NO_PERMISSION:
      pszWhy = "没有写入的权限。";
      break;
    case SAVE_ERROR_READ_ONLY:
      pszWhy = "文件或磁盘是只读的。";
      break;
    case SAVE_ERROR_NOT_REGULAR:
      pszWhy = "目标不是普通文件。";
      break;
    case SAVE_ERROR_HARD_LINKS:
      pszWhy = "文件有多个硬链接，保存会使它们断开。";
      break;
    case SAVE_ERROR_NO_FOLDER:
      pszWhy = "文件夹不存在。";
      break;
    case SAVE_ERROR_INVALID:
      pszWhy = "词库的分组或词条数超出了文件格式的范围。";
      break;
    case SAVE_ERROR_BAD_NAME:
      pszWhy = "文件名无效。";
      break;
    default:
      pszWhy = "读写文件时出错。";
      break;
  }
  return pszWhy;
}

std::string LoadFailedMessage(const char* pszFirst, const std::string& strName,
                              const tagLOADREPORT& report) {
  const char* pszWhy = "无法读取这个文件。";
  switch (report.nStatus) {
    case LOAD_UNREADABLE:
      if (report.nOpenError == ENOENT) pszWhy = "文件不存在。";
      if (report.nOpenError == EACCES || report.nOpenError == EPERM)
        pszWhy = "没有读取这个文件的权限，或者它正被别的程序独占。";
      break;
    case LOAD_NOT_REGULAR:
      pszWhy = "这不是一个文件，而是文件夹或设备。";
      break;
    case LOAD_NOT_LIBRARY:
      pszWhy = "这不是青柚词库文件。";
      break;
    case LOAD_NO_MEMORY:
      pszWhy = "内存不足，无法载入这个词库。";
      break;
    default:
      break;
  }
  return std::string(pszFirst) + "\n" + strName + "\n" + pszWhy;
}

const char* SaveChangesQuestion() { return "词库已修改，是否保存？"; }

std::string SaveFailedMessage(int nSaveError) {
  return std::string("保存失败\n") + SaveFailedReason(nSaveError);
}

std::string ImportSkippedMessage(uint32_t nNoGbkForm, uint32_t nUndecodable, bool bEntries) {
  if (nNoGbkForm == 0 && nUndecodable == 0) return std::string();
  const char* unit = bEntries ? " 个词条" : " 行";
  std::string text = "导入时跳过了 ";
  if (nNoGbkForm != 0) text += std::to_string(nNoGbkForm) + unit + "含有 GBK 无法表示的字符";
  if (nNoGbkForm != 0 && nUndecodable != 0) text += "，";
  if (nUndecodable != 0) text += std::to_string(nUndecodable) + unit + "无法解码";
  return text + "。";
}

std::string DictionaryFailedMessage(int nFormat, const std::string& strFile,
                                    const tagREADFAULT& fault) {
  // A phrase list is never refused as damaged: only dictionaries are.
  const char* kind = nFormat == DICT_FORMAT_TEXT ? "词库" : DictFormatText(nFormat);
  return "导入失败：" + strFile + " 不是可以读取的" + AfterChinese(kind) +
         "，没有添加任何词条。\n" + ReadFaultChinese(fault);
}

std::string NotTextMessage(const std::string& strFile, int nFault, uint32_t nLine, uint8_t byByte) {
  std::string why;
  if (nFault == TEXT_FAULT_NUL) {
    why = "第 " + Number(nLine) + " 行含有 NUL 字节";
  } else if (nFault == TEXT_FAULT_CONTROL) {
    char byte[8];
    std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned>(byByte));
    why = "第 " + Number(nLine) + " 行含有控制字符 " + byte;
  } else {
    why = "大部分内容既不是 UTF-8 也不是 GBK 编码的文字";
  }
  return "导入失败：" + strFile + " 不是文本文件（" + why + "），没有添加任何词条。";
}

std::string ImportSkippedCounts(const tagIMPORTSTATS& stats) {
  const struct {
    uint32_t n;
    const char* pszWhy;
  } reasons[] = {{stats.nDuplicate, "重复"},       {stats.nOutOfRange, "超出词频范围"},
                 {stats.nTooLong, "过长"},         {stats.nNoGbkForm, "无 GBK 字形"},
                 {stats.nUndecodable, "无法解码"}, {stats.nControlOrEmpty, "空白或含控制字符"}};
  std::string text;
  for (const auto& r : reasons) {
    if (r.n == 0) continue;
    if (!text.empty()) text += "，";
    text += r.pszWhy + std::string(" ") + Grouped(r.n);
  }
  return text;
}

std::string NothingImportedMessage(const tagIMPORTSTATS& stats, bool bNewGroup) {
  std::string text = bNewGroup ? "没有导入任何词条，没有新建组。" : "没有导入任何词条。";
  const std::string skipped = ImportSkippedCounts(stats);
  if (skipped.empty()) return text + "\n文件中没有词条。";
  return text + "\n跳过 " + Grouped(SkippedTotal(stats)) + " 条：" + skipped;
}
