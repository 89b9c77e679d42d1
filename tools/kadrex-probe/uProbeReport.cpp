#include "uProbeReport.h"

#include "filters/uNotifier.h"
#include "media/uFilterRecs.h"
#include "media/uGrapheMan.h"
#include "media/uMediaFactory.h"
#include "mf/mfSourceBin.h"
#include "mf/uMediaTypes.h"
#include "uProbeDecoders.h"

#include <QTextStream>

namespace {

QString typeLine(const TavSource &source)
{
    return QStringLiteral("  type: %1 %2 %3\n")
        .arg(GuidToText(source.MajorType), GuidToText(source.SubType),
             GuidToText(source.FormatType));
}

void printVideo(QTextStream &out, TVideoSource *source, int i, bool attached,
                const QString &decoderLines)
{
    out << "video " << i << ": " << PrintableName(source->DisplayName) << "\n";
    if (!attached) {
        out << "  attach: failed\n";
        return;
    }
    out << typeLine(*source);
    TVideoData video;
    DescribeVideoType(source->AttachedType, video);
    out << "  description: " << video.description << "\n";
    out << "  resolution: " << video.resolutionText << "\n";
    out << "  format: " << video.formatText << "\n";
    out << decoderLines;
}

void printAudio(QTextStream &out, TAudioSource *source, int i, bool attached,
                const QString &decoderLines)
{
    out << "audio " << i << ": " << PrintableName(source->DisplayName) << "\n";
    if (!attached) {
        out << "  attach: failed\n";
        return;
    }
    out << typeLine(*source);
    out << "  format name: " << AudioFormatName(source->AttachedType) << "\n";
    // The notifier describes the audio once the stream's type reaches it: the
    // probe prerolls the graph for that (empty when it could not).
    const TNotifier *notifier = source->FramesNotifier();
    out << "  description: " << (notifier ? notifier->FrameData().audioDescription : QString())
        << "\n";
    out << decoderLines;
}

// A fake sink behind each attached source's notifier, so the graph prerolls.
void addSinks(TGrapheMan &session, const QList<TavSource *> &sources)
{
    TMfGraph *graph = session.Graph();
    int n = 0;
    for (TavSource *source : sources) {
        GstElement *sink = gst_element_factory_make("fakesink", nullptr);
        g_object_set(sink, "sync", FALSE, nullptr);
        if (FAILED(graph->AddFilter(sink, QStringLiteral("Probe Sink %1").arg(++n))) ||
            FAILED(graph->ConnectDirect(mf::Pin(source->NotifierFilter, 1), mf::Pin(sink, 0))))
            graph->RemoveFilter(sink);
    }
}

} // namespace

QString PrintableName(const QString &name)
{
    QString text;
    for (const QChar c : name) {
        if (c == u'\\')
            text += QStringLiteral("\\\\");
        else if (c == u'\n')
            text += QStringLiteral("\\n");
        else if (c == u'\t')
            text += QStringLiteral("\\t");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            text += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0'));
        else
            text += c;
    }
    return text;
}

TProbeReport ProbeFile(TMediaFactory &factory, const QString &path)
{
    TProbeReport report;
    QTextStream out(&report.text);
    const QString name = PrintableName(path);
    out << "file: " << name << "\n";
    TFileDevice *device = factory.GetDevice(path);
    if (!device) {
        out << "device: none (extension not handled)\n";
        report.reason = name + QStringLiteral(": extension not handled");
        return report;
    }
    report.usable = device->Usable;
    out << "device: " << (device->Usable ? "usable" : "unusable") << "\n";
    out << "source: " << (device->SourceRec ? device->SourceRec->Name : QString());
    if (device->SplitterRec)
        out << ", splitter: " << device->SplitterRec->Name;
    out << "\n";
    if (!device->Usable) {
        const QString refusal = MfFileRefusal(path);
        report.reason =
            name + QStringLiteral(": ") +
            (refusal.isEmpty() ? QStringLiteral("no source could read the file") : refusal);
        return report;
    }
    // Each source is attached alone (their notifiers share one name in the
    // graph) to read the type its notifier place sees; then the first of each
    // kind is attached again for the preroll.
    TGrapheMan &session = *factory.GrapheMan();
    // Each also goes through a decoder manager, as in the program.
    QList<bool> videoOk, audioOk;
    QStringList videoDecoders, audioDecoders;
    for (int i = 0; i < device->VideoCount(); ++i) {
        videoOk.append(device->VideoSource(i)->Attach(&session, {}));
        videoDecoders.append(videoOk.last() ? DecoderLines(session, device->VideoSource(i), true)
                                            : QString());
        device->VideoSource(i)->Detach();
    }
    for (int i = 0; i < device->AudioCount(); ++i) {
        audioOk.append(device->AudioSource(i)->Attach(&session, {}));
        audioDecoders.append(audioOk.last() ? DecoderLines(session, device->AudioSource(i), false)
                                            : QString());
        device->AudioSource(i)->Detach();
    }
    QList<TavSource *> prerolled;
    if (!videoOk.isEmpty() && videoOk[0] && device->VideoSource(0)->Attach(&session, {}))
        prerolled.append(device->VideoSource(0));
    if (!audioOk.isEmpty() && audioOk[0] && device->AudioSource(0)->Attach(&session, {}))
        prerolled.append(device->AudioSource(0));
    addSinks(session, prerolled);
    if (!prerolled.isEmpty() && !session.Pause()) {
        // A file whose graph cannot pause does not play: say why.
        report.usable = false;
        report.reason = path + QStringLiteral(": ") + session.LastError();
    }
    for (int i = 0; i < device->VideoCount(); ++i)
        printVideo(out, device->VideoSource(i), i, videoOk[i], videoDecoders[i]);
    for (int i = 0; i < device->AudioCount(); ++i)
        printAudio(out, device->AudioSource(i), i, audioOk[i], audioDecoders[i]);
    session.Stop();
    for (TavSource *source : prerolled)
        source->Detach();
    session.Graph()->RemoveAll();
    return report;
}
