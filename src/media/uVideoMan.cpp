#include "uVideoMan.h"

#include "actions/uScriptAction.h"
#include "controls/uLinkEdit.h"
#include "filters/uFilterMessages.h"
#include "filters/uFramesNotifier.h"
#include "filters/uVideoSink.h"
#include "media/uDVMan.h"
#include "media/uMediaDevices.h"
#include "prefs/uPreferences.h"

#include <QLabel>
#include <QPainter>

namespace {

constexpr int kPictureSize = 192;
const QString kNoVideoText =
    QStringLiteral("<color blue>No video stream has been connected</color><br center>");
const QString kBadVideoText = QStringLiteral("The video stream could not be decoded<br center>");
const QString kNoVideoDecoder = QStringLiteral("No Video decoder");

// A screen with a slash (no video) or an exclamation mark (bad video).
QPixmap messagePicture(bool bad)
{
    QPixmap pixmap(kPictureSize, kPictureSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink = bad ? QColor(192, 0, 0) : QColor(0, 0, 160);
    painter.setPen(QPen(ink, 10));
    painter.setBrush(QColor(230, 230, 230));
    painter.drawRoundedRect(QRect(16, 36, 160, 112), 12, 12);
    painter.drawLine(70, 170, 122, 170);
    if (bad) {
        painter.drawLine(96, 58, 96, 108);
        painter.drawPoint(96, 128);
    } else {
        painter.drawLine(40, 128, 152, 56);
    }
    return pixmap;
}

} // namespace

QPixmap TVideoMan::NoVideoPicture()
{
    return messagePicture(false);
}

QPixmap TVideoMan::BadVideoPicture()
{
    return messagePicture(true);
}

TVideoMan::TVideoMan(QObject *owner) : TWindowLessMan(owner, TDeferActions{})
{
    m_source = placeholders::NoVideo();
    m_decoders.SetTables(&decoders::VideoExcluded(), &decoders::VideoPreferences(),
                         decoders::NoVideoDecoder());
    m_framesNotifier = TFramesNotifier::Create();
    if (m_framesNotifier) {
        gst_object_ref_sink(m_framesNotifier);
        m_framesRec = TFilterRecs::Global().FindOrAdd(
            GuidFromText(QString::fromLatin1(TFramesNotifier::ClassId)),
            QString::fromLatin1(TFramesNotifier::FriendlyName), fkOwnInstance);
        TFilterRecs::Global().ReleaseInstance(m_framesRec, m_framesNotifier);
        m_decoders.FramesFilter = m_framesRec;
        FramesNotifier()->SetVideoWindow([this](const TNvMessage &m) { PostMessage(m); });
    }
    CreateMessageControls();
    CreateFresh();
    // The decoder preferences follow the actions in the store.
    OnLoadFromPrefs = [this](TActionStore &store) {
        auto *prefs = dynamic_cast<TNorvanePreferences *>(&store);
        return !prefs || LoadDecoderPreferences(*prefs);
    };
    OnSaveToPrefs = [this](TActionStore &store) {
        auto *prefs = dynamic_cast<TNorvanePreferences *>(&store);
        return !prefs || SaveDecoderPreferences(*prefs);
    };
}

TVideoMan::~TVideoMan()
{
    // Whoever listened may be gone already: detach without telling.
    OnNotifyVideoDecoder = nullptr;
    OnNotifyVideoFormat = nullptr;
    OnSourceDetached = nullptr;
    OnInlayValues = nullptr;
    DetachSource(false);
    if (TFramesNotifier *notifier = FramesNotifier())
        notifier->SetVideoWindow({});
    if (m_framesNotifier)
        gst_object_unref(m_framesNotifier);
    delete m_label.data();
    delete m_picture.data();
}

TFramesNotifier *TVideoMan::FramesNotifier() const
{
    return TFramesNotifier::From(m_framesNotifier);
}

void TVideoMan::CreateActions()
{
    TWindowLessMan::CreateActions();
    naNextDecoderVideo = new TNopeAction(this);
    naNextDecoderVideo->SetName(QStringLiteral("naNextDecoderVideo"));
    naNextDecoderVideo->InternalId = QStringLiteral("naNextDecoderVideo");
    naNextDecoderVideo->ScriptName = QStringLiteral("NextDecoderVideo");
    naNextDecoderVideo->Category = QStringLiteral("internal");
    naNextDecoderVideo->SetCaption(QStringLiteral("Next Video Decoder"));
    naNextDecoderVideo->SetHint(QStringLiteral("Click to use the Next Video Decoder"));
    naNextDecoderVideo->SetShortCut(QKeySequence(Qt::CTRL | Qt::Key_F8));
    naNextDecoderVideo->IncludePrefs = true;
    naNextDecoderVideo->ApplyWhenLoad = false;
    AddAction(naNextDecoderVideo);
}

void TVideoMan::AssignHandlers()
{
    TWindowLessMan::AssignHandlers();
    naNextDecoderVideo->InternalApply = [this] { NextDecoder(); };
}

void TVideoMan::NextDecoder()
{
    // Without a video there is nothing to cycle.
    if (m_state != dsVideo || !m_session)
        return;
    m_decoders.NextDecoder();
    if (TFilterRec *current = m_decoders.CurrentDecoder())
        NotifyDecoder(current->Name);
}

void TVideoMan::NotifyDecoder(const QString &name)
{
    if (OnNotifyVideoDecoder)
        OnNotifyVideoDecoder(name);
}

void TVideoMan::CreateMessageControls()
{
    // The old ones went with their window.
    if (!m_label) {
        m_label = new TLinkEdit;
        m_label->setFrameShape(QFrame::NoFrame);
        m_label->setAutoFillBackground(true);
        m_label->hide();
    }
    if (!m_picture) {
        m_picture = new QLabel;
        m_picture->setFixedSize(kPictureSize, kPictureSize);
        m_picture->hide();
    }
}

TGrapheMan *TVideoMan::OwningSession(TVideoSource *source) const
{
    TGraphChunk *root = source;
    while (root->Parent)
        root = root->Parent;
    return root->OwningSession;
}

bool TVideoMan::AttachSource(TVideoSource *source)
{
    // The placeholder is never "already attached": attaching it reports no video.
    if (source == m_source && source && source != placeholders::NoVideo())
        return true;
    ClearWindow();
    m_source = source;
    if (!source || source == placeholders::NoVideo()) {
        m_source = placeholders::NoVideo();
        ShowNoVideo();
        return false;
    }
    bool ok = false;
    try {
        m_session = OwningSession(source);
        if (m_session) {
            m_decoders.SetSession(m_session);
            m_session->SetRendererStateFilter(Renderer());
            ok = source->Attach(m_session, [this](const TNvMessage &m) { PostMessage(m); });
        }
        if (ok) {
            SetGraph(nullptr);
            SetGraph(m_session->Graph());
            if (TFramesNotifier *notifier = FramesNotifier())
                notifier->SetPositionReports(true);
            m_preference = decoders::VideoPreferences().Find(
                {source->MajorType, source->SubType, source->FormatType});
            m_decoders.SetPreferredDecoder(m_preference);
            ok = m_decoders.Connect(source->NotifierFilter, Renderer());
        }
        if (ok) {
            const TFilterRec *current = m_decoders.CurrentDecoder();
            NotifyDecoder(current ? current->Name : kNoVideoDecoder);
            m_state = dsVideo;
            if (TNotifier *own = source->SourceNotifier())
                own->SetVideoReports(true);
            if (auto *relay = qobject_cast<TDVMan *>(m_session.data());
                relay && !relay->AttachedDVNotifier())
                relay->AttachDVSource(source);
        }
    } catch (const std::exception &) {
        ok = false;
    }
    if (!ok) {
        DetachSource(true);
        ShowBadVideo();
        return false;
    }
    if (OnSourceAttached)
        OnSourceAttached(source, m_session);
    ShowVideo();
    return true;
}

bool TVideoMan::PresentFrame(GstSample *sample, qint64 position)
{
    const TFramesNotifier *notifier = FramesNotifier();
    const qint64 duration = notifier ? notifier->FrameDuration() : 1;
    return Sink() &&
           Sink()->PresentSample(sample, {position, duration > 1 ? position / duration : -1});
}

bool TVideoMan::DetachSource(bool showMessage)
{
    NotifyDecoder(kNoVideoDecoder);
    if (OnNotifyVideoFormat)
        OnNotifyVideoFormat(QStringLiteral("No Video"));
    ClearWindow();
    bool result = true;
    TVideoSource *source = m_source;
    if (m_session && source && source != placeholders::NoVideo()) {
        if (OnSourceDetached)
            OnSourceDetached(source, m_session);
        auto *relay = qobject_cast<TDVMan *>(m_session.data());
        if (relay && relay->AttachedDVNotifier() &&
            relay->AttachedDVNotifier() ==
                (source->FramesNotifier() ? source->FramesNotifier()->Element() : nullptr))
            relay->AttachDVNotifiers(nullptr, nullptr);
        m_session->RemoveChainBetween(Renderer(), source->NotifierFilter);
        m_decoders.Release();
        if (m_preference)
            TFilterRecs::Global().ReleaseInstance(m_preference);
        m_preference = nullptr;
        if (TNotifier *seeing = source->FramesNotifier())
            seeing->SetVideoWindow({});
        result = source->Detach();
        m_decoders.SetSession(nullptr);
        // A frame still on its way while the chain came out must not stay.
        ClearWindow();
    }
    m_source = placeholders::NoVideo();
    if (showMessage)
        ShowNoVideo();
    else if (m_state == dsVideo)
        m_state = dsNoVideo;
    m_inlay = TInlayValues{};
    return result;
}

void TVideoMan::PrepareForFile()
{
    if (m_source && m_source != placeholders::NoVideo())
        if (TNotifier *notifier = m_source->SourceNotifier())
            notifier->ResetReports();
    m_decoders.Reset();
}

void TVideoMan::SetForcedAspect(int mode)
{
    m_forcedAspect = qBound(0, mode, 3);
    ApplyAspect();
}

void TVideoMan::ApplyAspect()
{
    if (m_state != dsVideo)
        return;
    const QPoint pair = AspectPairFor(m_videoData, m_forcedAspect);
    SetAspect(pair.x(), pair.y());
}

void TVideoMan::WndProc(const TNvMessage &message)
{
    switch (message.msg) {
    case kNvMsgVideoData:
        if (message.data.canConvert<TVideoData>())
            m_videoData = message.data.value<TVideoData>();
        if (message.wParam == 2) {
            m_resolutionText = m_videoData.resolutionText;
            m_formatText = m_videoData.formatText;
            if (OnNotifyVideoFormat)
                OnNotifyVideoFormat(FormatReportText(m_formatText, m_resolutionText));
        } else if (message.wParam == 4) {
            ApplyAspect();
        }
        return;
    case kNvMsgDVCodeEntry:
        m_inlay.dvCode = message.data.value<TDVCodeEntry>();
        m_inlay.dvCodeValid = true;
        break;
    case kNvMsgFrameTimeStamp:
        m_inlay.timeStamp = message.data.toString();
        m_inlay.timeStampValid = true;
        break;
    case kNvMsgRealDateTime:
        m_inlay.realDateTime = message.data.toDouble();
        m_inlay.realDateTimeValid = true;
        break;
    case kNvMsgImageNumber:
        m_inlay.imageNumber = message.wParam;
        m_inlay.imageNumberValid = true;
        break;
    case kNvMsgVideoFileName:
        m_inlay.fileName = message.data.toString();
        m_inlay.fileNameValid = true;
        break;
    default:
        TWindowLessMan::WndProc(message);
        return;
    }
    if (OnInlayValues)
        OnInlayValues();
}

void TVideoMan::ShowMessage(TDisplayState state, const TErrorPanelEvent &event,
                            const QString &defaultText, const QPixmap &picture)
{
    m_state = state;
    QString text = defaultText;
    if (event)
        event(text);
    m_label->SetRichText(text);
    m_picture->setPixmap(picture);
    Relayout();
}

void TVideoMan::ShowNoVideo()
{
    ShowMessage(dsNoVideo, OnNoVideoStream, kNoVideoText, NoVideoPicture());
}

void TVideoMan::ShowBadVideo()
{
    ShowMessage(dsBadVideo, OnBadVideoStream, kBadVideoText, BadVideoPicture());
}

void TVideoMan::ShowVideo()
{
    m_state = dsVideo;
    m_label->hide();
    m_picture->hide();
    ApplyAspect();
    Relayout();
}

void TVideoMan::SetleHeight(int height)
{
    m_leHeight = height;
    Relayout();
}

void TVideoMan::SetWindow(QWidget *control)
{
    CreateMessageControls();
    m_label->setParent(control);
    m_picture->setParent(control);
    TWindowLessMan::SetWindow(control);
    if (control) {
        if (m_state == dsNoVideo)
            ShowNoVideo();
        else if (m_state == dsBadVideo)
            ShowBadVideo();
        else
            ShowVideo();
        control->update();
    }
}

void TVideoMan::Relayout()
{
    QWidget *w = CurrentWindow();
    if (!w)
        return;
    TWindowLessMan::Relayout();
    // The messages live in the embedded window.
    QWidget *host = m_label ? m_label->parentWidget() : nullptr;
    if (!host)
        return;
    const bool message = m_state != dsVideo;
    const int width = host->width(), height = host->height();
    m_picture->move((width - kPictureSize) / 2, 0);
    m_label->setGeometry(8, height - m_leHeight - 8, width - 16, m_leHeight);
    m_picture->move(m_picture->x(), (m_label->y() - kPictureSize) / 2);
    m_label->setPalette(host->palette());
    m_label->setVisible(message && width > 16);
    m_picture->setVisible(message);
    if (message) {
        m_label->raise();
        m_picture->raise();
    }
    m_label->update();
}

bool TVideoMan::LoadDecoderPreferences(TNorvanePreferences &store)
{
    if (!store.OpenSection(QStringLiteral("VideoDecoders")))
        return false;
    const bool ok = decoders::VideoPreferences().Load(store);
    store.CloseSection();
    return ok;
}

bool TVideoMan::SaveDecoderPreferences(TNorvanePreferences &store)
{
    if (!store.OpenSection(QStringLiteral("VideoDecoders")))
        return false;
    const bool ok = decoders::VideoPreferences().Save(store);
    store.CloseSection();
    return ok;
}
