// The main window's side of the inlay: it owns the TInlay that the video
// window asks for the overlay of each frame, binds the templates, the insert
// commands, the styling and the DV date settings to it, and runs the value
// sources the templates need (the real-date timer, the file name and the
// image number). The time stamp and the DV codes are never sources here: they
// travel with each frame, so an overlay always shows its own frame's values.

#include "main.h"

#include "capture/uDVDateInlay.h"
#include "capture/uDateTimeFormat.h"
#include "capture/uImageNaming.h"
#include "capture/uInlayOverlay.h"
#include "capture/uInlayPageRules.h"
#include "filters/uNotifier.h"
#include "media/uMediaDevices.h"
#include "media/uVideoMan.h"
#include "mf/mfGuid.h"
#include "navigation/uNavMan.h"
#include "uActionBinding.h"
#include "uDVIncrustFrame.h"
#include "uIncrustFrame.h"
#include "uShortcutSuspend.h"
#include "uShowFormView.h"

#include <QComboBox>
#include <QDateTime>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdlib>

namespace {

// Puts a page into its place in the view.
template <typename P> P *fillPlace(QWidget *place)
{
    auto *box = new QVBoxLayout(place);
    box->setContentsMargins(0, 0, 0, 0);
    auto *page = new P(place);
    box->addWidget(page);
    return page;
}

// Re-applies the font with one change made to it.
template <typename F> void changeFont(TFontAction *font, F change)
{
    TNvFont value = font->Value();
    change(value);
    font->SetValue(value);
}

} // namespace

struct TShowForm::TInlayParts {
    TInlay inlay;
    TInlaySourceSwitch sources;
    TDVTimeShift shift;
};

TInlay &TShowForm::Inlay() const
{
    return m_inlayParts->inlay;
}

void TShowForm::WireInlay()
{
    m_inlayParts = std::make_shared<TInlayParts>();
    m_timerSysDate = new QTimer(this);
    m_timerSysDate->setObjectName(QStringLiteral("TimerSysDate"));
    m_timerSysDate->setInterval(kSysDateIntervalMs);
    connect(m_timerSysDate, &QTimer::timeout, this, &TShowForm::TimerSysDateTimer);
    // Asked on the UI thread for each frame painted or captured, with the
    // position and DV codes that came with that frame.
    m_vidman->SetOverlayProvider(
        [this](const TFramePosition &at, const TFrameDVCodes &dv, QSize size) {
            return QImage(m_inlayParts->inlay.Overlay(InlayRecordOf(at, dv), size));
        });
    WireInlayTemplates();
    WireInlayStyle();
    WireInlayFont();
    WireDVDate();
    WireInlaySliders();
    CreateInlayPages();
    refreshDvPage();
}

void TShowForm::CreateInlayPages()
{
    m_dvIncrust = fillPlace<TDVIncrustFrame>(m_view->pages[TShowFormView::pgDVIncrust]);
    m_incrust = fillPlace<TIncrustFrame>(m_view->pages[TShowFormView::pgIncrust]);
    m_incrust->Bind(*m_gpal, *m_vidman);
    m_dvIncrust->Bind(*m_gpal, m_inlayParts->shift);
    for (QLineEdit *edit :
         {m_incrust->edPerso1, m_incrust->edPerso2, m_dvIncrust->cbDatecode1->lineEdit()})
        SuspendShortcutsWhileTyping(edit, m_audman, m_navMan);
}

TInlayFrameRecord TShowForm::InlayRecordOf(const TFramePosition &at, const TFrameDVCodes &dv) const
{
    TInlayFrameRecord record =
        InlayFrameRecord(at.position, m_navMan->FrameDuration(), DVCodeEntryOf(dv));
    if (!at.Valid()) {
        // A frame without its position: the last time stamp reported, if any.
        const TVideoMan::TInlayValues &sent = m_vidman->InlayValues();
        record.timeStamp = sent.timeStampValid ? std::optional(sent.timeStamp) : std::nullopt;
    }
    return record;
}

