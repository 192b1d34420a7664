#include "exportprogress.h"

#include <gtest/gtest.h>
#include "nativeos.h"
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
    SleepMilliseconds(static_cast<int>(ExportProgress::kDelay) + 50);
    // Between the few assets at which the clock is read nothing shows.
    EXPECT_TRUE(progress.Update(65, 1000));
    EXPECT_EQ(fe.progress_shown(), 0);
    EXPECT_TRUE(progress.Update(128, 1000));
    EXPECT_EQ(fe.progress_shown(), 1);
    EXPECT_FALSE(fe.progress_ended());
    // Again only after the interval; then the front end's cancel sticks.
    EXPECT_TRUE(progress.Update(192, 1000));
    EXPECT_EQ(fe.progress_shown(), 1);
    SleepMilliseconds(static_cast<int>(ExportProgress::kInterval) + 50);
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
    if (!RaiseInterrupt()) GTEST_SKIP() << "this process cannot send itself Ctrl-C (it has no console)";
    EXPECT_FALSE(progress.Update(2, 10));
  }
  // Afterwards Ctrl-C is the process's again, and a new export starts clean.
  if (InterruptHandlingKnown()) {
    EXPECT_TRUE(InterruptIsDefault());
  }
  ExportProgress next(nullptr);
  EXPECT_TRUE(next.Update(1, 10));
}

}  // namespace
