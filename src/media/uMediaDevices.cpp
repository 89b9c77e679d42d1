#include "uMediaDevices.h"

#include "filters/uNotifier.h"
#include "uFilterRecs.h"
#include "uGrapheMan.h"

#include <memory>

using namespace guids;

namespace
{

QString displayName(const QString &name, int index)
{
    return index < 2 ? name : name + QStringLiteral(" #") + QString::number(index);
}

GstElement *ownedRef(GstElement *element)
{
    return element ? GST_ELEMENT(gst_object_ref_sink(element)) : nullptr;
}

void dropRef(GstElement *&element)
{
    if (element)
        gst_object_unref(element);
    element = nullptr;
}

bool isPlaceholderDevice(const QString &name)
{
    return name == u"No DV" || name == u"No Stream";
}

// Connects the chunk and its parents into `session`, top first. Chunks
// already connected there stay as they are.
bool connectChain(TGraphChunk *chunk, TGrapheMan *session)
{
    if (!chunk)
        return false;
    if (chunk->Session == session)
        return true;
    chunk->Session = session;
    if (auto *parent = static_cast<TMediaDevice *>(chunk->Parent))
        if (!connectChain(parent, session) || !parent->OutputFilter)
            return false;
    return chunk->Connect();
}

// Whether any output of the device still carries a stream into the graph.
bool outputsInUse(TMediaDevice *device)
{
    if (!device->OutputFilter)
        return false;
    for (GstPad *pin : mf::Pins(device->OutputFilter)) {
        if (mf::IsInput(pin) || !mf::IsConnected(pin))
            continue;
        const TGuid major = mf::ConnectionMediaType(pin).majortype;
        if (major == MEDIATYPE_Video || major == MEDIATYPE_Audio ||
            major == MEDIATYPE_Interleaved || major == MEDIATYPE_Stream)
            return true;
    }
    return false;
}

} // namespace

TGraphChunk::TGraphChunk(const QString &name, int index)
    : Name(name), DisplayName(displayName(name, index)), Index(index)
{
}

qint64 TGraphChunk::GetDuration() const
{
    qint64 duration = 0;
    if (Session && SUCCEEDED(Session->Graph()->GetDuration(&duration)))
        return duration;
    return 0;
}

// --- media devices ----------------------------------------------------------

TMediaDevice::TMediaDevice(const QString &name, int index, TMediaDevice *parent)
    : TGraphChunk(name, index)
{
    Parent = parent;
}

TMediaDevice::~TMediaDevice()
{
    qDeleteAll(m_ownVideo);
    qDeleteAll(m_ownAudio);
    qDeleteAll(DVDevices);
    qDeleteAll(StreamDevices);
}

TVideoSource *TMediaDevice::VideoSource(int i) const
{
    return i >= 0 && i < VideoSources.size() ? VideoSources[i] : nullptr;
}

TAudioSource *TMediaDevice::AudioSource(int i) const
{
    return i >= 0 && i < AudioSources.size() ? AudioSources[i] : nullptr;
}

void TMediaDevice::Probe()
{
    Usable = false;
    if (isPlaceholderDevice(Name))
        return;
    std::unique_ptr<TGrapheMan> privateSession;
    TGrapheMan *session = Parent ? Parent->Session : nullptr;
    if (!session) {
        privateSession = std::make_unique<TGrapheMan>();
        session = privateSession.get();
    }
    Session = session;
    try {
        if (Connect() && OutputFilter) {
            probeOutputs();
            Disconnect();
            Usable = true;
        }
    } catch (...) {
        Usable = false;
    }
    Session = nullptr;
}

