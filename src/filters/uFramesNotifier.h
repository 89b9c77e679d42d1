#pragma once
// The frames notifier: sits in the decoded video chain in front of the video
// sink, gives every frame its position snapped to a whole frame, counted from
// the file's first frame (demuxers start their times anywhere: MKV at 21 ms,
// TS at the stream's own clock, MPEG PS above its segment), reports the
// position texts, holds frames back while delivery is off and tells when a
// frame at or after a precise-seek target arrives.

#include "mf/uMediaTypes.h"
#include "uInPlaceFilter.h"

#include <QString>

#include <array>
#include <atomic>

class TFramesNotifier : public TInPlaceFilter
{
public:
    static constexpr const char *FactoryName = "kadrexframesnotifier";
    static constexpr const char *FriendlyName = "Norvane's FramesNotifier";
    static constexpr const char *ClassId = "{5104DD25-61F8-458D-AD1D-FCCF8BA18B60}";
    static constexpr int TargetSlots = 2;

    // Registers the element factory (once is enough; again is harmless).
    static bool Register();
    // Registers the element when needed and makes one (a floating reference).
    static GstElement *Create(const char *name = nullptr);
    static TFramesNotifier *From(GstElement *element);

    // p snapped to a multiple of frameDuration; an exact half rounds down.
    static qint64 SnapToFrame(qint64 position, qint64 frameDuration);

    // Configuration, from any thread.
    void ArmTarget(int slot, qint64 target);
    void DisarmTarget(int slot);
    bool TargetArmed(int slot) const;
    void SetTargetWindow(int slot, TMessageSink sink);
    void SetVideoWindow(TMessageSink sink) { m_videoWindow.Set(std::move(sink)); }
    void SetNavigationWindow(TMessageSink sink) { m_navigationWindow.Set(std::move(sink)); }

    void SetDeliver(bool on) { m_deliver = on; }
    bool Deliver() const { return m_deliver; }
    void SetPositionReports(bool on) { m_positionReports = on; }
    bool PositionReports() const { return m_positionReports; }
    void SetFrameDuration(qint64 duration) { m_frameDuration = duration; }
    qint64 FrameDuration() const { return m_frameDuration; }
    qint64 CurrentPosition() const { return m_currentPosition; }
    // Stream time (100 ns) of the first frame this notifier saw: noted once,
    // when the file opens, and posted on the bus (mf::kStreamStartMessage)
    // for the graph. -1 until then; ResetStreamStart notes the next frame's.
    qint64 StreamStart() const { return m_streamStart; }
    void ResetStreamStart() { m_streamStart = -1; }
    // Description of the input type (its average time per frame never 0).
    TVideoData VideoData() const;

protected:
    void StartStreaming() override;
    void NewSegment(const GstSegment &segment) override;
    bool SetMediaType(GstCaps *caps) override;
    // Decoded video only: intelligent connect then puts the decoder in front.
    bool CheckInputType(GstCaps *caps) override;
    bool TransformBuffer(GstBuffer *buffer) override;

private:
    struct TTarget {
        std::atomic<qint64> target{0};
        std::atomic<bool> armed{false};
        TSinkSlot window;
    };

    qint64 PositionOf(GstBuffer *buffer, qint64 frameDuration);
    void NoteStreamStart(qint64 streamTime);
    void CheckTargets(qint64 frameDuration);
    void ReportPosition(qint64 frameDuration);

    std::atomic<qint64> m_currentPosition{0};
    std::atomic<qint64> m_frameDuration{1};
    std::atomic<qint64> m_streamStart{-1};
    std::atomic<bool> m_deliver{true};
    std::atomic<bool> m_positionReports{false};
    std::array<TTarget, TargetSlots> m_targets;
    TSinkSlot m_videoWindow, m_navigationWindow;

    // Streaming thread only.
    GstSegment m_segment{};
    bool m_firstSample = true;
    QString m_lastPositionText;

    mutable QMutex m_videoLock;
    TVideoData m_videoData;
};
