#include "capture/uFrameWait.h"

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

constexpr qint64 kPal = 400'000;

TEST(WaitForDrawnFrame, EndsAtTheNextDrawnFrame)
{
    qint64 drawn = 7;
    QTimer::singleShot(20, [&] { ++drawn; });
    EXPECT_EQ(WaitForDrawnFrame([&] { return drawn; }, 7, [] { return true; }, kPal),
              TFrameWaitEnd::NewFrame);
    EXPECT_EQ(drawn, 8);
}

TEST(WaitForDrawnFrame, EndsWhenPlaybackPausesDuringTheWait)
{
    bool playing = true;
    QTimer::singleShot(20, [&] { playing = false; });
    EXPECT_EQ(WaitForDrawnFrame([] { return qint64(7); }, 7, [&] { return playing; }, kPal),
              TFrameWaitEnd::NotPlaying);
}

TEST(WaitForDrawnFrame, EndsAfterAFewFramesWhenNothingIsDrawn)
{
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(WaitForDrawnFrame([] { return qint64(7); }, 7, [] { return true; }, kPal),
              TFrameWaitEnd::TimedOut);
    EXPECT_GE(timer.elapsed(), FrameWaitBoundMs(kPal));
    EXPECT_EQ(FrameWaitBoundMs(kPal), 160);
    EXPECT_EQ(FrameWaitBoundMs(0), 160);
    EXPECT_EQ(FrameWaitBoundMs(10'000'000), 2000);
}

} // namespace
