#include "uProbeDecoders.h"

#include "media/uDecoders.h"
#include "media/uGrapheMan.h"
#include "media/uMediaDevices.h"

namespace {

// Stands for the renderer: it takes decoded streams of its kind only.
GstElement *decodedOnlySink(bool video)
{
    GstElement *sink = gst_element_factory_make("appsink", nullptr);
    GstCaps *caps = gst_caps_from_string(video ? "video/x-raw" : "audio/x-raw");
    g_object_set(sink, "caps", caps, "sync", FALSE, "max-buffers", 1u, "drop", TRUE, nullptr);
    gst_caps_unref(caps);
    return sink;
}

} // namespace

QString DecoderLines(TGrapheMan &session, TavSource *source, bool video)
{
    TMfGraph *graph = session.Graph();
    GstElement *sink = decodedOnlySink(video);
    if (FAILED(graph->AddFilter(sink, QStringLiteral("Probe Renderer")))) {
        gst_object_unref(gst_object_ref_sink(sink));
        return QStringLiteral("  decoder: none\n");
    }
    TDecoderMan man;
    man.SetTables(video ? &decoders::VideoExcluded() : &decoders::AudioExcluded(),
                  video ? &decoders::VideoPreferences() : &decoders::AudioPreferences(),
                  video ? decoders::NoVideoDecoder() : decoders::NoAudioDecoder());
    man.SetSession(&session);
    QString lines;
    if (man.Connect(source->NotifierFilter, sink)) {
        lines = QStringLiteral("  decoder: %1\n").arg(man.CurrentDecoder()->Name);
        lines +=
            QStringLiteral("  decoders: %1\n").arg(man.DecoderCycle().join(QStringLiteral(", ")));
        man.Release();
    } else {
        lines = QStringLiteral("  decoder: none\n");
    }
    graph->RemoveFilter(sink);
    return lines;
}
