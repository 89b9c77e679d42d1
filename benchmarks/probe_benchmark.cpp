// Time to probe each media fixture, like against like:
//  - process: the kadrex-probe process against the ffprobe process, each
//    started afresh as a user would start it (process start included);
//  - in process: the media factory's probe (a fresh factory each time, so
//    nothing is cached) against GStreamer's own discoverer (a fresh one each
//    time), both with GStreamer already loaded.
// Each figure is the median of a few runs, in milliseconds; a ratio below 1
// means Kadrex is the faster. kadrex-probe also builds each stream's decoder
// chain, so it loads the decoders' plugin modules (libav's alone takes about
// 130 ms to load on these machines), which ffprobe has linked in.

#include "MediaFixtures.h"
#include "media/uGrapheMan.h"
#include "media/uMediaFactory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>

namespace {

constexpr int kRuns = 5;

// Median of kRuns timings of `run`; negative when a run fails.
double medianMs(const std::function<bool()> &run)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer clock;
        clock.start();
        if (!run())
            return -1;
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

bool runProcess(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit;
}

bool probeInProcess(const QString &path)
{
    TGrapheMan session;
    TMediaFactory factory;
    factory.SetGrapheMan(&session);
    factory.GetDevice(path);
    return true;
}

bool discoverInProcess(const QString &path)
{
    GError *error = nullptr;
    GstDiscoverer *discoverer = gst_discoverer_new(10 * GST_SECOND, &error);
    if (!discoverer) {
        g_clear_error(&error);
        return false;
    }
    const QByteArray uri = QUrl::fromLocalFile(path).toEncoded();
    GstDiscovererInfo *info = gst_discoverer_discover_uri(discoverer, uri.constData(), &error);
    g_clear_error(&error);
    if (info)
        gst_discoverer_info_unref(info);
    g_object_unref(discoverer);
    return true;
}

QString ratio(double ours, double theirs)
{
    return ours >= 0 && theirs > 0 ? QString::number(ours / theirs, 'f', 2) : QStringLiteral("-");
}

} // namespace

int main(int argc, char **argv)
{
    gst_init(&argc, &argv);
    QCoreApplication app(argc, argv);
    const QString kadrexProbe = QCoreApplication::applicationDirPath() + "/kadrex-probe";
    std::printf("%-20s | %12s %12s %7s | %12s %12s %7s\n", "fixture", "kadrex-probe", "ffprobe",
                "ratio", "factory", "discoverer", "ratio");
    std::printf("%-20s | %34s | %34s\n", "", "process (ms)", "in process (ms)");
    for (const QString &name : fixtures::mediaFixtureNames()) {
        const QString path = fixtures::mediaFixture(name);
        if (path.isEmpty()) {
            std::printf("%-20s (not made)\n", qPrintable(name));
            continue;
        }
        const double probeProcess = medianMs([&] { return runProcess(kadrexProbe, {path}); });
        const double ffprobe = medianMs([&] {
            return runProcess("ffprobe", {"-v", "error", "-show_streams", path});
        });
        const double factory = medianMs([&] { return probeInProcess(path); });
        const double discoverer = medianMs([&] { return discoverInProcess(path); });
        std::printf("%-20s | %12.1f %12.1f %7s | %12.1f %12.1f %7s\n", qPrintable(name),
                    probeProcess, ffprobe, qPrintable(ratio(probeProcess, ffprobe)), factory,
                    discoverer, qPrintable(ratio(factory, discoverer)));
        std::fflush(stdout);
    }
    return 0;
}
