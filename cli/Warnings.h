// Warnings as every command writes them: "warning: ..." on the error stream,
// none with --quiet, and of each kind only the first few; the others are
// counted and summed up in one line when the command ends, so that a list of
// 200,000 bad lines costs a few lines of output, not 200,000.
#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <string>

#include "CliContext.h"

enum : uint32_t { WARNINGS_SHOWN_PER_KIND = 5 };

class CWarnings {
 public:
  CWarnings(std::ostream* pErr, bool bQuiet) : m_pErr(pErr), m_bQuiet(bQuiet) {}

  // text: the warning after "warning: ", without the line end (it may hold
  // further lines, indented). kind: what the summary line calls them.
  void Write(const char* kind, const std::string& text);
  // Counts one warning of the kind; true when it is to be written.
  bool Count(const char* kind);
  // "warning: N more KIND warnings not shown", for each kind cut short.
  void Summarise();
  uint64_t GetCount() const { return m_nTotal; }

 private:
  std::ostream* m_pErr;
  bool m_bQuiet;
  uint64_t m_nTotal = 0;
  std::map<std::string, uint64_t> m_mapCounts;
};

// Through ctx.pWarnings, or written at once when a command runs without one.
void Warn(const tagCLICONTEXT& ctx, const char* kind, const std::string& text);

// The same for a warning that may come by the hundred thousand: its text is
// only made when it is written.
template <typename MakeText>
void WarnLazily(const tagCLICONTEXT& ctx, const char* kind, MakeText makeText) {
  const bool shown = ctx.pWarnings != nullptr ? ctx.pWarnings->Count(kind) : !ctx.bQuiet;
  if (shown) *ctx.pErr << "warning: " << makeText() << "\n";
}