void TMediaDevice::probeOutputs()
{
    for (int i = 0; mf::FindOutputPin(OutputFilter, MEDIATYPE_Interleaved, i); ++i) {
        auto *dv = new TDVDevice(this, DVCount() + 1);
        DVDevices.append(dv);
        VideoSources += dv->VideoSources;
        AudioSources += dv->AudioSources;
    }
    for (int i = 0; mf::FindOutputPin(OutputFilter, MEDIATYPE_Stream, i); ++i)
        StreamDevices.append(new TStreamDevice(this, StreamCount() + 1));
    if (DVCount() != 0 || StreamCount() != 0)
        return;
    for (int i = 0; mf::FindOutputPin(OutputFilter, MEDIATYPE_Video, i); ++i) {
        auto *source = new TVideoSource(this, VideoCount() + 1);
        m_ownVideo.append(source);
        VideoSources.append(source);
    }
    for (int i = 0; mf::FindOutputPin(OutputFilter, MEDIATYPE_Audio, i); ++i) {
        auto *source = new TAudioSource(this, AudioCount() + 1);
        m_ownAudio.append(source);
        AudioSources.append(source);
    }
}

// --- DV device --------------------------------------------------------------

TDVDevice::TDVDevice(TMediaDevice *parent, int index) : TMediaDevice(parent->Name, index, parent)
{
    DisplayName = parent->DisplayName;
    Splitter = ownedRef(CreateSystemFilter(CLSID_DVSplitter));
    NotifierFilter = ownedRef(TNotifier::Create());
    if (Splitter && NotifierFilter)
        Probe();
}

TDVDevice::TDVDevice(const QString &placeholderName) : TMediaDevice(placeholderName, 1) {}

TDVDevice::~TDVDevice()
{
    dropRef(Splitter);
    dropRef(NotifierFilter);
}

TNotifier *TDVDevice::Notifier() const
{
    return TNotifier::From(NotifierFilter);
}

bool TDVDevice::Connect()
{
    auto *parent = static_cast<TMediaDevice *>(Parent);
    if (!Session || !parent || !Splitter || !NotifierFilter)
        return false;
    TMfGraph *graph = Session->Graph();
    GstPad *pin = mf::FindOutputPin(parent->OutputFilter, MEDIATYPE_Interleaved, Index - 1);
    if (!pin || FAILED(graph->AddFilter(NotifierFilter, QStringLiteral("DV Notifier"))) ||
        FAILED(graph->AddFilter(Splitter, QStringLiteral("DV Splitter"))) ||
        FAILED(graph->Connect(pin, mf::Pin(NotifierFilter, 0))) ||
        FAILED(graph->Connect(mf::Pin(NotifierFilter, 1), mf::Pin(Splitter, 0))))
        return false;
    OutputFilter = Splitter;
    if (TNotifier *n = Notifier())
        n->ResetCodes();
    return true;
}

bool TDVDevice::Disconnect()
{
    if (!Session)
        return false;
    TMfGraph *graph = Session->Graph();
    const bool notifierOut = SUCCEEDED(graph->RemoveFilter(NotifierFilter));
    const bool splitterOut = SUCCEEDED(graph->RemoveFilter(Splitter));
    OutputFilter = nullptr;
    return notifierOut && splitterOut;
}

// --- stream device ----------------------------------------------------------

TStreamDevice::TStreamDevice(TMediaDevice *parent, int index)
    : TMediaDevice(parent->Name, index, parent)
{
    Probe();
}

TStreamDevice::TStreamDevice(const QString &placeholderName) : TMediaDevice(placeholderName, 1) {}

// --- sources ----------------------------------------------------------------

TavSource::TavSource(TMediaDevice *device, int index) : TGraphChunk(device->Name, index)
{
    Parent = device;
    NotifierFilter = ownedRef(TNotifier::Create());
}

TavSource::TavSource(const QString &placeholderName) : TGraphChunk(placeholderName, 1)
{
    NotifierFilter = ownedRef(TNotifier::Create());
}

TavSource::~TavSource()
{
    dropRef(NotifierFilter);
}

TNotifier *TavSource::SourceNotifier() const
{
    return TNotifier::From(NotifierFilter);
}

TNotifier *TavSource::FramesNotifier() const
{
    if (auto *dv = dynamic_cast<TDVDevice *>(Parent))
        return dv->Notifier();
    return SourceNotifier();
}

