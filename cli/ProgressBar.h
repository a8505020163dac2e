// A one-line progress bar on the error stream, drawn only when that stream is
// a terminal and only once the work has run for a moment, so short commands
// and scripts never see it.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "CliContext.h"

class CProgressBar {
 public:
  // Nothing is drawn before quietTime has passed since Begin.
  CProgressBar(const tagCLICONTEXT& ctx, const std::string& label,
               std::chrono::milliseconds quietTime = std::chrono::milliseconds(400));
  ~CProgressBar();
  CProgressBar(const CProgressBar&) = delete;
  CProgressBar& operator=(const CProgressBar&) = delete;

  void Begin(uint64_t total);
  void Update(uint64_t done);
  void End();  // clears the line when something was drawn

  // Adapters for the library's load/save callback and the import's progress.
  static void OnLibraryProgress(int32_t stage, int32_t value, void* data);

 private:
  const tagCLICONTEXT& m_ctx;
  std::string m_strLabel;
  uint64_t m_nTotal;
  int m_nShownPercent;  // -1: nothing drawn yet
  std::chrono::milliseconds m_quietTime;
  std::chrono::steady_clock::time_point m_start;
};
