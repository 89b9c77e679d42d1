#include "uNavMan.h"

#include "actions/uScriptAction.h"
#include "filters/uFilterMessages.h"
#include "filters/uFramesNotifier.h"
#include "mf/uPositionText.h"
#include "uNavImages.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>

namespace {

using namespace navsteps;

// The longest a seek may take to land before the manager gives up waiting
// (a precise seek on a long key-frame interval decodes hundreds of frames).
constexpr int kLandingBoundMs = 5000;
// Forward steps up to this many frames are step events, longer ones seeks.
constexpr qint64 kMaxStepFrames = 30;
// A precise seek that lands late (the demuxer went past the pre-position)
// tries again with twice the pre-position, this many times.
constexpr int kLateLandingRetries = 3;

// Sets a flag for the life of a scope, whatever way it ends.
class TBusyGuard
{
public:
    explicit TBusyGuard(bool &flag) : m_flag(flag) { m_flag = true; }
    ~TBusyGuard() { m_flag = false; }
    TBusyGuard(const TBusyGuard &) = delete;
    TBusyGuard &operator=(const TBusyGuard &) = delete;

private:
    bool &m_flag;
};

bool keyboardShift()
{
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

} // namespace

TNavMan::TNavMan(QObject *owner) : TDVMan(owner), ShiftHeld(keyboardShift)
{
    Images = navimages::Acquire();
}

TNavMan::~TNavMan()
{
    DetachFramesNotifier();
    navimages::Release();
}

// ---------------------------------------------------------------------------
// Actions

void TNavMan::CreateActions()
{
    for (const TNavActionRow &row : navactions::Rows()) {
        const QString id = QString::fromLatin1(row.def.name);
        switch (row.def.cls) {
        case TActionClass::Check:
            new TCheckAction(id, this);
            break;
        case TActionClass::Integer:
            new TIntegerAction(id, this);
            break;
        case TActionClass::Widestring:
            new TWidestringAction(id, this);
            break;
        default:
            new TNopeAction(id, this);
            break;
        }
    }
    LinkActions();
}

void TNavMan::ForEachRowAction(
    const std::function<void(const TNavActionRow &, TCustomAbstractAction *)> &visit)
{
    for (const TNavActionRow &row : navactions::Rows())
        if (TCustomAbstractAction *action = FindByInternalId(QString::fromLatin1(row.def.name)))
            visit(row, action);
}

void TNavMan::InitActions()
{
    ForEachRowAction([this](const TNavActionRow &row, TCustomAbstractAction *action) {
        const TActionDef &def = row.def;
        action->SetName(QString::fromLatin1(def.name));
        action->ScriptName = QString::fromLatin1(def.scriptName);
        action->Switch = QString::fromLatin1(def.switchText);
        action->SetShortCut(QKeySequence::fromString(QString::fromLatin1(def.shortcut),
                                                     QKeySequence::PortableText));
        action->SetImageIndex(row.image);
        action->IncludePrefs = def.includePrefs;
        action->ApplyWhenLoad = def.applyWhenLoad;
        if (auto *check = qobject_cast<TCheckAction *>(action)) {
            check->SetTrueImageIndex(row.trueImage);
            check->SetFalseImageIndex(row.falseImage);
            check->SetDefaultValue(false);
        }
        if (action == iaSeekPrepos)
            iaSeekPrepos->SetDefaultValue(QString::fromLatin1(def.defaultValue).toInt());
        if (action == waStrPosition)
            waStrPosition->SetDefaultValue(QString::fromLatin1(def.defaultValue));
    });
}

void TNavMan::LinkActions()
{
    caPlay = Find<TCheckAction>(QStringLiteral("caPlay"));
    caVitesseCompatible = Find<TCheckAction>(QStringLiteral("caVitesseCompatible"));
    caSeekPrecision = Find<TCheckAction>(QStringLiteral("caSeekPrecision"));
    iaSeekPrepos = Find<TIntegerAction>(QStringLiteral("iaSeekPrepos"));
    waStrPosition = Find<TWidestringAction>(QStringLiteral("waStrPosition"));
    m_commands.clear();
    for (const TNavActionRow &row : navactions::Rows()) {
        const QString id = QString::fromLatin1(row.def.name);
        if (auto *command = Find<TNopeAction>(id))
            m_commands.insert(id, command);
    }
}

void TNavMan::AssignHandlers()
{
    ForEachRowAction([this](const TNavActionRow &row, TCustomAbstractAction *action) {
        const TActionDef &def = row.def;
        action->SetCaption(QString::fromUtf8(def.caption));
        action->SetHint(QString::fromUtf8(def.hint));
        if (auto *check = qobject_cast<TCheckAction *>(action)) {
            check->SetTrueCaption(QString::fromUtf8(def.trueCaption));
            check->SetFalseCaption(QString::fromUtf8(def.falseCaption));
            check->SetTrueHint(QString::fromUtf8(def.trueHint));
            check->SetFalseHint(QString::fromUtf8(def.falseHint));
        }
        if (auto *command = qobject_cast<TNopeAction *>(action))
            command->InternalApply = [this, &row] { RunCommand(row); };
    });
    if (caPlay) {
        caPlay->InternalTrueApply = [this] { Play(); };
        caPlay->InternalFalseApply = [this] { Pause(); };
    }
    if (caVitesseCompatible) {
        caVitesseCompatible->InternalTrueApply = [this] { SetCompatibleSpeed(true); };
        caVitesseCompatible->InternalFalseApply = [this] { SetCompatibleSpeed(false); };
    }
    if (iaSeekPrepos)
        iaSeekPrepos->InternalApply = [this](const qint32 &ms) {
            m_prePosition = qint64(ms) * 10'000;
        };
    if (waStrPosition)
        waStrPosition->InternalApply = [this](const QString &text) { GoToPositionText(text); };
}

void TNavMan::RunCommand(const TNavActionRow &row)
{
    const bool shift = row.plain != row.shifted && ShiftHeld && ShiftHeld();
    RunEffect(navactions::EffectOf(row, shift));
}

void TNavMan::RunEffect(TNavEffect effect)
{
    switch (effect) {
    case TNavEffect::GoToStart:
        GoToStart();
        return;
    case TNavEffect::GoToEnd:
        GoToEnd();
        return;
    case TNavEffect::PreviousScene:
        PreviousScene();
        return;
    case TNavEffect::NextScene:
        NextScene();
        return;
    default:
        break;
    }
    if (!navactions::IsStep(effect))
        return;
    const navactions::TNavStep step = navactions::StepOf(effect, m_frameDuration);
    if (step.forward)
        StepForward(step.delta);
    else
        StepBackward(step.delta);
}

// ---------------------------------------------------------------------------
// Run state

bool TNavMan::Play()
{
    // A frame shown from the cache, or frames stepped while the audio stood
    // still: put the whole graph on the displayed frame before it runs.
    if ((m_shownCached || m_stepped) && !m_seekBusy && State() != gmPlaying)
        SetPosition(true, CurrentPosition());
    return TGrapheMan::Play();
}

bool TNavMan::Pause()
{
    return TGrapheMan::Pause();
}

bool TNavMan::Stop()
{
    TFramesNotifier *notifier = FramesNotifier();
    const bool reports = notifier && notifier->PositionReports();
    const bool forwarding = DVForwarding();
    if (notifier)
        notifier->SetPositionReports(false);
    SetDVForwarding(false);
    // The messages the filters have queued for this manager run now, not
    // after the graph has stopped.
    QCoreApplication::sendPostedEvents(this, TNvMessageEvent::eventType());
    m_shownCached.reset();
    const bool ok = TGrapheMan::Stop();
    if (notifier)
        notifier->SetPositionReports(reports);
    SetDVForwarding(forwarding);
    return ok;
}

void TNavMan::EndOfStream()
{
    MarkGraphCompleted();
    Pause();
    if (caPlay && caPlay->Checked())
        caPlay->SetChecked(false);
}

// ---------------------------------------------------------------------------
// Seeks

bool TNavMan::DropSeeks() const
{
    return FramesNotifier() && !Graph()->AccurateSeeksExact();
}

void TNavMan::SetPosition(bool wait, qint64 position)
{
    if (m_seekBusy)
        return;
    // A demuxer that ignores accurate seeks (MPEG PS) lands on a key frame
    // after the position: every absolute seek then goes before it and drops
    // frames up to it, as a precise seek does.
    if (!m_preciseRunning && DropSeeks()) {
        if (m_duration <= 0)
            RefreshDuration();
        SeekDropping(ClampSeek(position, m_start, m_end, m_frameDuration));
        return;
    }
    const TBusyGuard busy(m_seekBusy);
    if (!m_displaySuppressed) {
        if (m_edit)
            m_edit->SetSeekLook(true);
        if (OnDisplaySeek)
            OnDisplaySeek();
    }
    if (m_duration <= 0)
        RefreshDuration();
    position = ClampSeek(position, m_start, m_end, m_frameDuration);
    m_shownCached.reset();
    SeekKeepingRunState(wait, position);
    if (!m_displaySuppressed) {
        if (m_edit)
            m_edit->SetSeekLook(false);
        if (OnDisplayNormal)
            OnDisplayNormal();
    }
}

bool TNavMan::ShowsFrameAt(qint64 position)
{
    const TFramesNotifier *notifier = FramesNotifier();
    if (!notifier || m_shownCached || m_seekBusy || m_stepBusy || State() != gmPaused ||
        GraphCompleted() || m_frameDuration <= 1)
        return false;
    if (m_duration <= 0)
        RefreshDuration();
    const qint64 frame =
        FrameAtTarget(ClampSeek(position, m_start, m_end, m_frameDuration), m_frameDuration);
    return notifier->CurrentPosition() == frame;
}

void TNavMan::SeekKeepingRunState(bool wait, qint64 position)
{
    const bool running = State() == gmPlaying;
    TGrapheMan::Pause();
    if (onAbsolutePosition)
        onAbsolutePosition(position);
    TFramesNotifier *notifier = FramesNotifier();
    const bool reports = notifier && notifier->PositionReports();
    if (running && notifier)
        notifier->SetPositionReports(false);
    m_cache.SetFocus(position);
    IssueAbsoluteSeek(position);
    ClearGraphCompleted(); // the graph has left the end
    if (wait)
        WaitLanding();
    if (running && notifier)
        notifier->SetPositionReports(reports);
    m_stepped = false;
    if (running)
        TGrapheMan::Play();
    else
        TGrapheMan::Pause();
}

void TNavMan::IssueAbsoluteSeek(qint64 position)
{
    if (!(Graph()->GetCapabilities() & seekcaps::CanSeekAbsolute))
        return;
    // The middle of the frame the position picks: a first buffer stamped
    // with the requested time still lands on that frame. A seek before a
    // precise target goes to the point itself (the frames up to the target
    // are dropped anyway, and the start of the file is then reachable).
    const qint64 frame = FrameAtTarget(position, m_frameDuration);
    Graph()->SetPositions(m_preciseRunning ? position : SeekPointFor(frame, m_frameDuration), true);
}

void TNavMan::WaitLanding()
{
    WaitRendererState();
    // The renderer's wait is short (a second); a seek far from a key frame
    // may need longer. Bounded all the same.
    GstElement *renderer = RendererStateFilter();
    QElapsedTimer elapsed;
    elapsed.start();
    while (renderer && elapsed.elapsed() < kLandingBoundMs &&
           mf::ElementGetState(renderer, 40, nullptr) == VFW_S_STATE_INTERMEDIATE) {
    }
}

void TNavMan::SeekPrecise(qint64 target)
{
    if (m_seekBusy)
        return;
    if (target == 0) {
        GoToStart();
        return;
    }
    if (m_duration <= 0)
        RefreshDuration();
    if (target >= m_duration - m_frameDuration) {
        GoToEnd();
        return;
    }
    if (ShowCached(target))
        return;
    if (!FramesNotifier()) {
        SetPosition(true, target);
        return;
    }
    SeekDropping(target);
}

void TNavMan::SeekDropping(qint64 target)
{
    TFramesNotifier *notifier = FramesNotifier();
    m_savedState = State();
    const qint64 frame = FrameAtTarget(target, m_frameDuration);
    qint64 prePosition = m_prePosition;
    for (int attempt = 0; attempt <= kLateLandingRetries; ++attempt) {
        {
            const TBusyGuard precise(m_preciseRunning);
            notifier->SetPositionReports(false);
            notifier->SetTargetWindow(0, [this](const TNvMessage &m) { PostMessage(m); });
            notifier->ArmTarget(0, target);
            notifier->SetDeliver(false);
            m_cache.SetFocus(target);
            SetPosition(true, target - prePosition);
            if (m_savedState != gmPlaying)
                TGrapheMan::Pause();
            notifier->SetPositionReports(true);
            SetDVForwarding(true);
        }
        if (notifier->TargetArmed(0)) {
            // No frame came at or after the target (the stream ended, or the
            // wait ran out): show what the graph holds rather than nothing.
            notifier->DisarmTarget(0);
            notifier->SetDeliver(true);
            const TBusyGuard plain(m_preciseRunning); // a plain seek, not this one again
            SetPosition(true, target);
            return;
        }
        // The demuxer may go past the pre-position to its next key frame (a
        // program stream ignores accurate seeks): then start further back.
        const qint64 landed = notifier->CurrentPosition();
        if (landed <= frame || prePosition >= target || m_savedState == gmPlaying)
            return;
        prePosition *= 2;
    }
}

void TNavMan::TargetReached(const TNvMessage &)
{
    // The notifier has switched delivery and reports on itself before posting.
    // A message that arrives after a newer target was armed is for an earlier
    // one: delivery stays off until the newer target comes.
    TFramesNotifier *notifier = FramesNotifier();
    if (notifier && !notifier->TargetArmed(0)) {
        notifier->SetDeliver(true);
        notifier->SetPositionReports(true);
    }
    if (m_preciseRunning)
        SetDVForwarding(false);
}

void TNavMan::GoToStart()
{
    SetPosition(true, m_start);
}

void TNavMan::GoToEnd()
{
    SetPosition(true, EndTarget());
}

qint64 TNavMan::EndTarget()
{
    if (m_duration <= 0)
        RefreshDuration();
    return m_end - m_frameDuration;
}

void TNavMan::GoToPositionText(const QString &text)
{
    const qint64 position = TextToPosition(text, m_frameDuration);
    if (caSeekPrecision && caSeekPrecision->Checked())
        SeekPrecise(position);
    else
        SetPosition(true, position);
}

void TNavMan::RefreshFrame()
{
    if (State() != gmPaused || !FramesNotifier())
        return;
    const bool suppressed = m_displaySuppressed;
    m_displaySuppressed = true;
    SetPosition(true, CurrentPosition());
    m_displaySuppressed = suppressed;
}

// ---------------------------------------------------------------------------
// Steps

qint64 TNavMan::HeadPosition() const
{
    const TFramesNotifier *notifier = FramesNotifier();
    return notifier ? notifier->CurrentPosition() : 0;
}

void TNavMan::StepForward(qint64 delta)
{
    if (m_stepBusy)
        return;
    const TBusyGuard busy(m_stepBusy);
    const qint64 target = StepForwardTarget(CurrentPosition(), delta, m_start, m_end);
    if (ShowCached(target))
        return;
    // While paused, a short step ahead of the frame the graph holds is a
    // step event: no seek, no decode from a key frame.
    const qint64 head = HeadPosition();
    const qint64 frames = FramesIn(target - head, m_frameDuration);
    if (State() == gmPaused && !GraphCompleted() && frames > 0 && frames <= kMaxStepFrames &&
        target < m_end - m_frameDuration && StepFrames(frames))
        return;
    if (caSeekPrecision && caSeekPrecision->Checked())
        SeekPrecise(target);
    else
        SetPosition(true, target);
}

void TNavMan::StepBackward(qint64 delta)
{
    if (m_stepBusy)
        return;
    const TBusyGuard busy(m_stepBusy);
    const qint64 target = StepBackwardTarget(CurrentPosition(), delta, m_start);
    if (ShowCached(target))
        return;
    if (caSeekPrecision && caSeekPrecision->Checked())
        SeekPrecise(target);
    else
        SetPosition(true, target);
}

bool TNavMan::StepFrames(qint64 frames)
{
    GstElement *renderer = RendererStateFilter();
    TFramesNotifier *notifier = FramesNotifier();
    if (!renderer || !notifier)
        return false;
    const qint64 from = notifier->CurrentPosition();
    const qint64 wanted = from + frames * m_frameDuration;
    if (FAILED(Graph()->Step(int(frames), renderer)))
        return false;
    m_shownCached.reset();
    m_stepped = true;
    m_cache.SetFocus(wanted);
    // The step is done when its last frame has passed the notifier and the
    // sink has prerolled on it.
    QElapsedTimer elapsed;
    elapsed.start();
    while (notifier->CurrentPosition() < wanted && elapsed.elapsed() < kLandingBoundMs &&
           !GraphCompleted())
        if (mf::ElementGetState(renderer, 5, nullptr) != VFW_S_STATE_INTERMEDIATE)
            QThread::usleep(500); // leave the cores to the decoder
    while (elapsed.elapsed() < kLandingBoundMs &&
           mf::ElementGetState(renderer, 40, nullptr) == VFW_S_STATE_INTERMEDIATE) {
    }
    return true;
}

bool TNavMan::DecodeForwardTo(qint64 target)
{
    return BeginDecodeForward(target) && FinishDecodeForward();
}

namespace {

// Back to normal delivery after a forward decode that did not land.
bool giveUpForward(TFramesNotifier *notifier)
{
    notifier->DisarmTarget(0);
    notifier->SetDeliver(true);
    notifier->SetPositionReports(true);
    return false;
}

} // namespace

bool TNavMan::BeginDecodeForward(qint64 target)
{
    TFramesNotifier *notifier = FramesNotifier();
    GstElement *renderer = RendererStateFilter();
    if (!notifier || !renderer || m_forwardFrame || m_stepBusy || m_seekBusy || m_shownCached ||
        State() != gmPaused || GraphCompleted() || m_frameDuration <= 1)
        return false;
    const qint64 frame = FrameAtTarget(target, m_frameDuration);
    // Up to the frame the end shows (GoToEnd), never past it.
    if (frame <= notifier->CurrentPosition() || frame > m_end - m_frameDuration)
        return false;
    // As a precise seek does, without the seek: the frames before the
    // target never reach the renderer, which prerolls on the target.
    notifier->SetPositionReports(false);
    notifier->SetTargetWindow(0, [this](const TNvMessage &m) { PostMessage(m); });
    notifier->ArmTarget(0, frame);
    notifier->SetDeliver(false);
    m_cache.SetFocus(frame);
    m_stepped = true;
    if (FAILED(Graph()->Step(1, renderer)))
        return giveUpForward(notifier);
    m_forwardFrame = frame;
    m_stepBusy = true;
    return true;
}

bool TNavMan::FinishDecodeForward()
{
    TFramesNotifier *notifier = FramesNotifier();
    GstElement *renderer = RendererStateFilter();
    if (!m_forwardFrame)
        return false;
    const qint64 frame = *m_forwardFrame;
    m_forwardFrame.reset();
    m_stepBusy = false;
    if (!notifier || !renderer)
        return false;
    // The renderer loses its preroll with the step and prerolls again on the
    // target: both waits return as soon as that happens.
    QElapsedTimer elapsed;
    elapsed.start();
    while (notifier->TargetArmed(0) && elapsed.elapsed() < kLandingBoundMs && !GraphCompleted())
        if (mf::ElementGetState(renderer, 5, nullptr) != VFW_S_STATE_INTERMEDIATE)
            QThread::usleep(500); // leave the cores to the decoder
    while (elapsed.elapsed() < kLandingBoundMs &&
           mf::ElementGetState(renderer, 40, nullptr) == VFW_S_STATE_INTERMEDIATE) {
    }
    if (notifier->TargetArmed(0))
        return giveUpForward(notifier); // the stream ended or the wait ran out
    return notifier->CurrentPosition() == frame;
}

bool TNavMan::ShowCached(qint64 position)
{
    if (!FramePresenter || State() == gmPlaying || m_frameDuration <= 1)
        return false;
    const qint64 frame =
        FrameAtTarget(ClampSeek(position, m_start, m_end, m_frameDuration), m_frameDuration);
    GstSample *sample = m_cache.Find(frame);
    if (!sample)
        return false;
    const bool shown = FramePresenter(sample, frame);
    gst_sample_unref(sample);
    if (!shown)
        return false;
    m_shownCached = frame;
    m_cache.SetFocus(frame);
    const QString text = PositionToText(m_frameDuration, frame);
    if (m_edit || m_slider || OnDisplayTime || OnKPosition) {
        if (OnDisplayTime)
            OnDisplayTime(text);
        if (m_edit && m_editUpdate)
            m_edit->SetText(text);
    }
    m_lastDisplayed = CurrentPosition();
    return true;
}

// ---------------------------------------------------------------------------
// Positions and display

qint64 TNavMan::CurrentPosition()
{
    qint64 position = 0;
    if (m_shownCached)
        position = *m_shownCached;
    else if (const TFramesNotifier *notifier = FramesNotifier())
        position = notifier->CurrentPosition();
    else if (FAILED(Graph()->GetCurrentPosition(&position)))
        return 0;
    const QString text = PositionToText(m_frameDuration, position);
    if (text == m_lastPositionText)
        return position;
    m_lastPositionText = text;
    if (m_edit || m_slider || OnDisplayTime || OnKPosition) {
        if (m_slider && m_sliderUpdate)
            m_slider->SetValue(SliderValue(position));
        if (OnKPosition)
            OnKPosition(KPosition(position, m_start, m_end));
    }
    return position;
}

void TNavMan::PositionTextMessage(const TNvMessage &message)
{
    // A frame the graph reports while a cached one is shown is not the
    // displayed one (a report queued before the cache took over).
    if (m_shownCached && message.wParam != *m_shownCached)
        return;
    if (!m_shownCached)
        m_cache.SetFocus(message.wParam);
    const QString text = message.data.toString();
    if (m_edit || m_slider || OnDisplayTime || OnKPosition) {
        if (OnDisplayTime)
            OnDisplayTime(text);
        if (m_edit && m_editUpdate)
            m_edit->SetText(text);
    }
    m_lastDisplayed = CurrentPosition();
}

void TNavMan::RefreshDuration()
{
    qint64 duration = 0;
    if (SUCCEEDED(Graph()->GetDuration(&duration)) && duration > 0 && duration != m_duration) {
        m_duration = duration;
        if (m_frameDuration != 0)
            m_end = m_duration - m_frameDuration;
    }
}

void TNavMan::SetFrameDuration(qint64 duration)
{
    if (duration == 0)
        return;
    if (duration != m_frameDuration)
        m_cache.Clear(); // its positions were multiples of the old duration
    m_frameDuration = duration;
    m_cache.SetFrameDuration(duration);
    if (TFramesNotifier *notifier = FramesNotifier())
        notifier->SetFrameDuration(duration);
    RefreshDuration();
    m_end = m_duration - duration;
    if (OnDuration)
        OnDuration(PositionToText(duration, m_duration));
    if (m_slider)
        m_slider->SetRange(SliderValue(m_start), SliderValue(m_end));
}

void TNavMan::ResetPositions()
{
    qint64 duration = 0;
    m_duration = SUCCEEDED(Graph()->GetDuration(&duration)) ? duration : 0;
    m_start = 0;
    m_cache.Clear();
    m_shownCached.reset();
    SetFrameDuration(1);
    ClearGraphCompleted();
    m_stepBusy = false;
    m_seekBusy = false;
    m_stepped = false;
}

void TNavMan::SetCompatibleSpeed(bool on)
{
    const TGrapheManState remembered = State();
    const bool media = !Graph()->Filters().isEmpty();
    if (media)
        Stop();
    if (OnVitesse)
        OnVitesse(on);
    // Without a clock the graph runs as fast as the decoders allow.
    Graph()->UseClock(!on);
    if (!media)
        return;
    // The session comes back to the frame the stop left.
    TGrapheMan::Pause();
    if (remembered == gmPlaying)
        TGrapheMan::Play();
    else
        TGrapheMan::Pause();
}

QString TNavMan::PositionToText(qint64 frameDuration, qint64 position) const
{
    return ::PositionToText(frameDuration, position);
}

qint64 TNavMan::TextToPosition(const QString &text, qint64 frameDuration) const
{
    return ::TextToPosition(text, frameDuration);
}

// ---------------------------------------------------------------------------
// Frames notifier

TFramesNotifier *TNavMan::FramesNotifier() const
{
    return m_framesNotifier ? TFramesNotifier::From(m_framesNotifier) : nullptr;
}

void TNavMan::DetachFramesNotifier()
{
    if (TFramesNotifier *old = FramesNotifier()) {
        old->SetFrameTap({});
        old->SetNavigationWindow({});
        old->SetTargetWindow(0, {});
    }
    if (m_framesNotifier)
        gst_object_unref(m_framesNotifier);
    m_framesNotifier = nullptr;
}

void TNavMan::SetFramesNotifier(GstElement *framesNotifier)
{
    if (framesNotifier == m_framesNotifier)
        return;
    if (framesNotifier)
        gst_object_ref(framesNotifier);
    DetachFramesNotifier();
    m_framesNotifier = framesNotifier;
    m_cache.Clear();
    m_shownCached.reset();
    TFramesNotifier *notifier = FramesNotifier();
    if (!notifier)
        return;
    notifier->SetFrameDuration(qMax<qint64>(m_frameDuration, 1));
    notifier->SetNavigationWindow([this](const TNvMessage &m) { PostMessage(m); });
    GstPad *input = gst_element_get_static_pad(framesNotifier, "sink");
    gst_object_unref(input); // the element keeps it
    notifier->SetFrameTap([this, input](GstBuffer *buffer, qint64 position) {
        if (!m_cache.Enabled())
            return;
        GstCaps *caps = gst_pad_get_current_caps(input);
        m_cache.Store(buffer, caps, position);
        if (caps)
            gst_caps_unref(caps);
    });
}

// ---------------------------------------------------------------------------
// Position box and slider

void TNavMan::SetPositionEdit(TNavPositionEdit *edit)
{
    m_edit = edit;
    m_editUpdate = edit != nullptr;
}

void TNavMan::SetSlider(TNavSlider *slider)
{
    m_slider = slider;
    m_sliderUpdate = slider != nullptr;
    if (slider)
        slider->SetRange(SliderValue(m_start), SliderValue(m_end));
}

void TNavMan::PositionEditKeyPress(int key)
{
    if (key != 13 || !m_enterKey || !m_edit)
        return;
    GoToPositionText(m_edit->Text());
    if (m_edit)
        m_edit->FocusNext();
}

void TNavMan::PositionEditFocus(bool focused)
{
    m_editUpdate = !focused;
}

void TNavMan::SliderMouse(bool down)
{
    m_sliderUpdate = !down;
}

void TNavMan::SliderChanged(int value)
{
    SetPosition(true, qint64(value) * kSliderUnit);
}

// ---------------------------------------------------------------------------

void TNavMan::WndProc(const TNvMessage &message)
{
    switch (message.msg) {
    case kNvMsgPositionText:
        PositionTextMessage(message);
        return;
    case kNvMsgFrameDuration:
        SetFrameDuration(message.wParam);
        return;
    case kNvMsgTargetReached:
        TargetReached(message);
        return;
    default:
        TDVMan::WndProc(message);
    }
}
