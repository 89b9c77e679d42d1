#include "uFramesNotifier.h"

#include "mf/mfGraph.h"
#include "mf/uPositionText.h"
#include "uFilterMessages.h"
#include "uFrameMeta.h"

#include <QMutexLocker>

namespace {

constexpr qint64 kNsPerRefTime = 100;
constexpr qint64 kDefaultFrameDuration = 100'000;

const TFilterClassInfo kClassInfo = {
    "KadrexFramesNotifier",
    TFramesNotifier::FactoryName,
    TFramesNotifier::FriendlyName,
    TFramesNotifier::ClassId,
    "Time-stamps decoded video frames and stops at precise-seek targets",
    []() -> TInPlaceFilter * { return new TFramesNotifier; }};

bool validSlot(int slot)
{
    return slot >= 0 && slot < TFramesNotifier::TargetSlots;
}

} // namespace

bool TFramesNotifier::Register()
{
    return RegisterInPlaceFilter(kClassInfo);
}

GstElement *TFramesNotifier::Create(const char *name)
{
    if (!Register())
        return nullptr;
    return gst_element_factory_make(FactoryName, name);
}

TFramesNotifier *TFramesNotifier::From(GstElement *element)
{
    return dynamic_cast<TFramesNotifier *>(TInPlaceFilter::FromElement(element));
}

qint64 TFramesNotifier::SnapToFrame(qint64 position, qint64 frameDuration)
{
    qint64 snapped = (position / frameDuration) * frameDuration;
    if (2 * (position - snapped) > frameDuration)
        snapped += frameDuration;
    return snapped;
}

void TFramesNotifier::ArmTarget(int slot, qint64 target)
{
    if (!validSlot(slot))
        return;
    m_targets[slot].target = target;
    m_targets[slot].armed = true;
}

void TFramesNotifier::DisarmTarget(int slot)
{
    if (validSlot(slot))
        m_targets[slot].armed = false;
}

bool TFramesNotifier::TargetArmed(int slot) const
{
    return validSlot(slot) && m_targets[slot].armed;
}

void TFramesNotifier::SetTargetWindow(int slot, TMessageSink sink)
{
    if (validSlot(slot))
        m_targets[slot].window.Set(std::move(sink));
}

void TFramesNotifier::SetFrameTap(TFrameTap tap)
{
    QMutexLocker locker(&m_tapLock);
    m_tap = std::move(tap);
}

void TFramesNotifier::StartStreaming()
{
    gst_segment_init(&m_segment, GST_FORMAT_UNDEFINED);
    m_firstSample = true;
    m_lastPositionText.clear();
}

void TFramesNotifier::NewSegment(const GstSegment &segment)
{
    m_segment = segment;
    m_firstSample = true;
}

bool TFramesNotifier::SetMediaType(GstCaps *caps)
{
    TVideoData data;
    DescribeVideoType(MediaTypeFromCaps(caps), data);
    if (data.avgTimePerFrame == 0)
        data.avgTimePerFrame = kDefaultFrameDuration;
    {
        QMutexLocker locker(&m_videoLock);
        m_videoData = data;
    }
    m_navigationWindow.Post({kNvMsgFrameDuration, data.avgTimePerFrame, 0, {}});
    return true;
}

bool TFramesNotifier::CheckInputType(GstCaps *caps)
{
    return caps && !gst_caps_is_empty(caps) &&
           gst_structure_has_name(gst_caps_get_structure(caps, 0), "video/x-raw");
}

TVideoData TFramesNotifier::VideoData() const
{
    QMutexLocker locker(&m_videoLock);
    return m_videoData;
}

qint64 TFramesNotifier::PositionOf(GstBuffer *buffer, qint64 frameDuration)
{
    // A buffer without a time stamp is taken as the frame after the last one.
    if (!GST_BUFFER_PTS_IS_VALID(buffer))
        return m_firstSample ? 0 : m_currentPosition + frameDuration;
    // Stream time, so that a segment of any start and base compares alike.
    qint64 streamTime = qint64(GST_BUFFER_PTS(buffer));
    if (m_segment.format == GST_FORMAT_TIME) {
        guint64 t = 0;
        const int sign = gst_segment_to_stream_time_full(&m_segment, GST_FORMAT_TIME,
                                                         GST_BUFFER_PTS(buffer), &t);
        streamTime = sign >= 0 ? qint64(t) : -qint64(t);
    }
    streamTime /= kNsPerRefTime;
    NoteStreamStart(streamTime);
    return streamTime - m_streamStart;
}

void TFramesNotifier::NoteStreamStart(qint64 streamTime)
{
    qint64 unknown = -1;
    if (!m_streamStart.compare_exchange_strong(unknown, qMax<qint64>(0, streamTime)))
        return;
    GstStructure *s = gst_structure_new(mf::kStreamStartMessage, "stream-time", G_TYPE_UINT64,
                                        guint64(m_streamStart * kNsPerRefTime), nullptr);
    gst_element_post_message(Element(), gst_message_new_element(GST_OBJECT(Element()), s));
}

void TFramesNotifier::CheckTargets(qint64 frameDuration)
{
    const qint64 position = m_currentPosition;
    for (TTarget &slot : m_targets) {
        if (!slot.armed)
            continue;
        const qint64 target = slot.target;
        if (position < target - frameDuration / 2)
            continue;
        bool armed = true;
        if (!slot.armed.compare_exchange_strong(armed, false))
            continue;
        // The target frame is the first one delivered and reported: switch both
        // on here rather than wait for the receiver to do it.
        m_deliver = true;
        m_positionReports = true;
        GST_CAT_DEBUG_OBJECT(DebugCategory(), Element(), "target %lld reached at %lld",
                             static_cast<long long>(target), static_cast<long long>(position));
        slot.window.Post({kNvMsgTargetReached, target, position, {}});
    }
}

void TFramesNotifier::ReportPosition(qint64 frameDuration)
{
    const qint64 position = m_currentPosition;
    const QString text = PositionToText(frameDuration, position);
    if (m_positionReports) {
        if (text != m_lastPositionText)
            m_videoWindow.Post({kNvMsgFrameTimeStamp, position, 0, text});
        m_navigationWindow.Post({kNvMsgPositionText, position, 0, text});
    }
    m_lastPositionText = text;
}

bool TFramesNotifier::TransformBuffer(GstBuffer *buffer)
{
    // A duration of 0 or less (not set yet) would divide by zero: count it as 1.
    const qint64 frameDuration = qMax<qint64>(m_frameDuration, 1);
    m_currentPosition = SnapToFrame(PositionOf(buffer, frameDuration), frameDuration);
    CheckTargets(frameDuration);
    ReportPosition(frameDuration);
    m_firstSample = false;
    // The frame carries its own position: to the sink, and into the frame
    // cache when it is dropped on the way to a target. Its number only once
    // the frame duration is known (1 until then).
    SetFramePosition(
        buffer, {m_currentPosition, frameDuration > 1 ? m_currentPosition / frameDuration : -1});
    {
        QMutexLocker locker(&m_tapLock);
        if (m_tap)
            m_tap(buffer, m_currentPosition);
    }
    return m_deliver;
}
