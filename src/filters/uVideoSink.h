#pragma once
// The program's video sink: takes BGRx frames (a converter in front of it is
// the graph's business) and keeps only the newest one, which the video window
// paints on the UI thread. The element knows nothing of widgets: on each new
// frame it calls its frame listener, at most once until the window has taken
// the frame, so no more than one repaint is ever queued. The preroll frame
// (the picture shown while paused, after a seek) arrives like any other.

#include "uFrameMeta.h"

#include <gst/gst.h>
#include <gst/video/video-info.h>

#include <QImage>
#include <QMutex>

#include <atomic>
#include <functional>

struct TVideoFrame {
    QImage image;            // Format_RGB32 over the buffer's memory (read-only)
    TFramePosition position; // from the frames notifier, when it labelled the frame
    TFrameDVCodes dvCodes;   // the DV codes read from this frame, when it is DV
    quint64 serial = 0;      // 1 for the first frame, +1 for each one after; 0: none
    QSize displaySize;       // the picture's size with its pixel aspect applied
    bool IsNull() const { return image.isNull(); }
};

class TVideoSink
{
public:
    static constexpr const char *FactoryName = "kadrexvideosink";
    static constexpr const char *FriendlyName = "Nv VideoWindow";
    static constexpr const char *ClassId = "{E437A53D-02A2-4A7D-B46C-F75A5D39C4E3}";

    using TFrameListener = std::function<void()>;

    static bool Register();
    // Registers the element when needed and makes one (a floating reference).
    static GstElement *Create(const char *name = nullptr);
    static TVideoSink *From(GstElement *element);

    GstElement *Element() const { return m_element; }

    // Called on the streaming thread when a frame arrives and no earlier one
    // is waiting to be taken. It must only queue (a repaint, a message). When
    // this returns, the old listener is no longer running.
    void SetFrameListener(TFrameListener listener);
    // The newest frame; re-arms the listener (UI thread, when painting).
    TVideoFrame TakeFrame();
    // The newest frame, without re-arming the listener.
    TVideoFrame CurrentFrame() const;
    // Holds a frame that did not come through the pipeline (a cached one) as
    // the newest, with its position; converted to BGRx when it is not.
    bool PresentSample(GstSample *sample, const TFramePosition &position);
    // Forgets the frame held (a closed video).
    void ClearFrame();
    // Frames held since the sink was made (received or presented).
    quint64 FramesReceived() const { return m_received; }

private:
    friend struct TVideoSinkGlue;
    void ShowFrame(GstBuffer *buffer, const GstVideoInfo &info);
    void Hold(GstBuffer *buffer, const GstVideoInfo &info, const TFramePosition &position,
              const TFrameDVCodes &dvCodes);

    GstElement *m_element = nullptr;
    mutable QMutex m_frameLock;
    TVideoFrame m_frame;
    const GstBuffer *m_heldBuffer = nullptr; // the buffer under m_frame's image
    QMutex m_listenerLock;
    TFrameListener m_listener;
    std::atomic<bool> m_repaintQueued{false};
    std::atomic<quint64> m_received{0};
};
