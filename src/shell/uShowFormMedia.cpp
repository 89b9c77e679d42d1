// The main window's side of the media: its managers, opening and closing a
// video, and the notifications that fill its labels.

#include "main.h"

#include "actions/uRunStatus.h"
#include "actions/uScriptAction.h"
#include "controls/uTextGauges.h"
#include "media/uAudioMan.h"
#include "media/uMediaFactory.h"
#include "media/uVideoMan.h"
#include "mf/mfSourceBin.h"
#include "navigation/uNavMan.h"
#include "navigation/uNavWidgets.h"
#include "prefs/uSavePrefs.h"
#include "uFichierMan.h"
#include "uNavFrame.h"
#include "uShowFormView.h"
#include <QSlider>

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>

namespace {

void enableAction(TCustomNvActionList *list, const char *id, bool on)
{
    if (QAction *action = list->FindByInternalId(QLatin1String(id)))
        action->setEnabled(on);
}

} // namespace

void TShowForm::CreateMediaComponents()
{
    m_navMan = new TNavMan(this);
    m_navMan->setObjectName(QStringLiteral("NavMan"));
    m_navMan->CreateFresh();
    m_mf = new TMediaFactory(this);
    m_mf->SetGrapheMan(m_navMan);
    m_vidman = new TVideoMan(this);
    m_vidman->setObjectName(QStringLiteral("vidman"));
    m_vidman->SetWindow(m_view->videoPanel);
    m_audman = new TAudioMan(this);
    m_audman->setObjectName(QStringLiteral("audman"));

    m_navFrame = new TNavFrame(m_view);
    m_view->navframe->deleteLater();
    m_view->navframe = m_navFrame;
    m_navFrame->hide();

    m_vidman->OnNotifyVideoFormat = [this](const QString &text) {
        m_view->labFormatVideo->setText(text);
        m_view->labFormatVideo->setToolTip(text);
    };
    m_vidman->OnNotifyVideoDecoder = [this](const QString &text) {
        m_view->labDecoderVideo->setText(text);
    };
    m_audman->OnNotifyAudioFormat = [this](const QString &text) {
        m_view->labFormatAudio->setText(text);
    };
    m_audman->OnNotifyAudioDecoder = [this](const QString &text) {
        m_view->labDecoderAudio->setText(text);
    };
    m_audman->SetAudioGauge(m_navFrame->gaugeVolume);
    WireNavigation();
}

void TShowForm::WireNavigation()
{
    TNavMan *nav = m_navMan;
    BindPositionEdit(*nav, m_navFrame->CurrentEdit);
    BindSlider(*nav, m_navFrame->tb);
    nav->SetEnterKeyEnabled(true);
    nav->OnDuration = [this](const QString &text) { m_navFrame->DureeLab->setText(text); };
    nav->OnGraphCompleted = [nav] { nav->EndOfStream(); };
    nav->FramePresenter = [this](GstSample *frame, qint64 position) {
        return m_vidman->PresentFrame(frame, position);
    };
    // The video chain's frames notifier reports to the navigation manager;
    // the renderer tells when a seek has landed.
    m_vidman->OnSourceAttached = [this, nav](TVideoSource *, TGrapheMan *) {
        nav->SetFramesNotifier(m_vidman->FramesNotifierElement());
        nav->SetRendererStateFilter(m_vidman->Renderer());
    };
    m_vidman->OnSourceDetached = [nav](TVideoSource *, TGrapheMan *) {
        nav->SetFramesNotifier(nullptr);
        nav->SetRendererStateFilter(nullptr);
    };
    m_navFrame->BindActions([this](const QString &id) { return FindAction(id); });
}

