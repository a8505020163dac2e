// The progress bar on the error stream: drawn only for a terminal, redrawn
// only when the percentage moves, and cleared at the end.
#include <gtest/gtest.h>

#include <sstream>

#include "ProgressBar.h"

namespace {

TEST(ProgressBar, DrawsPercentagesAndClearsTheLine) {
  std::ostringstream out, err;
  tagCLICONTEXT ctx{&out, &err, 65001, true};
  {
    CProgressBar bar(ctx, "loading", std::chrono::milliseconds(0));
    CProgressBar::OnLibraryProgress(0, 200, &bar);
    CProgressBar::OnLibraryProgress(1, 99, &bar);  // step 99 done: 100 of 200
    std::string drawn = err.str();
    EXPECT_EQ(drawn, "\rloading [###############               ] 50%");
    CProgressBar::OnLibraryProgress(1, 100, &bar);  // still 50%: not drawn again
    EXPECT_EQ(err.str(), drawn);
    CProgressBar::OnLibraryProgress(2, 0, &bar);
    EXPECT_GT(err.str().size(), drawn.size());
    EXPECT_EQ(err.str().back(), '\r');  // the line is blanked and the cursor back at its start
  }
  EXPECT_TRUE(out.str().empty());
}

TEST(ProgressBar, SilentWithoutATerminalOrForShortWork) {
  std::ostringstream out, err;
  tagCLICONTEXT pipe{&out, &err, 65001, false};
  {
    CProgressBar bar(pipe, "importing", std::chrono::milliseconds(0));
    CProgressBar::OnLibraryProgress(0, 1000, &bar);
    CProgressBar::OnLibraryProgress(1, 500, &bar);
  }
  tagCLICONTEXT terminal{&out, &err, 65001, true};
  {
    CProgressBar bar(terminal, "importing", std::chrono::hours(1));
    CProgressBar::OnLibraryProgress(0, 1000, &bar);
    CProgressBar::OnLibraryProgress(1, 500, &bar);
  }
  EXPECT_TRUE(err.str().empty());
}

}  // namespace
