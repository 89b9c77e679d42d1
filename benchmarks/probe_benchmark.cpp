// Time to probe each media fixture (a fresh factory each time, so nothing is
// cached) beside the time ffprobe takes on the same file, as a ratio. The
// ffprobe figure includes its process start, as a user would see it.

#include "MediaFixtures.h"
#include "media/uGrapheMan.h"
#include "media/uMediaFactory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <gst/gst.h>

namespace
{

constexpr int kRuns = 5;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double probeMs(const QString &path)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        TGrapheMan session;
        TMediaFactory factory;
        factory.SetGrapheMan(&session);
        QElapsedTimer clock;
        clock.start();
        factory.GetDevice(path);
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    return median(times);
}

double ffprobeMs(const QString &path)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        QProcess process;
        QElapsedTimer clock;
        clock.start();
        process.start("ffprobe", {"-v", "error", "-show_streams", path});
        if (!process.waitForFinished(30000))
            return -1;
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    return median(times);
}

} // namespace

int main(int argc, char **argv)
{
    gst_init(&argc, &argv);
    QCoreApplication app(argc, argv);
    std::printf("%-20s %12s %12s %8s\n", "fixture", "kadrex ms", "ffprobe ms", "ratio");
    for (const QString &name : fixtures::mediaFixtureNames()) {
        const QString path = fixtures::mediaFixture(name);
        if (path.isEmpty()) {
            std::printf("%-20s (not made)\n", qPrintable(name));
            continue;
        }
        const double ours = probeMs(path);
        const double theirs = ffprobeMs(path);
        std::printf("%-20s %12.1f %12.1f %8.2f\n", qPrintable(name), ours, theirs,
                    theirs > 0 ? ours / theirs : 0.0);
    }
    return 0;
}
