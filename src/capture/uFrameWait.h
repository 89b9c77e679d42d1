#pragma once
// The grab's wait for a frame drawn after the latest inlay refresh, so that
// the saved picture shows the current inlay text. It handles pending events
// while it waits (other commands may run inside it) and it always ends: at
// the new frame, when playback stops or pauses, or after a few frame
// durations.

#include <QtGlobal>

#include <functional>

enum class TFrameWaitEnd { NewFrame, NotPlaying, TimedOut };

// How long the wait may last: four frame durations, at least 100 ms and at
// most 2 s (an unknown frame duration counts as 40 ms).
int FrameWaitBoundMs(qint64 frameDuration);

// Waits until framesDrawn() differs from noted, or playing() turns false,
// or the bound has passed.
TFrameWaitEnd WaitForDrawnFrame(const std::function<qint64()> &framesDrawn, qint64 noted,
                                const std::function<bool()> &playing, qint64 frameDuration);
