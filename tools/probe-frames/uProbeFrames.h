#pragma once
// The frames mode of kadrex-probe: plays the first frames of a file through
// the program's chain (source and its notifiers, decoder, frames notifier, a
// sink without clock) and prints what the notifiers saw for each video frame.

#include <QString>
#include <QTextStream>

class TMediaFactory;

// Prints "frame <k>: position <text> date <text> timecode <text>" for the
// first `frames` video frames, then the format reports the notifiers sent
// ("video format: <format text> - <resolution text>", "audio format:
// <audio description>"). The factory's session must be set; its graph is
// emptied afterwards. Returns false when no video frame could be played, and
// then sets *reason (when given) to why, in a few words.
bool ProbeFrames(TMediaFactory &factory, const QString &path, int frames, QTextStream &out,
                 QString *reason = nullptr);
