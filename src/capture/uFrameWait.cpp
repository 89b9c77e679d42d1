#include "uFrameWait.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <optional>

namespace {

constexpr int kPollMs = 2;

} // namespace

int FrameWaitBoundMs(qint64 frameDuration)
{
    const qint64 frameMs = frameDuration > 0 ? frameDuration / 10'000 : 40;
    return int(std::clamp<qint64>(4 * frameMs, 100, 2000));
}

TFrameWaitEnd WaitForDrawnFrame(const std::function<qint64()> &framesDrawn, qint64 noted,
                                const std::function<bool()> &playing, qint64 frameDuration)
{
    const QDeadlineTimer deadline(FrameWaitBoundMs(frameDuration));
    auto end = [&]() -> std::optional<TFrameWaitEnd> {
        if (framesDrawn() != noted)
            return TFrameWaitEnd::NewFrame;
        if (!playing())
            return TFrameWaitEnd::NotPlaying;
        if (deadline.hasExpired())
            return TFrameWaitEnd::TimedOut;
        return std::nullopt;
    };
    if (const auto now = end())
        return *now;
    // The frame count changes on this thread, in events; poll it from a
    // local loop so that those events, and any others, are handled.
    TFrameWaitEnd result = TFrameWaitEnd::TimedOut;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(kPollMs);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (const auto now = end()) {
            result = *now;
            loop.quit();
        }
    });
    poll.start();
    loop.exec();
    return result;
}
