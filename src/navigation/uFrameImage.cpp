#include "uFrameImage.h"

#include <gst/video/video.h>

QImage FrameImage(GstSample *sample)
{
    GstBuffer *buffer = sample ? gst_sample_get_buffer(sample) : nullptr;
    GstCaps *caps = sample ? gst_sample_get_caps(sample) : nullptr;
    GstVideoInfo in;
    if (!buffer || !caps || !gst_video_info_from_caps(&in, caps))
        return {};
    const int width = GST_VIDEO_INFO_WIDTH(&in), height = GST_VIDEO_INFO_HEIGHT(&in);
    QImage image(width, height, QImage::Format_RGB32);
    GstVideoInfo out;
    gst_video_info_set_format(&out, GST_VIDEO_FORMAT_BGRx, width, height);
    // The converter changes only the format.
    GST_VIDEO_INFO_FPS_N(&out) = GST_VIDEO_INFO_FPS_N(&in);
    GST_VIDEO_INFO_FPS_D(&out) = GST_VIDEO_INFO_FPS_D(&in);
    GST_VIDEO_INFO_PAR_N(&out) = GST_VIDEO_INFO_PAR_N(&in);
    GST_VIDEO_INFO_PAR_D(&out) = GST_VIDEO_INFO_PAR_D(&in);
    GST_VIDEO_INFO_INTERLACE_MODE(&out) = GST_VIDEO_INFO_INTERLACE_MODE(&in);
    // The picture's own memory is the output frame.
    GST_VIDEO_INFO_PLANE_STRIDE(&out, 0) = int(image.bytesPerLine());
    GST_VIDEO_INFO_SIZE(&out) = gsize(image.sizeInBytes());
    GstBuffer *wrapped =
        gst_buffer_new_wrapped_full(GstMemoryFlags(0), image.bits(), gsize(image.sizeInBytes()), 0,
                                    gsize(image.sizeInBytes()), nullptr, nullptr);
    GstVideoConverter *converter = gst_video_converter_new(&in, &out, nullptr);
    GstVideoFrame source, target;
    bool converted = false;
    if (converter && gst_video_frame_map(&source, &in, buffer, GST_MAP_READ)) {
        if (gst_video_frame_map(&target, &out, wrapped, GST_MAP_WRITE)) {
            gst_video_converter_frame(converter, &source, &target);
            gst_video_frame_unmap(&target);
            converted = true;
        }
        gst_video_frame_unmap(&source);
    }
    if (converter)
        gst_video_converter_free(converter);
    gst_buffer_unref(wrapped);
    return converted ? image : QImage();
}
