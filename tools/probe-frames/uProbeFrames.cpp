#include "uProbeFrames.h"

#include "filters/uFilterMessages.h"
#include "filters/uFramesNotifier.h"
#include "filters/uNotifier.h"
#include "media/mfMediaType.h"
#include "navigation/uPositionText.h"

#include <QMap>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>

#include <gst/gst.h>

namespace
{

struct TDVCodes {
    QString date, timecode;
};

// What the streaming threads found, gathered for printing at the end.
struct TProbeState {
    QMutex lock;
    int wanted = 0;
    QMap<GstClockTime, TDVCodes> codesByStamp; // from the source notifier, per sample
    QStringList frameLines;
    QStringList formatLines;
    GstElement *pipeline = nullptr;

    void addFormat(const QString &line)
    {
        QMutexLocker locker(&lock);
        if (!formatLines.contains(line))
            formatLines << line;
    }
};

GstPadProbeReturn recordCodes(GstPad *pad, GstPadProbeInfo *info, gpointer data)
{
    auto *state = static_cast<TProbeState *>(data);
    GstBuffer *buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    GstElement *element = gst_pad_get_parent_element(pad);
    if (TNotifier *notifier = TNotifier::From(element)) {
        const TframeData frame = notifier->FrameData();
        QMutexLocker locker(&state->lock);
        state->codesByStamp.insert(GST_BUFFER_PTS(buffer), {frame.dateText, frame.timecodeText});
    }
    gst_object_unref(element);
    return GST_PAD_PROBE_OK;
}

GstPadProbeReturn recordFrame(GstPad *pad, GstPadProbeInfo *info, gpointer data)
{
    auto *state = static_cast<TProbeState *>(data);
    GstBuffer *buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    GstElement *element = gst_pad_get_parent_element(pad);
    TFramesNotifier *framesNotifier = TFramesNotifier::From(element);
    const qint64 position = framesNotifier ? framesNotifier->CurrentPosition() : 0;
    const qint64 duration = framesNotifier ? framesNotifier->FrameDuration() : 0;
    gst_object_unref(element);

    QMutexLocker locker(&state->lock);
    if (state->frameLines.size() >= state->wanted)
        return GST_PAD_PROBE_DROP;
    const TDVCodes codes = state->codesByStamp.value(
        GST_BUFFER_PTS(buffer), {QStringLiteral("N/A"), QStringLiteral("NoTimecode")});
    state->frameLines << QStringLiteral("frame %1: position %2 date %3 timecode %4")
                             .arg(state->frameLines.size())
                             .arg(PositionToText(duration, position), codes.date, codes.timecode);
    if (state->frameLines.size() == state->wanted)
        gst_element_post_message(
            state->pipeline, gst_message_new_application(nullptr, gst_structure_new_empty("done")));
    return GST_PAD_PROBE_OK;
}

void linkDecodedVideo(GstElement *, GstPad *pad, gpointer data)
{
    auto *state = static_cast<TProbeState *>(data);
    GstCaps *caps = gst_pad_get_current_caps(pad);
    const bool video =
        caps && g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "video/");
    if (caps)
        gst_caps_unref(caps);
    if (!video)
        return;
    GstBin *bin = GST_BIN(state->pipeline);
    GstElement *framesNotifier = TFramesNotifier::Create();
    TFramesNotifier *fn = TFramesNotifier::From(framesNotifier);
    // Stands for the navigation manager: takes the frame duration reported.
    fn->SetNavigationWindow([fn](const TNvMessage &m) {
        if (m.msg == kNvMsgFrameDuration)
            fn->SetFrameDuration(m.wParam);
    });
    fn->SetPositionReports(true);
    GstElement *sink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(sink, "sync", FALSE, nullptr);
    gst_bin_add_many(bin, framesNotifier, sink, nullptr);
    gst_element_link(framesNotifier, sink);
    gst_element_sync_state_with_parent(sink);
    gst_element_sync_state_with_parent(framesNotifier);
    GstPad *src = gst_element_get_static_pad(framesNotifier, "src");
    gst_pad_add_probe(src, GST_PAD_PROBE_TYPE_BUFFER, recordFrame, state, nullptr);
    gst_object_unref(src);
    GstPad *sinkPad = gst_element_get_static_pad(framesNotifier, "sink");
    gst_pad_link(pad, sinkPad);
    gst_object_unref(sinkPad);
}

