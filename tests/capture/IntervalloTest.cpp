// The intervalometer's step, count and planner, and runs over real clips:
// every image is the frame at its target, proved by its picture, whether the
// run decodes forward or seeks, and whether the grab comes whole or in two
// halves with the next decode under way during the save; a break and a
// Cancel end the run.

#include "../navigation/NavRig.h"

#include "capture/uIntervallo.h"

#include <QThread>

#include <gtest/gtest.h>

namespace {

using namespace intervallo;
constexpr qint64 kFd = 400'000;

TEST(IntervalloCount, StepsAndCounts)
{
    EXPECT_EQ(Step(25, kFrames, kFd), 25 * kFd);
    EXPECT_EQ(Step(30, kSeconds, kFd), 300'000'000);
    EXPECT_EQ(Step(2, kMinutes, kFd), 1'200'000'000);
    // No interval: an unknown unit, or a delay of 0.
    EXPECT_FALSE(Step(5, 3, kFd));
    EXPECT_FALSE(Step(5, -1, kFd));
    EXPECT_FALSE(Step(0, kSeconds, kFd));
    // A ten-minute video from 0 every 30 s: 21 images, 0:00 to 10:00.
    EXPECT_EQ(Count(6'000'000'000, 0, 300'000'000), 21);
    // Every frame of 50: the frames from the position to the end plus one.
    EXPECT_EQ(Count(50 * kFd, 10 * kFd, kFd), 41);
    EXPECT_EQ(Count(10 * kFd, 20 * kFd, 25 * kFd), 1); // truncates towards zero
    EXPECT_EQ(Count(0, 40 * kFd, kFd), -39);
}

TEST(IntervalloPlanner, ForwardWhileCheaperThanASeek)
{
    TAdvancePlanner p;
    EXPECT_EQ(p.Choose(0), TAdvance::Seek); // behind or on the frame: seek
    EXPECT_EQ(p.Choose(25), TAdvance::Forward);
    EXPECT_EQ(p.Choose(TAdvancePlanner::kPriorForwardFrames + 1), TAdvance::Seek);
    p.NoteForward(25, 75); // 3 ms a frame
    p.NoteSeek(300);
    EXPECT_EQ(p.Choose(100), TAdvance::Forward);
    EXPECT_EQ(p.Choose(101), TAdvance::Seek);
    p.Policy = TAdvancePlanner::TPolicy::AlwaysSeek;
    EXPECT_EQ(p.Choose(1), TAdvance::Seek);
    p.Policy = TAdvancePlanner::TPolicy::AlwaysForward;
    EXPECT_EQ(p.Choose(1000), TAdvance::Forward);
}

struct TRunCase {
    const char *file;
    TAdvancePlanner::TPolicy policy;
    int delay;
    bool split = false; // capture, then save while the decoder moves on
};

void PrintTo(const TRunCase &c, std::ostream *os)
{
    *os << c.file << " policy " << int(c.policy) << " delay " << c.delay
        << (c.split ? " split" : "");
}

class IntervalloRun : public ::testing::TestWithParam<TRunCase>
{
protected:
    void SetUp() override
    {
        const QString path = fixtures::mediaFixture(GetParam().file);
        ASSERT_FALSE(path.isEmpty());
        ASSERT_TRUE(rig.open(path));
        run.ProcessEvents = [this] { rig.settle(0); };
        run.PostEnd = [this] { ended = true; };
        run.SetVolume = [this](int v) { volumes.push_back(v); };
        run.VolumeSetting = [] { return 5000; };
        run.Grab = [this] {
            shown.push_back(rig.shownIndex());
            return saved();
        };
        if (GetParam().split) {
            run.Capture = [this] {
                shown.push_back(rig.shownIndex());
                return std::optional<TSaveResult>();
            };
            // A save that takes a while and lets the window handle events,
            // as a JPEG written with its overwrite question does.
            run.SaveCaptured = [this] {
                savesDuringDecode += rig.nav.DecodingForward();
                QThread::msleep(3);
                rig.settle(0);
                return saved();
            };
        }
        run.Planner().Policy = GetParam().policy;
    }

    TSaveResult saved()
    {
        TSaveResult r;
        r.status = TSaveStatus::Saved;
        r.fileName = QStringLiteral("x");
        if (onGrab)
            onGrab(r);
        return r;
    }

    TNavRig rig;
    TIntervallo run{rig.nav};
    std::vector<int> shown, volumes;
    std::function<void(TSaveResult &)> onGrab;
    bool ended = false;
    int savesDuringDecode = 0;
};

TEST_P(IntervalloRun, EveryImageIsTheFrameAtItsTarget)
{
    const int delay = GetParam().delay;
    run.Recompute(delay, kFrames);
    const int frames = int(rig.nav.Duration() / kFd);
    ASSERT_EQ(run.CountLeft(), frames / delay + 1);
    run.Run();
    ASSERT_TRUE(ended);
    ASSERT_EQ(int(shown.size()), frames / delay + 1);
    for (int a = 0; a < int(shown.size()); ++a) {
        const int target = a * delay;
        // A target at or past the last frame goes to the end (two frames before it).
        const int want = target >= frames - 1 ? frames - 2 : target;
        EXPECT_EQ(shown[a], want) << "image " << a;
    }
    if (GetParam().policy == TAdvancePlanner::TPolicy::AlwaysForward) {
        // At most the start and the end are sought: every other forward decode
        // lands (a late message from one target must not spoil the next).
        int startAndEnd = 0;
        for (int a = 0; a < int(shown.size()); ++a)
            startAndEnd += a == 0 || a * delay >= frames - 1;
        EXPECT_LE(run.Seeks(), startAndEnd);
        if (GetParam().split) {
            EXPECT_GT(savesDuringDecode, 0);
        }
    }
    EXPECT_EQ(run.CountLeft(), 0);
    run.End();
    EXPECT_FALSE(run.Running());
    EXPECT_EQ(volumes, (std::vector<int>{0, 5000}));
    EXPECT_EQ(rig.shownIndex(), 0); // paused at the start
    EXPECT_EQ(run.CountLeft(), frames / delay + 1);
}

TEST_P(IntervalloRun, BreakAndCancelStopAfterTheCurrentImage)
{
    run.Recompute(GetParam().delay, kFrames);
    onGrab = [this](TSaveResult &) {
        if (shown.size() == 2)
            run.Break();
    };
    run.Run();
    EXPECT_EQ(shown.size(), 2u);
    run.End();
    shown.clear();
    onGrab = [this](TSaveResult &r) {
        if (shown.size() == 3)
            r.status = TSaveStatus::Cancelled;
    };
    run.Run();
    EXPECT_EQ(shown.size(), 3u);
    EXPECT_TRUE(ended);
    EXPECT_FALSE(rig.nav.DecodingForward()) << "the next target landed before the run ended";
    run.End();
    EXPECT_EQ(rig.shownIndex(), 0);
}

using P = TAdvancePlanner::TPolicy;
INSTANTIATE_TEST_SUITE_P(Clips, IntervalloRun,
                         ::testing::Values(TRunCase{"indexed.mp4", P::Auto, 5},
                                           TRunCase{"indexed.mp4", P::AlwaysForward, 7},
                                           TRunCase{"indexed.mp4", P::AlwaysSeek, 7},
                                           TRunCase{"indexed.mkv", P::AlwaysForward, 5},
                                           TRunCase{"indexed.ts", P::AlwaysForward, 5},
                                           TRunCase{"indexed.ts", P::AlwaysSeek, 5},
                                           TRunCase{"indexed.mp4", P::Auto, 5, true},
                                           TRunCase{"indexed.mkv", P::AlwaysForward, 1, true},
                                           TRunCase{"indexed.ts", P::AlwaysForward, 3, true}));

TEST(IntervalloNoInterval, AnUnknownUnitKeepsTheCountAndDoesNotRun)
{
    TNavRig rig;
    ASSERT_TRUE(rig.open(fixtures::mediaFixture("indexed.mp4")));
    TIntervallo run{rig.nav};
    std::vector<qint64> counts;
    int grabs = 0;
    bool running = true;
    run.OnCount = [&](qint64 c) { counts.push_back(c); };
    run.OnRunning = [&](bool on) { running = on; };
    run.Grab = [&] { return ++grabs, TSaveResult{}; };
    run.Recompute(10, kFrames);
    run.Recompute(10, 3);
    run.Recompute(0, kSeconds);
    EXPECT_EQ(counts, (std::vector<qint64>{6}));
    run.Run();
    EXPECT_EQ(grabs, 0);
    EXPECT_FALSE(running);
}

} // namespace
