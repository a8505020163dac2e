// The commands of wbk, each defined in its own file (see CommandLine.h for
// how a command is added); WbkApp.cpp lists them in the order of the help.
#pragma once

#include "CommandLine.h"

extern const tagCOMMANDDEF kInfoCommand;
extern const tagCOMMANDDEF kImportCommand;
extern const tagCOMMANDDEF kExportCommand;
extern const tagCOMMANDDEF kCheckCommand;
extern const tagCOMMANDDEF kMergeCommand;
extern const tagCOMMANDDEF kFindCommand;
extern const tagCOMMANDDEF kRemoveCommand;
extern const tagCOMMANDDEF kDeleteGroupCommand;
extern const tagCOMMANDDEF kSetGroupCommand;
extern const tagCOMMANDDEF kSetFreqCommand;
extern const tagCOMMANDDEF kDiffCommand;
extern const tagCOMMANDDEF kStatsCommand;
