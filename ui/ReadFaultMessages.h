// Why a dictionary could not be read, in Chinese for the editor's messages:
// the readers' faults (ReadFault.h) worded as ReadFaultText words them for
// wbk in English.
#pragma once

#include <string>

struct tagREADFAULT;

// One sentence, such as "文件只有 3008 字节，少于文件头所写的 5444 字节。".
// Format marks and encodings are named as written (UTF-16, YAML, biptbdsw).
std::string ReadFaultChinese(const tagREADFAULT& fault);
