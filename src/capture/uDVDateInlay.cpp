#include "uDVDateInlay.h"

#include "uDateTimeFormat.h"

#include <QDate>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

// Rounds to an integer, saturating instead of overflowing for a wild value
// (a time difference typed as 1e300); NaN gives 0.
qint64 roundSaturated(double value)
{
    constexpr double kLimit = 9.0e18;
    if (std::isnan(value))
        return 0;
    return std::llround(std::clamp(value, -kLimit, kLimit));
}

// One part of a difference's text: " %.2lld h" and the rest of the word when
// it is the largest part, plural when more than one.
QString part(qint64 value, const char *numberFormat, const char *restOfWord, bool largest)
{
    QString text = QString::asprintf(numberFormat, static_cast<long long>(value));
    if (largest) {
        text += QLatin1String(restOfWord);
        if (std::llabs(value) > 1)
            text += QLatin1Char('s');
    }
    return text;
}

} // namespace

QString TimeDifferenceText(double days)
{
    const qint64 t = roundSaturated(days * 86400.0);
    const qint64 s = t % 60, m = (t / 60) % 60, h = (t / 3600) % 24, d = t / 86400;
    QString text;
    if (d != 0)
        text += part(d, " %lld day", "", true);
    if (h != 0)
        text += part(h, " %.2lld h", "our", d == 0);
    if (m != 0)
        text += part(m, " %.2lld m", "inute", d == 0 && h == 0);
    if (s != 0)
        text += part(s, " %.2lld s", "econd", d == 0 && h == 0 && m == 0);
    return text.isEmpty() ? QStringLiteral("none") : text;
}

double RoundToWholeHours(double days)
{
    return double(roundSaturated(days * kHoursPerDay)) / kHoursPerDay;
}

void TDVTimeShift::Refresh(bool dvAvailable, bool dateValid, double recDateTime)
{
    m_dvAvailable = dvAvailable;
    m_dateKnown = dvAvailable && dateValid;
    m_baseDate = m_dateKnown ? CutToWholeSeconds(recDateTime) : kFictitiousDVDate;
}

double TDVTimeShift::SetAdvanced(bool on)
{
    m_advanced = on;
    if (!on)
        m_difference = RoundToWholeHours(m_difference);
    return m_difference;
}

double TDVTimeShift::DisplayedDateChanged(double date, TDVClock clock) const
{
    const double d =
        std::floor(date) + clock.hours / 24.0 + clock.minutes / 1440.0 + clock.seconds / 86400.0;
    return d - m_baseDate;
}

TDVPageView TDVTimeShift::View() const
{
    TDVPageView view;
    view.dvCommandsEnabled = m_dvAvailable;
    const QString prefix = m_dateKnown ? QStringLiteral("Date of the DV video: ")
                                       : QStringLiteral("Fictitious date: ");
    view.videoDateText = prefix + FormatDateTime(QStringLiteral("ddddd tt"), m_baseDate);
    view.displayedDate = m_baseDate + m_difference;
    if (DateTimeNumberInRange(view.displayedDate)) {
        const QTime t = NumberToDateTime(view.displayedDate).time();
        view.displayedClock = {t.hour(), t.minute(), t.second()};
    }
    view.differenceText = TimeDifferenceText(m_difference);
    view.hoursBox =
        int(std::clamp<qint64>(roundSaturated(m_difference * kHoursPerDay), INT_MIN, INT_MAX));
    return view;
}
