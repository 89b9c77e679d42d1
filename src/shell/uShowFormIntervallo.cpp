// The main window's side of the intervalometer: its frame, its actions, and
// the run's needs (grab, volume, events, the end message 9218).

#include "main.h"

#include "actions/uActionList.h"
#include "actions/uScriptAction.h"
#include "capture/uIntervallo.h"
#include "media/uAudioMan.h"
#include "prefs/uSavePrefs.h"
#include "uIntervalloFrame.h"
#include "uShowFormView.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QSpinBox>
#include <QToolButton>

#include <cstdio>

void TShowForm::WireIntervallo()
{
    m_intervalloFrame = new Tintervalloframe(m_view);
    m_view->intervalloframe->deleteLater();
    m_view->intervalloframe = m_intervalloFrame;
    m_intervalloFrame->hide();
    m_intervallo = std::make_shared<TIntervallo>(*m_navMan);
    TIntervallo &run = *m_intervallo;
    Tintervalloframe *frame = m_intervalloFrame;
    auto *show = m_gpal->Find<TCheckAction>(QStringLiteral("caIntervalloShow"));
    auto *delay = m_gpal->Find<TIntegerAction>(QStringLiteral("iaIntervalloDelai"));
    auto *unit = m_gpal->Find<TIntegerAction>(QStringLiteral("iaIntervalloUnit"));
    auto *start = m_gpal->Find<TNopeAction>(QStringLiteral("naIntervalloStart"));
    auto *stop = m_gpal->Find<TNopeAction>(QStringLiteral("naIntervalloBreak"));
    auto *abort = m_gpal->Find<TNopeAction>(QStringLiteral("naAbort"));

    run.Grab = [this] { return GrabImage(); };
    run.Capture = [this] { return CaptureForGrab(); };
    run.SaveCaptured = [this] { return SaveCapture(); };
    run.SetVolume = [this](int volume) { m_audman->SetVolume(volume); };
    run.VolumeSetting = [this] { return m_audman->iaVolume->Value(); };
    run.HasVideo = [this] { return m_videoPresent; };
    run.ProcessEvents = [] { QCoreApplication::processEvents(); };
    // The end runs from the window's own queue, after the start command.
    run.PostEnd = [this] {
        QMetaObject::invokeMethod(
            this, [this] { m_intervallo->End(); }, Qt::QueuedConnection);
    };
    run.OnCount = [frame](qint64 count) {
        frame->chronolab->setText(QString::number(count));
        frame->chronolab->show();
    };
    run.OnRunning = [frame](bool running) { frame->SetRunning(running); };
    run.OnProgress = [](const QString &line) {
        if (RunsWithoutScreen())
            std::fprintf(stderr, "%s\n", qPrintable(line));
    };
    const auto recompute = [this, delay, unit] {
        m_intervallo->Recompute(delay->Value(), unit->Value());
    };
    show->OnAfterTrueApply = [frame, recompute] {
        frame->show();
        frame->raise();
        recompute();
    };
    show->OnAfterFalseApply = [frame] { frame->hide(); };
    delay->OnAfterApply = [frame, recompute](const qint32 &value) {
        const QSignalBlocker quiet(frame->seIntervallo);
        frame->seIntervallo->setValue(value);
        recompute();
    };
    unit->OnAfterApply = [frame, recompute](const qint32 &value) {
        const QSignalBlocker quiet(frame->cboxIntervallo);
        frame->cboxIntervallo->setCurrentIndex(value >= 0 && value <= 3 ? value : 3);
        recompute();
    };
    connect(frame->seIntervallo, &QSpinBox::valueChanged, this,
            [delay](int value) { delay->SetValue(value); });
    connect(frame->cboxIntervallo, &QComboBox::currentIndexChanged, this,
            [unit](int index) { unit->SetValue(index); });
    start->OnAfterApply = [this] { m_intervallo->Run(); };
    stop->OnAfterApply = [this] { m_intervallo->Break(); };
    const auto abortBefore = abort->OnAfterApply;
    abort->OnAfterApply = [this, abortBefore] {
        if (abortBefore)
            abortBefore();
        m_intervallo->Break();
    };
    connect(frame->RxSwitch1, &QToolButton::clicked, this, [start, stop](bool on) {
        if (on) {
            start->DoExecute();
            return;
        }
        // The break is a command of its own in a recorded macro, while the
        // start command is still running.
        const bool nesting = MacroNesting;
        MacroNesting = false;
        stop->DoExecute();
        MacroNesting = nesting;
    });
}

void TShowForm::OnOpenedForIntervallo()
{
    m_intervallo->Recompute(
        m_gpal->Find<TIntegerAction>(QStringLiteral("iaIntervalloDelai"))->Value(),
        m_gpal->Find<TIntegerAction>(QStringLiteral("iaIntervalloUnit"))->Value());
}
