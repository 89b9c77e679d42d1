// Plays a 1080p 25 fps clip for 20 s into the video window in an offscreen
// window and prints how many of the frames that reached the sink were
// painted, and the UI thread's time per painted frame (every event the UI
// thread handles, painting included), beside the decode-only rate of the
// same clip (decoded and converted to BGRx as fast as it goes).
//
//   bench_video_window [clip]   (default: made here with ffmpeg)

#include "filters/uFilterElements.h"
#include "filters/uFramesNotifier.h"
#include "filters/uVideoSink.h"
#include "media/uWindowLessMan.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <gst/gst.h>

#include <chrono>
#include <cstdio>

namespace {

constexpr int kSeconds = 20;

// Times every event the UI thread delivers.
class TTimedApplication : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override
    {
        if (m_depth++ > 0) {
            const bool handled = QApplication::notify(receiver, event);
            --m_depth;
            return handled;
        }
        const auto start = std::chrono::steady_clock::now();
        const bool handled = QApplication::notify(receiver, event);
        busy += std::chrono::steady_clock::now() - start;
        --m_depth;
        return handled;
    }
    std::chrono::steady_clock::duration busy{};

private:
    int m_depth = 0;
};

QString makeClip()
{
    const QString path = QDir::temp().filePath("kadrex_bench_1080p25.mp4");
    if (QFileInfo(path).size() > 0)
        return path;
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg",
                 {"-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
                  "testsrc2=size=1920x1080:rate=25", "-t", QString::number(kSeconds + 2), "-c:v",
                  "libx264", "-preset", "veryfast", "-g", "25", "-pix_fmt", "yuv420p", path});
    if (!ffmpeg.waitForFinished(600'000) || ffmpeg.exitCode() != 0) {
        std::fprintf(stderr, "cannot make the clip with ffmpeg\n");
        return {};
    }
    return path;
}

GstElement *decodeChain(const QString &clip, const char *tail)
{
    const QByteArray description = QStringLiteral("filesrc location=\"%1\" ! decodebin ! %2")
                                       .arg(clip, QString::fromLatin1(tail))
                                       .toUtf8();
    GError *error = nullptr;
    GstElement *pipeline = gst_parse_launch(description.constData(), &error);
    if (error) {
        std::fprintf(stderr, "%s\n", error->message);
        g_error_free(error);
    }
    return pipeline;
}

// Frames per second of decoding and converting to BGRx without a clock.
double decodeOnlyRate(const QString &clip)
{
    GstElement *pipeline =
        decodeChain(clip, "videoconvert ! video/x-raw,format=BGRx ! fakesink name=sink sync=false");
    if (!pipeline)
        return 0;
    GstElement *sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
    guint64 frames = 0;
    g_object_set(sink, "signal-handoffs", TRUE, nullptr);
    g_signal_connect(sink, "handoff",
                     G_CALLBACK(+[](GstElement *, GstBuffer *, GstPad *, gpointer count) {
                         ++*static_cast<guint64 *>(count);
                     }),
                     &frames);
    QElapsedTimer clock;
    clock.start();
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus *bus = gst_element_get_bus(pipeline);
    gst_message_unref(gst_bus_timed_pop_filtered(
        bus, 120 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
    const double seconds = clock.elapsed() / 1000.0;
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(bus);
    gst_object_unref(sink);
    gst_object_unref(pipeline);
    return seconds > 0 ? frames / seconds : 0;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    gst_init(&argc, &argv);
    TTimedApplication app(argc, argv);
    if (!RegisterFilterElements())
        return 1;
    const QString clip = argc > 1 ? QString::fromLocal8Bit(argv[1]) : makeClip();
    if (clip.isEmpty())
        return 1;

    QWidget panel;
    panel.resize(1280, 720);
    TWindowLessMan man;
    man.SetWindow(&panel);
    man.SetAspect(16, 9);
    panel.show();

    GstElement *pipeline = decodeChain(clip, "kadrexframesnotifier name=fn ! videoconvert name=vc");
    if (!pipeline)
        return 1;
    GstElement *vc = gst_bin_get_by_name(GST_BIN(pipeline), "vc");
    GstElement *fn = gst_bin_get_by_name(GST_BIN(pipeline), "fn");
    TFramesNotifier::From(fn)->SetFrameDuration(400'000);
    gst_bin_add(GST_BIN(pipeline), man.Renderer());
    if (!gst_element_link(vc, man.Renderer()))
        return 1;
    gst_element_set_state(pipeline, GST_STATE_PAUSED);
    gst_element_get_state(pipeline, nullptr, nullptr, 10 * GST_SECOND);
    // The preroll frame is painted before counting starts.
    QElapsedTimer wait;
    wait.start();
    while (man.FramesDrawn() < 1 && wait.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);

    app.busy = {};
    const int drawnBefore = man.FramesDrawn();
    const quint64 receivedBefore = man.Sink()->FramesReceived();
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    QTimer::singleShot(kSeconds * 1000, &app, &QApplication::quit);
    app.exec();
    const int painted = man.FramesDrawn() - drawnBefore;
    const quint64 delivered = man.Sink()->FramesReceived() - receivedBefore;
    const double uiMs = std::chrono::duration<double, std::milli>(app.busy).count();

    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_bin_remove(GST_BIN(pipeline), man.Renderer());
    gst_object_unref(fn);
    gst_object_unref(vc);
    gst_object_unref(pipeline);

    std::printf("clip 1920x1080 25 fps, %d s in a 1280x720 offscreen window\n", kSeconds);
    std::printf("painted %d of %llu frames\n", painted, static_cast<unsigned long long>(delivered));
    std::printf("ui ms per frame %.2f\n", painted > 0 ? uiMs / painted : 0.0);
    std::printf("decode-only %.1f fps\n", decodeOnlyRate(clip));
    return 0;
}
