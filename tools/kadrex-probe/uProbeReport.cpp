#include "uProbeReport.h"

#include "filters/uNotifier.h"
#include "media/uFilterRecs.h"
#include "media/uGrapheMan.h"
#include "media/uMediaFactory.h"
#include "media/uMediaTypes.h"

#include <QTextStream>

namespace
{

QString typeLine(const TavSource &source)
{
    return QStringLiteral("  type: %1 %2 %3\n")
        .arg(GuidToText(source.MajorType), GuidToText(source.SubType),
             GuidToText(source.FormatType));
}

void reportVideo(QTextStream &out, TGrapheMan &session, TVideoSource *source, int i)
{
    out << "video " << i << ": " << source->DisplayName << "\n";
    if (!source->Attach(&session, {})) {
        out << "  attach: failed\n";
        source->Detach();
        return;
    }
    out << typeLine(*source);
    TVideoData video;
    DescribeVideoType(source->AttachedType, video);
    out << "  description: " << video.description << "\n";
    out << "  resolution: " << video.resolutionText << "\n";
    out << "  format: " << video.formatText << "\n";
    source->Detach();
}

void reportAudio(QTextStream &out, TGrapheMan &session, TAudioSource *source, int i)
{
    out << "audio " << i << ": " << source->DisplayName << "\n";
    if (!source->Attach(&session, {})) {
        out << "  attach: failed\n";
        source->Detach();
        return;
    }
    out << typeLine(*source);
    out << "  format name: " << AudioFormatName(source->AttachedType) << "\n";
    // The notifier builds the audio description when the stream's samples
    // reach it; a probe that does not run the graph has none to show.
    const TNotifier *notifier = source->FramesNotifier();
    out << "  description: " << (notifier ? notifier->FrameData().audioDescription : QString())
        << "\n";
    source->Detach();
}

} // namespace

TProbeReport ProbeFile(TMediaFactory &factory, const QString &path)
{
    TProbeReport report;
    QTextStream out(&report.text);
    out << "file: " << path << "\n";
    TFileDevice *device = factory.GetDevice(path);
    if (!device) {
        out << "device: none (extension not handled)\n";
        report.reason = path + QStringLiteral(": extension not handled");
        return report;
    }
    report.usable = device->Usable;
    out << "device: " << (device->Usable ? "usable" : "unusable") << "\n";
    out << "source: " << (device->SourceRec ? device->SourceRec->Name : QString());
    if (device->SplitterRec)
        out << ", splitter: " << device->SplitterRec->Name;
    out << "\n";
    if (!device->Usable) {
        report.reason = path + QStringLiteral(": no source could read the file");
        return report;
    }
    TGrapheMan *session = factory.GrapheMan();
    for (int i = 0; i < device->VideoCount(); ++i)
        reportVideo(out, *session, device->VideoSource(i), i);
    for (int i = 0; i < device->AudioCount(); ++i)
        reportAudio(out, *session, device->AudioSource(i), i);
    session->Graph()->RemoveAll();
    return report;
}
