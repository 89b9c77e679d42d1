#include "mf/uPositionText.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct ToTextCase {
    qint64 frameDuration;
    qint64 position;
    const char *text;
};

void PrintTo(const ToTextCase &c, std::ostream *os)
{
    *os << "f " << c.frameDuration << " p " << c.position;
}

class PositionToTextTable : public ::testing::TestWithParam<ToTextCase>
{
};

TEST_P(PositionToTextTable, FormatsPosition)
{
    const ToTextCase &c = GetParam();
    EXPECT_EQ(PositionToText(c.frameDuration, c.position).toStdString(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PositionToTextTable,
    ::testing::Values(
        // within half a frame of the next second: that second
        ToTextCase{400'000, 9'980'000, "0:00:01:00"}, ToTextCase{400'000, 9'790'000, "0:00:00:24"},
        // 7.5 frames rounds to 8, 6.5 to 6 (ties to even)
        ToTextCase{400'000, 3'000'000, "0:00:00:08"}, ToTextCase{400'000, 2'600'000, "0:00:00:06"},
        ToTextCase{400'000, 36'000'000'0000, "10:00:00:00"},
        ToTextCase{400'000, 360'000'000'0000, "100:00:00:00"},
        ToTextCase{400'000, (3600 + 2 * 60 + 3) * kRefTimePerSecond + 4 * 400'000, "1:02:03:04"},
        // tiny frames: the frame number prints all its digits
        ToTextCase{10'000, 5'000'000, "0:00:00:500"}, ToTextCase{0, 5'000'000, "0:00:00:500"},
        ToTextCase{333'667, 0, "0:00:00:00"}));

TEST(PositionToText, ZeroDurationCountsAsOneMillisecond)
{
    for (qint64 p : {0LL, 1LL, 9'995'000LL, 9'994'999LL, 123'456'789LL})
        EXPECT_EQ(PositionToText(0, p), PositionToText(10'000, p)) << p;
}

struct ToPositionCase {
    const char *text;
    qint64 frameDuration;
    qint64 position;
};

void PrintTo(const ToPositionCase &c, std::ostream *os)
{
    *os << '"' << c.text << "\" f " << c.frameDuration;
}

class TextToPositionTable : public ::testing::TestWithParam<ToPositionCase>
{
};

TEST_P(TextToPositionTable, ParsesText)
{
    const ToPositionCase &c = GetParam();
    EXPECT_EQ(TextToPosition(QString::fromUtf8(c.text), c.frameDuration), c.position) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextToPositionTable,
    ::testing::Values(
        ToPositionCase{"0:00:01:12", 400'000, 14'800'000},
        ToPositionCase{"12:34:56:07", 400'000, 45'296 * kRefTimePerSecond + 7 * 400'000},
        ToPositionCase{"0.00.01.12", 400'000, 14'800'000},
        ToPositionCase{"100:00:00:00", 400'000, 360'000 * kRefTimePerSecond},
        // fields that do not parse count as 0
        ToPositionCase{"", 400'000, 0}, ToPositionCase{"x:ab:01:12", 400'000, 14'800'000},
        ToPositionCase{"0:00:zz:12", 400'000, 4'800'000},
        // short text: the places before the start are empty
        ToPositionCase{"12", 400'000, 4'800'000}, ToPositionCase{"1:12", 400'000, 14'800'000},
        // the seconds sum wraps in 32 bits: 596,524 h = 2,147,486,400 s
        ToPositionCase{"596524:00:00:00", 400'000,
                       qint64(qint32(2'147'486'400LL - 4'294'967'296LL)) * kRefTimePerSecond}));

TEST(PositionText, RoundTripsWholeFrames)
{
    for (qint64 frame : {0LL, 1LL, 24LL, 25LL, 89'999LL, 2'250'012LL}) {
        const qint64 position = frame * 400'000;
        EXPECT_EQ(TextToPosition(PositionToText(400'000, position), 400'000), position) << frame;
    }
}

} // namespace
