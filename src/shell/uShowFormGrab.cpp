// The main window's grab: capture of the frame on screen, copy to the
// clipboard, saving under the next image name, the naming and aspect
// commands, and the next-name label. The work itself is TGrabber's and the
// naming functions'; this file feeds them the window's settings and turns
// their outcome into labels, the number advance and error reports.

#include "main.h"

#include "actions/uActionList.h"
#include "actions/uRunStatus.h"
#include "actions/uScriptAction.h"
#include "capture/uFrameWait.h"
#include "capture/uImageNaming.h"
#include "capture/uShowInFileManager.h"
#include "capture/uThumbnail.h"
#include "media/uVideoMan.h"
#include "navigation/uNavMan.h"
#include "prefs/uSavePrefs.h"
#include "uDossiersFrame.h"
#include "uImagetteFrame.h"
#include "uShortcutSuspend.h"
#include "uShowFormView.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

template <typename A> A *action(TNvActionList *list, const char *id)
{
    return list->Find<A>(QLatin1String(id));
}

int intValue(TNvActionList *list, const char *id)
{
    return action<TIntegerAction>(list, id)->Value();
}

bool boolValue(TNvActionList *list, const char *id)
{
    return action<TBooleanAction>(list, id)->Value();
}

// Runs fn after whatever else is bound to the action's apply, so that other
// parts of the window may listen to the same setting.
template <typename A, typename F> void afterApply(A *a, F fn)
{
    auto previous = a->OnAfterApply;
    a->OnAfterApply = [previous, fn](const auto &...value) {
        if (previous)
            previous(value...);
        fn();
    };
}

TImageNameSettings namingSettings(TNvActionList *gpal)
{
    TImageNameSettings s;
    s.folder = action<TWidestringAction>(gpal, "waDossierSave")->Value();
    s.nameSource = intValue(gpal, "iaNomFichierImage");
    s.root = action<TWidestringAction>(gpal, "waDefaultRacine")->Value();
    s.limitLength = boolValue(gpal, "baLimiterLongueur");
    s.rootLength = intValue(gpal, "iaRacineLength");
    s.suffixKind = intValue(gpal, "iaImageAjouter");
    s.digits = intValue(gpal, "iaDigits");
    s.nextNum = intValue(gpal, "iaNextNum");
    s.imageExtension = intValue(gpal, "iaImageExtension");
    return s;
}

void setTextColour(QLabel *label, const QColor &colour)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

void sayOnStderr(const QString &line)
{
    fprintf(stderr, "kadrex: %s\n", qPrintable(QString(line).replace(u'\n', u' ')));
}

TOverwriteAnswer askOverwrite(QWidget *window, const QString &question)
{
    if (RunsWithoutScreen()) {
        sayOnStderr(QStringLiteral("%1 -> No (no screen to ask)").arg(question.simplified()));
        return HeadlessOverwriteAnswer(question);
    }
    QMessageBox box(
        QMessageBox::Warning, QCoreApplication::applicationName(), question,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::YesToAll, window);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return TOverwriteAnswer::Yes;
    case QMessageBox::YesToAll:
        return TOverwriteAnswer::YesToAll;
    case QMessageBox::No:
        return TOverwriteAnswer::No;
    default: // Cancel, or the dialog closed
        return TOverwriteAnswer::Cancel;
    }
}

// A save or grab that did not happen: said on stderr without a screen, in a
// message box otherwise; either way the run counts as failed.
void reportFailure(QWidget *window, const QString &why)
{
    if (RunsWithoutScreen()) {
        TRunStatus::ReportFailure(QStringLiteral("kadrex: ") + why);
        return;
    }
    TRunStatus::MarkFailed();
    QMessageBox::warning(window, QCoreApplication::applicationName(), why);
}

// Hands mouse presses on a widget to the window.
class TPressFilter : public QObject
{
public:
    using TPress = std::function<void(Qt::MouseButton, QPoint)>;
    TPressFilter(QWidget *widget, TPress press) : QObject(widget), m_press(std::move(press))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            m_press(mouse->button(), mouse->position().toPoint());
        }
        return false;
    }

private:
    TPress m_press;
};

} // namespace

