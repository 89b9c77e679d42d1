#pragma once
// The audio manager: plays the audio stream of the open file. It owns the
// audio renderer, connects a file's audio source to it through a decoder its
// decoder manager chooses, reports the decoder and the audio format, and
// keeps the volume and the mute state with their actions, the volume gauge,
// an optional slider and an optional status picture.
//
// The gauge, slider and picture are bound by their Qt properties, so that
// this manager needs no widget: a gauge with "MinValue", "MaxValue",
// "AlertValue" and "Progress" (TTextGauge), a slider with "minimum",
// "maximum", "value" and the signal valueChanged(int) (QAbstractSlider), a
// picture with "pixmap" (QLabel). A control that is destroyed is let go.

#include "actions/uActionList.h"
#include "uDecoders.h"
#include "uGrapheMan.h"

#include <QList>
#include <QPixmap>
#include <QPointer>

#include <functional>

#include <gst/gst.h>

class TAudioSource;
class TMfGraph;
class TCheckAction;
class TIntegerAction;
class TNopeAction;
class TNorvanePreferences;

// The renderer: audioconvert ! audioresample ! volume ! autoaudiosink in a
// bin, or a clock-synchronised fakesink in place of the device sink when no
// audio device opens, so that playback keeps its pace on machines without
// sound. The volume element is named "volume". A floating reference.
GstElement *CreateAudioRenderer();
// Whether the renderer plays to a device (False: the fake sink stands in).
bool AudioRendererHasDevice(GstElement *renderer);

// The linear volume 0 ... 10000 in hundredths of a decibel: the nearest
// integer to ln(v + 1) x 1085.73, minus 10000 (10000 -> 0, 0 -> -10000).
int VolumeToCentibels(int volume);
// The inverse, the nearest linear volume.
int CentibelsToVolume(int centibels);
// The amplitude factor of hundredths of a decibel, 10^(v / 2000); 0 from -10000 down.
double CentibelsToFactor(int centibels);

// Status numbers; each selects the picture of the same row of AudioImages.
enum TAudioStatus {
    asNoStream = 0,
    asNoRenderer = 1,
    asConnectFailed = 2,
    asMuted = 3,
    asSoundOn = 4
};
// The picture index of a status.
int AudioStatusPicture(int status);

class TAudioMan : public TNvActionComponent
{
    Q_OBJECT
public:
    using TNotifyStringEvent = std::function<void(const QString &text)>;
    using TErrorPanelEvent = std::function<void(const QString &text)>;

    // Creates the renderer, the decoder manager and the actions.
    explicit TAudioMan(QObject *owner = nullptr);
    ~TAudioMan() override;

    TNotifyStringEvent OnNotifyAudioDecoder;            // the decoder's name or "No Audio decoder"
    TNotifyStringEvent OnNotifyAudioFormat;             // the audio description or "No Audio"
    TErrorPanelEvent OnNoAudioStream, OnBadAudioStream; // published; not raised
    std::function<void(int status)> OnStatus;
    std::function<void(int volume)> OnVolume;

    QObject *AudioGauge() const { return m_gauge; }
    void SetAudioGauge(QObject *gauge);
    QObject *AudioSlider() const { return m_slider; }
    void SetAudioSlider(QObject *slider);
    QObject *AudioImage() const { return m_image; }
    void SetAudioImage(QObject *image);
    const QList<QPixmap> &AudioImages() const { return m_images; }
    void SetAudioImages(const QList<QPixmap> &images);

    bool AttachSource(TAudioSource *source);
    bool DetachSource();
    void PrepareForFile();
    void SetVolume(int volume);

    QList<TFilterRec *> &Candidates() { return m_decoders->Candidates; }
    TDecoderMan *DecoderMan() const { return m_decoders; }
    GstElement *Renderer() const { return m_renderer; }
    TAudioSource *CurrentSource() const { return m_source; }
    bool Attached() const { return m_attached; }
    bool Muted() const { return m_muted; }
    int Volume() const { return m_volume; }
    int Status() const { return m_status; }
    // The volume the renderer plays at, in hundredths of a decibel.
    int GraphCentibels() const;

    TCheckAction *caMute = nullptr;
    TNopeAction *naNextDecoderAudio = nullptr, *naIncVolume = nullptr, *naDecVolume = nullptr;
    TIntegerAction *iaVolume = nullptr;

    // The "AudioDecoders" sub-section of the store's current section.
    bool LoadDecoderPrefs(TNorvanePreferences &store);
    bool SaveDecoderPrefs(TNorvanePreferences &store);

protected:
    void WndProc(const TNvMessage &message) override;
    void CreateActions() override;
    void AssignHandlers() override;

private slots:
    void sliderMoved(int value);

private:
    void setStatus(int status);
    void applyGraphVolume();
    void showVolume();
    void notifyDecoder(const QString &name);
    void stepVolume(int delta);
    bool failAttach();

    GstElement *m_renderer = nullptr;   // a reference of our own
    QPointer<TMfGraph> m_rendererGraph; // the graph it was added to
    TDecoderMan *m_decoders = nullptr;
    QPointer<TGrapheMan> m_session;
    TAudioSource *m_source = nullptr;
    TFilterRec *m_preference = nullptr;
    bool m_attached = false;
    bool m_muted = false;
    int m_volume = 5000;
    int m_status = asNoStream;
    QPointer<QObject> m_gauge, m_slider, m_image;
    QList<QPixmap> m_images;
};
