#include "capture/uDVDateInlay.h"
#include "capture/uDateTimeFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(TimeDifferenceText, NamesTheLargestPartInFull)
{
    const struct {
        double days;
        const char *text;
    } cases[] = {
        {2.0 / 24, " 02 hours"},
        {1.5 / 24, " 01 hour 30 m"},
        {1 + 2.0 / 24, " 1 day 02 h"},
        {45.0 / 86400, " 45 seconds"},
        {0, "none"},
        {3.0 / 24, " 03 hours"},
        {-1.0 / 24, " -01 hour"},
        {1, " 1 day"},
        {-2, " -2 days"},
        {1.0 / 1440, " 01 minute"},
        {90.0 / 86400, " 01 minute 30 s"},
        {1.0 / 86400, " 01 second"},
        {0.4 / 86400, "none"}, // less than half a second
        {1 + 1.0 / 24 + 1.0 / 1440 + 1.0 / 86400, " 1 day 01 h 01 m 01 s"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TimeDifferenceText(c.days).toStdString(), c.text) << c.days;
}

// A difference typed on the command line can be anything.
TEST(TimeDifferenceText, WildValuesGiveATextAndNoDate)
{
    EXPECT_EQ(TimeDifferenceText(std::nan("")), QStringLiteral("none"));
    EXPECT_FALSE(TimeDifferenceText(1e300).isEmpty());
    EXPECT_TRUE(FormatDateTime("ddddd", 40000 + 1e300).isEmpty());
    EXPECT_TRUE(FormatDateTime("", std::numeric_limits<double>::infinity()).isEmpty());
    EXPECT_FALSE(FormatDateTime("yyyy", kLastDateTimeNumber - 1).isEmpty());
    TDVTimeShift page;
    page.SetDifference(-1e300);
    EXPECT_LT(page.View().hoursBox, 0);
}

TEST(DVTimeShift, WithoutADVDateThePageWorksOnTheFictitiousDate)
{
    TDVTimeShift page;
    page.Refresh(false, true, 40000.5);
    TDVPageView view = page.View();
    EXPECT_FALSE(view.dvCommandsEnabled);
    EXPECT_DOUBLE_EQ(page.BaseDate(), kFictitiousDVDate);
    EXPECT_EQ(view.videoDateText,
              QStringLiteral("Fictitious date: ") + FormatDateTime("ddddd tt", kFictitiousDVDate));

    page.Refresh(true, false, 40000.5); // a DV source, but no valid date
    EXPECT_TRUE(page.View().dvCommandsEnabled);
    EXPECT_DOUBLE_EQ(page.BaseDate(), kFictitiousDVDate);
}

TEST(DVTimeShift, TheBaseDateIsTheRecordingDateCutToWholeSeconds)
{
    const double recorded = DateTimeToNumber(QDateTime(QDate(2006, 7, 14), QTime(12, 34, 56, 789)));
    TDVTimeShift page;
    page.Refresh(true, true, recorded);
    const double base = DateTimeToNumber(QDateTime(QDate(2006, 7, 14), QTime(12, 34, 56)));
    EXPECT_DOUBLE_EQ(page.BaseDate(), base);
    page.SetDifference(3.0 / 24);
    const TDVPageView view = page.View();
    EXPECT_EQ(view.videoDateText,
              QStringLiteral("Date of the DV video: ") + FormatDateTime("ddddd tt", base));
    EXPECT_EQ(view.displayedClock.hours, 15);
    EXPECT_EQ(view.displayedClock.minutes, 34);
    EXPECT_EQ(view.displayedClock.seconds, 56);
    EXPECT_EQ(view.differenceText, QStringLiteral(" 03 hours"));
    EXPECT_EQ(view.hoursBox, 3);
}

TEST(DVTimeShift, SimpleModeRoundsToWholeHours)
{
    TDVTimeShift page;
    EXPECT_DOUBLE_EQ(page.HoursBoxChanged(3), 3.0 / 24);
    page.SetAdvanced(true);
    page.SetDifference((60 + 20) / 1440.0);
    EXPECT_DOUBLE_EQ(page.SetAdvanced(false), 1.0 / 24);
    page.SetAdvanced(true);
    page.SetDifference((60 + 40) / 1440.0);
    EXPECT_DOUBLE_EQ(page.SetAdvanced(false), 2.0 / 24);
    page.SetDifference(-1.0 / 24 - 20 / 1440.0);
    EXPECT_DOUBLE_EQ(page.SetAdvanced(false), -1.0 / 24);
}

TEST(DVTimeShift, AdvancedModeTakesTheDifferenceFromTheDisplayedDate)
{
    TDVTimeShift page;
    page.Refresh(false, false, 0);
    EXPECT_DOUBLE_EQ(page.SetAdvanced(true), 0.0);
    const double d = page.DisplayedDateChanged(kFictitiousDVDate + 1, {1, 20, 5});
    EXPECT_EQ(TimeDifferenceText(d), QStringLiteral(" 1 day 01 h 20 m 05 s"));
    EXPECT_DOUBLE_EQ(TDVTimeShift::Reset(), 0.0);
}

} // namespace
