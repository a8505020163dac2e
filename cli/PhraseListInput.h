// A phrase list given to a wbk command (the texts to remove, the frequencies
// to set), read with the import's encodings and line rules.
#pragma once

#include <string>
#include <vector>

#include "CliContext.h"

struct tagLISTEDPHRASE {
  std::string strText;  // GBK: the line up to its first blank or tab
  std::string strRest;  // what follows the blanks after the text (the frequency field)
};

// The phrase lines of the list in their order: comment and header lines are
// passed over, so that an exported list can be given. False, with an error
// written, when the list cannot be read; lines with characters GBK lacks are
// left out with a warning. "-" reads the standard input.
bool ReadPhraseList(const tagCLICONTEXT& ctx, const std::string& path,
                    std::vector<tagLISTEDPHRASE>* pList);
