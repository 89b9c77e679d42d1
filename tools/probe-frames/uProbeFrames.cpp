#include "uProbeFrames.h"

#include "filters/uFilterMessages.h"
#include "filters/uFramesNotifier.h"
#include "filters/uNotifier.h"
#include "media/uDecoders.h"
#include "media/uFileDevices.h"
#include "media/uGrapheMan.h"
#include "media/uMediaDevices.h"
#include "media/uMediaFactory.h"
#include "mf/mfPins.h"
#include "mf/uPositionText.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QMap>
#include <QMutex>
#include <QMutexLocker>
#include <QPair>
#include <QStringList>
#include <QTimer>

#include <gst/gst.h>

namespace {

constexpr int kTimeoutMs = 30'000;
// The probing budget: a file whose first frame has not reached the renderer
// by then is reported unplayable rather than waited on to the end.
constexpr int kFirstFrameMs = 5'000;

struct TDVCodes {
    QString date, timecode;
};

// What the streaming threads found, gathered for printing at the end.
struct TProbeState {
    QMutex lock;
    int wanted = 0;
    TNotifier *dvNotifier = nullptr;
    TFramesNotifier *framesNotifier = nullptr;
    QMap<GstClockTime, TDVCodes> codesByStamp; // the DV notifier's codes per sample
    QStringList frameLines;
    QStringList formatLines;

    void addFormat(const QString &line)
    {
        QMutexLocker locker(&lock);
        if (!formatLines.contains(line))
            formatLines << line;
    }
    bool done()
    {
        QMutexLocker locker(&lock);
        return frameLines.size() >= wanted;
    }
    bool anyFrame()
    {
        QMutexLocker locker(&lock);
        return !frameLines.isEmpty();
    }
};

// After the DV notifier has read a sample: its codes, by time stamp.
GstPadProbeReturn recordCodes(GstPad *, GstPadProbeInfo *info, gpointer data)
{
    auto *state = static_cast<TProbeState *>(data);
    const TframeData frame = state->dvNotifier->FrameData();
    QMutexLocker locker(&state->lock);
    state->codesByStamp.insert(GST_BUFFER_PTS(GST_PAD_PROBE_INFO_BUFFER(info)),
                               {frame.dateText, frame.timecodeText});
    return GST_PAD_PROBE_OK;
}

// After the frames notifier has placed a decoded frame.
GstPadProbeReturn recordFrame(GstPad *, GstPadProbeInfo *info, gpointer data)
{
    auto *state = static_cast<TProbeState *>(data);
    const qint64 position = state->framesNotifier->CurrentPosition();
    const qint64 duration = state->framesNotifier->FrameDuration();
    QMutexLocker locker(&state->lock);
    if (state->frameLines.size() >= state->wanted)
        return GST_PAD_PROBE_DROP;
    const TDVCodes codes =
        state->codesByStamp.value(GST_BUFFER_PTS(GST_PAD_PROBE_INFO_BUFFER(info)),
                                  {QStringLiteral("N/A"), QStringLiteral("NoTimecode")});
    state->frameLines << QStringLiteral("frame %1: position %2 date %3 timecode %4")
                             .arg(state->frameLines.size())
                             .arg(PositionToText(duration, position), codes.date, codes.timecode);
    return GST_PAD_PROBE_OK;
}

// Buffer probes on elements that outlive one run (the DV notifier stays with
// the cached device): each is removed when the run's state goes away.
class TBufferProbes
{
public:
    TBufferProbes() = default;
    TBufferProbes(const TBufferProbes &) = delete;
    TBufferProbes &operator=(const TBufferProbes &) = delete;
    ~TBufferProbes()
    {
        for (const auto &[pad, id] : m_probes) {
            gst_pad_remove_probe(pad, id);
            gst_object_unref(pad);
        }
    }
    void add(GstElement *element, GstPadProbeCallback callback, TProbeState *state)
    {
        GstPad *src = gst_element_get_static_pad(element, "src");
        if (!src)
            return;
        const gulong id =
            gst_pad_add_probe(src, GST_PAD_PROBE_TYPE_BUFFER, callback, state, nullptr);
        m_probes.append({src, id});
    }

private:
    QList<QPair<GstPad *, gulong>> m_probes;
};

GstElement *clocklessSink(TMfGraph *graph, const QString &name, const char *caps = nullptr)
{
    GstElement *sink = gst_element_factory_make(caps ? "appsink" : "fakesink", nullptr);
    g_object_set(sink, "sync", FALSE, nullptr);
    if (caps) { // a renderer: decoded frames only
        GstCaps *taken = gst_caps_from_string(caps);
        // Nobody pulls its frames: the end of the stream must not wait for that.
        g_object_set(sink, "caps", taken, "max-buffers", 1u, "drop", TRUE, "wait-on-eos", FALSE,
                     nullptr);
        gst_caps_unref(taken);
    }
    return SUCCEEDED(graph->AddFilter(sink, name)) ? sink : nullptr;
}

// The chain the video window uses: source notifier ! decoder (chosen by a
// decoder manager) ! frames notifier in front of the renderer ! sink.
bool buildVideoChain(TMfGraph *graph, TGrapheMan *session, TVideoSource *source, TProbeState &state,
                     TDecoderMan &decoders, TBufferProbes &probes)
{
    GstElement *element = TFramesNotifier::Create();
    TFramesNotifier *framesNotifier = TFramesNotifier::From(element);
    if (!framesNotifier)
        return false;
    state.framesNotifier = framesNotifier;
    // Stands for the navigation manager: takes the frame duration reported.
    framesNotifier->SetNavigationWindow([framesNotifier](const TNvMessage &m) {
        if (m.msg == kNvMsgFrameDuration)
            framesNotifier->SetFrameDuration(m.wParam);
    });
    framesNotifier->SetPositionReports(true);
    probes.add(element, recordFrame, &state);
    TFilterRec *framesRec = TFilterRecs::Global().FindOrAdd(
        FactoryClassId(QStringLiteral("kadrex-probe frames notifier")),
        QStringLiteral("Frames Notifier"), fkOwnInstance);
    TFilterRecs::Global().ReleaseInstance(framesRec, element);
    GstElement *sink = clocklessSink(graph, QStringLiteral("Video Renderer"), "video/x-raw");
    if (!sink)
        return false;
    decoders.SetTables(&decoders::VideoExcluded(), &decoders::VideoPreferences(),
                       decoders::NoVideoDecoder());
    decoders.SetSession(session);
    decoders.FramesFilter = framesRec;
    return decoders.Connect(source->NotifierFilter, sink);
}

bool buildAudioChain(TMfGraph *graph, TAudioSource *source)
{
    GstElement *sink = clocklessSink(graph, QStringLiteral("Audio Renderer"));
    return sink && SUCCEEDED(graph->Connect(mf::Pin(source->NotifierFilter, 1), mf::Pin(sink, 0)));
}

// Plays until enough frames came, the stream ended or failed, or time ran
// out; the reason when no frame came.
QString playUntilDone(TMfGraph *graph, TProbeState &state)
{
    QString failure;
    QEventLoop loop;
    QObject::connect(graph, &TMfGraph::Complete, &loop, &QEventLoop::quit);
    QObject::connect(graph, &TMfGraph::Error, &loop, [&](const QString &text) {
        failure = QStringLiteral("the stream failed while playing (%1)").arg(text.simplified());
        loop.quit();
    });
    QTimer poll;
    QElapsedTimer elapsed;
    elapsed.start();
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        const bool late = elapsed.elapsed() > (state.anyFrame() ? kTimeoutMs : kFirstFrameMs);
        if (late && !state.anyFrame())
            failure = QStringLiteral("no frame came within %1 s").arg(kFirstFrameMs / 1000);
        if (state.done() || late)
            loop.quit();
    });
    poll.start(5);
    graph->UseClock(false);
    if (SUCCEEDED(graph->Run()))
        loop.exec();
    else
        failure = QStringLiteral("the graph could not be started");
    graph->Stop();
    return failure;
}

} // namespace

