// The wbk command line: one command per task, each an entry of the table
// below (CommandTable.h), parsed by the grammar they share (CommandLine.h).
#include <iterator>

#include "CommandTable.h"
#include "Commands.h"
#include "Warnings.h"

namespace {

// The commands, in the order the help lists them. A new command adds its
// command's address here (and its declaration in CommandTable.h).
const tagCOMMANDDEF* const kCommands[] = {
    &kInfoCommand,     &kImportCommand,  &kExportCommand, &kCheckCommand,
    &kMergeCommand,    &kFindCommand,    &kRemoveCommand, &kDeleteGroupCommand,
    &kSetGroupCommand, &kSetFreqCommand, &kDiffCommand,   &kStatsCommand,
};

int RunCommand(const tagCLICONTEXT& ctx, int argc, const char* const* argv) {
  const tagCOMMANDDEF* command = nullptr;
  CCommandLine line;
  const int parsed =
      ParseCommandLine(ctx, kCommands, std::size(kCommands), argc, argv, &command, &line);
  if (parsed == PARSE_HELP) return EXIT_DONE;
  if (parsed != PARSE_RUN) return EXIT_FAILED;
  // The command's own context: --quiet, and warnings counted by kind.
  tagCLICONTEXT run = ctx;
  run.bQuiet = ctx.bQuiet || line.Has("--quiet");
  run.bProgress = ctx.bProgress && !run.bQuiet;
  CWarnings warnings(ctx.pErr, run.bQuiet);
  run.pWarnings = &warnings;
  const int status = command->funRun(run, line);
  warnings.Summarise();
  return status;
}

}  // namespace

int RunWbk(const tagCLICONTEXT& ctx, int argc, const char* const* argv) {
  int status = RunCommand(ctx, argc, argv);
  // Results that never reached their reader are a failure whatever the
  // command made of its work, and the stream may have held them back until
  // now. A command that failed has said why already (export names a failed
  // write itself).
  if (!ctx.pOut->flush()) {
    if (status != EXIT_FAILED) *ctx.pErr << "error: cannot write to the standard output\n";
    return EXIT_FAILED;
  }
  return status;
}
