#pragma once
// The position record that travels with each decoded frame: the frames
// notifier attaches it when it labels a frame, the video sink reads it back
// with the frame it holds, so a picture taken from the sink knows which frame
// it is even while playing. It survives copies and conversions of the buffer.

#include <gst/gst.h>

#include <QtGlobal>

struct TFramePosition {
    qint64 position = -1; // 100 ns units from the first frame; -1: unknown
    qint64 number = -1;   // the frame's number counted from 0; -1: unknown
    bool Valid() const { return position >= 0; }
};

struct TFramePositionMeta {
    GstMeta meta;
    TFramePosition value;
};

GType FramePositionMetaApiType();
const GstMetaInfo *FramePositionMetaInfo();

// Sets the record of a writable buffer (adding the meta when it has none).
void SetFramePosition(GstBuffer *buffer, const TFramePosition &value);
// The buffer's record, or an invalid one.
TFramePosition FramePositionOf(GstBuffer *buffer);
