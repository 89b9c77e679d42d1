#pragma once
// The arithmetic of navigation, apart from any graph: clamps of absolute
// seeks and steps, the frame a target picks, the slider scale and the
// position fraction. All positions are reference times (100 ns).

#include <QtGlobal>

#include <limits>

namespace navsteps {

inline constexpr qint64 kTenMinutes = 6'000'000'000;
inline constexpr qint64 kOneMinute = 600'000'000;
inline constexpr qint64 kTenSeconds = 100'000'000;
inline constexpr qint64 kOneSecond = 10'000'000;
inline constexpr qint64 kNoEnd = std::numeric_limits<qint64>::max();
// A slider unit is this many reference-time units.
inline constexpr qint64 kSliderUnit = 1024;

// An absolute seek's target: not at or above end - frame duration (so the
// highest reachable position is duration - 2 frame durations), then not
// below start.
qint64 ClampSeek(qint64 position, qint64 start, qint64 end, qint64 frameDuration);

// A forward step lands at most on end and at least on start; a backward step
// only has the lower clamp.
qint64 StepForwardTarget(qint64 current, qint64 delta, qint64 start, qint64 end);
qint64 StepBackwardTarget(qint64 current, qint64 delta, qint64 start);

// The frame a target picks: the first frame at or after target - half a
// frame, frames lying on multiples of the frame duration from 0.
qint64 FrameAtTarget(qint64 target, qint64 frameDuration);
// Where to ask the graph for that frame: its middle, so that a first buffer
// stamped with the requested time still snaps to it (an exact half rounds
// down).
qint64 SeekPointFor(qint64 frame, qint64 frameDuration);

// Whether a frame at `position` is the one a target picks.
bool Picks(qint64 target, qint64 position, qint64 frameDuration);

// (position - start) * 1024 div (end - start), 0 when end is not above start.
int KPosition(qint64 position, qint64 start, qint64 end);

// position div 1024, kept within the range of a slider.
int SliderValue(qint64 position);

// A step of `delta` counted in whole frames, or 0 when it is not a positive
// whole number of frames.
qint64 FramesIn(qint64 delta, qint64 frameDuration);

} // namespace navsteps
