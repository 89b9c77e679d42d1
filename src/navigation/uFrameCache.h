#pragma once
// Decoded frames around the displayed position, kept so that stepping back
// shows a frame without decoding it again. Each entry is a copy of the real
// decoded frame (its memory, caps and metas, the position record included)
// under the position the frames notifier gave it. The cache is bounded in
// bytes: when a new frame does not fit, the frames farthest from the focus
// (the displayed position) go first.
//
// At the default budget of 256 MiB the cache holds 86 frames of 1080p I420
// (3,110,400 bytes each: 3.4 s at 25 fps), 431 frames of 576p I420 and 32
// frames of 1080p BGRx.
//
// Store runs on the streaming thread, everything else on any thread.

#include <gst/gst.h>

#include <QMutex>

#include <atomic>
#include <map>

class TFrameCache
{
public:
    static constexpr qint64 kDefaultBudget = 256LL * 1024 * 1024;

    explicit TFrameCache(qint64 budgetBytes = kDefaultBudget);
    ~TFrameCache();
    TFrameCache(const TFrameCache &) = delete;
    TFrameCache &operator=(const TFrameCache &) = delete;

    qint64 Budget() const;
    void SetBudget(qint64 bytes);
    // Frames are only kept while the cache is on.
    void SetEnabled(bool on) { m_enabled = on; }
    bool Enabled() const { return m_enabled; }

    // Keeps a copy of a decoded frame under its position; a frame already
    // held at that position is replaced. A frame larger than the budget is
    // not kept.
    void Store(GstBuffer *buffer, GstCaps *caps, qint64 position);
    // The position eviction keeps closest.
    void SetFocus(qint64 position);
    // With a frame duration known, a frame farther from the focus than the
    // budget's worth of frames is not copied at all (a long decode towards a
    // seek target copies only the frames that will stay).
    void SetFrameDuration(qint64 duration);

    // The frame held at exactly this position (a new reference), or null.
    GstSample *Find(qint64 position) const;
    bool Contains(qint64 position) const;
    void Clear();

    int Count() const;
    qint64 Bytes() const;
    // How many frames of this size fit the budget.
    static qint64 FramesWithin(qint64 budgetBytes, qint64 frameBytes);

private:
    struct TEntry {
        GstSample *sample = nullptr;
        qint64 bytes = 0;
    };
    void evictBeyondBudget();
    void drop(std::map<qint64, TEntry>::iterator it);

    mutable QMutex m_lock;
    std::map<qint64, TEntry> m_frames;
    qint64 m_budget;
    qint64 m_bytes = 0;
    qint64 m_focus = 0;
    qint64 m_frameDuration = 0;
    std::atomic<bool> m_enabled{true};
};
