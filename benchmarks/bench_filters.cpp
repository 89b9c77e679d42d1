// Cost per sample of the notifier and the frames notifier on a DV stream,
// beside the bare path without them: once pushing the same real DV frames
// through a harness, once through a whole demuxing pipeline.

#include "filters/uFramesNotifier.h"
#include "filters/uNotifier.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gst/check/gstharness.h>

#include <atomic>
#include <cstdio>

namespace {

constexpr int kFrames = 500;
constexpr qsizetype kFrameSize = 144'000;

bool makeDV(const QString &path)
{
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v",
                            "error",
                            "-y",
                            "-f",
                            "lavfi",
                            "-i",
                            "testsrc=size=720x576:rate=25",
                            "-f",
                            "lavfi",
                            "-i",
                            "sine=sample_rate=48000",
                            "-t",
                            QString::number(kFrames / 25.0),
                            "-target",
                            "pal-dv",
                            "-metadata",
                            "creation_time=2004-07-14T10:20:30",
                            "-timecode",
                            "10:00:00:00",
                            path});
    return ffmpeg.waitForFinished(120'000) && ffmpeg.exitCode() == 0;
}

std::atomic<long> messages{0};
void count(const TNvMessage &)
{
    ++messages;
}

GstElement *makeElement(const char *which)
{
    if (qstrcmp(which, "notifier") == 0) {
        GstElement *element = TNotifier::Create();
        TNotifier *n = TNotifier::From(element);
        n->ResetCodes();
        n->SetVideoWindow(count);
        n->SetAudioWindow(count);
        n->SetDVWindow(count);
        n->SetInlayWindow(count);
        n->SetFrameDurationWindow(count);
        n->SetVideoReports(true);
        n->SetAudioReports(true);
        n->SetDVReports(true);
        n->SetInlayCodes(true);
        return element;
    }
    if (qstrcmp(which, "framesnotifier") == 0) {
        GstElement *element = TFramesNotifier::Create();
        TFramesNotifier *f = TFramesNotifier::From(element);
        f->SetVideoWindow(count);
        f->SetNavigationWindow(count);
        f->SetFrameDuration(400'000);
        f->SetPositionReports(true);
        return element;
    }
    return gst_element_factory_make("identity", nullptr);
}

// Nanoseconds per sample pushed through one element in a harness.
double harnessCost(const char *which, const QByteArray &frames, int rounds)
{
    GstHarness *h = gst_harness_new_with_element(makeElement(which), "sink", "src");
    gst_harness_set_src_caps_str(
        h, "video/x-dv,systemstream=false,width=720,height=576,framerate=25/1");
    const int count = int(frames.size() / kFrameSize);
    QElapsedTimer timer;
    timer.start();
    for (int k = 0; k < count * rounds; ++k) {
        const char *data = frames.constData() + (k % count) * kFrameSize;
        GstBuffer *buffer = gst_buffer_new_wrapped_full(
            GST_MEMORY_FLAG_READONLY, (gpointer)data, kFrameSize, 0, kFrameSize, nullptr, nullptr);
        GST_BUFFER_PTS(buffer) = GstClockTime(k) * 40 * GST_MSECOND;
        gst_harness_push(h, buffer);
        gst_buffer_unref(gst_harness_pull(h));
    }
    const double ns = double(timer.nsecsElapsed()) / (count * rounds);
    gst_harness_teardown(h);
    return ns;
}

// Nanoseconds per frame of filesrc ! dvdemux ! [elements] ! fakesink.
double pipelineCost(const QString &path, bool withFilters)
{
    const QByteArray description =
        QStringLiteral("filesrc location=\"%1\" ! dvdemux name=d d.video ! %2 fakesink sync=false")
            .arg(path, withFilters ? "kadrexnotifier name=n ! kadrexframesnotifier name=f !" : "")
            .toUtf8();
    GError *error = nullptr;
    GstElement *pipeline = gst_parse_launch(description.constData(), &error);
    if (!pipeline) {
        std::fprintf(stderr, "pipeline: %s\n", error ? error->message : "?");
        return -1;
    }
    if (withFilters) {
        GstElement *n = gst_bin_get_by_name(GST_BIN(pipeline), "n");
        TNotifier *notifier = TNotifier::From(n);
        notifier->ResetCodes();
        notifier->SetDVWindow(count);
        notifier->SetVideoWindow(count);
        notifier->SetDVReports(true);
        notifier->SetVideoReports(true);
        GstElement *f = gst_bin_get_by_name(GST_BIN(pipeline), "f");
        TFramesNotifier::From(f)->SetNavigationWindow(count);
        TFramesNotifier::From(f)->SetFrameDuration(400'000);
        TFramesNotifier::From(f)->SetPositionReports(true);
        gst_object_unref(n);
        gst_object_unref(f);
    }
    QElapsedTimer timer;
    timer.start();
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus *bus = gst_element_get_bus(pipeline);
    GstMessage *msg = gst_bus_timed_pop_filtered(
        bus, 60 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const double ns = double(timer.nsecsElapsed()) / kFrames;
    if (msg)
        gst_message_unref(msg);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ns;
}

} // namespace

int main(int argc, char **argv)
{
    gst_init(&argc, &argv);
    QCoreApplication app(argc, argv);
    TNotifier::Register();
    TFramesNotifier::Register();

    QTemporaryDir dir;
    const QString path = dir.filePath("bench.dv");
    if (!makeDV(path)) {
        std::fprintf(stderr, "ffmpeg could not write the DV file\n");
        return 1;
    }
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray frames = file.readAll();
    const int rounds = 20;

    std::printf("DV PAL, %d frames of %lld bytes\n", int(frames.size() / kFrameSize),
                static_cast<long long>(kFrameSize));
    harnessCost("identity", frames, 2); // warm up
    const double bare = harnessCost("identity", frames, rounds);
    const double notifier = harnessCost("notifier", frames, rounds);
    const double framesNotifier = harnessCost("framesnotifier", frames, rounds);
    std::printf("harness, per sample: bare (identity) %.0f ns, notifier %.0f ns (+%.0f), "
                "frames notifier %.0f ns (+%.0f)\n",
                bare, notifier, notifier - bare, framesNotifier, framesNotifier - bare);

    pipelineCost(path, false); // warm up the page cache
    double plain = 0, filtered = 0;
    const int runs = 5;
    for (int r = 0; r < runs; ++r) {
        plain += pipelineCost(path, false) / runs;
        filtered += pipelineCost(path, true) / runs;
    }
    std::printf("pipeline filesrc ! dvdemux ! fakesink, per frame: bare %.0f ns, with notifier and "
                "frames notifier %.0f ns (+%.0f)\n",
                plain, filtered, filtered - plain);
    std::printf("(%ld messages delivered)\n", messages.load());
    return 0;
}
