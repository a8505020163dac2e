#include "ProgressBar.h"

#include <ostream>

namespace {
const int kBarWidth = 30;
}  // namespace

CProgressBar::CProgressBar(const tagCLICONTEXT& ctx, const std::string& label,
                           std::chrono::milliseconds quietTime)
    : m_ctx(ctx),
      m_strLabel(label),
      m_nTotal(0),
      m_nShownPercent(-1),
      m_quietTime(quietTime),
      m_start(std::chrono::steady_clock::now()) {}

CProgressBar::~CProgressBar() { End(); }

void CProgressBar::Begin(uint64_t total) {
  m_nTotal = total;
  m_start = std::chrono::steady_clock::now();
}

void CProgressBar::Update(uint64_t done) {
  if (!m_ctx.bProgress || m_nTotal == 0) return;
  if (done > m_nTotal) done = m_nTotal;
  int percent = static_cast<int>(done * 100 / m_nTotal);
  if (percent == m_nShownPercent) return;
  if (m_nShownPercent < 0 && std::chrono::steady_clock::now() - m_start < m_quietTime) return;
  m_nShownPercent = percent;
  int filled = percent * kBarWidth / 100;
  std::string bar = "\r" + m_strLabel + " [" + std::string(filled, '#') +
                    std::string(kBarWidth - filled, ' ') + "] " + std::to_string(percent) + "%";
  *m_ctx.pErr << bar << std::flush;
}

void CProgressBar::End() {
  if (m_nShownPercent < 0) return;
  size_t width = m_strLabel.size() + kBarWidth + 8;
  *m_ctx.pErr << '\r' << std::string(width, ' ') << '\r' << std::flush;
  m_nShownPercent = -1;
}

void CProgressBar::OnLibraryProgress(int32_t stage, int32_t value, void* data) {
  CProgressBar* bar = static_cast<CProgressBar*>(data);
  if (stage == 0) {
    bar->Begin(value > 0 ? static_cast<uint64_t>(value) : 0);
  } else if (stage == 1) {
    bar->Update(static_cast<uint64_t>(value) + 1);
  } else {
    bar->End();
  }
}
