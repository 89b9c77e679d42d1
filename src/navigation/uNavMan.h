#pragma once
// The navigation manager: owns the playback position of the open media. It
// plays and pauses, steps by frames, seconds and minutes, goes to the start,
// the end and to typed positions, seeks precisely to an exact frame, keeps
// the position text, the duration text, the slider and the position box up
// to date, and switches between normal and compatible (clockless) speed.
// It is the program's media session (TGrapheMan) and its DV code relay
// (TDVMan).
//
// Positions count from the first frame of the file: frame 0 is "0:00:00:00"
// in every container. A forward frame step while paused is a step event of
// the video sink, not a seek. Decoded frames around the displayed position
// are kept in a bounded cache (uFrameCache), so a step back inside it shows
// the cached frame (through the frame presenter) without decoding.

#include "media/uDVMan.h"
#include "uFrameCache.h"
#include "uNavActions.h"
#include "uNavControls.h"

#include <QHash>
#include <QString>

#include <functional>
#include <optional>

class TCheckAction;
class TIntegerAction;
class TWidestringAction;
class TNopeAction;
class TFramesNotifier;

class TNavMan : public TDVMan
{
    Q_OBJECT
public:
    explicit TNavMan(QObject *owner = nullptr);
    ~TNavMan() override;

    // Published events.
    std::function<void(qint64 rt)> onAbsolutePosition;
    std::function<void(int pos)> OnKPosition;
    std::function<void(const QString &atimeStr)> OnDisplayTime;
    std::function<void(const QString &aDurationStr)> OnDuration;
    std::function<void()> OnDisplaySeek;
    std::function<void()> OnDisplayNormal;
    std::function<void(bool isVitesseMaxi)> OnVitesse;

    // Shows a frame that the graph does not hold (one from the frame cache)
    // as the displayed picture, with its position: the video window's part.
    // Without a presenter the cache serves nothing and every step seeks.
    using TFramePresenter = std::function<bool(GstSample *frame, qint64 position)>;
    TFramePresenter FramePresenter;
    // The state of the Shift key when a command runs (the keyboard by default).
    std::function<bool()> ShiftHeld;

    // Run state.
    bool Play() override;
    bool Pause() override;
    bool Stop() override;

    void SetPosition(bool wait, qint64 position);
    // True when the paused graph already holds the frame a seek to the
    // position would show, so that the seek would only decode it again.
    bool ShowsFrameAt(qint64 position);
    void SeekPrecise(qint64 target);
    // While paused: decodes on from the frame the graph holds to the frame
    // the target picks, the frames notifier dropping the frames between, and
    // shows it. False when it could not (not paused, target not ahead, the
    // stream ended or the wait ran out); the caller then seeks.
    bool DecodeForwardTo(qint64 target);
    // DecodeForwardTo in two halves, so that the caller works while the
    // decoder does: Begin arms the target and steps the graph, and returns at
    // once (false when it cannot: nothing was started); Finish waits, with a
    // bound, until the frame is on show. Other steps are refused in between.
    bool BeginDecodeForward(qint64 target);
    bool FinishDecodeForward();
    bool DecodingForward() const { return m_forwardFrame.has_value(); }
    // The position GoToEnd goes to: the frame before the last one.
    qint64 EndTarget();
    void StepForward(qint64 delta);
    void StepBackward(qint64 delta);
    void GoToStart();
    void GoToEnd();
    void PreviousScene() { GoToStart(); }
    void NextScene() { GoToEnd(); }
    void GoToPositionText(const QString &text);
    qint64 CurrentPosition();
    void SetFrameDuration(qint64 duration);
    void ResetPositions();
    void RefreshFrame();
    void SetCompatibleSpeed(bool on);
    // End of the stream (bound to OnGraphCompleted by the window): mark it,
    // pause and uncheck caPlay.
    void EndOfStream();

    QString PositionToText(qint64 frameDuration, qint64 position) const;
    qint64 TextToPosition(const QString &text, qint64 frameDuration) const;

