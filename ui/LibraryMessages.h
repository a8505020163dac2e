// The editor's messages after a load or a save that did not simply work:
// what a damaged file lost, what a load left out, why a save failed.
#pragma once

#include <string>

struct tagLOADREPORT;

// One message for a load that returned a library: damage and the records
// left out, by reason. Empty for a whole file with nothing left out.
std::string LoadOutcomeMessage(const tagLOADREPORT& report);
// "保存失败" followed by the reason on a line of its own.
std::string SaveFailedMessage(int nSaveError);
