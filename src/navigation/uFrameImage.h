#pragma once
// A decoded frame of any raw video format as a 32-bit picture
// (QImage::Format_RGB32, the layout of BGRx), converted by GStreamer.

#include <gst/gst.h>

#include <QImage>

// A null image when the sample holds no raw video.
QImage FrameImage(GstSample *sample);