bool ProbeFrames(TMediaFactory &factory, const QString &path, int frames, QTextStream &out,
                 QString *reason)
{
    const auto fail = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return false;
    };
    TNotifier::Register();
    TFramesNotifier::Register();
    TGrapheMan *session = factory.GrapheMan();
    TFileDevice *device = session ? factory.GetDevice(path) : nullptr;
    if (!device || !device->Usable || device->VideoCount() == 0) {
        out << "frames: no video\n";
        return fail(QStringLiteral("no video to play"));
    }
    TProbeState state;
    TBufferProbes probes; // removed before the state goes
    state.wanted = frames;
    TMfGraph *graph = session->Graph();
    TVideoSource *video = device->VideoSource(0);
    TAudioSource *audio = device->AudioCount() > 0 ? device->AudioSource(0) : nullptr;

    bool ok = video->Attach(session, [&state](const TNvMessage &m) {
        const TVideoData v = m.data.value<TVideoData>();
        // A reopened source may first report the empty record of the new
        // connection, before its first sample is parsed: not worth a line.
        if (m.msg == kNvMsgVideoData && m.wParam == 2 && !v.formatText.isEmpty())
            state.addFormat(
                QStringLiteral("video format: %1 - %2").arg(v.formatText, v.resolutionText));
    });
    state.dvNotifier = video->FramesNotifier();
    TDecoderMan videoDecoders;
    ok = ok && state.dvNotifier &&
         buildVideoChain(graph, session, video, state, videoDecoders, probes);
    QString failure;
    if (!ok)
        failure = QStringLiteral("the video could not be connected to a decoder");
    if (ok) {
        probes.add(state.dvNotifier->Element(), recordCodes, &state);
        if (audio && audio->Attach(session, [&state](const TNvMessage &m) {
                if (m.msg == kNvMsgAudioData)
                    state.addFormat(QStringLiteral("audio format: %1")
                                        .arg(m.data.value<TframeData>().audioDescription));
            }))
            buildAudioChain(graph, audio);
        failure = playUntilDone(graph, state);
    }
    if (audio)
        audio->Detach();
    videoDecoders.Release();
    video->Detach();
    graph->RemoveAll();
    // The notifiers stay with the cached device: they must not keep sinks
    // that point into this run.
    if (state.dvNotifier)
        state.dvNotifier->SetVideoWindow({});
    if (TNotifier *n = audio ? audio->FramesNotifier() : nullptr)
        n->SetAudioWindow({});

    QMutexLocker locker(&state.lock);
    for (const QString &line : std::as_const(state.frameLines))
        out << line << "\n";
    for (const QString &line : std::as_const(state.formatLines))
        out << line << "\n";
    out.flush();
    if (ok && !state.frameLines.isEmpty())
        return true;
    return fail(failure.isEmpty() ? QStringLiteral("no frame could be played") : failure);
}
