// The intervalometer on a 60 s 1080p 25 fps H.264 clip with a key frame every
// 250 frames: 1 image a second and 1 every 10 s, beside `ffmpeg -i clip -vf
// fps=1 out%03d.jpg` and the decode-only time of the clip. Every image is
// checked by its picture (the clip's frames show their own number).
//
// The kadrex rows are whole processes, as ffmpeg's and gst-launch's are:
// `kadrex /o=clip /savfold=DIR /addi=1 /iex=1 /ci=false /idelai=N /iunit=1
// /inter /quit`, JPEGs written, read back and checked. The in-process rows
// time the run alone, with a grab that only looks at the frame (no save).
//
//   bench_intervallo

#include "BenchClips.h"
#include "FrameIndex.h"
#include "TestSupport.h"

#include "../tests/navigation/NavRig.h"

#include "capture/uIntervallo.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kFrames = 1500;
constexpr qint64 kFrame = 400'000;

struct TRunFigures {
    double ms = 0;
    int images = 0, right = 0, forwards = 0, seeks = 0;
};

// The frame the a-th image of a run every delaySeconds shows: the last
// target is the end of the video, two frames before its length.
int wantedFrame(int a, int delaySeconds)
{
    const int frame = a * delaySeconds * 25;
    return frame >= kFrames - 1 ? kFrames - 2 : frame;
}

TRunFigures runKadrex(const QString &clip, int delaySeconds)
{
    QTemporaryDir config, out;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    TRunFigures f;
    int code = -1;
    f.ms = benchclips::Timed([&] {
        code = testsupport::runProgram(testsupport::buildBinDir() + "/kadrex",
                                       {"/o=" + clip, "/savfold=" + out.path(), "/addi=1", "/iex=1",
                                        "/ci=false", "/idelai=" + QString::number(delaySeconds),
                                        "/iunit=1", "/inter", "/quit"},
                                       nullptr, 600000);
    });
    if (code != 0)
        std::fprintf(stderr, "bench_intervallo: kadrex ended with %d\n", code);
    const QStringList images = QDir(out.path()).entryList({"*.jpg"}, QDir::Files, QDir::Name);
    for (int a = 0; a < images.size(); ++a) {
        ++f.images;
        f.right +=
            fixtures::frameIndexOf(QImage(out.filePath(images[a]))) == wantedFrame(a, delaySeconds);
    }
    return f;
}

double kadrexStartAndQuit()
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    return benchclips::Timed([&] {
        testsupport::runProgram(testsupport::buildBinDir() + "/kadrex", {"/quit"}, nullptr, 60000);
    });
}

TRunFigures runIntervallo(const QString &clip, int delaySeconds)
{
    TNavRig rig;
    TRunFigures f;
    if (!rig.open(clip))
        return f;
    TIntervallo run{rig.nav};
    run.ProcessEvents = [] { QCoreApplication::processEvents(); };
    int a = 0;
    run.Grab = [&] {
        f.right += rig.shownIndex() == wantedFrame(a, delaySeconds);
        ++f.images, ++a;
        return TSaveResult{TSaveStatus::Saved, {}, {}, false};
    };
    run.Recompute(delaySeconds, intervallo::kSeconds);
    f.ms = benchclips::Timed([&] { run.Run(); });
    f.forwards = run.Forwards();
    f.seeks = run.Seeks();
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    gst_init(&argc, &argv);
    const QString clip = benchclips::IndexedH264Clip(QStringLiteral("iv1080p25_60s_gop250"),
                                                     kFrames, 250, QStringLiteral("mp4"));
    if (clip.isEmpty()) {
        std::fprintf(stderr, "bench_intervallo: cannot make the clip (ffmpeg)\n");
        return 1;
    }
    QTemporaryDir out;
    int ffmpegRight = 0, ffmpegImages = 0;
    const double ffmpegMs = benchclips::Timed([&] {
        testsupport::runProgram("ffmpeg",
                                {"-nostdin", "-loglevel", "error", "-y", "-i", clip, "-vf", "fps=1",
                                 out.filePath("out%03d.jpg")},
                                nullptr, 600000);
    });
    // fps=1 takes the frame nearest each second's middle: image n shows frame 25(n-1)+12 or so;
    // count the images that hold a readable frame number.
    for (const QString &name : QDir(out.path()).entryList({"*.jpg"}, QDir::Files)) {
        ++ffmpegImages;
        ffmpegRight += fixtures::frameIndexOf(QImage(out.filePath(name))) >= 0;
    }
    const double decodeMs = benchclips::Timed([&] {
        testsupport::runProgram(
            "gst-launch-1.0",
            {"-q", "filesrc", "location=" + clip, "!", "decodebin", "!", "fakesink"}, nullptr,
            600000);
    });
    const TRunFigures perSecond = runKadrex(clip, 1);
    const TRunFigures perTen = runKadrex(clip, 10);
    const double startMs = kadrexStartAndQuit();
    const TRunFigures runPerSecond = runIntervallo(clip, 1);
    const TRunFigures runPerTen = runIntervallo(clip, 10);

    std::printf("clip: 1920x1080 25 fps H.264, %d frames, a key frame every 250\n", kFrames);
    std::printf("%-40s %10s %8s %12s %s\n", "run", "ms", "images", "right frame", "fwd/seek");
    std::printf("%-40s %10.0f %8d %12d\n", "ffmpeg -i clip -vf fps=1 out%03d.jpg", ffmpegMs,
                ffmpegImages, ffmpegRight);
    std::printf("%-40s %10.0f\n", "decode only (gst-launch decodebin)", decodeMs);
    std::printf("%-40s %10.0f %8d %12d\n", "kadrex 1 image/s (JPEG saved)", perSecond.ms,
                perSecond.images, perSecond.right);
    std::printf("%-40s %10.0f %8d %12d\n", "kadrex 1 image/10 s (JPEG saved)", perTen.ms,
                perTen.images, perTen.right);
    std::printf("%-40s %10.0f\n", "kadrex /quit (start and close only)", startMs);
    const auto inProcess = [](const char *what, const TRunFigures &f) {
        std::printf("%-40s %10.0f %8d %12d %d/%d\n", what, f.ms, f.images, f.right, f.forwards,
                    f.seeks);
    };
    inProcess("in-process run 1 image/s (no save)", runPerSecond);
    inProcess("in-process run 1 image/10 s (no save)", runPerTen);
    std::printf("kadrex 1 image/s: %.2fx ffmpeg fps=1 (goal <= 1.0x), %.2fx decode only (goal <= "
                "1.3x)\n",
                perSecond.ms / ffmpegMs, perSecond.ms / decodeMs);
    bool right = true;
    for (const TRunFigures *f : {&perSecond, &perTen, &runPerSecond, &runPerTen})
        right = right && f->images > 0 && f->right == f->images;
    std::printf("image check: %s\n",
                right ? "every image the frame at its target" : "WRONG FRAMES");
    return right ? 0 : 1;
}
