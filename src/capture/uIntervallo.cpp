#include "uIntervallo.h"

#include "actions/uRunStatus.h"
#include "actions/uScriptAction.h"
#include "navigation/uNavMan.h"
#include "navigation/uNavSteps.h"

#include <QElapsedTimer>
#include <QFileInfo>

namespace intervallo {

std::optional<qint64> UnitLength(int unit, qint64 frameDuration)
{
    switch (unit) {
    case kFrames:
        return frameDuration;
    case kSeconds:
        return 10'000'000;
    case kMinutes:
        return 600'000'000;
    default:
        return std::nullopt;
    }
}

std::optional<qint64> Step(qint64 delay, int unit, qint64 frameDuration)
{
    const std::optional<qint64> length = UnitLength(unit, frameDuration);
    if (!length || delay <= 0 || *length <= 0)
        return std::nullopt;
    return delay * *length;
}

qint64 Count(qint64 duration, qint64 start, qint64 step)
{
    return step > 0 ? (duration - start) / step + 1 : 0;
}

TAdvance TAdvancePlanner::Choose(qint64 framesAhead) const
{
    if (framesAhead <= 0 || Policy == TPolicy::AlwaysSeek)
        return TAdvance::Seek;
    if (Policy == TPolicy::AlwaysForward)
        return TAdvance::Forward;
    if (m_msPerFrame < 0 || m_msPerSeek < 0)
        return framesAhead <= kPriorForwardFrames ? TAdvance::Forward : TAdvance::Seek;
    return framesAhead * m_msPerFrame <= m_msPerSeek ? TAdvance::Forward : TAdvance::Seek;
}

namespace {
void runningMean(double &mean, double sample)
{
    mean = mean < 0 ? sample : (3 * mean + sample) / 4;
}
} // namespace

void TAdvancePlanner::NoteForward(qint64 frames, double ms)
{
    if (frames > 0)
        runningMean(m_msPerFrame, ms / double(frames));
}

void TAdvancePlanner::NoteSeek(double ms)
{
    runningMean(m_msPerSeek, ms);
}

void TAdvancePlanner::Reset()
{
    m_msPerFrame = m_msPerSeek = -1;
}

} // namespace intervallo

using namespace intervallo;

TIntervallo::TIntervallo(TNavMan &nav) : m_nav(nav) {}

void TIntervallo::Recompute(qint64 delay, int unit)
{
    if (m_running)
        return;
    m_delay = delay;
    m_unit = unit;
    const std::optional<qint64> step = Step(delay, unit, m_nav.FrameDuration());
    m_step = step.value_or(0);
    if (!step)
        return; // no interval: the shown count stays
    m_start = m_nav.CurrentPosition();
    m_count = Count(m_nav.Duration(), m_start, m_step);
    if (OnCount)
        OnCount(m_count);
}

void TIntervallo::Run()
{
    if (m_running)
        return;
    // No interval or no picture: no run at all (the switch goes back off).
    if (m_step <= 0 || (HasVideo && !HasVideo())) {
        if (OnRunning)
            OnRunning(false);
        return;
    }
    m_running = true;
    if (OnRunning)
        OnRunning(true);
    if (m_nav.caPlay && m_nav.caPlay->Checked())
        m_nav.caPlay->SetChecked(false);
    m_nav.Pause();
    if (SetVolume)
        SetVolume(0);
    m_stop = false;
    m_forwards = m_seeks = 0;
    m_planner.Reset();
    // A run only goes forward: no frame is worth keeping for a step back.
    m_nav.FrameCache().SetEnabled(false);
    const qint64 images = m_count;
    const bool split = Capture && SaveCaptured;
    bool begun = false; // a forward decode to the next target is under way
    qint64 a = 0;
    for (; a < images && !m_stop; ++a) {
        if (begun)
            Land(Target(a));
        else
            Advance(Target(a));
        begun = false;
        if (!split && ProcessEvents)
            ProcessEvents();
        if (m_stop)
            break;
        const qint64 position = m_nav.CurrentPosition();
        if (!split) {
            Report(Grab ? Grab() : TSaveResult{}, position);
            continue;
        }
        const std::optional<TSaveResult> nothing = Capture();
        // The frame is captured: the decoder moves on to the next target
        // while the window catches up and the image is saved.
        begun = !nothing && a + 1 < images && BeginForward(Target(a + 1));
        if (ProcessEvents)
            ProcessEvents();
        Report(nothing ? *nothing : SaveCaptured(), position);
    }
    if (begun)
        Land(Target(a)); // stopped with the next target on its way: it lands first
    if (PostEnd)
        PostEnd();
}

void TIntervallo::Advance(qint64 target)
{
    if (BeginForward(target))
        Land(target);
    else
        Seek(target);
}

bool TIntervallo::BeginForward(qint64 target)
{
    const qint64 fd = qMax<qint64>(m_nav.FrameDuration(), 1);
    // A target at or past the last frame is the end, which is usually near
    // enough to decode forward to as well.
    if (target >= m_nav.Duration() - fd)
        target = m_nav.EndTarget();
    if (target <= 0 || !m_nav.FramesNotifier())
        return false;
    const qint64 ahead = (navsteps::FrameAtTarget(target, fd) -
                          navsteps::FrameAtTarget(m_nav.CurrentPosition(), fd)) /
                         fd;
    m_forwardClock.start();
    if (m_planner.Choose(ahead) != TAdvance::Forward || !m_nav.BeginDecodeForward(target))
        return false;
    m_forwardAhead = ahead;
    return true;
}

void TIntervallo::Land(qint64 target)
{
    if (!m_nav.FinishDecodeForward()) {
        Seek(target); // the stream ended or the wait ran out
        return;
    }
    // Measured from the start of the decode: when a save overlapped it, the
    // time is the longer of the two.
    m_planner.NoteForward(m_forwardAhead, m_forwardClock.nsecsElapsed() / 1e6);
    ++m_forwards;
}

void TIntervallo::Seek(qint64 target)
{
    const qint64 fd = qMax<qint64>(m_nav.FrameDuration(), 1);
    QElapsedTimer clock;
    clock.start();
    if (target <= 0) {
        m_nav.GoToStart(); // the start and the end say nothing of a seek's cost
    } else if (target >= m_nav.Duration() - fd) {
        m_nav.GoToEnd();
    } else {
        m_nav.SetPosition(true, target); // lands on the frame the target picks
        m_planner.NoteSeek(clock.nsecsElapsed() / 1e6);
    }
    ++m_seeks;
}

void TIntervallo::Report(const TSaveResult &result, qint64 position)
{
    if (result.stopSeries())
        m_stop = true;
    if (result.status == TSaveStatus::Failed)
        TRunStatus::MarkFailed(); // the grab has said why
    --m_count;
    if (OnCount)
        OnCount(m_count);
    if (OnProgress) {
        const QString what =
            result.saved() ? QFileInfo(result.fileName).fileName() : QStringLiteral("not saved");
        OnProgress(QStringLiteral("kadrex: intervalometer: %1 at %2, %3 left")
                       .arg(what, m_nav.PositionToText(m_nav.FrameDuration(), position))
                       .arg(m_count));
    }
}

void TIntervallo::End()
{
    m_nav.Pause();
    m_nav.GoToStart();
    m_stop = true;
    m_nav.Stop();
    if (SetVolume && VolumeSetting)
        SetVolume(VolumeSetting());
    m_nav.Pause();
    m_nav.FrameCache().SetEnabled(true);
    m_running = false;
    if (OnRunning)
        OnRunning(false);
    Recompute(m_delay, m_unit);
}
