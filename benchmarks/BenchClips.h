#pragma once
// What the benchmarks share: 1080p H.264 clips whose frames show their own
// number (the pattern of the indexed test clips, drawn small and scaled up),
// made once with ffmpeg and kept in the temporary folder, and a stopwatch.

#include <QString>

#include <functional>

namespace benchclips {

// A 1080p 25 fps H.264 clip of `frames` frames with a key frame every
// `keyInterval` frames, in `container`; the path, or empty when ffmpeg failed.
QString IndexedH264Clip(const QString &baseName, int frames, int keyInterval,
                        const QString &container);

// Milliseconds the work took.
double Timed(const std::function<void()> &work);

} // namespace benchclips