// A stream of the source: notifier, then the decoder for video, a sink for audio.
void linkStream(GstElement *, GstPad *pad, gpointer data)
{
    auto *state = static_cast<TProbeState *>(data);
    GstCaps *caps = gst_pad_get_current_caps(pad);
    if (!caps)
        caps = gst_pad_query_caps(pad, nullptr);
    const TMediaType type = MediaTypeFromCaps(caps);
    gst_caps_unref(caps);
    const bool video =
        type.majortype == guids::MEDIATYPE_Video || type.majortype == guids::MEDIATYPE_Interleaved;
    const bool audio = type.majortype == guids::MEDIATYPE_Audio;
    if (!video && !audio)
        return;

    GstBin *bin = GST_BIN(state->pipeline);
    GstElement *element = TNotifier::Create();
    TNotifier *notifier = TNotifier::From(element);
    notifier->ResetCodes();
    if (video) {
        notifier->SetVideoWindow([state](const TNvMessage &m) {
            const TVideoData v = m.data.value<TVideoData>();
            if (m.wParam == 2)
                state->addFormat(
                    QStringLiteral("video format: %1 - %2").arg(v.formatText, v.resolutionText));
        });
        notifier->SetVideoReports(true);
    } else {
        notifier->SetAudioFormatName(AudioFormatName(type));
        notifier->SetAudioWindow([state](const TNvMessage &m) {
            state->addFormat(QStringLiteral("audio format: %1")
                                 .arg(m.data.value<TframeData>().audioDescription));
        });
        notifier->SetAudioReports(true);
    }
    GstElement *queue = gst_element_factory_make("queue", nullptr);
    g_object_set(queue, "max-size-buffers", 0u, "max-size-time", guint64(0), "max-size-bytes", 0u,
                 nullptr);
    GstElement *next = video ? gst_element_factory_make("decodebin", nullptr)
                             : gst_element_factory_make("fakesink", nullptr);
    if (video)
        g_signal_connect(next, "pad-added", G_CALLBACK(linkDecodedVideo), state);
    else
        g_object_set(next, "sync", FALSE, nullptr);
    gst_bin_add_many(bin, queue, element, next, nullptr);
    gst_element_link_many(queue, element, next, nullptr);
    for (GstElement *e : {next, element, queue})
        gst_element_sync_state_with_parent(e);
    GstPad *notifierSrc = gst_element_get_static_pad(element, "src");
    gst_pad_add_probe(notifierSrc, GST_PAD_PROBE_TYPE_BUFFER, recordCodes, state, nullptr);
    gst_object_unref(notifierSrc);
    GstPad *queueSink = gst_element_get_static_pad(queue, "sink");
    gst_pad_link(pad, queueSink);
    gst_object_unref(queueSink);
}

} // namespace

bool ProbeFrames(const QString &path, int frames, QTextStream &out)
{
    TNotifier::Register();
    TFramesNotifier::Register();
    TProbeState state;
    state.wanted = frames;
    state.pipeline = gst_pipeline_new("probe-frames");
    gst_pipeline_use_clock(GST_PIPELINE(state.pipeline), nullptr);
    GstElement *src = gst_element_factory_make("filesrc", nullptr);
    GstElement *parse = gst_element_factory_make("parsebin", nullptr);
    g_object_set(src, "location", path.toUtf8().constData(), nullptr);
    gst_bin_add_many(GST_BIN(state.pipeline), src, parse, nullptr);
    gst_element_link(src, parse);
    g_signal_connect(parse, "pad-added", G_CALLBACK(linkStream), &state);

    bool ok = gst_element_set_state(state.pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    GstBus *bus = gst_element_get_bus(state.pipeline);
    while (ok) {
        GstMessage *msg = gst_bus_timed_pop_filtered(
            bus, 30 * GST_SECOND,
            GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR | GST_MESSAGE_APPLICATION));
        if (!msg) {
            ok = false;
            break;
        }
        const GstMessageType kind = GST_MESSAGE_TYPE(msg);
        if (kind == GST_MESSAGE_ERROR) {
            GError *error = nullptr;
            gst_message_parse_error(msg, &error, nullptr);
            out << "error: " << (error ? error->message : "?") << "\n";
            g_clear_error(&error);
            ok = false;
        }
        gst_message_unref(msg);
        if (kind == GST_MESSAGE_EOS || kind == GST_MESSAGE_APPLICATION)
            break;
    }
    gst_object_unref(bus);
    gst_element_set_state(state.pipeline, GST_STATE_NULL);
    gst_object_unref(state.pipeline);

    QMutexLocker locker(&state.lock);
    for (const QString &line : std::as_const(state.frameLines))
        out << line << "\n";
    for (const QString &line : std::as_const(state.formatLines))
        out << line << "\n";
    out.flush();
    return ok && !state.frameLines.isEmpty();
}
