#include "capture/uDateTimeFormat.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

const QLocale kUS(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);

// Tuesday 5 March 2024, 14:07:09.045.
const QDateTime kAfternoon(QDate(2024, 3, 5), QTime(14, 7, 9, 45));
const double kNumber = DateTimeToNumber(kAfternoon);

std::string format(const char *f, const QLocale &locale = kUS, double number = kNumber)
{
    return FormatDateTime(QString::fromUtf8(f), number, locale).toStdString();
}

TEST(DateTimeNumber, CountsDaysSinceTheEndOf1899WithTheTimeAsFraction)
{
    EXPECT_DOUBLE_EQ(DateTimeToNumber(QDateTime(QDate(1899, 12, 30), QTime(0, 0))), 0.0);
    EXPECT_DOUBLE_EQ(DateTimeToNumber(QDateTime(QDate(1900, 1, 1), QTime(6, 0))), 2.25);
    EXPECT_DOUBLE_EQ(DateTimeToNumber(QDateTime(QDate(1999, 12, 31), QTime(0, 0))), 36525.0);
    EXPECT_EQ(NumberToDateTime(kNumber), kAfternoon);
    EXPECT_EQ(NumberToDateTime(CutToWholeSeconds(kNumber)),
              QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
}

TEST(DateTimeFormat, NumericSpecifiersInEitherCase)
{
    const struct {
        const char *format, *expected;
    } cases[] = {
        {"d/m/yy", "5/3/24"},
        {"dd/mm/yyyy", "05/03/2024"},
        {"DD/MM/YYYY", "05/03/2024"},
        {"h:n:s", "14:7:9"},
        {"hh:nn:ss", "14:07:09"},
        {"hh:mm", "14:07"},      // m after h: minutes
        {"h 'h' mm", "14 h 07"}, // still after h across literals
        {"nn mm", "07 03"},      // m after n: month
        {"HH:MM:SS.ZZZ", "14:07:09.045"},
        {"z", "45"},
        {"h am/pm", "2 pm"},
        {"hh AM/PM", "02 PM"},
        {"h a/p", "2 p"},
        {"'dd' \"mm\" dd", "dd mm 05"},
        {"x-#_", "x-#_"},
        {"'open", "open"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(format(c.format), c.expected) << c.format;
}

TEST(DateTimeFormat, NamesFormatsAndSeparatorsComeFromTheLocale)
{
    const QDate date = kAfternoon.date();
    const QTime time = kAfternoon.time();
    for (const QLocale &locale : {kUS, kGerman}) {
        SCOPED_TRACE(locale.name().toStdString());
        const auto expect = [&](const char *f, const QString &text) {
            EXPECT_EQ(format(f, locale), text.toStdString()) << f;
        };
        expect("ddd", locale.dayName(2, QLocale::ShortFormat));
        expect("dddd", locale.dayName(2, QLocale::LongFormat));
        expect("mmm", locale.monthName(3, QLocale::ShortFormat));
        expect("mmmm", locale.monthName(3, QLocale::LongFormat));
        expect("ddddd", locale.toString(date, QLocale::ShortFormat));
        expect("dddddd", locale.toString(date, QLocale::LongFormat));
        expect("t", locale.toString(time, QLocale::ShortFormat));
        expect("tt", LongTimeText(time, locale));
        expect("ddddd tt", locale.toString(date, QLocale::ShortFormat) + QLatin1Char(' ') +
                               LongTimeText(time, locale));
        expect("c", locale.toString(date, QLocale::ShortFormat) + QLatin1Char(' ') +
                        LongTimeText(time, locale));
        expect("ampm", locale.pmText());
    }
    EXPECT_EQ(format("tt"), "2:07:09 PM"); // no time zone
    EXPECT_EQ(format("tt", kGerman), "14:07:09");
    EXPECT_EQ(format("dd/mm/yyyy", kGerman), "05.03.2024");
    EXPECT_EQ(format("dddd d mmmm", kGerman), "Dienstag 5 März");
}

TEST(DateTimeFormat, EmptyFormatLeavesTheTimeOutAtMidnight)
{
    const QDate date(2024, 3, 5);
    const double midnight = DateTimeToNumber(QDateTime(date, QTime(0, 0)));
    EXPECT_EQ(format("", kUS, midnight), kUS.toString(date, QLocale::ShortFormat).toStdString());
    EXPECT_EQ(format(""), (kUS.toString(date, QLocale::ShortFormat) + QLatin1Char(' ') +
                           LongTimeText(kAfternoon.time(), kUS))
                              .toStdString());
}

} // namespace
