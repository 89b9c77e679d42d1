#include "controls/uTextGaugePaint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

const QColor kFill{0x20, 0x60, 0xA0}, kBack = Qt::white, kOutside{0x10, 0x10, 0x10};

TGaugeLook look(TGaugeKind kind, int progress, int max = 100)
{
    TGaugeLook l;
    l.GaugeKind = kind;
    l.MaxValue = max;
    l.Progress = progress;
    l.AlertValue = max + 1000;
    l.ForeColor = kFill;
    l.BackColor = kBack;
    l.Color = kOutside;
    l.ShowText = false;
    l.SingleBorder = false;
    return l;
}

QColor at(const QImage &image, int x, int y)
{
    return image.pixelColor(x, y);
}

int countOf(const QImage &image, const QColor &color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == color;
    return n;
}

TEST(TextGaugePaint, HorizontalBarWidthIsTruncatedAndTinyBarsAreNotDrawn)
{
    struct Case {
        int progress, fillColumns;
    } cases[] = {{0, 0}, {1, 0}, {50, 25}, {99, 50}, {100, 50}};
    for (const Case &c : cases) {
        const QImage image = PaintGauge(look(gkHorizontalBar, c.progress), QSize(50, 10));
        SCOPED_TRACE(c.progress);
        EXPECT_EQ(countOf(image, kFill), c.fillColumns * 10);
        if (c.fillColumns > 0) {
            EXPECT_EQ(at(image, c.fillColumns - 1, 5), kFill);
        }
        if (c.fillColumns < 50) {
            EXPECT_EQ(at(image, c.fillColumns, 5), kBack);
        }
    }
}

TEST(TextGaugePaint, VerticalBarRisesFromTheBottomInsideTheBorder)
{
    TGaugeLook l = look(gkVerticalBar, 50);
    l.SingleBorder = true;
    const QImage image = PaintGauge(l, QSize(10, 42)); // paint rectangle 8 x 40
    EXPECT_EQ(at(image, 0, 20), QColor(Qt::black));    // the frame stays black
    EXPECT_EQ(at(image, 5, 40), kFill);
    EXPECT_EQ(at(image, 5, 21), kFill); // Trunc(41 * 50 / 100) = 20 rows: 21..40
    EXPECT_EQ(at(image, 5, 20), kBack);
    EXPECT_EQ(countOf(image, kFill), 8 * 20);
}

TEST(TextGaugePaint, NeedleAtHalfPointsStraightUpAndNoNeedleAtZero)
{
    const QSize size(61, 31);
    const QImage half = PaintGauge(look(gkNeedle, 5000, 10000), size);
    for (int y = 2; y < 30; ++y)
        EXPECT_EQ(at(half, 30, y), kFill) << y;
    EXPECT_EQ(at(half, 25, 15), kBack); // inside the half disc, off the needle
    EXPECT_EQ(at(half, 1, 1), kOutside);
    EXPECT_EQ(at(half, 10, 30), kFill); // the base line

    const QImage zero = PaintGauge(look(gkNeedle, 0, 10000), size);
    EXPECT_EQ(at(zero, 30, 15), kBack);
}

TEST(TextGaugePaint, NeedleFollowsTheValueFromLeftToRight)
{
    const QSize size(61, 31);
    const int m = 30, base = 30; // no border: the bottom line is row 30
    for (int percent : {10, 25, 75, 90}) {
        const QImage image = PaintGauge(look(gkNeedle, percent), size);
        const double a = percent / 100.0 * std::numbers::pi;
        // The point halfway along the needle.
        const int x = int(std::lround((m + m * (1 - std::cos(a))) / 2));
        const int y = int(std::lround((base + base * (1 - std::sin(a))) / 2));
        EXPECT_EQ(at(image, x, y), kFill) << percent;
        const int mirrored = 2 * m - x; // the other side stays clear
        EXPECT_EQ(at(image, mirrored, y), kBack) << percent;
    }
}

TEST(TextGaugePaint, PieGrowsClockwiseFromTwelve)
{
    const QImage quarter = PaintGauge(look(gkPie, 25), QSize(41, 41));
    EXPECT_EQ(at(quarter, 28, 12), kFill); // upper right quadrant
    EXPECT_EQ(at(quarter, 12, 12), kBack);
    EXPECT_EQ(at(quarter, 28, 28), kBack);
    EXPECT_EQ(at(quarter, 0, 0), kOutside);
}

TEST(TextGaugePaint, EmptyRangeFillsNothing)
{
    TGaugeLook l = look(gkHorizontalBar, 5, 5);
    l.MinValue = 5;
    EXPECT_EQ(GaugePercent(l), 0);
    EXPECT_EQ(countOf(PaintGauge(l, QSize(20, 8)), kFill), 0);
}

TEST(TextGaugePaint, AlertColourPastTheThresholdByTextKind)
{
    struct Case {
        TTextKind kind;
        int progress;
        bool alert;
    } cases[] = {{tkValueDone, 81, true},        {tkValueDone, 80, false},
                 {tkPercentDone, 81, true},      {tkValueRemaining, 79, true},
                 {tkValueRemaining, 80, false},  {tkPercentRemaining, 79, true},
                 {tkPercentRemaining, 81, false}};
    for (const Case &c : cases) {
        TGaugeLook l = look(gkHorizontalBar, c.progress);
        l.AlertValue = 80;
        l.TextKind = c.kind;
        EXPECT_EQ(GaugeFillColor(l), c.alert ? kGaugeAlertColor : kFill)
            << c.kind << " " << c.progress;
    }
}

TEST(TextGaugePaint, TextByKind)
{
    TGaugeLook l = look(gkNeedle, 5000, 10000);
    l.TextKind = tkPercentDone;
    EXPECT_EQ(GaugeText(l), "50%");
    l.Progress = 2500;
    l.TextKind = tkPercentRemaining;
    EXPECT_EQ(GaugeText(l), "75%");
    l.TextKind = tkValueDone;
    l.Caption = "%d of it, 100%%";
    EXPECT_EQ(GaugeText(l), "2500 of it, 100%");
    l.TextKind = tkValueRemaining;
    l.Caption = "%d";
    EXPECT_EQ(GaugeText(l), "7500");
    l.Caption = "%s %n %x"; // never a printf format
    EXPECT_EQ(GaugeText(l), "%s %n %x");
    l.customText = true;
    l.Caption = "Volume %d";
    EXPECT_EQ(GaugeText(l), "Volume %d");
}

TEST(TextGaugePaint, TextIsTheInverseOfWhatLiesUnderIt)
{
    TGaugeLook l = look(gkHorizontalBar, 50);
    l.ShowText = true;
    l.customText = true;
    l.Caption = "WWWWWWWW";
    l.Font.setPixelSize(14);
    const QImage image = PaintGauge(l, QSize(120, 24));
    const QColor invertedFill(255 - kFill.red(), 255 - kFill.green(), 255 - kFill.blue());
    EXPECT_GT(countOf(image, invertedFill), 0);      // text over the bar
    EXPECT_GT(countOf(image, QColor(Qt::black)), 0); // text over the white background
    EXPECT_EQ(at(image, 1, 1), kFill);               // away from the text
    EXPECT_EQ(at(image, 118, 22), kBack);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            ASSERT_TRUE(c == kFill || c == kBack || c == invertedFill || c == Qt::black)
                << x << "," << y;
        }
}

} // namespace
