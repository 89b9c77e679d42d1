#include "uDVDate.h"

#include <QLocale>

#include <cmath>

namespace {

// Constant-initialised, so that it is ready for other static initialisers.
constexpr QDate kEpoch = QDate::fromJulianDay(2415019); // 30 December 1899
constexpr double kMsecsPerDay = 86'400'000.0;

QString shortDateLongTime(const QDateTime &dt)
{
    const QLocale locale;
    QString text = locale.toString(dt.date(), QLocale::ShortFormat);
    if (dt.time() != QTime(0, 0))
        text += QLatin1Char(' ') + locale.toString(dt.time(), QLocale::LongFormat);
    return text;
}

} // namespace

double DateTimeToNumber(const QDateTime &dateTime)
{
    return double(kEpoch.daysTo(dateTime.date())) +
           dateTime.time().msecsSinceStartOfDay() / kMsecsPerDay;
}

QDateTime NumberToDateTime(double number)
{
    const double days = std::floor(number);
    const auto msecs = qint64(std::llround((number - days) * kMsecsPerDay));
    return QDateTime(kEpoch.addDays(qint64(days)), QTime(0, 0)).addMSecs(msecs);
}

bool DVDateTimeToNumber(const TDVDateTime &packs, double &number)
{
    const QDate date(packs.year, packs.month, packs.day);
    if (packs.year < 0 || !date.isValid() || packs.hours >= 24 || packs.minutes >= 60 ||
        packs.seconds >= 60)
        return false;
    number = DateTimeToNumber(QDateTime(date, QTime(packs.hours, packs.minutes, packs.seconds)));
    return true;
}

QString FormatDVDate(const QString &format, double number)
{
    const QDateTime dt = NumberToDateTime(number);
    if (format.isEmpty())
        return shortDateLongTime(dt);
    const QLocale locale;
    QString text;
    for (qsizetype i = 0; i < format.size();) {
        const QStringView rest = QStringView(format).mid(i);
        if (rest.startsWith(QLatin1String("dddddd"), Qt::CaseInsensitive)) {
            text += locale.toString(dt.date(), QLocale::LongFormat);
            i += 6;
        } else if (rest.startsWith(QLatin1String("ddddd"), Qt::CaseInsensitive)) {
            text += locale.toString(dt.date(), QLocale::ShortFormat);
            i += 5;
        } else if (rest.startsWith(QLatin1String("tt"), Qt::CaseInsensitive)) {
            text += locale.toString(dt.time(), QLocale::ShortFormat);
            i += 2;
        } else if (rest.front() == QLatin1Char('t') || rest.front() == QLatin1Char('T')) {
            text += locale.toString(dt.time(), QLocale::ShortFormat);
            ++i;
        } else if (rest.front() == QLatin1Char('c') || rest.front() == QLatin1Char('C')) {
            text += shortDateLongTime(dt);
            ++i;
        } else {
            text += rest.front();
            ++i;
        }
    }
    return text;
}