bool TShowForm::openfile(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    m_view->SetTitleLoading(name);
    const bool wasPlaying = m_navMan->caPlay->Checked();
    m_navMan->SetDisplaySuppressed(true);
    m_navMan->Stop();
    QCoreApplication::processEvents();

    TFileDevice *device = m_mf->GetDevice(path);
    m_audman->DetachSource();
    m_vidman->DetachSource(false);
    m_audman->PrepareForFile();
    m_vidman->PrepareForFile();
    if (!device || !device->Usable) {
        m_navMan->SetDisplaySuppressed(false);
        closefile();
        const QString refusal = MfFileRefusal(path); // a named pipe, a folder...
        ReportOpenFailure(path, !refusal.isEmpty() ? refusal
                                : device
                                    ? QStringLiteral("no stream of it can be played")
                                    : QStringLiteral("its type is not one this program reads"));
        return false;
    }
    m_videoPath = path;
    m_audioPresent = device->AudioCount() > 0 && m_audman->AttachSource(device->AudioSource(0));
    m_videoPresent = device->VideoCount() > 0 && m_vidman->AttachSource(device->VideoSource(0));
    if (!m_videoPresent && !m_audioPresent) {
        m_navMan->SetDisplaySuppressed(false);
        closefile();
        ReportOpenFailure(path, QStringLiteral("neither its video nor its audio can be decoded"));
        return false;
    }
    m_view->PanelHaut->show();
    m_navFrame->show();

    m_navMan->ResetPositions();
    const bool paused = m_navMan->Pause();
    QCoreApplication::processEvents();
    m_navMan->SetDisplaySuppressed(false);
    if (!paused) {
        closefile();
        ReportOpenFailure(path, QStringLiteral("the file could not be prepared for playing"));
        return false;
    }
    m_navMan->caPlay->SetChecked(wasPlaying);
    // A video stopped paused has just prerolled on its first frame: seeking
    // there again would only decode it a second time.
    if (wasPlaying || !m_navMan->ShowsFrameAt(0))
        m_navMan->SetPosition(false, 0);
    m_navMan->WaitRendererState();

    ShowStreamStates(m_videoPresent, m_audioPresent);
    m_view->SetTitle(name);
    m_view->SetSidecars(FindSidecars(path));
    OnOpenedForGrab();
    OnOpenedForIntervallo();
    OnOpenedForInlay();
    return true;
}

void TShowForm::closefile()
{
    m_view->SetTitleLoading({});
    if (m_navMan->caPlay->Checked())
        m_navMan->caPlay->SetChecked(false);
    m_navMan->Stop();
    m_audman->DetachSource();
    m_vidman->DetachSource(true);
    m_vidman->ClearWindow();
    m_videoPath.clear();
    m_videoPresent = m_audioPresent = false;
    m_view->PanelHaut->hide();
    m_navFrame->hide();
    ShowStreamStates(false, false);
    m_view->SetTitle({});
    m_view->SetSidecars({});
    OnClosedForGrab();
    OnClosedForInlay();
}

void TShowForm::ShowStreamStates(bool video, bool audio)
{
    for (const char *id : {"caSliders", "naGrab", "naCopy", "caIntervalloShow"})
        enableAction(m_gpal, id, video);
    enableAction(m_vidman, "caFullscreen", video);
    if (!video)
        if (auto *sliders = m_gpal->Find<TCheckAction>(QStringLiteral("caSliders")))
            if (sliders->Checked())
                sliders->SetChecked(false);
    m_view->PanelHaut->setVisible(video);
    m_view->ImageLab->setVisible(video);
    m_navFrame->gaugeVolume->setVisible(audio);
    for (const char *id : {"caMute", "naIncVolume", "naDecVolume"})
        enableAction(m_audman, id, audio);
}

void TShowForm::ReportOpenFailure(const QString &path, const QString &reason)
{
    const QString text = QStringLiteral("Cannot open %1: %2.").arg(path, reason);
    if (RunsWithoutScreen()) {
        TRunStatus::ReportFailure(QStringLiteral("kadrex: ") + text);
        return;
    }
    TRunStatus::MarkFailed();
    QMessageBox::warning(this, QStringLiteral("Kadrex"), text);
}
