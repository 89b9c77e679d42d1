// The caps -> format-block adapter and the descriptions read back from the
// blocks it makes. The input chooses a media name and sets fields of any
// type and value on it, as a demuxer would from a file's header.
#include "FuzzSupport.h"
#include "filters/uNotifier.h"
#include "mf/mfMediaType.h"
#include "mf/uMediaTypes.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <gst/gst.h>

#include <string>

namespace {

const char *const kNames[] = {
    "video/x-raw",     "video/x-dv",       "video/mpeg",    "video/x-h264",    "video/x-h265",
    "video/x-wmv",     "video/x-msmpeg",   "video/x-divx",  "video/x-xvid",    "image/jpeg",
    "video/x-vp8",     "video/x-theora",   "video/x-h263",  "video/quicktime", "video/x-msvideo",
    "video/mpegts",    "audio/x-raw",      "audio/mpeg",    "audio/x-ac3",     "audio/x-wma",
    "audio/x-vorbis",  "audio/x-lpcm",     "audio/x-adpcm", "audio/x-alaw",    "audio/x-flac",
    "application/ogg", "application/x-id3"};
const char *const kFields[] = {"width",      "height",       "framerate",     "pixel-aspect-ratio",
                               "format",     "systemstream", "mpegversion",   "wmvversion",
                               "wmaversion", "layer",        "stream-format", "channels",
                               "rate",       "bitrate",      "block_align",   "codec_data",
                               "layout",     "depth",        "divxversion",   "msmpegversion"};
const char *const kStrings[] = {"I420",  "YUY2", "BGRx", "RGB16",       "S16LE",
                                "F32LE", "U8",   "avc",  "byte-stream", "dvi",
                                "WMV3",  "WVC1", "ima",  "S24_32BE",    ""};

void setField(GstStructure *s, const char *field, FuzzedDataProvider &in)
{
    switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0:
        gst_structure_set(s, field, G_TYPE_INT, in.ConsumeIntegral<int>(), nullptr);
        break;
    case 1:
        gst_structure_set(s, field, GST_TYPE_FRACTION, in.ConsumeIntegral<int>(),
                          in.ConsumeIntegralInRange(1, G_MAXINT), nullptr);
        break;
    case 2:
        gst_structure_set(s, field, G_TYPE_STRING, in.PickValueInArray(kStrings), nullptr);
        break;
    case 3: {
        const std::string text = in.ConsumeRandomLengthString(16);
        gst_structure_set(s, field, G_TYPE_STRING, text.c_str(), nullptr);
        break;
    }
    case 4:
        gst_structure_set(s, field, G_TYPE_BOOLEAN, in.ConsumeBool(), nullptr);
        break;
    default: {
        const std::string bytes = in.ConsumeRandomLengthString(64);
        GstBuffer *buffer = gst_buffer_new_memdup(bytes.data(), bytes.size());
        gst_structure_set(s, field, GST_TYPE_BUFFER, buffer, nullptr);
        gst_buffer_unref(buffer);
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    gst_init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    GstStructure *s = gst_structure_new_empty(in.PickValueInArray(kNames));
    const int fields = in.ConsumeIntegralInRange(0, 12);
    for (int i = 0; i < fields; ++i)
        setField(s, in.PickValueInArray(kFields), in);
    GstCaps *caps = gst_caps_new_full(s, nullptr);
    const TMediaType type = MediaTypeFromCaps(caps);
    gst_caps_unref(caps);
    TVideoData video;
    DescribeVideoType(type, video);
    VideoTypeDescription(type);
    AudioFormatName(type);
    return 0;
}
