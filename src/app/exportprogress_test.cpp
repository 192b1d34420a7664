#include "exportprogress.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>

#include "scripted_frontend.h"

namespace {

TEST(ExportProgressTest, ShowsAfterTheDelayAndPassesTheCancelBack) {
  ScriptedFrontEnd fe;
  fe.CancelAtAsset(200);
  {
    ExportProgress progress(&fe);
    // A short export shows nothing.
    EXPECT_TRUE(progress.Update(64, 1000));
    EXPECT_EQ(fe.progress_shown(), 0);
    usleep(static_cast<useconds_t>((ExportProgress::kDelay + 50) * 1000));
    // Between the few assets at which the clock is read nothing shows.
    EXPECT_TRUE(progress.Update(65, 1000));
    EXPECT_EQ(fe.progress_shown(), 0);
    EXPECT_TRUE(progress.Update(128, 1000));
    EXPECT_EQ(fe.progress_shown(), 1);
    EXPECT_FALSE(fe.progress_ended());
    // Again only after the interval; then the front end's cancel sticks.
    EXPECT_TRUE(progress.Update(192, 1000));
    EXPECT_EQ(fe.progress_shown(), 1);
    usleep(static_cast<useconds_t>((ExportProgress::kInterval + 50) * 1000));
    EXPECT_FALSE(progress.Update(256, 1000));
    EXPECT_FALSE(progress.Update(257, 1000));
    EXPECT_EQ(fe.progress_shown(), 2);
  }
  EXPECT_TRUE(fe.progress_ended());
}

TEST(ExportProgressTest, CtrlCCancelsWhileTheExportRuns) {
  {
    ExportProgress progress(nullptr);
    EXPECT_TRUE(progress.Update(1, 10));
    ASSERT_EQ(raise(SIGINT), 0);
    EXPECT_FALSE(progress.Update(2, 10));
  }
  // Afterwards Ctrl-C is the process's again, and a new export starts clean.
  struct sigaction now;
  ASSERT_EQ(sigaction(SIGINT, nullptr, &now), 0);
  EXPECT_EQ(now.sa_handler, SIG_DFL);
  ExportProgress next(nullptr);
  EXPECT_TRUE(next.Update(1, 10));
}

}  // namespace