void TShowForm::WireInlayTemplates()
{
    auto *p1 = actionOf<TWidestringAction>(m_gpal, "waIncrustPattern1");
    auto *p2 = actionOf<TWidestringAction>(m_gpal, "waIncrustPattern2");
    auto *perso1 = actionOf<TWidestringAction>(m_gpal, "waInsertPerso1");
    auto *perso2 = actionOf<TWidestringAction>(m_gpal, "waInsertPerso2");
    auto *textOn = m_vidman->caInsertTextOn;
    for (const auto &[pattern, line] : {std::pair{p1, 0}, std::pair{p2, 1}})
        bindings::AfterApply(pattern, [this, line](const QString &text) {
            m_inlayParts->inlay.Templates().pattern[line] = text;
            AnalyseInlaySources();
            RefreshInlay();
        });
    // The templates of a mode and its button, without switching the inlay on.
    const auto choose = [this, p1, p2, perso1, perso2](TInsertMode mode) {
        const std::optional<TInsertPatterns> chosen =
            InsertPatterns(mode, perso1->Value(), perso2->Value());
        if (!chosen)
            return;
        p1->SetValue(chosen->pattern1);
        p2->SetValue(chosen->pattern2);
        PressInsertButton(int(mode));
    };
    for (const TInsertCommand &command : InsertCommands()) {
        const TInsertMode mode = command.mode;
        actionOf<TNopeAction>(m_gpal, command.action)->OnAfterApply = [choose, mode, textOn] {
            choose(mode);
            textOn->SetChecked(true);
        };
    }
    auto *insertMode = actionOf<TIntegerAction>(m_gpal, "iaInsertMode");
    insertMode->OnAfterApply = [choose](const qint32 &mode) { choose(TInsertMode(mode)); };
    insertMode->BeforeSave = [this](qint32 &mode) {
        mode = m_incrust->PressedInsert();
        return true;
    };

    auto *sliders = actionOf<TCheckAction>(m_gpal, "caSliders");
    afterCheck(textOn, [this, sliders](bool on) {
        m_inlayParts->inlay.SetOn(on);
        if (!on && sliders->Checked())
            sliders->SetChecked(false);
        AnalyseInlaySources();
        RefreshInlay();
    });
    // Paused again: the sources follow the templates, the DV page the frame.
    afterCheck(m_navMan->caPlay, [this](bool playing) {
        if (playing)
            return;
        AnalyseInlaySources();
        refreshDvPage();
    });
    for (const char *id : {"iaNextNum", "iaDigits"})
        bindings::AfterApply(actionOf<TIntegerAction>(m_gpal, id), [this](const qint32 &) {
            if (m_inlayParts->sources.Sources().number)
                SendInlayNumber();
        });
}

void TShowForm::WireInlayStyle()
{
    TInlayStyle &style = m_inlayParts->inlay.Style();
    // Each setting goes into its field of the style, and the overlay follows.
    const auto into = [this, &style](auto *action, auto TInlayStyle::*field) {
        bindings::AfterApply(action, [this, &style, field](const auto &value) {
            style.*field = value;
            RefreshInlay();
        });
    };
    into(actionOf<TIntegerAction>(m_vidman, "iaInsertBorderWidth"), &TInlayStyle::borderWidth);
    into(actionOf<TColorAction>(m_vidman, "iaInsertBorderColor"), &TInlayStyle::borderColor);
    into(actionOf<TColorAction>(m_vidman, "iaInsertTransparentColor"), &TInlayStyle::keyColor);
    into(actionOf<TDoubleAction>(m_vidman, "daInsertTransparency"), &TInlayStyle::opacity);
    into(actionOf<TPointAction>(m_vidman, "paInsertPosition"), &TInlayStyle::position);
    into(actionOf<TBooleanAction>(m_gpal, "baInsertAutoSize"), &TInlayStyle::autoSize);
    bindings::AfterApply(actionOf<TIntegerAction>(m_vidman, "iaInsertAlignLines"),
                         [this, &style](const qint32 &align) {
                             style.align = AlignFromValue(align);
                             RefreshInlay();
                         });
    afterCheck(m_vidman->caInsertAntiAliasing, [this, &style](bool on) {
        style.antiAliasing = on;
        RefreshInlay();
    });

    // The subtitle preset: centred low in the picture, white, at a size for
    // the video's height (kept when there is no video).
    auto *font = actionOf<TFontAction>(m_vidman, "faInsertFont");
    actionOf<TNopeAction>(m_gpal, "naSoustitres")->OnAfterApply = [this, font] {
        const TSubtitlePreset preset = SubtitlePreset(std::abs(m_vidman->StoredVideoData().height));
        actionOf<TIntegerAction>(m_vidman, "iaInsertAlignLines")->SetValue(int(preset.align));
        actionOf<TPointAction>(m_vidman, "paInsertPosition")->SetValue(preset.position);
        changeFont(font, [&preset](TNvFont &f) {
            if (preset.fontSize > 0)
                f.size = preset.fontSize;
            f.color = preset.fontColor;
        });
        actionOf<TIntegerAction>(m_vidman, "iaInsertBorderWidth")->SetValue(preset.borderWidth);
    };
}

