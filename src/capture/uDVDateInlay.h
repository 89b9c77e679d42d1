#pragma once
// The DV date of the inlay and its time shift: the base date the DV page
// works on (the frame's recording date cut to whole seconds, or a fictitious
// date without one), the time difference in days in the simple (whole hours)
// and the advanced (to the second) mode, and the text of a difference.

#include <QString>

// 31 December 1999, 00:00: the date the page works on without a DV date.
inline constexpr double kFictitiousDVDate = 36525.0;
inline constexpr double kHoursPerDay = 24.0;

// " 02 hours", " 01 hour 30 m", " 1 day 02 h", " 45 seconds", "none".
QString TimeDifferenceText(double days);

// A difference rounded to whole hours (the simple mode).
double RoundToWholeHours(double days);

// The hours, minutes and seconds of a displayed date, as the advanced boxes show them.
struct TDVClock {
    int hours = 0, minutes = 0, seconds = 0;
};

// What the DV page shows after a refresh.
struct TDVPageView {
    bool dvCommandsEnabled = false; // naInsertDatecode, naInsertTimecode
    QString videoDateText;          // labVideodate
    double displayedDate = 0;       // the date box's value (base + difference)
    TDVClock displayedClock;        // seHeure, seMinute, seSeconde
    QString differenceText;         // labDecalageHoraire
    int hoursBox = 0;               // seDecalerHeures
};

// The state of the DV page without its widgets. The time difference is the
// value of daDecalageHoraire; the page hands changes to it through the
// results of the Changes, and shows what View() gives.
class TDVTimeShift
{
public:
    // A DV code arrived or the source changed. dvAvailable: a real video
    // source with a DV notifier; recDateTime is used when dateValid.
    void Refresh(bool dvAvailable, bool dateValid, double recDateTime);

    // daDecalageHoraire applied.
    void SetDifference(double days) { m_difference = days; }
    double Difference() const { return m_difference; }
    bool Advanced() const { return m_advanced; }
    double BaseDate() const { return m_baseDate; }

    // The new value of daDecalageHoraire for each change the user makes.
    double HoursBoxChanged(int hours) const { return hours / kHoursPerDay; }
    // caDecalageAvance applied: checking keeps the difference, unchecking
    // rounds it to whole hours.
    double SetAdvanced(bool on);
    // The advanced date box and the hours, minutes and seconds boxes.
    double DisplayedDateChanged(double date, TDVClock clock) const;
    static double Reset() { return 0.0; }

    TDVPageView View() const;

private:
    bool m_dvAvailable = false;
    bool m_dateKnown = false;
    double m_baseDate = kFictitiousDVDate;
    double m_difference = 0;
    bool m_advanced = false;
};

// The date %D shows: the recording date plus the time difference.
inline double ShiftedDVDate(double recDateTime, double difference)
{
    return recDateTime + difference;
}
