// Exact frames on every container: typed positions, frame, second and minute
// steps both ways, the start and the end, each proved by the picture shown
// (the indexed clips show their own frame number) and by the position the
// manager reports for it.

#include "NavRig.h"

#include "actions/uScriptAction.h"
#include "navigation/uNavSteps.h"

#include <gtest/gtest.h>

namespace {

using namespace navsteps;

struct TExactCase {
    const char *name;
    const char *file;
};

void PrintTo(const TExactCase &c, std::ostream *os)
{
    *os << c.file;
}

class NavExact : public ::testing::TestWithParam<TExactCase>
{
protected:
    void SetUp() override
    {
        const QString path = fixtures::mediaFixture(GetParam().file);
        ASSERT_FALSE(path.isEmpty());
        ASSERT_TRUE(rig.open(path));
        fd = rig.nav.FrameDuration();
        ASSERT_EQ(fd, 400'000);
    }

    // The frame on show is `index` by its picture and by its position.
    void expectShown(int index, const char *what)
    {
        rig.settle();
        EXPECT_EQ(rig.shownIndex(), index) << what;
        EXPECT_EQ(rig.positionIndex(), index) << what;
    }

    // The last frame GoToEnd reaches: the one the rule picks at duration - 2 frames.
    int endIndex() const { return int(FrameAtTarget(rig.nav.Duration() - 2 * fd, fd) / fd); }

    TNavRig rig;
    qint64 fd = 0;
};

TEST_P(NavExact, TypedPositionsStepsStartAndEnd)
{
    expectShown(0, "opened");
    for (bool precise : {true, false}) {
        rig.nav.caSeekPrecision->SetChecked(precise);
        rig.nav.GoToPositionText("0:00:01:12");
        expectShown(37, precise ? "typed, precise" : "typed, plain");
        rig.nav.GoToPositionText("0:00:00:05");
        expectShown(5, "typed 5");
    }
    rig.nav.caSeekPrecision->SetChecked(true);
    rig.nav.StepForward(fd);
    expectShown(6, "one frame forward");
    rig.nav.StepForward(10 * fd);
    expectShown(16, "ten frames forward");
    rig.nav.StepBackward(fd);
    expectShown(15, "one frame back");
    EXPECT_TRUE(rig.nav.ShownFromCache()) << "the frame stepped over is cached";
    rig.nav.StepBackward(10 * fd);
    expectShown(5, "ten frames back");
    rig.nav.StepForward(kOneSecond);
    expectShown(30, "a second forward");
    rig.nav.StepBackward(kOneSecond);
    expectShown(5, "a second back");
    rig.nav.StepBackward(kOneSecond);
    expectShown(0, "a second back from below a second: the start");
    rig.nav.StepForward(kOneMinute);
    expectShown(endIndex(), "a minute forward: the end");
    rig.nav.StepBackward(kOneMinute);
    expectShown(0, "a minute back: the start");
    rig.nav.GoToEnd();
    expectShown(endIndex(), "end");
    rig.nav.GoToStart();
    expectShown(0, "start");
}

const TExactCase kExactCases[] = {
    {"MP4", "indexed.mp4"},
    {"MKV", "indexed.mkv"},
    {"MKV_first_frame_at_21ms", "indexed_aac.mkv"},
    {"AVI", "indexed_mjpeg.avi"},
    {"MPEG_PS", "indexed.mpg"},
    {"MPEG_TS", "indexed.ts"},
    {"DV", "indexed.dv"},
    {"DV_type1", "indexed_dv_type1.avi"},
};

INSTANTIATE_TEST_SUITE_P(Containers, NavExact, ::testing::ValuesIn(kExactCases),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
