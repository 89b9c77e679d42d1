// Cost per displayed frame of the inlay: expanding the templates, drawing the
// overlay (only when its text changed) and mixing it over the frame, with a
// time stamp that changes every frame (%S, redrawn each time) and with a
// fixed text (drawn once, mixed each time).

#include "capture/uInlayOverlay.h"
#include "capture/uInlayPageRules.h"
#include "mf/uPositionText.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <cstdio>

namespace {

constexpr int kFrames = 200;
constexpr qint64 kFrameDuration = kRefTimePerSecond / 25;

double millisecondsPerFrame(QSize size, const char *pattern)
{
    TInlay inlay;
    inlay.SetOn(true);
    inlay.Style().autoSize = true;
    inlay.Style().position = {5000, 8200};
    inlay.Templates().pattern[0] = QString::fromUtf8(pattern);
    inlay.Values().fileName = QStringLiteral("/videos/holiday.dv");
    QImage frame(size, QImage::Format_RGB32);
    frame.fill(qRgb(40, 80, 120));

    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kFrames; ++i)
        inlay.MixInto(frame, InlayFrameRecord(i * kFrameDuration, kFrameDuration));
    return timer.nsecsElapsed() / 1e6 / kFrames;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    for (const QSize size : {QSize(720, 576), QSize(1920, 1080)})
        for (const char *pattern : {"%S", "%F"})
            std::printf("inlay %4dx%-4d %-3s %.3f ms per frame\n", size.width(), size.height(),
                        pattern, millisecondsPerFrame(size, pattern));
    return 0;
}
