#include "Warnings.h"

bool CWarnings::Count(const char* kind) {
  ++m_nTotal;
  const uint64_t n = ++m_mapCounts[kind];
  return !m_bQuiet && n <= WARNINGS_SHOWN_PER_KIND;
}

void CWarnings::Write(const char* kind, const std::string& text) {
  if (Count(kind)) *m_pErr << "warning: " << text << "\n";
}

void CWarnings::Summarise() {
  if (m_bQuiet) return;
  for (const auto& kind : m_mapCounts) {
    if (kind.second <= WARNINGS_SHOWN_PER_KIND) continue;
    *m_pErr << "warning: " << kind.second - WARNINGS_SHOWN_PER_KIND << " more \"" << kind.first
            << "\" warnings not shown\n";
  }
  m_mapCounts.clear();
}

void Warn(const tagCLICONTEXT& ctx, const char* kind, const std::string& text) {
  if (ctx.pWarnings != nullptr) {
    ctx.pWarnings->Write(kind, text);
  } else if (!ctx.bQuiet) {
    *ctx.pErr << "warning: " << text << "\n";
  }
}
