#include "uNavSteps.h"

#include <algorithm>

namespace navsteps {

qint64 ClampSeek(qint64 position, qint64 start, qint64 end, qint64 frameDuration)
{
    // end - frameDuration cannot overflow: end is at most the largest value
    // and a frame duration is positive (or 0 before any is known).
    const qint64 highest = end - frameDuration;
    if (position >= highest)
        position = highest;
    if (position < start)
        position = start;
    return position;
}

namespace {

qint64 saturatingAdd(qint64 a, qint64 b)
{
    qint64 sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    return sum;
}

} // namespace

qint64 StepForwardTarget(qint64 current, qint64 delta, qint64 start, qint64 end)
{
    qint64 target = saturatingAdd(current, delta);
    if (target >= end)
        target = end;
    if (target < start)
        target = start;
    return target;
}

qint64 StepBackwardTarget(qint64 current, qint64 delta, qint64 start)
{
    const qint64 target = saturatingAdd(current, -delta);
    return target < start ? start : target;
}

qint64 FrameAtTarget(qint64 target, qint64 frameDuration)
{
    if (frameDuration <= 1)
        return std::max<qint64>(target, 0);
    const qint64 earliest = target - frameDuration / 2;
    if (earliest <= 0)
        return 0;
    return (earliest + frameDuration - 1) / frameDuration * frameDuration;
}

qint64 SeekPointFor(qint64 frame, qint64 frameDuration)
{
    return frame + std::max<qint64>(frameDuration, 0) / 2;
}

bool Picks(qint64 target, qint64 position, qint64 frameDuration)
{
    return position == FrameAtTarget(target, frameDuration);
}

int KPosition(qint64 position, qint64 start, qint64 end)
{
    if (end <= start)
        return 0;
    const __int128 fraction = __int128(position - start) * 1024 / (__int128(end) - start);
    return int(std::clamp<__int128>(fraction, std::numeric_limits<int>::min(),
                                    std::numeric_limits<int>::max()));
}

int SliderValue(qint64 position)
{
    return int(std::clamp<qint64>(position / kSliderUnit, std::numeric_limits<int>::min(),
                                  std::numeric_limits<int>::max()));
}

qint64 FramesIn(qint64 delta, qint64 frameDuration)
{
    if (frameDuration <= 0 || delta <= 0 || delta % frameDuration != 0)
        return 0;
    return delta / frameDuration;
}

} // namespace navsteps