void TShowForm::WireGrabClicks()
{
    QWidget *page = m_view->pages[TShowFormView::pgImagette];
    auto *box = new QVBoxLayout(page);
    box->setContentsMargins(0, 0, 0, 0);
    m_imagette = new TImagetteFrame(page);
    box->addWidget(m_imagette);
    QWidget *settings = m_view->pages[TShowFormView::pgSaveImages];
    auto *settingsBox = new QVBoxLayout(settings);
    settingsBox->setContentsMargins(0, 0, 0, 0);
    m_dossiers = new TDossiersFrame(settings);
    settingsBox->addWidget(m_dossiers);
    m_dossiers->Bind(*m_gpal);
    SuspendShortcutsWhileTyping(m_dossiers->NomRacineEdit, m_audman, m_navMan);
    m_imagette->OnNameClick = [this] { SaveCapture(); };
    m_imagette->OnPictureClick = [this] {
        if (!m_imagette->SnapLab->text().isEmpty())
            m_navMan->GoToPositionText(m_imagette->SnapLab->text());
    };
    new TPressFilter(m_view->videoPanel, [this](Qt::MouseButton button, QPoint at) {
        VideoPanelMouseDown(button, at);
    });
    for (QWidget *bar :
         {static_cast<QWidget *>(m_view->ImageLab), static_cast<QWidget *>(m_view->panelImage)})
        new TPressFilter(bar, [this](Qt::MouseButton button, QPoint) {
            if (button == Qt::LeftButton)
                OpenSaveFolder(m_nextImageName,
                               action<TWidestringAction>(m_gpal, "waDossierSave")->Value(),
                               ImageRoot(namingSettings(m_gpal), m_videoPath));
        });
}

void TShowForm::VideoPanelMouseDown(Qt::MouseButton button, QPoint at)
{
    const bool sliders = action<TCheckAction>(m_gpal, "caSliders")->Checked();
    switch (VideoClickAction(button == Qt::LeftButton, m_videoPresent, sliders,
                             boolValue(m_gpal, "baSauverQuandClic"))) {
    case TVideoClick::Grab:
        action<TNopeAction>(m_gpal, "naGrab")->DoExecute();
        break;
    case TVideoClick::Copy:
        action<TNopeAction>(m_gpal, "naCopy")->DoExecute();
        break;
    case TVideoClick::SetInlayPosition:
        if (auto *position =
                dynamic_cast<TPointAction *>(FindAction(QStringLiteral("paInsertPosition")))) {
            const TNvRect d = m_vidman->WindowDestination();
            position->SetValue(InlayPositionOfClick(
                at, QRect(QPoint(d.left, d.top), QPoint(d.right - 1, d.bottom - 1))));
        }
        break;
    case TVideoClick::Nothing:
        break;
    }
}

void TShowForm::WireGrab()
{
    TNvActionList *g = m_gpal;
    action<TNopeAction>(g, "naGrab")->OnAfterApply = [this] { GrabImage(); };
    action<TNopeAction>(g, "naCopy")->OnAfterApply = [this] { CopyImage(); };

    auto *forcing = action<TIntegerAction>(g, "iaForcerAspectRatio");
    afterApply(forcing, [this, forcing] { m_vidman->SetForcedAspect(forcing->Value()); });
    const std::pair<const char *, int> aspects[] = {{"naForcerNormal", afNormal},
                                                    {"naForcer4x3", af4x3},
                                                    {"naForcer16x9", af16x9},
                                                    {"naForcerNative", afNative}};
    for (const auto &[id, value] : aspects)
        action<TNopeAction>(g, id)->OnAfterApply = [forcing, value] { forcing->SetValue(value); };

    const std::tuple<const char *, const char *, int> setters[] = {
        {"naAjouterTimeStamp", "iaImageAjouter", 0},
        {"naAjouterNumero", "iaImageAjouter", 1},
        {"naBmpExtension", "iaImageExtension", 0},
        {"naJpegExtension", "iaImageExtension", 1}};
    for (const auto &[id, target, value] : setters) {
        auto *setting = action<TIntegerAction>(g, target);
        action<TNopeAction>(g, id)->OnAfterApply = [setting, value] { setting->SetValue(value); };
    }

    const auto recompute = [this] { ComputeNextImageName(); };
    for (const char *id : {"waDossierSave", "waDefaultRacine"})
        afterApply(action<TWidestringAction>(g, id), recompute);
    for (const char *id : {"iaNomFichierImage", "iaRacineLength", "iaImageAjouter", "iaDigits",
                           "iaNextNum", "iaImageExtension"})
        afterApply(action<TIntegerAction>(g, id), recompute);
    afterApply(action<TBooleanAction>(g, "baLimiterLongueur"), recompute);
    WireGrabClicks();
}

