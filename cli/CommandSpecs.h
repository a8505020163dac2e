// The commands of wbk, each defined in its own file (see CommandLine.h for
// how a command is added); WbkApp.cpp lists them in the order of the help.
#pragma once

#include "CommandLine.h"

extern const tagCOMMANDSPEC kInfoCommand;
extern const tagCOMMANDSPEC kImportCommand;
extern const tagCOMMANDSPEC kExportCommand;
extern const tagCOMMANDSPEC kCheckCommand;
extern const tagCOMMANDSPEC kMergeCommand;
extern const tagCOMMANDSPEC kFindCommand;
extern const tagCOMMANDSPEC kRemoveCommand;
extern const tagCOMMANDSPEC kDeleteGroupCommand;
