#include "BenchClips.h"

#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

namespace benchclips {
namespace {

// 12 columns of bits over the top half, their complement below.
QString indexedSource(int frames)
{
    const QString bit = QStringLiteral("mod(floor(N/pow(2,11-floor(X*12/W))),2)");
    const QString lum = QStringLiteral("if(lt(Y,H/2),16+219*%1,if(lt(Y,3*H/4),235-219*%1,"
                                       "if(lt(X,W/2),235,16)))")
                            .arg(bit);
    return QStringLiteral("color=c=gray:size=192x108:rate=25:duration=%1,format=yuv420p,"
                          "geq=lum='%2':cb=128:cr=128,scale=1920:1080:flags=neighbor")
        .arg(frames / 25.0)
        .arg(lum);
}

} // namespace

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
    const int code = testsupport::runProgram("ffmpeg", {"-nostdin",
                                                        "-loglevel",
                                                        "error",
                                                        "-y",
                                                        "-f",
                                                        "lavfi",
                                                        "-i",
                                                        indexedSource(frames),
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
