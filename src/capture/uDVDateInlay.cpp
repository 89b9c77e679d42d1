#include "uDVDateInlay.h"

#include "uDateTimeFormat.h"

#include <QDate>

#include <cmath>
#include <cstdlib>

namespace {

// One part of a difference's text: " %.2d h" and the rest of the word when
// it is the largest part, plural when more than one.
QString part(qint64 value, const char *numberFormat, const char *restOfWord, bool largest)
{
    QString text = QString::asprintf(numberFormat, int(value));
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
    const qint64 t = std::llround(days * 86400.0);
    const qint64 s = t % 60, m = (t / 60) % 60, h = (t / 3600) % 24, d = t / 86400;
    QString text;
    if (d != 0)
        text += part(d, " %d day", "", true);
    if (h != 0)
        text += part(h, " %.2d h", "our", d == 0);
    if (m != 0)
        text += part(m, " %.2d m", "inute", d == 0 && h == 0);
    if (s != 0)
        text += part(s, " %.2d s", "econd", d == 0 && h == 0 && m == 0);
    return text.isEmpty() ? QStringLiteral("none") : text;
}

double RoundToWholeHours(double days)
{
    return double(std::llround(days * kHoursPerDay)) / kHoursPerDay;
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
    const QTime t = NumberToDateTime(view.displayedDate).time();
    view.displayedClock = {t.hour(), t.minute(), t.second()};
    view.differenceText = TimeDifferenceText(m_difference);
    view.hoursBox = int(std::llround(m_difference * kHoursPerDay));
    return view;
}