bool TavSource::AttachAs(TGrapheMan *session, TMessageSink window, bool video)
{
    if (!session)
        return false;
    if (Session == session)
        return true;
    Session = session;
    auto &attached = session->AttachedVideoSources;
    auto &attachedAudio = session->AttachedAudioSources;
    if (video && !attached.contains(static_cast<TVideoSource *>(this)))
        attached.append(static_cast<TVideoSource *>(this));
    if (!video && !attachedAudio.contains(static_cast<TAudioSource *>(this)))
        attachedAudio.append(static_cast<TAudioSource *>(this));

    auto *parent = static_cast<TMediaDevice *>(Parent);
    if (!parent || !connectChain(parent, session) || !parent->OutputFilter)
        return false;
    TNotifier *own = SourceNotifier();
    TNotifier *seeing = FramesNotifier();
    if (!own || !seeing)
        return false;
    own->ResetCodes();
    if (video) {
        seeing->SetVideoWindow(window);
        seeing->SetVideoReports(true);
    } else {
        seeing->SetAudioWindow(window);
        seeing->SetAudioReports(true);
    }
    if (seeing != own)
        own->SetDVSource(true);

    GstPad *pin = mf::FindOutputPin(parent->OutputFilter, video ? MEDIATYPE_Video : MEDIATYPE_Audio,
                                    Index - 1);
    TMfGraph *graph = session->Graph();
    const QString name =
        video ? QStringLiteral("Video Source Notifier") : QStringLiteral("Audio Source Notifier");
    if (!pin || FAILED(graph->AddFilter(NotifierFilter, name)) ||
        FAILED(graph->RenderStream(pin, NotifierFilter)))
        return false;
    AttachedType = mf::ConnectionMediaType(mf::Pin(NotifierFilter, 0));
    MajorType = AttachedType.majortype;
    SubType = AttachedType.subtype;
    FormatType = AttachedType.formattype;
    if (!video)
        seeing->SetAudioFormatName(AudioFormatName(AttachedType));
    return true;
}

bool TavSource::DetachAs(bool video)
{
    if (!Session || !Parent)
        return false;
    if (video)
        Session->AttachedVideoSources.removeAll(static_cast<TVideoSource *>(this));
    else
        Session->AttachedAudioSources.removeAll(static_cast<TAudioSource *>(this));
    const bool removed = SUCCEEDED(Session->Graph()->RemoveFilter(NotifierFilter));
    if (removed) {
        if (TNotifier *seeing = FramesNotifier()) {
            if (video)
                seeing->SetVideoReports(false);
            else
                seeing->SetAudioReports(false);
        }
        auto *parent = static_cast<TMediaDevice *>(Parent);
        if (!outputsInUse(parent)) {
            for (TGraphChunk *chunk = parent; chunk && chunk->Disconnect(); chunk = chunk->Parent)
                chunk->Session = nullptr;
        }
    }
    Session = nullptr;
    return removed;
}

bool TVideoSource::Attach(TGrapheMan *session, TMessageSink window)
{
    return AttachAs(session, std::move(window), true);
}

bool TVideoSource::Detach()
{
    return DetachAs(true);
}

bool TAudioSource::Attach(TGrapheMan *session, TMessageSink window)
{
    return AttachAs(session, std::move(window), false);
}

bool TAudioSource::Detach()
{
    return DetachAs(false);
}

// --- placeholders -------------------------------------------------------------

namespace placeholders
{
TVideoSource *NoVideo()
{
    static auto *chunk = new TVideoSource(QStringLiteral("No Video"));
    return chunk;
}
TAudioSource *NoAudio()
{
    static auto *chunk = new TAudioSource(QStringLiteral("No Audio"));
    return chunk;
}
TDVDevice *NoDV()
{
    static auto *chunk = new TDVDevice(QStringLiteral("No DV"));
    return chunk;
}
TStreamDevice *NoStream()
{
    static auto *chunk = new TStreamDevice(QStringLiteral("No Stream"));
    return chunk;
}
} // namespace placeholders
