#pragma once
// The video manager: the video window plus everything that depends on the
// stream. It connects a file's video source to its renderer through its
// decoder manager and the frames notifier, reports the decoder and the
// format, turns the stream's format reports into the window's aspect pair
// (or a forced one), shows a message and a picture when there is no video or
// the video cannot be decoded, and keeps the inlay values the streaming side
// sends for the current frame.

#include "controls/uLinkEdit.h"
#include "filters/uNotifier.h"
#include "media/uDecoders.h"
#include "media/uGrapheMan.h"
#include "media/uWindowLessMan.h"
#include "mf/uMediaTypes.h"

#include <QLabel>
#include <QPixmap>

#include <functional>

class TFramesNotifier;
class TNopeAction;
class TNorvanePreferences;
class TVideoSource;

class TVideoMan : public TWindowLessMan
{
    Q_OBJECT
public:
    using TNotifyStringEvent = std::function<void(const QString &text)>;
    using TErrorPanelEvent = std::function<void(QString &text)>;

    // Inlay values from the main window (the frames notifier and the DV
    // notifier send theirs with kNvMsgFrameTimeStamp and kNvMsgDVCodeEntry).
    static constexpr quint32 kNvMsgRealDateTime = 0x241B;  // data: double date-time
    static constexpr quint32 kNvMsgImageNumber = 0x241D;   // wParam: the number
    static constexpr quint32 kNvMsgVideoFileName = 0x241E; // data: QString

    enum TDisplayState { dsNoVideo = 0, dsVideo = 1, dsBadVideo = 2 };

    struct TInlayValues {
        QString timeStamp;
        TDVCodeEntry dvCode;
        double realDateTime = 0;
        qint64 imageNumber = 0;
        QString fileName;
        bool timeStampValid = false, dvCodeValid = false, realDateTimeValid = false,
             imageNumberValid = false, fileNameValid = false;
    };

    explicit TVideoMan(QObject *owner = nullptr);
    ~TVideoMan() override;

    TNotifyStringEvent OnNotifyVideoDecoder, OnNotifyVideoFormat;
    TErrorPanelEvent OnNoVideoStream, OnBadVideoStream;
    // Called whenever the inlay values change.
    std::function<void()> OnInlayValues;
    // A source was attached (before ShowVideo) or is being detached (before
    // its chain comes out): the navigation manager's part (it takes the
    // frames notifier, resets its positions, takes frame durations) is wired
    // here by the window that owns both.
    std::function<void(TVideoSource *source, TGrapheMan *session)> OnSourceAttached,
        OnSourceDetached;

    int leHeight() const { return m_leHeight; }
    void SetleHeight(int height);

    bool AttachSource(TVideoSource *source);
    bool DetachSource(bool showMessage);
    void PrepareForFile();
    void SetForcedAspect(int mode);
    int ForcedAspect() const { return m_forcedAspect; }

    void ShowNoVideo();
    void ShowBadVideo();
    void ShowVideo();
    TDisplayState DisplayState() const { return m_state; }

    TDecoderMan &DecoderMan() { return m_decoders; }
    GstElement *FramesNotifierElement() const { return m_framesNotifier; }
    TFramesNotifier *FramesNotifier() const;
    TFilterRec *FramesNotifierRecord() const { return m_framesRec; }
    TVideoSource *CurrentSource() const { return m_source; }
    const TVideoData &StoredVideoData() const { return m_videoData; }
    QString ResolutionText() const { return m_resolutionText; }
    QString FormatText() const { return m_formatText; }
    const TInlayValues &InlayValues() const { return m_inlay; }

    TLinkEdit *MessageLabel() const { return m_label; }
    QLabel *MessagePicture() const { return m_picture; }
    static QPixmap NoVideoPicture();
    static QPixmap BadVideoPicture();

    // The "VideoDecoders" sub-section: the video preference table.
    // Shows a frame the graph does not hold (a cached one) as the current
    // picture, at position (100 ns): painted and captured like any other.
    bool PresentFrame(GstSample *sample, qint64 position);

    bool LoadDecoderPreferences(TNorvanePreferences &store);
    bool SaveDecoderPreferences(TNorvanePreferences &store);

    TNopeAction *naNextDecoderVideo = nullptr;

    void SetWindow(QWidget *control) override;
    void Relayout() override;

protected:
    void CreateActions() override;
    void AssignHandlers() override;
    void CreateMessageControls() override;
    bool PictureShown() const override { return m_state == dsVideo; }
    void WndProc(const TNvMessage &message) override;

private:
    void ShowMessage(TDisplayState state, const TErrorPanelEvent &event, const QString &defaultText,
                     const QPixmap &picture);
    void ApplyAspect();
    void NotifyDecoder(const QString &name);
    void NextDecoder();
    TGrapheMan *OwningSession(TVideoSource *source) const;

    TDecoderMan m_decoders;
    GstElement *m_framesNotifier = nullptr; // our own reference
    TFilterRec *m_framesRec = nullptr;
    QPointer<TGrapheMan> m_session;
    TVideoSource *m_source = nullptr;
    TFilterRec *m_preference = nullptr;
    TDisplayState m_state = dsNoVideo;
    int m_forcedAspect = 0;
    int m_leHeight = 32;
    TVideoData m_videoData;
    QString m_resolutionText, m_formatText;
    TInlayValues m_inlay;
    QPointer<TLinkEdit> m_label;
    QPointer<QLabel> m_picture;
};