    // The video stream's frames notifier (a reference is kept), or null.
    void SetFramesNotifier(GstElement *framesNotifier);
    TFramesNotifier *FramesNotifier() const;

    // The position box and the slider (null detaches).
    void SetPositionEdit(TNavPositionEdit *edit);
    TNavPositionEdit *PositionEdit() const { return m_edit; }
    void SetSlider(TNavSlider *slider);
    TNavSlider *Slider() const { return m_slider; }
    // What the widgets report.
    void PositionEditKeyPress(int key);
    void PositionEditFocus(bool focused);
    void SliderMouse(bool down);
    void SliderChanged(int value);
    void SetEnterKeyEnabled(bool on) { m_enterKey = on; }
    bool EnterKeyEnabled() const { return m_enterKey; }

    void SetDisplaySuppressed(bool on) { m_displaySuppressed = on; }
    bool DisplaySuppressed() const { return m_displaySuppressed; }

    qint64 Start() const { return m_start; }
    qint64 End() const { return m_end; }
    qint64 Duration() const { return m_duration; }
    qint64 FrameDuration() const { return m_frameDuration; }
    qint64 PrePosition() const { return m_prePosition; }
    qint64 LastDisplayedPosition() const { return m_lastDisplayed; }
    QString LastPositionText() const { return m_lastPositionText; }

    TFrameCache &FrameCache() { return m_cache; }
    // The position of the frame shown from the cache, when one is.
    std::optional<qint64> ShownFromCache() const { return m_shownCached; }

    TCheckAction *caPlay = nullptr;
    TCheckAction *caVitesseCompatible = nullptr;
    TCheckAction *caSeekPrecision = nullptr;
    TIntegerAction *iaSeekPrepos = nullptr;
    TWidestringAction *waStrPosition = nullptr;
    // The commands by InternalId.
    TNopeAction *Command(const QString &id) const { return m_commands.value(id); }

protected:
    void WndProc(const TNvMessage &message) override;
    void CreateActions() override;
    void InitActions() override;
    void LinkActions() override;
    void AssignHandlers() override;

private:
    // Calls visit for each catalogue row whose action the list holds.
    void ForEachRowAction(
        const std::function<void(const TNavActionRow &, TCustomAbstractAction *)> &visit);
    void RunCommand(const TNavActionRow &row);
    void RunEffect(TNavEffect effect);
    void SeekKeepingRunState(bool wait, qint64 position);
    bool DropSeeks() const;
    void SeekDropping(qint64 target);
    void IssueAbsoluteSeek(qint64 position);
    void WaitLanding();
    bool StepFrames(qint64 frames);
    bool ShowCached(qint64 position);
    void LeaveCachedFrame();
    void RefreshDuration();
    void PositionTextMessage(const TNvMessage &message);
    void TargetReached(const TNvMessage &message);
    void DetachFramesNotifier();
    qint64 HeadPosition() const;

    TNavPositionEdit *m_edit = nullptr;
    TNavSlider *m_slider = nullptr;
    bool m_editUpdate = false;
    bool m_enterKey = false;
    bool m_sliderUpdate = false;
    QString m_lastPositionText;
    qint64 m_prePosition = 10'000'000;
    qint64 m_start = 0;
    qint64 m_end = navsteps::kNoEnd;
    qint64 m_duration = 0;
    qint64 m_frameDuration = 0;
    TGrapheManState m_savedState = gmStopped;
    qint64 m_lastDisplayed = 0;
    GstElement *m_framesNotifier = nullptr; // a reference of our own
    bool m_stepBusy = false;
    std::optional<qint64> m_forwardFrame; // begun by BeginDecodeForward, not yet landed
    bool m_seekBusy = false;
    bool m_displaySuppressed = false;
    bool m_preciseRunning = false;
    // Frames were stepped since the last seek: the audio is behind.
    bool m_stepped = false;

    TFrameCache m_cache;
    std::optional<qint64> m_shownCached;
    QHash<QString, TNopeAction *> m_commands;
};
