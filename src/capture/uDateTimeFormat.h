#pragma once
// The date-time format language of the inlay dates (%D and %R) over date-time
// numbers (days since 30 December 1899, the time of day as the fraction).
//
//   d dd          day of the month without / with a leading zero
//   ddd dddd      abbreviated / full day name
//   ddddd dddddd  the short / long date format
//   m mm          month number without / with a leading zero; minutes when the
//                 last specifier before it was h or hh ("hh:mm")
//   mmm mmmm      abbreviated / full month name
//   yy yyyy       two-digit / four-digit year (y and yyy count as yy and yyyy)
//   h hh          hour without / with a leading zero (12-hour with a marker)
//   n nn, s ss    minute, second without / with a leading zero
//   z zzz         milliseconds without / with leading zeros
//   t tt          the short / long time format (the long one without a zone)
//   am/pm a/p     12-hour marker in the case written ("AM/PM" gives "PM")
//   ampm          the locale's own 12-hour marker
//   c             the short date, a blank and the long time
//   / :           the locale's date and time separators
//   '...' "..."   copied unchanged without the quotes
// Letters are case-insensitive; every other character is copied. Names,
// separators and the short and long formats come from the given locale.

#include "filters/uDVDate.h" // DateTimeToNumber, NumberToDateTime

#include <QLocale>
#include <QString>

// Date-time numbers from 1 January 0001 to 31 December 9999. A number out of
// that range (or not finite, from a wild time difference) formats as an
// empty text instead of reaching the date arithmetic.
inline constexpr double kFirstDateTimeNumber = -693593.0;
inline constexpr double kLastDateTimeNumber = 2958466.0;
bool DateTimeNumberInRange(double number);

// The locale's long time format without its time zone: a recorded or a
// wall-clock time has no zone to show.
QString LongTimeFormat(const QLocale &locale);
QString LongTimeText(const QTime &time, const QLocale &locale);

// The date-time number cut to whole seconds.
double CutToWholeSeconds(double number);

// The default text of a date-time: the short date, a blank and the long time,
// the time left out at exactly midnight. Used for an empty format.
QString DefaultDateTimeText(double number, const QLocale &locale = QLocale());

QString FormatDateTime(const QString &format, double number, const QLocale &locale = QLocale());
