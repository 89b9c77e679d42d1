#pragma once
// The intervalometer without widgets: the step and the count from a delay
// and a unit, the choice between decoding forward and seeking for the next
// target, and the run itself (targets, grabs, count down, break, end).
//
// A dense series decodes forward: the next target lies a few frames ahead,
// so the frames notifier drops the frames up to it (one decode pass of the
// file for every image). A target far ahead seeks: the decoder then starts
// at the key frame before it. The choice weighs what each way has cost so
// far in this run.

#include "capture/uGrabber.h"

#include <QElapsedTimer>
#include <QtGlobal>

#include <functional>
#include <optional>

class TNavMan;

namespace intervallo {

enum TUnit { kFrames = 0, kSeconds = 1, kMinutes = 2 };

// The length of one unit in 100-ns units; nullopt for a unit outside 0..2
// (the unit list's empty fourth entry, or a script's value).
std::optional<qint64> UnitLength(int unit, qint64 frameDuration);
// delay x unit length; nullopt when there is no interval (an unknown unit,
// or a step of 0 or less): no count and no run.
std::optional<qint64> Step(qint64 delay, int unit, qint64 frameDuration);
// (duration - start) div step + 1, in 64-bit arithmetic with truncation.
qint64 Count(qint64 duration, qint64 start, qint64 step);

enum class TAdvance { Forward, Seek };

// Chooses how to reach the next target from the frame the graph holds.
class TAdvancePlanner
{
public:
    // Before anything was measured, a target up to this many frames ahead
    // is decoded forward (key frames come every 12 to 250 frames).
    static constexpr qint64 kPriorForwardFrames = 60;

    enum class TPolicy { Auto, AlwaysForward, AlwaysSeek };
    TPolicy Policy = TPolicy::Auto;

    TAdvance Choose(qint64 framesAhead) const;
    void NoteForward(qint64 frames, double ms);
    void NoteSeek(double ms);
    void Reset();

private:
    double m_msPerFrame = -1; // a running mean, -1 until measured
    double m_msPerSeek = -1;
};

} // namespace intervallo

// The run, driven on the user-interface thread.
class TIntervallo
{
public:
    explicit TIntervallo(TNavMan &nav);

    // What the window supplies.
    std::function<TSaveResult()> Grab; // grab and save with confirmation
    // The grab in two halves, when the window offers them: the capture of
    // the frame on show (nullopt, or the outcome when there is nothing to
    // save), then the save of that capture with confirmation. The run starts
    // decoding toward the next target between the two, so that saving one
    // image overlaps the way to the next.
    std::function<std::optional<TSaveResult>()> Capture;
    std::function<TSaveResult()> SaveCaptured;
    std::function<void(int volume)> SetVolume;           // the sound volume, 0 to 10000
    std::function<int()> VolumeSetting;                  // iaVolume
    std::function<bool()> HasVideo;                      // the open file has video
    std::function<void()> ProcessEvents;                 // pending messages
    std::function<void()> PostEnd;                       // posts the end message (9218)
    std::function<void(qint64 count)> OnCount;           // show the count
    std::function<void(bool running)> OnRunning;         // switch on/off, controls
    std::function<void(const QString &line)> OnProgress; // one line per image

    // The count from the current position; keeps the shown count when there
    // is no interval. Ignored while a run goes on.
    void Recompute(qint64 delay, int unit);
    // The series (naIntervalloStart); returns after posting the end message.
    void Run();
    // The end message: back to the start paused, sound back, idle.
    void End();
    // Break, Esc, or Cancel in an overwrite question: after the current image.
    void Break() { m_stop = true; }

    bool Running() const { return m_running; }
    bool StopRequested() const { return m_stop; }
    qint64 StepLength() const { return m_step; }
    qint64 StartPosition() const { return m_start; }
    qint64 CountLeft() const { return m_count; }
    intervallo::TAdvancePlanner &Planner() { return m_planner; }
    // Images reached by decoding forward and by seeking in the last run.
    int Forwards() const { return m_forwards; }
    int Seeks() const { return m_seeks; }

private:
    qint64 Target(qint64 a) const { return m_start + a * m_step; }
    void Advance(qint64 target);
    // Starts decoding forward to the target when that is the way to reach it
    // (the run then lands on it with Land); false when it has to be sought.
    bool BeginForward(qint64 target);
    void Land(qint64 target);
    void Seek(qint64 target);
    void Report(const TSaveResult &result, qint64 position);

    TNavMan &m_nav;
    intervallo::TAdvancePlanner m_planner;
    qint64 m_step = 0, m_start = 0, m_count = 0;
    qint64 m_delay = 0;
    int m_unit = 0;
    bool m_stop = false, m_running = false;
    int m_forwards = 0, m_seeks = 0;
    qint64 m_forwardAhead = 0;    // frames of the forward decode under way
    QElapsedTimer m_forwardClock; // since it began
};