void TShowForm::WireInlayFont()
{
    auto *font = actionOf<TFontAction>(m_vidman, "faInsertFont");
    bindings::AfterApply(font, [this](const TNvFont &value) {
        m_inlayParts->inlay.Style().font = value;
        RefreshInlay();
    });
    const std::pair<const char *, bool TNvFont::*> styles[] = {
        {"caIncrustBold", &TNvFont::bold},
        {"caIncrustItalic", &TNvFont::italic},
        {"caIncrustUnderline", &TNvFont::underline},
        {"caIncrustStrikeOut", &TNvFont::strikeOut}};
    for (const auto &[id, member] : styles)
        afterCheck(actionOf<TCheckAction>(m_gpal, id), [font, member](bool on) {
            changeFont(font, [member, on](TNvFont &f) { f.*member = on; });
        });
    bindings::AfterApply(actionOf<TWidestringAction>(m_gpal, "waInsertFontName"),
                         [font](const QString &name) {
                             if (!name.isEmpty()) // no font has an empty name
                                 changeFont(font, [&name](TNvFont &f) { f.name = name; });
                         });
    bindings::AfterApply(actionOf<TColorAction>(m_gpal, "laInsertFontColor"),
                         [font](const TColor &colour) {
                             changeFont(font, [colour](TNvFont &f) { f.color = colour; });
                         });
    bindings::AfterApply(
        actionOf<TIntegerAction>(m_gpal, "iaInsertFontSize"), [font](const qint32 &size) {
            if (size > 0) // the stored 0 of a fresh setup keeps the font's own size
                changeFont(font, [size](TNvFont &f) { f.size = size; });
        });
}

void TShowForm::WireDVDate()
{
    auto *difference = actionOf<TDoubleAction>(m_gpal, "daDecalageHoraire");
    difference->OnBeforeApply = [this](const double &days) {
        m_inlayParts->inlay.Values().timeDifference = days;
        m_inlayParts->shift.SetDifference(days);
        RefreshInlay();
    };
    auto *advanced = actionOf<TCheckAction>(m_gpal, "caDecalageAvance");
    advanced->OnAfterTrueApply = [this, difference] {
        m_inlayParts->shift.SetAdvanced(true);
        difference->Apply();
    };
    advanced->OnAfterFalseApply = [this, difference] {
        difference->SetValue(m_inlayParts->shift.SetAdvanced(false));
    };
    const char *formats[] = {"waFormatDatecode1", "waFormatDatecode2"};
    for (int i = 0; i < 2; ++i)
        bindings::AfterApply(actionOf<TWidestringAction>(m_gpal, formats[i]),
                             [this, i](const QString &format) {
                                 m_inlayParts->inlay.Templates().dateFormat[i] = format;
                                 RefreshInlay();
                             });
    // A frame reached the window (a DV code, or the time stamp of a step):
    // while paused the page follows the frame on display.
    const auto followFrame = [this] {
        if (!m_navMan->caPlay->Checked())
            refreshDvPage();
    };
    m_navMan->OnDVcode = [followFrame](const QString &, const QString &) { followFrame(); };
    m_vidman->OnInlayValues = followFrame;
    // A source going away stops sending codes to the video window.
    const auto detachedBefore = m_vidman->OnSourceDetached;
    m_vidman->OnSourceDetached = [detachedBefore](TVideoSource *source, TGrapheMan *session) {
        if (TNotifier *notifier = source ? source->FramesNotifier() : nullptr) {
            notifier->SetInlayCodes(false);
            notifier->SetInlayWindow({});
        }
        if (detachedBefore)
            detachedBefore(source, session);
    };
}

void TShowForm::WireInlaySliders()
{
    auto *position = actionOf<TPointAction>(m_vidman, "paInsertPosition");
    QSlider *x = m_view->Xslider, *y = m_view->Yslider;
    for (QSlider *slider : {x, y})
        connect(slider, &QSlider::valueChanged, this, [position, x, y] {
            position->SetValue(InlayPositionFromSliders(x->value(), y->value()));
        });
    bindings::AfterApply(position, [x, y](const QPoint &at) {
        const QSignalBlocker bx(x), by(y);
        x->setValue(at.x());
        y->setValue(10000 - at.y());
    });
    // The sliders take the place of the navigation and intervalometer frames,
    // and show the inlay they move.
    auto *sliders = actionOf<TCheckAction>(m_gpal, "caSliders");
    auto *intervallo = actionOf<TCheckAction>(m_gpal, "caIntervalloShow");
    afterCheck(sliders, [this, intervallo](bool on) {
        if (on) {
            m_view->navframe->hide();
            m_view->intervalloframe->hide();
            if (!m_vidman->caInsertTextOn->Checked())
                m_vidman->caInsertTextOn->SetChecked(true);
            PlaceInlaySliders();
            return;
        }
        if (m_videoPresent || m_audioPresent) // no file: no navigation to show
            m_view->navframe->show();
        if (intervallo->Checked())
            m_view->intervalloframe->show();
    });
    const auto formatBefore = m_vidman->OnNotifyVideoFormat;
    m_vidman->OnNotifyVideoFormat = [this, formatBefore](const QString &text) {
        if (formatBefore)
            formatBefore(text);
        PlaceInlaySliders();
    };
}

