#pragma once
// The frames mode of kadrex-probe: plays the first frames of a file through
// the program's chain (source, notifier, decoder, frames notifier, a sink
// without clock) and prints what the notifiers saw for each video frame.

#include <QString>
#include <QTextStream>

// Prints "frame <k>: position <text> date <text> timecode <text>" for the
// first `frames` video frames, then the format reports the notifiers sent
// ("video format: <format text> - <resolution text>", "audio format:
// <audio description>"). Returns false when the file could not be played.
bool ProbeFrames(const QString &path, int frames, QTextStream &out);
