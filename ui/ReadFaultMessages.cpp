#include "ReadFaultMessages.h"

#include "ReadFault.h"

namespace {

std::string N(uint64_t n) { return std::to_string(n); }

// A .bdict's two tables, as the faults number them.
const char* Table(uint64_t nTable) { return nTable == 0 ? "词条表" : "第二个词条表"; }

std::string Bytes(uint64_t nStart, uint64_t nEnd) {
  return "（第 " + N(nStart) + " 到 " + N(nEnd) + " 字节）";
}

std::string Body(uint64_t nAt) { return "第 " + N(nAt) + " 字节起的压缩数据"; }

}  // namespace

std::string ReadFaultChinese(const tagREADFAULT& fault) {
  const uint64_t* n = fault.arrNumbers;
  const std::string strPastFile = "超出了文件末尾。";
  const std::string strUtf16Mark = "文件以 UTF-16 字节顺序标记开头，";
  switch (fault.nCode) {
    case READ_FAULT_TOO_LARGE:
      return "文件有 " + N(n[0]) + " 字节，超过了词库文件的上限（" + N(n[1]) + " 字节）。";
    case READ_FAULT_NOT_DICTIONARY:
      return "这不是可以读取的词库格式。";
    case READ_FAULT_RIME_UTF16_MARK:
      return strUtf16Mark + "而 Rime 词典应为 UTF-8 编码。";
    case READ_FAULT_LIST_UTF16_MARK:
      return strUtf16Mark + "而分列词表按 UTF-8 编码读取。";
    case READ_FAULT_NO_SCEL_MARK:
      return "文件开头不是搜狗细胞词库的标记 40 15 00 00。";
    case READ_FAULT_NO_BDICT_MARK:
      return "文件开头不是百度细胞词库的标记“biptbdsw”。";
    case READ_FAULT_SHORT_HEADER:
      return "文件只有 " + N(n[0]) + " 字节，少于文件头所写的 " + N(n[1]) + " 字节。";
    case READ_FAULT_PINYIN_ENTRY_CUT:
      return "拼音表中位于第 " + N(n[0]) + " 字节的条目" + strPastFile;
    case READ_FAULT_WORD_GROUP_CUT:
      return "第 " + N(n[0]) + " 个词组（共 " + N(n[1]) + " 个，位于第 " + N(n[2]) + " 字节）" +
             strPastFile;
    case READ_FAULT_WORD_CUT:
    case READ_FAULT_ENTRY_PAST_FILE:
      return "位于第 " + N(n[0]) + " 字节的词条" + strPastFile;
    case READ_FAULT_TABLE_IN_HEADER:
      return std::string(Table(n[0])) + "从第 " + N(n[1]) + " 字节开始，落在文件头（" + N(n[2]) +
             " 字节）之内。";
    case READ_FAULT_TABLE_PAST_END:
      return Table(n[0]) + Bytes(n[1], n[2]) + "超出了文件末尾（文件共 " + N(n[3]) + " 字节）。";
    case READ_FAULT_TABLES_OVERLAP:
      return Table(0) + Bytes(n[0], n[1]) + "与" + Table(1) + Bytes(n[2], n[3]) + "重叠。";
    case READ_FAULT_ENTRY_PAST_TABLE:
      return "位于第 " + N(n[0]) + " 字节的词条超出了" + Table(n[1]) + Bytes(n[2], n[3]) +
             "的末尾。";
    case READ_FAULT_FEWER_ENTRIES:
      return "词条表只有 " + N(n[0]) + " 个词条，文件头却写有 " + N(n[1]) + " 个。";
    case READ_FAULT_QPYD_SHORT_HEADER:
      return "文件只有 " + N(n[0]) + " 字节，少于 QQ拼音词库文件头的 " + N(n[1]) + " 字节。";
    case READ_FAULT_QPYD_BODY_OFFSET:
      return "第 " + N(n[0]) + " 字节所写的正文位置（" + N(n[1]) + "）不在文件头之后、文件的 " +
             N(n[2]) + " 字节之内。";
    case READ_FAULT_QPYD_ENTRY_COUNT:
      return "第 " + N(n[0]) + " 字节所写的词条数（" + N(n[1]) + "）多于 " + N(n[2]) +
             " 字节的文件所能容纳的。";
    case READ_FAULT_INFLATE_START:
      return "无法开始解压" + Body(n[0]) + "。";
    case READ_FAULT_INFLATE_TOO_LARGE:
      return Body(n[0]) + "解压后超过 " + N(n[1]) + " 字节。";
    case READ_FAULT_INFLATE_CUT:
      return Body(n[0]) + "在结束之前就中断了。";
    case READ_FAULT_INFLATE_DAMAGED:
      return Body(n[0]) + "已损坏。";
    case READ_FAULT_QPYD_INDEX_SHORT:
      return "解压后的正文（" + N(n[0]) + " 字节，自第 " + N(n[1]) + " 字节起）容不下 " + N(n[2]) +
             " 个词条的索引。";
    case READ_FAULT_QPYD_TEXT_PAST_BODY:
      return "索引的第 " + N(n[0]) + " 项（正文第 " + N(n[1]) + " 字节）把词条放在第 " + N(n[2]) +
             " 字节，超出了正文的 " + N(n[3]) + " 字节。";
    case READ_FAULT_RIME_HEADER_OPEN:
      return "从第 " + N(n[0]) + " 行开始的 YAML 文件头直到文件末尾都没有结束行“...”。";
    case READ_FAULT_RIME_LINE_FIRST:
      return "第 " + N(n[0]) + " 行出现在 Rime 词典开头的 YAML 文件头（“---”行）之前。";
    case READ_FAULT_RIME_NO_HEADER:
      return "文件没有 Rime 词典开头的 YAML 文件头（“---”行）。";
    case READ_FAULT_RIME_NO_TEXT_COLUMN:
      return "文件头第 " + N(n[0]) + " 行所列的各列中没有词条所在的列。";
    default:
      return "无法读取这个文件。";
  }
}
