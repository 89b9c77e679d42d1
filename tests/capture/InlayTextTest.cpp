#include "capture/uDateTimeFormat.h"
#include "capture/uInlayPageRules.h"
#include "capture/uInlayText.h"
#include "mf/uPositionText.h"

#include <gtest/gtest.h>

namespace {

TDVCodeEntry dvCodes(double date, const char *timecode)
{
    return {true, true, date, QString::fromUtf8(timecode)};
}

// Expands one template on line 1 (or 2) with the given values.
struct Expansion {
    TInlayTemplates templates;
    TInlayValues values;
    TInlayFrameRecord frame;

    std::string operator()(const char *pattern, int line = 0)
    {
        templates.pattern[line] = QString::fromUtf8(pattern);
        return ExpandInlayTemplate(line, templates, values, frame).toStdString();
    }
};

TEST(InlayTemplate, CodesInEitherCaseAtEveryOccurrence)
{
    Expansion expand;
    expand.frame.timeStamp = QStringLiteral("0:00:01:05");
    expand.values.number = QStringLiteral("007");
    EXPECT_EQ(expand("%s / %n / %S"), "0:00:01:05 / 007 / 0:00:01:05");
    EXPECT_EQ(expand("%S / %N"), expand("%s / %n"));
    EXPECT_EQ(expand("100% sure %X"), "100% sure %X");
}

TEST(InlayTemplate, FileNameParts)
{
    Expansion expand;
    EXPECT_EQ(expand("[%E]"), "[]"); // no file name received yet
    expand.values.fileName = QStringLiteral("/videos/trip.2006/Report%E.avi");
    EXPECT_EQ(expand("%F"), "Report.avi"); // the %E inserted by %F is expanded afterwards
    EXPECT_EQ(expand("%P%F%E"), "/videos/trip.2006/Report.avi.avi");
    expand.values.fileName = QStringLiteral("/videos/trip.2006/clip");
    EXPECT_EQ(expand("%P|%F|%E"), "/videos/trip.2006/|clip|");
}

TEST(InlayTemplate, LaterCodesActOnInsertedTextEarlierOnesDoNot)
{
    Expansion expand;
    expand.frame.timeStamp = QStringLiteral("at %n");
    expand.values.number = QStringLiteral("no %s");
    EXPECT_EQ(expand("%S"), "at no %s");
}

TEST(InlayTemplate, DVCodesComeFromTheFrameWithTheTimeDifference)
{
    Expansion expand;
    expand.templates.dateFallback[0] = QStringLiteral("no date");
    expand.templates.timecodeFallback = QStringLiteral("no code");
    EXPECT_EQ(expand("%D %T"), "no date no code");

    const double recorded = DateTimeToNumber(QDateTime(QDate(2006, 7, 14), QTime(21, 30, 0)));
    expand.frame.dvCodes = dvCodes(recorded, "0:00:12:03");
    expand.templates.dateFormat[0] = QStringLiteral("dd/mm/yyyy hh:nn");
    EXPECT_EQ(expand("%D %T"), "14/07/2006 21:30 0:00:12:03");
    expand.values.timeDifference = 0.125; // /dh=0.125: three hours
    EXPECT_EQ(expand("%D"), "15/07/2006 00:30");

    expand.frame.dvCodes->dateValid = false;
    EXPECT_EQ(expand("%D|%T"), "no date|0:00:12:03");
}

TEST(InlayTemplate, EachLineHasItsOwnDateFormats)
{
    Expansion expand;
    const double recorded = DateTimeToNumber(QDateTime(QDate(2006, 7, 14), QTime(9, 5, 0)));
    expand.frame.dvCodes = dvCodes(recorded, "");
    expand.values.realDateTime = recorded + 1;
    expand.templates.dateFormat = {QStringLiteral("ddddd"), QStringLiteral("tt")};
    expand.templates.realDateFormat[1] = QStringLiteral("yyyy");
    EXPECT_EQ(expand("%D", 0), FormatDateTime("ddddd", recorded).toStdString());
    EXPECT_EQ(expand("%D %R", 1), (FormatDateTime("tt", recorded) + " 2006").toStdString());
    EXPECT_EQ(expand("%R", 0), DefaultDateTimeText(recorded + 1).toStdString());
}

TEST(InlayLines, EmptyTemplatesDisableTheirLines)
{
    TInlayLines lines = InitialInlayLines();
    EXPECT_TRUE(lines[0].enabled);
    EXPECT_EQ(lines[0].text, QStringLiteral("Write an inlay"));
    EXPECT_TRUE(lines[1].relative);

    TInlayTemplates templates;
    templates.pattern[1] = QStringLiteral("%F");
    TInlayValues values;
    values.fileName = QStringLiteral("/v/clip.avi");
    ExpandInlayLines(lines, TInlayAlign::Centre, templates, values, {});
    EXPECT_FALSE(lines[0].enabled);
    EXPECT_TRUE(lines[0].text.isEmpty());
    EXPECT_TRUE(lines[1].enabled);
    EXPECT_EQ(lines[1].text, QStringLiteral("clip"));
    EXPECT_EQ(lines[1].align, TInlayAlign::Centre);
    EXPECT_FALSE(lines[2].enabled);
}

TEST(InlaySources, TheTemplatesDecideWhichValuesAreSent)
{
    const struct {
        bool on;
        const char *p1, *p2;
        bool dv;
        TInlaySources expected;
    } cases[] = {
        {true, "%d", "", true, {true, false, false, false}},
        {true, "", "%T", true, {true, false, false, false}},
        {true, "%D", "", false, {false, false, false, false}}, // no DV source
        {true, "%r", "%n", false, {false, true, false, true}},
        {true, "%P%F%E", "", false, {false, false, true, false}},
        {true, "%P%E", "", false, {false, false, false, false}},
        {true, "%", "F", false, {false, false, false, false}}, // not across the lines
        {false, "%D%R%F%N", "", true, {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(AnalyseInlaySources(c.on, c.p1, c.p2, c.dv), c.expected)
            << c.on << " " << c.p1 << "|" << c.p2;

    TInlaySourceSwitch sources;
    EXPECT_TRUE(sources.Analyse(true, "%F %N", "", false).sendFileNameNow);
    const auto again = sources.Analyse(true, "%F %N", "", false);
    EXPECT_FALSE(again.sendFileNameNow || again.sendNumberNow);
    sources.Analyse(false, "%F %N", "", false);
    EXPECT_TRUE(sources.Analyse(true, "%N", "", false).sendNumberNow);
}

TEST(InsertCommands, SetTheTemplatesOfTheirMode)
{
    const struct {
        TInsertMode mode;
        const char *p1, *p2;
    } cases[] = {
        {TInsertMode::Timestamp, "%S", ""},  {TInsertMode::Numero, "%N", ""},
        {TInsertMode::Timecode, "%T", ""},   {TInsertMode::Datecode, "%D", "%D"},
        {TInsertMode::Perso, "mine", "too"}, {TInsertMode::SysdateTime, "%R", ""},
    };
    for (const auto &c : cases) {
        const auto patterns = InsertPatterns(c.mode, "mine", "too");
        ASSERT_TRUE(patterns);
        EXPECT_EQ(patterns->pattern1, QString::fromUtf8(c.p1));
        EXPECT_EQ(patterns->pattern2, QString::fromUtf8(c.p2));
    }
    EXPECT_FALSE(InsertPatterns(TInsertMode::None, "", ""));
    EXPECT_FALSE(InsertPatterns(TInsertMode(6), "", ""));
    EXPECT_TRUE(InsertCommandNamed("naInsertDatecode")->needsDV);
    EXPECT_TRUE(InsertCommandNamed("naInsertTimecode")->needsDV);
    EXPECT_FALSE(InsertCommandNamed("naInsertSysdateTime")->needsDV);
    EXPECT_EQ(InsertCommandNamed("naInsertPerso")->mode, TInsertMode::Perso);
}

TEST(SysDateTimer, TicksWithTheDateOfNowWhileOn)
{
    const QDateTime now(QDate(2026, 12, 10), QTime(10, 30, 15, 250));
    EXPECT_FALSE(SysDateTick(false, now));
    const auto tick = SysDateTick(true, now);
    ASSERT_TRUE(tick);
    EXPECT_EQ(NumberToDateTime(*tick), now);
}

} // namespace

namespace {

TEST(InlayPageRules, ControlValuesBecomeActionValues)
{
    EXPECT_TRUE(InlaySizeChoice("auto").autoSize);
    EXPECT_FALSE(InlaySizeChoice("auto").fontSize);
    const struct {
        const char *text;
        int size;
    } sizes[] = {{"20", 20}, {"8", 8}, {"big", 14}, {"", 14}};
    for (const auto &c : sizes) {
        const TInlaySizeChoice choice = InlaySizeChoice(c.text);
        EXPECT_FALSE(choice.autoSize) << c.text;
        EXPECT_EQ(choice.fontSize, c.size) << c.text;
    }
    EXPECT_DOUBLE_EQ(OpacityFromBox(50), 0.5);
    EXPECT_EQ(BoxFromOpacity(0.5), 50);
    EXPECT_EQ(BoxFromOpacity(0.333), 33);
    EXPECT_EQ(AlignFromValue(AlignLinesValue(TInlayAlign::Centre)), TInlayAlign::Centre);
    EXPECT_EQ(AlignLinesValue(TInlayAlign::Right), 1);
    EXPECT_EQ(AlignFromValue(7), TInlayAlign::Left);
    EXPECT_EQ(InlayBorderEntries().indexOf("3 pixels"), 3);

    // Destination (8, 64)-(632, 415): 624 x 351 pixels.
    const QRect destination(QPoint(8, 64), QSize(624, 351));
    EXPECT_EQ(InlayPositionFromClick({320, 240}, destination), QPoint(5000, 5014));
    EXPECT_EQ(InlayPositionFromClick({8, 64}, destination), QPoint(0, 0));
    EXPECT_FALSE(InlayPositionFromClick({8, 64}, QRect(8, 64, 0, 351))); // no picture
    EXPECT_EQ(InlayPositionFromSliders(5000, 1800), QPoint(5000, 8200));
}

TEST(InlayFrameRecord, CarriesThePositionTextOfItsFrame)
{
    const qint64 frame = kRefTimePerSecond / 25;
    const TInlayFrameRecord record = InlayFrameRecord(kRefTimePerSecond + 5 * frame, frame);
    EXPECT_EQ(record.timeStamp, QStringLiteral("0:00:01:05"));
    EXPECT_FALSE(record.dvCodes);
}

} // namespace