void TShowForm::PlaceInlaySliders()
{
    m_view->VideoDestination = [this] {
        const TNvRect d = m_vidman->WindowDestination();
        return QRect(QPoint(d.left, d.top), QPoint(d.right - 1, d.bottom - 1));
    };
    m_view->PlaceSliders();
}

void TShowForm::AnalyseInlaySources()
{
    const TInlayTemplates &t = m_inlayParts->inlay.Templates();
    const bool dv = HasDVSource();
    const TInlaySourceSwitch::TChange change = m_inlayParts->sources.Analyse(
        m_vidman->caInsertTextOn->Checked(), t.pattern[0], t.pattern[1], dv);
    if (TVideoSource *source = dv ? m_vidman->CurrentSource() : nullptr)
        if (TNotifier *notifier = source->FramesNotifier()) {
            if (change.sources.dvCodes) // the source may be new since the last analysis
                notifier->SetInlayWindow([this](const TNvMessage &m) { m_vidman->PostMessage(m); });
            if (notifier->InlayCodes() != change.sources.dvCodes)
                notifier->SetInlayCodes(change.sources.dvCodes);
        }
    if (change.sources.realDate != m_timerSysDate->isActive()) {
        if (change.sources.realDate)
            m_timerSysDate->start();
        else
            m_timerSysDate->stop();
    }
    if (change.sendFileNameNow)
        SendInlayFileName();
    if (change.sendNumberNow)
        SendInlayNumber();
}

// The video window paints the frame on show again with the new overlay, so a
// paused picture shows the change at once; redisplaying it through the
// navigation (applyeffects, a precise seek) would decode it again for nothing,
// four times a second while %R runs.
void TShowForm::RefreshInlay()
{
    m_vidman->InvalidateOverlay();
}

void TShowForm::SendInlayFileName()
{
    m_inlayParts->inlay.Values().fileName = m_videoPath;
    RefreshInlay();
}

void TShowForm::SendInlayNumber()
{
    m_inlayParts->inlay.Values().number =
        NumberText(actionOf<TIntegerAction>(m_gpal, "iaNextNum")->Value(),
                   actionOf<TIntegerAction>(m_gpal, "iaDigits")->Value());
    RefreshInlay();
}

void TShowForm::TimerSysDateTimer()
{
    if (const std::optional<double> now =
            SysDateTick(m_timerSysDate->isActive(), QDateTime::currentDateTime())) {
        m_inlayParts->inlay.Values().realDateTime = now;
        RefreshInlay();
    }
}

bool TShowForm::HasDVSource() const
{
    TVideoSource *source = m_videoPresent ? m_vidman->CurrentSource() : nullptr;
    if (!source || source == placeholders::NoVideo())
        return false;
    // Behind a DV splitter, or a DV video stream of its own.
    return source->FramesNotifier() != source->SourceNotifier() ||
           source->SubType == guids::MEDIASUBTYPE_dvsd ||
           source->SubType == guids::MEDIASUBTYPE_dvcp;
}

void TShowForm::PressInsertButton(int mode)
{
    m_incrust->PressInsert(mode);
}

void TShowForm::refreshDvPage()
{
    const TFrameDVCodes codes = m_vidman->CurrentDVCodes();
    m_inlayParts->shift.Refresh(HasDVSource(), codes.present && codes.dateValid, codes.recDateTime);
    const TDVPageView view = m_inlayParts->shift.View();
    for (const char *id : {"naInsertDatecode", "naInsertTimecode"})
        actionOf<TNopeAction>(m_gpal, id)->setEnabled(view.dvCommandsEnabled);
    if (m_dvIncrust)
        m_dvIncrust->ShowShift();
}

void TShowForm::OnOpenedForInlay()
{
    m_timerSysDate->stop();
    if (m_inlayParts->sources.Sources().fileName)
        SendInlayFileName();
    for (const char *id : {"waIncrustPattern1", "waIncrustPattern2"})
        actionOf<TWidestringAction>(m_gpal, id)->Apply();
    refreshDvPage();
    PlaceInlaySliders();
}

void TShowForm::OnClosedForInlay()
{
    m_timerSysDate->stop();
    refreshDvPage();
}
