#include "uAudioMan.h"

#include "actions/uActionTable.h"
#include "actions/uScriptAction.h"
#include "filters/uFilterMessages.h"
#include "filters/uNotifier.h"
#include "mf/mfGraph.h"
#include "prefs/uPreferences.h"
#include "uDVMan.h"
#include "uMediaDevices.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaMethod>

#include <cmath>

// ---- Renderer and volume scale ------------------------------------------------

namespace {

// Whether a device sink can open (reach READY) on this machine.
bool deviceOpens(GstElement *sink)
{
    const bool opens = gst_element_set_state(sink, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
    gst_element_set_state(sink, GST_STATE_NULL);
    return opens;
}

// A sound server's socket or a sound card's device node: without any of
// them no device sink can open, and trying one only fills standard error
// with the sound libraries' own complaints.
bool soundOutputLikely()
{
    if (!qEnvironmentVariableIsEmpty("PULSE_SERVER"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && (QFileInfo::exists(runtime + QStringLiteral("/pulse/native")) ||
                               QFileInfo::exists(runtime + QStringLiteral("/pipewire-0"))))
        return true;
    return !QDir(QStringLiteral("/dev/snd"))
                .entryList({QStringLiteral("pcmC*")}, QDir::System)
                .isEmpty();
}

GstElement *deviceOrFakeSink()
{
    GstElement *device =
        soundOutputLikely() ? gst_element_factory_make("autoaudiosink", "device") : nullptr;
    if (device) {
        gst_object_ref_sink(device);
        if (deviceOpens(device))
            return device; // our reference becomes the bin's
        gst_object_unref(device);
    }
    GstElement *fake = gst_element_factory_make("fakesink", "fake");
    g_object_set(fake, "sync", TRUE, nullptr); // keeps the pace of real time
    return GST_ELEMENT(gst_object_ref_sink(fake));
}

GstElement *volumeOf(GstElement *renderer)
{
    return renderer && GST_IS_BIN(renderer) ? gst_bin_get_by_name(GST_BIN(renderer), "volume")
                                            : nullptr;
}

} // namespace

GstElement *CreateAudioRenderer()
{
    GstElement *bin = gst_bin_new(nullptr);
    GstElement *convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement *resample = gst_element_factory_make("audioresample", nullptr);
    GstElement *volume = gst_element_factory_make("volume", "volume");
    GstElement *sink = deviceOrFakeSink();
    if (!convert || !resample || !volume || !sink) {
        for (GstElement *e : {convert, resample, volume, bin})
            if (e)
                gst_object_unref(gst_object_ref_sink(e));
        if (sink)
            gst_object_unref(sink);
        return nullptr;
    }
    gst_bin_add_many(GST_BIN(bin), convert, resample, volume, sink, nullptr);
    gst_object_unref(sink); // the bin holds it now
    gst_element_link_many(convert, resample, volume, sink, nullptr);
    GstPad *target = gst_element_get_static_pad(convert, "sink");
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", target));
    gst_object_unref(target);
    return bin;
}

bool AudioRendererHasDevice(GstElement *renderer)
{
    GstElement *device = renderer && GST_IS_BIN(renderer)
                             ? gst_bin_get_by_name(GST_BIN(renderer), "device")
                             : nullptr;
    if (device)
        gst_object_unref(device);
    return device != nullptr;
}

int VolumeToCentibels(int volume)
{
    return int(std::nearbyint(std::log(qBound(0, volume, 10000) + 1.0) * 1085.73)) - 10000;
}

int CentibelsToVolume(int centibels)
{
    return qBound(0, int(std::lround(std::exp((centibels + 10000) / 1085.73) - 1)), 10000);
}

double CentibelsToFactor(int centibels)
{
    return centibels <= -10000 ? 0.0 : std::pow(10.0, centibels / 2000.0);
}

int AudioStatusPicture(int status)
{
    static const int pictures[] = {0, 2, 1, 3, 4};
    return status >= 0 && status < 5 ? pictures[status] : 0;
}

// ---- The manager ---------------------------------------------------------------

namespace {

const TActionDef kAudioActions[] = {
    {"caMute", TActionClass::Check, "Mute", "", "False", "Ctrl+M", "internal", "Mute", "", true,
     true, "Turn sound on", "Put Sound off", "Click to put the sound on",
     "Click to put the sound off"},
    {"naNextDecoderAudio", TActionClass::Nope, "NextDecoderAudio", "", nullptr, "Ctrl+F9",
     "internal", "Next Audio decoder", "Click to use the next Audio decoder", true, false},
    {"naIncVolume", TActionClass::Nope, "IncVolume", "", nullptr, "", "internal", "Increase Volume",
     "Click to increase the volume by 1000/10000", true, false},
    {"naDecVolume", TActionClass::Nope, "DecVolume", "", nullptr, "", "internal",
     "Decrease the Volume", "Click to decrease the volume by 1000/10000", true, false},
    {"iaVolume", TActionClass::Integer, "Volume", "", "5000", "", "internal", "Volume", "", true,
     true},
};

const QString kNoAudioDecoder = QStringLiteral("No Audio decoder"),
              kNoAudio = QStringLiteral("No Audio");

} // namespace

TAudioMan::TAudioMan(QObject *owner) : TNvActionComponent(owner)
{
    m_decoders = new TDecoderMan(this);
    m_decoders->SetTables(&decoders::AudioExcluded(), &decoders::AudioPreferences(),
                          decoders::NoAudioDecoder());
    m_source = placeholders::NoAudio();
    if (GstElement *renderer = CreateAudioRenderer())
        m_renderer = GST_ELEMENT(gst_object_ref_sink(renderer));
    CreateFresh();
    OnLoadFromPrefs = [this](TActionStore &store) {
        auto *prefs = dynamic_cast<TNorvanePreferences *>(&store);
        return !prefs || LoadDecoderPrefs(*prefs);
    };
    OnSaveToPrefs = [this](TActionStore &store) {
        auto *prefs = dynamic_cast<TNorvanePreferences *>(&store);
        return !prefs || SaveDecoderPrefs(*prefs);
    };
    setStatus(m_renderer ? asNoStream : asNoRenderer);
}

TAudioMan::~TAudioMan()
{
    // No events from a component on its way out: their receivers may be gone.
    OnNotifyAudioDecoder = OnNotifyAudioFormat = nullptr;
    OnStatus = OnVolume = nullptr;
    DetachSource();
    if (m_renderer) {
        if (m_rendererGraph && m_rendererGraph->Contains(m_renderer))
            m_rendererGraph->RemoveFilter(m_renderer);
        gst_element_set_state(m_renderer, GST_STATE_NULL);
        gst_object_unref(m_renderer);
    }
}

void TAudioMan::CreateActions()
{
    const auto created = CreateActionsFromTable(kAudioActions, *this, this);
    caMute = qobject_cast<TCheckAction *>(created[0]);
    naNextDecoderAudio = qobject_cast<TNopeAction *>(created[1]);
    naIncVolume = qobject_cast<TNopeAction *>(created[2]);
    naDecVolume = qobject_cast<TNopeAction *>(created[3]);
    iaVolume = qobject_cast<TIntegerAction *>(created[4]);
    caMute->SetTrueImageIndex(10);
    caMute->SetFalseImageIndex(16);
    naIncVolume->SetShortCut(QKeySequence(Qt::KeypadModifier | Qt::Key_Plus));
    naDecVolume->SetShortCut(QKeySequence(Qt::KeypadModifier | Qt::Key_Minus));
}

void TAudioMan::AssignHandlers()
{
    caMute->InternalTrueApply = [this] {
        m_muted = true;
        if (m_attached)
            setStatus(asMuted);
        SetVolume(m_volume);
    };
    caMute->InternalFalseApply = [this] {
        m_muted = false;
        if (m_attached)
            setStatus(asSoundOn);
        SetVolume(m_volume);
    };
    naNextDecoderAudio->InternalApply = [this] {
        m_decoders->NextDecoder();
        if (m_decoders->CurrentDecoder())
            notifyDecoder(m_decoders->CurrentDecoder()->Name);
    };
    naIncVolume->InternalApply = [this] { stepVolume(1000); };
    naDecVolume->InternalApply = [this] { stepVolume(-1000); };
    iaVolume->InternalApply = [this](const qint32 &value) { SetVolume(value); };
    iaVolume->InternalBeforeSave = [this](qint32 &value) {
        value = m_volume;
        // What the renderer plays at, unless it is what this manager set (the
        // scale in hundredths of a decibel would round the volume away).
        if (!m_muted && m_session && GraphCentibels() != VolumeToCentibels(m_volume))
            value = CentibelsToVolume(GraphCentibels());
        return true;
    };
}

void TAudioMan::stepVolume(int delta)
{
    SetVolume(m_volume + delta);
    iaVolume->SetValue(m_volume);
}

void TAudioMan::SetVolume(int volume)
{
    m_volume = qBound(0, volume, 10000);
    if (m_session)
        applyGraphVolume();
    showVolume();
    if (OnVolume)
        OnVolume(m_volume);
}

void TAudioMan::applyGraphVolume()
{
    GstElement *volume = volumeOf(m_renderer);
    if (!volume)
        return;
    const int centibels = VolumeToCentibels(m_muted ? 0 : m_volume);
    g_object_set(volume, "volume", CentibelsToFactor(centibels), nullptr);
    gst_object_unref(volume);
}

int TAudioMan::GraphCentibels() const
{
    GstElement *volume = volumeOf(m_renderer);
    if (!volume)
        return -10000;
    gdouble factor = 0;
    g_object_get(volume, "volume", &factor, nullptr);
    gst_object_unref(volume);
    return factor <= 0 ? -10000 : qMax(-10000, int(std::lround(2000 * std::log10(factor))));
}

void TAudioMan::showVolume()
{
    if (m_gauge)
        m_gauge->setProperty("Progress", m_volume);
    if (m_slider)
        m_slider->setProperty("value", m_volume);
}

void TAudioMan::setStatus(int status)
{
    m_status = status;
    const int picture = AudioStatusPicture(status);
    if (m_image && picture < m_images.size())
        m_image->setProperty("pixmap", m_images[picture]);
    if (OnStatus)
        OnStatus(status);
}

void TAudioMan::notifyDecoder(const QString &name)
{
    if (OnNotifyAudioDecoder)
        OnNotifyAudioDecoder(name);
}

void TAudioMan::SetAudioGauge(QObject *gauge)
{
    m_gauge = gauge;
    if (!gauge)
        return;
    gauge->setProperty("MaxValue", 10000); // the upper end first: the range never inverts
    gauge->setProperty("MinValue", 0);
    gauge->setProperty("AlertValue", 11000);
    gauge->setProperty("Progress", m_volume);
}

void TAudioMan::SetAudioSlider(QObject *slider)
{
    if (m_slider)
        disconnect(m_slider, nullptr, this, nullptr);
    m_slider = slider;
    if (!slider)
        return;
    slider->setProperty("maximum", 10000);
    slider->setProperty("minimum", 0);
    slider->setProperty("value", m_volume);
    const int signal = slider->metaObject()->indexOfSignal("valueChanged(int)");
    if (signal >= 0)
        connect(slider, slider->metaObject()->method(signal), this,
                metaObject()->method(metaObject()->indexOfSlot("sliderMoved(int)")));
}

void TAudioMan::sliderMoved(int value)
{
    if (value != m_volume)
        SetVolume(value);
}

void TAudioMan::SetAudioImage(QObject *image)
{
    m_image = image;
    setStatus(asNoStream);
}

void TAudioMan::SetAudioImages(const QList<QPixmap> &images)
{
    m_images = images;
    setStatus(asNoStream);
}

bool TAudioMan::failAttach()
{
    DetachSource();
    setStatus(asConnectFailed);
    return false;
}

bool TAudioMan::AttachSource(TAudioSource *source)
{
    if (source == m_source && m_attached)
        return true;
    m_decoders->SetCurrentDecoder(decoders::NoAudioDecoder());
    m_source = source;
    if (!source || source == placeholders::NoAudio()) {
        m_source = placeholders::NoAudio();
        setStatus(asNoStream);
        return false;
    }
    try {
        auto *device = static_cast<TGraphChunk *>(source);
        while (device->Parent)
            device = device->Parent;
        m_session = device->OwningSession;
        if (!m_session)
            return failAttach();
        m_decoders->SetSession(m_session);
        QPointer<TAudioMan> self(this);
        if (!source->Attach(m_session, [self](const TNvMessage &m) {
                if (self)
                    self->PostMessage(m);
            }))
            return failAttach();
        TMfGraph *graph = m_session->Graph();
        if (!m_renderer)
            return failAttach();
        if (m_rendererGraph && m_rendererGraph->Contains(m_renderer))
            m_rendererGraph->RemoveFilter(m_renderer);
        if (FAILED(graph->AddFilter(m_renderer, QStringLiteral("Nv Audio Renderer"))))
            return failAttach();
        m_rendererGraph = graph;
        m_preference = m_decoders->PreferenceTable()->Find(
            {source->MajorType, source->SubType, source->FormatType});
        m_decoders->SetPreferredDecoder(m_preference);
        if (!m_decoders->Connect(source->NotifierFilter, m_renderer))
            return failAttach();
        notifyDecoder(m_decoders->CurrentDecoder()->Name);
        m_attached = true;
        if (TNotifier *seeing = source->FramesNotifier())
            seeing->SetAudioReports(true);
        if (auto *relay = qobject_cast<TDVMan *>(m_session.data());
            relay && !relay->AttachedDVNotifier())
            relay->AttachDVSource(source);
        setStatus(m_muted ? asMuted : asSoundOn);
        applyGraphVolume();
        return true;
    } catch (const std::exception &) {
        return failAttach();
    }
}

bool TAudioMan::DetachSource()
{
    m_attached = false;
    notifyDecoder(kNoAudioDecoder);
    if (OnNotifyAudioFormat)
        OnNotifyAudioFormat(kNoAudio);
    bool result = false;
    TAudioSource *source = m_source;
    if (m_session && source && source != placeholders::NoAudio()) {
        TNotifier *seeing = source->FramesNotifier();
        if (auto *relay = qobject_cast<TDVMan *>(m_session.data());
            relay && seeing && relay->AttachedDVNotifier() == seeing->Element())
            relay->AttachDVNotifiers(nullptr, nullptr);
        m_decoders->Release();
        if (m_rendererGraph && m_rendererGraph->Contains(m_renderer))
            m_rendererGraph->RemoveFilter(m_renderer);
        if (m_preference)
            TFilterRecs::Global().ReleaseInstance(m_preference);
        m_preference = nullptr;
        if (seeing)
            seeing->SetAudioWindow({});
        result = source->Detach();
        m_decoders->SetSession(nullptr);
    }
    m_source = placeholders::NoAudio();
    setStatus(asNoStream);
    // A navigation manager starts its positions over (it offers ResetPositions).
    if (m_session && m_session->metaObject()->indexOfMethod("ResetPositions()") >= 0)
        QMetaObject::invokeMethod(m_session, "ResetPositions", Qt::DirectConnection);
    return result;
}

void TAudioMan::PrepareForFile()
{
    if (m_source && m_source != placeholders::NoAudio())
        if (TNotifier *notifier = m_source->FramesNotifier())
            notifier->ResetReports();
    m_decoders->Reset();
}

void TAudioMan::WndProc(const TNvMessage &message)
{
    if (message.msg == kNvMsgAudioData && message.wParam == 3) {
        if (OnNotifyAudioFormat)
            OnNotifyAudioFormat(message.data.value<TframeData>().audioDescription);
        return;
    }
    TNvActionComponent::WndProc(message);
}

bool TAudioMan::LoadDecoderPrefs(TNorvanePreferences &store)
{
    if (!store.OpenSection(QStringLiteral("AudioDecoders")))
        return false;
    const bool ok = decoders::AudioPreferences().Load(store);
    store.CloseSection();
    return ok;
}

bool TAudioMan::SaveDecoderPrefs(TNorvanePreferences &store)
{
    if (!store.OpenSection(QStringLiteral("AudioDecoders")))
        return false;
    const bool ok = decoders::AudioPreferences().Save(store);
    store.CloseSection();
    return ok;
}
