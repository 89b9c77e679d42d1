// Seeks and steps on a 1080p 25 fps H.264 clip with a key frame every 250
// frames, beside ffmpeg pulling the same frames (`ffmpeg -ss T -i clip
// -frames:v 1 out.bmp`, process start included, as a user would run it).
// Every landing frame is checked by its picture: the clip's frames show
// their own number. Prints median and worst times and the landing check.
//
//   bench_navigation [--targets N] [--seed S] [--container mp4|mkv]

#include "BenchClips.h"
#include "FrameIndex.h"
#include "TestSupport.h"
#include "navigation/uNavSteps.h"

#include "../tests/navigation/NavRig.h"

#include "actions/uScriptAction.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kFrames = 750; // 30 s: three key-frame intervals
constexpr int kKeyInterval = 250;
constexpr qint64 kFrame = 400'000;

struct TFigures {
    explicit TFigures(const char *n) : name(n) {}
    const char *name;
    std::vector<double> ms;
    int landed = 0, checked = 0;
    // Times the work, then checks the frame it landed on.
    void run(const std::function<void()> &work, const std::function<bool()> &landedRight)
    {
        const double t = benchclips::Timed(work);
        add(t, landedRight());
    }
    void add(double t, bool ok)
    {
        ms.push_back(t);
        ++checked;
        landed += ok;
    }
    double median() const
    {
        std::vector<double> v = ms;
        std::sort(v.begin(), v.end());
        return v.empty() ? 0 : v[v.size() / 2];
    }
    double worst() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
};

void print(const TFigures &f)
{
    std::printf("%-44s %4zu %10.1f %10.1f   %d/%d\n", f.name, f.ms.size(), f.median(), f.worst(),
                f.landed, f.checked);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    gst_init(&argc, &argv);
    int targets = 12;
    quint32 seed = 20261210;
    QString container = QStringLiteral("mp4");
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == "--targets")
            targets = args[i + 1].toInt();
        if (args[i] == "--seed")
            seed = args[i + 1].toUInt();
        if (args[i] == "--container")
            container = args[i + 1];
    }
    const QString clip = benchclips::IndexedH264Clip(QStringLiteral("nav1080p25_gop250"), kFrames,
                                                     kKeyInterval, container);
    if (clip.isEmpty()) {
        std::fprintf(stderr, "bench_navigation: cannot make the 1080p clip (ffmpeg)\n");
        return 1;
    }
    QRandomGenerator random(seed);
    std::vector<int> frames;
    for (int i = 0; i < targets; ++i)
        frames.push_back(int(random.bounded(1, kFrames - 30)));

    // ffmpeg, one process per image.
    TFigures ffmpeg{"ffmpeg -ss T -i clip -frames:v 1 out.bmp"};
    QTemporaryDir out;
    for (int k : frames) {
        const QString bmp = out.filePath(QStringLiteral("f%1.bmp").arg(k));
        const double ms = benchclips::Timed([&] {
            testsupport::runProgram("ffmpeg", {"-nostdin", "-loglevel", "error", "-y", "-ss",
                                               QString::number(k * 0.04, 'f', 3), "-i", clip,
                                               "-frames:v", "1", bmp});
        });
        ffmpeg.add(ms, fixtures::frameIndexOf(QImage(bmp)) == k);
    }

    TNavRig rig;
    const double openMs = benchclips::Timed([&] { rig.open(clip); });
    if (rig.nav.FrameDuration() != kFrame) {
        std::fprintf(stderr, "bench_navigation: the clip does not open\n");
        return 1;
    }
    rig.nav.caSeekPrecision->SetChecked(true);
    const bool verbose = qEnvironmentVariableIsSet("KADREX_BENCH_VERBOSE");
    const auto shows = [&rig, verbose](int k) {
        if (verbose)
            std::fprintf(stderr, "want %d shown %d position %lld\n", k, rig.shownIndex(),
                         static_cast<long long>(rig.nav.CurrentPosition() / kFrame));
        return rig.shownIndex() == k && rig.nav.CurrentPosition() == k * kFrame;
    };

    TFigures seek{"precise seek to a random frame"};
    TFigures forward{"one frame forward (step event)"};
    TFigures backCached{"one frame back, inside the cache"};
    TFigures backMiss{"one frame back, outside the cache (seek)"};
    TFigures acrossKey{"one frame back across a key frame (cached)"};
    TFigures acrossKeyMiss{"one frame back across a key frame (seek)"};
    for (int k : frames) {
        seek.run([&] { rig.nav.SeekPrecise(k * kFrame); }, [&] { return shows(k); });
        for (int s = 1; s <= 3; ++s)
            forward.run([&] { rig.nav.StepForward(kFrame); }, [&] { return shows(k + s); });
        for (int s = 2; s >= 0; --s)
            backCached.run([&] { rig.nav.StepBackward(kFrame); }, [&] { return shows(k + s); });
        rig.nav.FrameCache().Clear();
        if (k > 0)
            backMiss.run([&] { rig.nav.StepBackward(kFrame); }, [&] { return shows(k - 1); });
    }
    for (int key = kKeyInterval; key < kFrames; key += kKeyInterval) {
        rig.nav.SeekPrecise(key * kFrame);
        acrossKey.run([&] { rig.nav.StepBackward(kFrame); }, [&] { return shows(key - 1); });
        rig.nav.SeekPrecise(key * kFrame);
        rig.nav.FrameCache().Clear();
        acrossKeyMiss.run([&] { rig.nav.StepBackward(kFrame); }, [&] { return shows(key - 1); });
    }

    std::printf(
        "clip: 1920x1080 25 fps H.264, %d frames, a key frame every %d; opened in %.0f ms\n",
        kFrames, kKeyInterval, openMs);
    std::printf("frame cache: %lld MiB budget\n",
                static_cast<long long>(rig.nav.FrameCache().Budget() >> 20));
    std::printf("%-44s %4s %10s %10s   %s\n", "operation", "n", "median ms", "worst ms",
                "landing frame right");
    for (const TFigures *f :
         {&ffmpeg, &seek, &forward, &backCached, &backMiss, &acrossKey, &acrossKeyMiss})
        print(*f);
    const double ratio = ffmpeg.median() > 0 ? seek.median() / ffmpeg.median() : 0;
    std::printf("precise seek median / ffmpeg per image: %.2fx (goal <= 0.6x)\n", ratio);
    std::printf("one frame forward median: %.1f ms (goal <= 10 ms)\n", forward.median());
    std::vector<double> back = backCached.ms;
    back.insert(back.end(), backMiss.ms.begin(), backMiss.ms.end());
    back.insert(back.end(), acrossKey.ms.begin(), acrossKey.ms.end());
    back.insert(back.end(), acrossKeyMiss.ms.begin(), acrossKeyMiss.ms.end());
    std::sort(back.begin(), back.end());
    std::printf("one frame back median, all kinds: %.1f ms (goal <= 50 ms)\n",
                back.empty() ? 0 : back[back.size() / 2]);
    const bool allLanded =
        ffmpeg.landed == ffmpeg.checked && seek.landed == seek.checked &&
        forward.landed == forward.checked && backCached.landed == backCached.checked &&
        backMiss.landed == backMiss.checked && acrossKey.landed == acrossKey.checked &&
        acrossKeyMiss.landed == acrossKeyMiss.checked;
    std::printf("landing check: %s\n", allLanded ? "every frame right" : "WRONG FRAMES");
    return allLanded ? 0 : 1;
}
