// The fit of a picture into the video window, the letterbox inside the
// destination and the flips as output rectangle.
#include "media/uVideoGeometry.h"
#include "mf/uMediaTypes.h"

#include <gtest/gtest.h>

namespace {

struct FitCase {
    const char *name;
    int width, height, border, ax, ay;
    TNvRect expected;
};

class Fit : public ::testing::TestWithParam<FitCase>
{
};

TEST_P(Fit, GivesTheCentredLargestRectangle)
{
    const FitCase &c = GetParam();
    EXPECT_EQ(FitInClient(c.width, c.height, c.border, c.ax, c.ay), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    VideoGeometry, Fit,
    ::testing::Values(FitCase{"Wide_in_4x3_panel", 640, 480, 8, 16, 9, {8, 64, 632, 415}},
                      FitCase{"FourThirds_in_wide_area", 1000, 500, 0, 4, 3, {167, 0, 833, 500}},
                      FitCase{"No_pair_fills_the_box", 640, 480, 8, 0, 0, {8, 8, 632, 472}},
                      FitCase{"Pal_forced_4x3", 720, 576, 0, 4, 3, {0, 18, 720, 558}},
                      FitCase{"Pal_forced_16x9", 720, 576, 0, 16, 9, {0, 85, 720, 490}},
                      FitCase{"Hd_forced_4x3", 1920, 1080, 0, 4, 3, {240, 0, 1680, 1080}},
                      FitCase{"Border_eats_the_area", 10, 10, 8, 4, 3, {8, 8, 8, 8}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(VideoGeometry, FitsWithinOffsetBounds)
{
    EXPECT_EQ(FitRect({100, 50, 740, 530}, 8, 16, 9), (TNvRect{8, 64, 632, 415}));
}

TEST(VideoGeometry, LetterboxKeepsThePictureAspectInsideTheDestination)
{
    const TNvRect dest{8, 8, 408, 108}; // 400 x 100
    EXPECT_EQ(LetterboxRect(dest, {720, 576}, true), (TNvRect{145, 8, 270, 108}));
    EXPECT_EQ(LetterboxRect(dest, {720, 576}, false), dest);
}

TEST(VideoGeometry, FlipsSwapTheOutputRectangle)
{
    EXPECT_EQ(FlipOutputRect(false, false), (TOutputRect{0, 0, 1, 1}));
    EXPECT_EQ(FlipOutputRect(true, false), (TOutputRect{0, 1, 1, 0}));
    EXPECT_EQ(FlipOutputRect(true, true), (TOutputRect{1, 1, 0, 0}));
}

} // namespace

namespace {

TVideoData videoData(quint8 aspectCode, int width = 720, int height = -576)
{
    TVideoData data;
    data.width = width;
    data.height = height;
    data.aspectCode = aspectCode;
    data.pictAspectX = 5;
    data.pictAspectY = 4;
    return data;
}

TEST(VideoAspect, PairFromTheStreamOrTheForcedMode)
{
    using namespace aspectcode;
    EXPECT_EQ(AspectPairFor(videoData(k4x3), 0), QPoint(4, 3));
    EXPECT_EQ(AspectPairFor(videoData(k16x9), 0), QPoint(16, 9)) << "16:9 DV or MPEG-2";
    EXPECT_EQ(AspectPairFor(videoData(kOther), 0), QPoint(5, 4));
    EXPECT_EQ(AspectPairFor(videoData(kNone), 0), QPoint(720, 576)) << "no aspect: pixel size";
    EXPECT_EQ(AspectPairFor(videoData(k16x9), 1), QPoint(4, 3));
    EXPECT_EQ(AspectPairFor(videoData(k4x3), 2), QPoint(16, 9));
    EXPECT_EQ(AspectPairFor(videoData(k16x9), 3), QPoint(720, 576)) << "native, absolute";
}

TEST(VideoAspect, FormatReportLeavesOutAnEmptyFormat)
{
    EXPECT_EQ(FormatReportText("MPEG2", "720 x 576"), "MPEG2 - 720 x 576");
    EXPECT_EQ(FormatReportText("    ", "720 x 576"), "720 x 576");
}

} // namespace
