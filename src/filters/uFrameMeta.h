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
    friend bool operator==(const TFramePosition &, const TFramePosition &) = default;
};

struct TFramePositionMeta {
    GstMeta meta;
    TFramePosition value;
};

// The DV codes of one frame (plain data, so that the meta needs no cleanup).
struct TFrameDVCodes {
    bool present = false; // read from a DV frame
    bool dateValid = false;
    bool timecodeValid = false;
    double recDateTime = 0;            // date-time number
    quint8 timecode[4] = {0, 0, 0, 0}; // hours, minutes, seconds, frames
    friend bool operator==(const TFrameDVCodes &, const TFrameDVCodes &) = default;
};

struct TFrameDVCodesMeta {
    GstMeta meta;
    TFrameDVCodes value;
};

GType FramePositionMetaApiType();
const GstMetaInfo *FramePositionMetaInfo();

// Sets the record of a writable buffer (adding the meta when it has none).
void SetFramePosition(GstBuffer *buffer, const TFramePosition &value);
// The buffer's record, or an invalid one.
TFramePosition FramePositionOf(GstBuffer *buffer);

// The DV codes of a writable buffer, and the buffer's (none when it has none).
void SetFrameDVCodes(GstBuffer *buffer, const TFrameDVCodes &value);
TFrameDVCodes FrameDVCodesOf(GstBuffer *buffer);
