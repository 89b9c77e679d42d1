#pragma once
// Recording dates of DV frames: the date-time number (days since 30 December
// 1899, the time of day as the fraction) and the date text of the notifier.

#include "uDVPack.h"

#include <QDateTime>
#include <QString>

double DateTimeToNumber(const QDateTime &dateTime);
QDateTime NumberToDateTime(double number);

// The date-time number of decoded DV packs when they form a valid Gregorian
// date and time of day; false (and number untouched) otherwise.
bool DVDateTimeToNumber(const TDVDateTime &packs, double &number);

// The notifier's default date format: the locale's long date, " - ", its short time.
inline const QString kDefaultDVDateFormat = QStringLiteral("dddddd - tt");

// Formats a date-time number with the notifier's date format, through the
// system locale: "dddddd" long date, "ddddd" short date, "tt" and "t" short
// time, "c" short date and long time; other characters are copied. An empty
// format gives the short date and the long time, the time left out at
// exactly midnight.
QString FormatDVDate(const QString &format, double number);
