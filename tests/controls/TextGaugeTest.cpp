#include "controls/uTextGauges.h"

#include <gtest/gtest.h>

namespace {

TEST(TextGauge, DefaultsAsPublished)
{
    TTextGauge g;
    EXPECT_EQ(g.MinValue(), 0);
    EXPECT_EQ(g.MaxValue(), 100);
    EXPECT_EQ(g.AlertValue(), 80);
    EXPECT_EQ(g.GaugeKind(), gkHorizontalBar);
    EXPECT_EQ(g.TextKind(), tkValueDone);
    EXPECT_TRUE(g.ShowText());
    EXPECT_EQ(g.Caption(), "%d");
    EXPECT_EQ(g.ForeColor(), QColor(0xC0, 0xDC, 0xC0));
    EXPECT_TRUE(g.SingleBorder());
}

TEST(TextGauge, ProgressStaysInTheRangeAndFollowsItsEnds)
{
    TTextGauge g;
    g.SetMaxValue(10000);
    g.SetProgress(12000);
    EXPECT_EQ(g.Progress(), 10000);
    g.SetProgress(-5);
    EXPECT_EQ(g.Progress(), 0);
    g.SetProgress(5000);
    g.SetMaxValue(4000);
    EXPECT_EQ(g.Progress(), 4000);
    g.SetMinValue(4000);
    EXPECT_EQ(g.PercentDone(), 0);
    g.SetMaxValue(9000);
    g.SetMinValue(4500);
    EXPECT_EQ(g.Progress(), 4500);
}

TEST(TextGauge, InvertedRangeIsRefusedWithItsMessage)
{
    TTextGauge g;
    try {
        g.SetMinValue(101);
        FAIL();
    } catch (const EInvalidOperation &e) {
        EXPECT_STREQ(e.what(), "La valeur doit être comprise entre -2147483647 et 99");
    }
    g.SetMinValue(10);
    try {
        g.SetMaxValue(9);
        FAIL();
    } catch (const EInvalidOperation &e) {
        EXPECT_STREQ(e.what(), "La valeur doit être comprise entre 11 et 2147483647");
    }
    EXPECT_EQ(g.MinValue(), 10);
    EXPECT_EQ(g.MaxValue(), 100);
}

TEST(TextGauge, WidgetShowsThePaintedGauge)
{
    TTextGauge g;
    g.resize(61, 31);
    g.SetGaugeKind(gkNeedle);
    g.SetShowText(false);
    g.setProperty("MaxValue", 10000);
    g.setProperty("AlertValue", 11000); // as the volume needle: never the alert colour
    g.setProperty("Progress", 5000);
    const QImage shown = g.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, PaintGauge(g.Look(), g.size()));
    EXPECT_EQ(shown.pixelColor(30, 10), g.ForeColor());
}

} // namespace
