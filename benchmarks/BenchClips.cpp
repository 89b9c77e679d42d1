#include "BenchClips.h"

#include "MediaFixtures.h"
#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

namespace benchclips {

QString IndexedH264Clip(const QString &baseName, int frames, int keyInterval,
                        const QString &container)
{
    const QString dir = QDir::tempPath() + QStringLiteral("/kadrex-bench");
    QDir().mkpath(dir);
    const QString path = dir + QLatin1Char('/') + baseName + QLatin1Char('.') + container;
    if (QFileInfo(path).size() > 0)
        return path;
    const QString partial = path + QStringLiteral(".part.") + container;
    const QString key = QString::number(keyInterval);
    const int code =
        testsupport::runProgram("ffmpeg",
                                {"-nostdin",
                                 "-loglevel",
                                 "error",
                                 "-y",
                                 "-f",
                                 "lavfi",
                                 "-i",
                                 fixtures::IndexedLavfiSource(QStringLiteral("192x108"), frames) +
                                     QStringLiteral(",scale=1920:1080:flags=neighbor"),
                                 "-c:v",
                                 "libx264",
                                 "-preset",
                                 "veryfast",
                                 "-g",
                                 key,
                                 "-keyint_min",
                                 key,
                                 "-sc_threshold",
                                 "0",
                                 "-pix_fmt",
                                 "yuv420p",
                                 partial},
                                nullptr, 900000);
    return code == 0 && QFile::rename(partial, path) ? path : QString();
}

double Timed(const std::function<void()> &work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return clock.nsecsElapsed() / 1e6;
}

} // namespace benchclips
