#include "uDateTimeFormat.h"

#include <cmath>

namespace {

// The first character of a locale format that is neither a letter nor a
// quote: "dd/MM/yyyy" gives '/', "HH:mm" gives ':'.
QString separatorOf(const QString &localeFormat, QChar fallback)
{
    for (const QChar c : localeFormat)
        if (!c.isLetter() && c != QLatin1Char('\'') && !c.isSpace())
            return QString(c);
    return QString(fallback);
}

int runLength(QStringView text, qsizetype from, QChar letter)
{
    int n = 0;
    while (from + n < text.size() && text[from + n].toLower() == letter)
        ++n;
    return n;
}

bool startsWithCi(QStringView text, qsizetype from, QLatin1String word)
{
    return text.mid(from).startsWith(word, Qt::CaseInsensitive);
}

// The 12-hour markers, longest first so that "ampm" is not read as "am/pm".
bool hasTwelveHourMarker(const QString &format)
{
    return format.contains(QLatin1String("am/pm"), Qt::CaseInsensitive) ||
           format.contains(QLatin1String("a/p"), Qt::CaseInsensitive) ||
           format.contains(QLatin1String("ampm"), Qt::CaseInsensitive);
}

QString number(int value, int width)
{
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

// A marker written as "am/pm" or "a/p": the half for the hour, in the case of
// the letters as written.
QString writtenMarker(QStringView written, bool pm)
{
    const qsizetype slash = written.indexOf(QLatin1Char('/'));
    return (pm ? written.mid(slash + 1) : written.left(slash)).toString();
}

class TFormatter
{
public:
    TFormatter(const QString &format, double number, const QLocale &locale)
        : m_format(format), m_dt(NumberToDateTime(number)), m_locale(locale),
          m_twelveHour(hasTwelveHourMarker(format))
    {
    }

    QString Run()
    {
        for (qsizetype i = 0; i < m_format.size();)
            i = Step(i);
        return m_out;
    }

private:
    QDate date() const { return m_dt.date(); }
    QTime time() const { return m_dt.time(); }

    qsizetype Step(qsizetype i)
    {
        const QStringView f(m_format);
        const QChar c = f[i];
        const QChar lower = c.toLower();
        if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
            return Quoted(i);
        if (startsWithCi(f, i, QLatin1String("am/pm")))
            return Marker(i, 5);
        if (startsWithCi(f, i, QLatin1String("a/p")))
            return Marker(i, 3);
        if (startsWithCi(f, i, QLatin1String("ampm"))) {
            m_out += time().hour() < 12 ? m_locale.amText() : m_locale.pmText();
            m_afterHour = false;
            return i + 4;
        }
        if (c == QLatin1Char('/')) {
            m_out += separatorOf(m_locale.dateFormat(QLocale::ShortFormat), QLatin1Char('/'));
            return i + 1;
        }
        if (c == QLatin1Char(':')) {
            m_out += separatorOf(m_locale.timeFormat(QLocale::ShortFormat), QLatin1Char(':'));
            return i + 1;
        }
        const char letter = lower.toLatin1();
        if (!QStringLiteral("dmyhnsztc").contains(lower) || letter == 0) {
            m_out += c;
            return i + 1;
        }
        const int run = runLength(f, i, lower);
        const int used = Specifier(letter, run);
        m_afterHour = letter == 'h';
        return i + used;
    }

    // Writes one specifier from a run of `run` equal letters; returns how
    // many letters it took.
    int Specifier(char letter, int run)
    {
        switch (letter) {
        case 'd':
            return Day(run);
        case 'm':
            return Month(run);
        case 'y':
            m_out += run <= 2 ? number(date().year() % 100, 2) : number(date().year(), 4);
            return run;
        case 'h': {
            int hour = time().hour();
            if (m_twelveHour)
                hour = hour % 12 == 0 ? 12 : hour % 12;
            m_out += number(hour, run >= 2 ? 2 : 1);
            return std::min(run, 2);
        }
        case 'n':
            m_out += number(time().minute(), run >= 2 ? 2 : 1);
            return std::min(run, 2);
        case 's':
            m_out += number(time().second(), run >= 2 ? 2 : 1);
            return std::min(run, 2);
        case 'z':
            m_out += number(time().msec(), run >= 3 ? 3 : 1);
            return run >= 3 ? 3 : 1;
        case 't':
            m_out += run >= 2 ? LongTimeText(time(), m_locale)
                              : m_locale.toString(time(), QLocale::ShortFormat);
            return std::min(run, 2);
        case 'c':
            m_out += m_locale.toString(date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                     LongTimeText(time(), m_locale);
            return 1;
        }
        return 1;
    }

    int Day(int run)
    {
        const int used = std::min(run, 6);
        switch (used) {
        case 1:
        case 2:
            m_out += number(date().day(), used);
            break;
        case 3:
            m_out += m_locale.dayName(date().dayOfWeek(), QLocale::ShortFormat);
            break;
        case 4:
            m_out += m_locale.dayName(date().dayOfWeek(), QLocale::LongFormat);
            break;
        case 5:
            m_out += m_locale.toString(date(), QLocale::ShortFormat);
            break;
        default:
            m_out += m_locale.toString(date(), QLocale::LongFormat);
            break;
        }
        return used;
    }

    int Month(int run)
    {
        const int used = std::min(run, 4);
        if (used <= 2 && m_afterHour)
            m_out += number(time().minute(), used);
        else if (used <= 2)
            m_out += number(date().month(), used);
        else
            m_out += m_locale.monthName(date().month(),
                                        used == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
        return used;
    }

    qsizetype Quoted(qsizetype i)
    {
        const QChar quote = m_format[i];
        const qsizetype end = m_format.indexOf(quote, i + 1);
        if (end < 0) {
            m_out += QStringView(m_format).mid(i + 1);
            return m_format.size();
        }
        m_out += QStringView(m_format).mid(i + 1, end - i - 1);
        return end + 1;
    }

    qsizetype Marker(qsizetype i, int length)
    {
        m_out += writtenMarker(QStringView(m_format).mid(i, length), time().hour() >= 12);
        m_afterHour = false;
        return i + length;
    }

    const QString &m_format;
    const QDateTime m_dt;
    const QLocale &m_locale;
    const bool m_twelveHour;
    bool m_afterHour = false;
    QString m_out;
};

} // namespace

QString LongTimeFormat(const QLocale &locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString kept;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (quoted || c != QLatin1Char('t'))
            kept += c;
    }
    return kept.simplified();
}

QString LongTimeText(const QTime &time, const QLocale &locale)
{
    return locale.toString(time, LongTimeFormat(locale));
}

double CutToWholeSeconds(double number)
{
    if (!DateTimeNumberInRange(number))
        return number;
    const QDateTime dt = NumberToDateTime(number);
    const QTime t = dt.time();
    return DateTimeToNumber(QDateTime(dt.date(), QTime(t.hour(), t.minute(), t.second())));
}

bool DateTimeNumberInRange(double number)
{
    return number >= kFirstDateTimeNumber && number < kLastDateTimeNumber; // false for NaN
}

QString DefaultDateTimeText(double number, const QLocale &locale)
{
    if (!DateTimeNumberInRange(number))
        return {};
    const QDateTime dt = NumberToDateTime(number);
    QString text = locale.toString(dt.date(), QLocale::ShortFormat);
    if (dt.time() != QTime(0, 0))
        text += QLatin1Char(' ') + LongTimeText(dt.time(), locale);
    return text;
}

QString FormatDateTime(const QString &format, double number, const QLocale &locale)
{
    if (!DateTimeNumberInRange(number))
        return {};
    if (format.isEmpty())
        return DefaultDateTimeText(number, locale);
    return TFormatter(format, number, locale).Run();
}
