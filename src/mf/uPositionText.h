#pragma once
// Reference times (signed counts of 100 ns) and their position text
// "h:mm:ss:ff": hours, minutes, seconds and the frame number in the second.

#include <QString>
#include <QtGlobal>

constexpr qint64 kRefTimePerSecond = 10'000'000;

// The position text of p for frames of duration f (0: unknown, counted as
// one millisecond). A position within half a frame of the next whole second
// shows that second.
QString PositionToText(qint64 frameDuration, qint64 position);

// The reference time that a position text denotes. The fields are found by
// their place from the end of the text, whatever the separators; a field that
// does not parse counts as 0.
qint64 TextToPosition(const QString &text, qint64 frameDuration);
