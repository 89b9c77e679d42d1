// The arithmetic of navigation and the catalogue of its commands.

#include "navigation/uNavActions.h"
#include "navigation/uNavSteps.h"

#include <gtest/gtest.h>

namespace {

using namespace navsteps;
constexpr qint64 kFrame = 400'000;
constexpr qint64 kDuration = 20'000'000; // 50 frames
constexpr qint64 kEnd = kDuration - kFrame;

TEST(NavSteps, SeekClampKeepsTwoFramesFromTheDuration)
{
    struct {
        qint64 position, expected;
    } cases[] = {
        {-5, 0},                                // below the start
        {12 * kFrame, 12 * kFrame},             // inside
        {kEnd - kFrame - 1, kEnd - kFrame - 1}, // just below the highest
        {kEnd - kFrame, kDuration - 2 * kFrame},
        {kDuration * 10, kDuration - 2 * kFrame},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ClampSeek(c.position, 0, kEnd, kFrame), c.expected) << c.position;
    // Before any duration is known (end still the largest value) nothing clamps high.
    EXPECT_EQ(ClampSeek(kDuration * 100, 0, kNoEnd, 0), kDuration * 100);
    // A file of no duration: everything lands on the start.
    EXPECT_EQ(ClampSeek(3 * kFrame, 0, -1, 1), 0);
}

TEST(NavSteps, StepTargets)
{
    EXPECT_EQ(StepForwardTarget(10 * kFrame, kFrame, 0, kEnd), 11 * kFrame);
    EXPECT_EQ(StepForwardTarget(48 * kFrame, kTenSeconds, 0, kEnd), kEnd);
    EXPECT_EQ(StepForwardTarget(kNoEnd - 5, kTenMinutes, 0, kNoEnd), kNoEnd); // no overflow
    EXPECT_EQ(StepBackwardTarget(3 * kFrame, kOneSecond, 0), 0); // smaller than the step
    EXPECT_EQ(StepBackwardTarget(30 * kFrame, 10 * kFrame, 0), 20 * kFrame);
    // Without a video stream the frame duration stays 1: a frame is 100 ns.
    const auto frame = navactions::StepOf(TNavEffect::ForwardFrame, 1);
    EXPECT_TRUE(frame.forward);
    EXPECT_EQ(StepForwardTarget(500, frame.delta, 0, kEnd), 501);
}

TEST(NavSteps, TargetPicksTheFirstFrameAtOrAfterHalfAFrameEarlier)
{
    struct {
        qint64 target, frame;
    } cases[] = {
        {0, 0},
        {14'800'000, 37 * kFrame},               // 0:00:01:12 at 25 fps
        {37 * kFrame + kFrame / 2, 37 * kFrame}, // an exact half stays
        {37 * kFrame + kFrame / 2 + 1, 38 * kFrame},
        {37 * kFrame - kFrame / 2, 36 * kFrame}, // half a frame early: the earlier frame
        {37 * kFrame - kFrame / 2 + 1, 37 * kFrame},
        {-kFrame, 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(FrameAtTarget(c.target, kFrame), c.frame) << c.target;
        EXPECT_TRUE(Picks(c.target, c.frame, kFrame)) << c.target;
    }
    EXPECT_EQ(FrameAtTarget(1234, 1), 1234); // no video: 100 ns frames
    EXPECT_EQ(SeekPointFor(37 * kFrame, kFrame), 37 * kFrame + kFrame / 2);
}

TEST(NavSteps, SliderAndFraction)
{
    EXPECT_EQ(SliderValue(kEnd), int(kEnd / 1024));
    EXPECT_EQ(SliderValue(kNoEnd), std::numeric_limits<int>::max());
    EXPECT_EQ(KPosition(kEnd / 2, 0, kEnd), 512);
    EXPECT_EQ(KPosition(kEnd, 0, kEnd), 1024);
    EXPECT_EQ(KPosition(5, 7, 7), 0);                  // end equal to start
    EXPECT_EQ(KPosition(kNoEnd - 1, 0, kNoEnd), 1023); // no overflow
    EXPECT_EQ(FramesIn(10 * kFrame, kFrame), 10);
    EXPECT_EQ(FramesIn(kOneSecond, 333'667), 0); // not whole frames: seek instead
    EXPECT_EQ(FramesIn(-kFrame, kFrame), 0);
}

TEST(NavActions, EveryCommandWithAndWithoutShift)
{
    struct {
        const char *name;
        TNavEffect plain, shifted;
    } cases[] = {
        {"naReculeDebut", TNavEffect::GoToStart, TNavEffect::GoToStart},
        {"naReculeTrack", TNavEffect::PreviousScene, TNavEffect::GoToStart},
        {"naReculeHigh", TNavEffect::BackMinute, TNavEffect::Back10Minutes},
        {"naReculeMedium", TNavEffect::BackSecond, TNavEffect::Back10Seconds},
        {"naReculeLow", TNavEffect::BackFrame, TNavEffect::Back10Frames},
        {"naAvanceTrack", TNavEffect::NextScene, TNavEffect::GoToEnd},
        {"naAvanceHigh", TNavEffect::ForwardMinute, TNavEffect::Forward10Minutes},
        {"naAvanceMedium", TNavEffect::ForwardSecond, TNavEffect::Forward10Seconds},
        {"naAvanceLow", TNavEffect::ForwardFrame, TNavEffect::Forward10Frames},
        {"naRecule10Minutes", TNavEffect::Back10Minutes, TNavEffect::Back10Minutes},
        {"naAvanceFrame", TNavEffect::ForwardFrame, TNavEffect::ForwardFrame},
    };
    for (const auto &c : cases) {
        const TNavActionRow *row = navactions::RowOf(c.name);
        ASSERT_NE(row, nullptr) << c.name;
        EXPECT_EQ(navactions::EffectOf(*row, false), c.plain) << c.name;
        EXPECT_EQ(navactions::EffectOf(*row, true), c.shifted) << c.name;
    }
    struct {
        TNavEffect effect;
        bool forward;
        qint64 delta;
    } steps[] = {
        {TNavEffect::Back10Minutes, false, 6'000'000'000},
        {TNavEffect::ForwardMinute, true, 600'000'000},
        {TNavEffect::Back10Seconds, false, 100'000'000},
        {TNavEffect::ForwardSecond, true, 10'000'000},
        {TNavEffect::Forward10Frames, true, 10 * kFrame},
        {TNavEffect::BackFrame, false, kFrame},
    };
    for (const auto &s : steps) {
        const auto step = navactions::StepOf(s.effect, kFrame);
        EXPECT_EQ(step.forward, s.forward);
        EXPECT_EQ(step.delta, s.delta);
    }
    int stored = 0;
    for (const TNavActionRow &row : navactions::Rows())
        stored += navactions::InStoredSet(row);
    EXPECT_EQ(navactions::Rows().size(), 29u);
    EXPECT_EQ(stored, 27);
}

} // namespace