void TShowForm::ComputeNextImageName(const TFrameRecord *frame)
{
    const TImageNameSettings settings = namingSettings(m_gpal);
    const std::optional<QString> name =
        frame ? ::NextImageName(settings, *frame)
              : ::NextImageName(settings, m_videoPath, m_navMan->FrameDuration(),
                                m_navMan->LastDisplayedPosition());
    if (!name)
        return;
    m_nextImageName = *name;
    QLabel *lab = m_view->ImageLab;
    lab->setText(m_nextImageName);
    setTextColour(lab, ImageNameColor(ImageNameState(m_nextImageName)));
}

bool TShowForm::CaptureFrame(QString *error)
{
    if (m_navMan->caPlay->Checked())
        WaitForDrawnFrame([this] { return qint64(m_vidman->FramesDrawn()); },
                          m_vidman->FramesDrawnAtInlayRefresh(),
                          [this] { return m_navMan->caPlay->Checked(); },
                          m_navMan->FrameDuration());
    QImage picture;
    TFramePosition position;
    TFrameDVCodes dvCodes;
    if (!m_videoPresent || !m_vidman->CaptureCurrentImage(picture, &position, &dvCodes)) {
        // Never the previous capture's pixels under a new name.
        *error = QStringLiteral("Nothing was grabbed: the video window has no current picture.");
        return false;
    }
    TFrameRecord record;
    record.position = position.Valid() ? position.position : m_navMan->LastDisplayedPosition();
    record.frameDuration = m_navMan->FrameDuration();
    record.sourceFile = m_videoPath;
    // The codes of the captured frame itself, not of the latest report.
    if (const std::optional<TDVCodeEntry> codes = DVCodeEntryOf(dvCodes))
        record.setDVCodes(*codes);
    ComputeNextImageName(&record);
    const TCaptureSettings settings{boolValue(m_gpal, "baImageDeinterlacer"),
                                    {m_vidman->Aspect().x(), m_vidman->Aspect().y()}};
    TCapture capture = m_grabber.Capture(picture, record, settings, error);
    if (capture.isNull())
        return false;
    m_capture = std::move(capture);
    m_imagette->ShowCapture(m_capture.image, m_capture.record.positionText(),
                            QFileInfo(m_nextImageName).fileName());
    return true;
}

TSaveResult TShowForm::SaveCapture()
{
    const TSaveSettings settings{intValue(m_gpal, "iaImageExtension"),
                                 intValue(m_gpal, "iaJpegCompressionQuality"),
                                 boolValue(m_gpal, "baConfirmerImage")};
    const TSaveResult result = m_grabber.ConfirmSave(
        m_capture, m_nextImageName, settings,
        [this](const QString &question) { return askOverwrite(this, question); });
    if (result.turnOffConfirmation)
        action<TBooleanAction>(m_gpal, "baConfirmerImage")->SetValue(false);
    if (result.saved()) {
        m_imagette->SetSaved(true);
        auto *next = action<TIntegerAction>(m_gpal, "iaNextNum");
        next->SetValue(next->Value() + 1);
    } else if (result.status == TSaveStatus::Failed) {
        reportFailure(this, result.message);
    }
    return result;
}

TSaveResult TShowForm::GrabImage()
{
    const std::optional<TSaveResult> nothing = CaptureForGrab();
    return nothing ? *nothing : SaveCapture();
}

std::optional<TSaveResult> TShowForm::CaptureForGrab()
{
    auto *page = action<TIntegerAction>(m_gpal, "iaPanneauActif");
    if (page->Value() != 0)
        page->SetValue(0);
    QString why;
    if (CaptureFrame(&why))
        return std::nullopt;
    reportFailure(this, why);
    return TSaveResult{TSaveStatus::Failed, m_nextImageName, why};
}

void TShowForm::CopyImage()
{
    QString why;
    if (CaptureFrame(&why))
        CopyToClipboard(m_capture);
    else
        reportFailure(this, why);
}

void TShowForm::OnOpenedForGrab()
{
    ComputeNextImageName();
    const TNvRect d = m_vidman->WindowDestination();
    m_imagette->LayoutFor(QSize(d.right - d.left, d.bottom - d.top));
    if (boolValue(m_gpal, "baRAZWhenOpenFile"))
        action<TIntegerAction>(m_gpal, "iaNextNum")->SetValue(1);
}

void TShowForm::OnClosedForGrab()
{
    m_capture = {};
    m_imagette->Clear();
}
