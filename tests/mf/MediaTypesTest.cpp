// Media type texts and the caps adapter's format blocks.
#include "mf/uMediaTypes.h"

#include <gtest/gtest.h>

using namespace guids;

namespace {

TMediaType videoType(const TGuid &subtype, const TGuid &format, TVideoFormatFields f)
{
    QByteArray block;
    if (format == FORMAT_VideoInfo)
        block = MakeVideoInfoHeader(f);
    else if (format == FORMAT_VideoInfo2)
        block = MakeVideoInfoHeader2(f);
    else if (format == FORMAT_MPEG2Video)
        block = MakeMpeg2VideoInfo(f);
    else if (format == FORMAT_MPEGVideo)
        block = MakeMpeg1VideoInfo(f);
    return {MEDIATYPE_Video, subtype, format, block};
}

TVideoFormatFields fields(int w, int h, qint64 avg, quint32 ax = 0, quint32 ay = 0,
                          quint32 compression = 0)
{
    TVideoFormatFields f;
    f.width = w, f.height = h, f.avgTimePerFrame = avg, f.aspectX = ax, f.aspectY = ay;
    f.compression = compression, f.bitCount = 24;
    return f;
}

TEST(MediaTypes, BlockSizesFollowTheLayouts)
{
    const TVideoFormatFields f = fields(720, 576, 400000);
    EXPECT_EQ(MakeVideoInfoHeader(f).size(), 88);
    EXPECT_EQ(MakeVideoInfoHeader2(f).size(), 112);
    EXPECT_EQ(MakeMpeg2VideoInfo(f).size(), 136);
    EXPECT_EQ(MakeMpeg1VideoInfo(f).size(), 104);
    EXPECT_EQ(MakeWaveFormatEx({}).size(), 18);
}

TEST(MediaTypes, DescribeVideoTypeRules)
{
    const quint32 dvsd = MakeFourCC('d', 'v', 's', 'd');
    const quint32 yuy2 = MakeFourCC('Y', 'U', 'Y', '2');
    struct Case {
        const char *what;
        TMediaType type;
        bool valid;
        const char *description, *format, *resolution;
        int aspectCode;
    } cases[] = {
        {"DV PAL", videoType(MEDIASUBTYPE_dvsd, FORMAT_VideoInfo, fields(720, 576, 400000, 4, 3)),
         true, "DV Type 2", "DV Type 2", "720x576 - 25 fps", 2},
        {"DV NTSC in VIH2 ignores the aspect",
         videoType(FourCCGuid(MakeFourCC('D', 'V', 'C', 'P')), FORMAT_VideoInfo2,
                   fields(720, 480, 333667, 16, 9)),
         true, "DV Type 1", "DV Type 1", "720x480 - 29.97 fps", 2},
        {"MPEG-2 16:9",
         videoType(MEDIASUBTYPE_MPEG2_VIDEO, FORMAT_MPEG2Video, fields(720, 576, 400000, 16, 9)),
         true, "MPEG2", "MPEG2 (16x9)", "720x576 - 25 fps", 1},
        {"RGB32 4:3 in VIH2",
         videoType(MEDIASUBTYPE_RGB32, FORMAT_VideoInfo2, fields(640, 480, 0, 4, 3)), true, "RGB32",
         "RGB32 (4x3)", "640x480", 0},
        {"1920:1088 reduced twice",
         videoType(FourCCGuid(MakeFourCC('H', '2', '6', '4')), FORMAT_VideoInfo2,
                   fields(1920, 1088, 400000, 1920, 1088)),
         true, "H264", "H264 (19x11)", "1920x1088 - 25 fps", 3},
        {"FourCC from the bitmap header",
         videoType(GuidFromText("{11111111-2222-3333-4444-555555555555}"), FORMAT_VideoInfo,
                   fields(320, 240, 417083, 0, 0, yuy2)),
         true, "YUY2", "YUY2", "320x240 - 23.98 fps", 2},
        {"MPEG-1", videoType(MEDIASUBTYPE_MPEG1Payload, FORMAT_MPEGVideo, fields(352, 288, 400000)),
         true, "MPEG1", "MPEG1", "352x288 - 25 fps", 2},
        {"87-byte VIDEOINFOHEADER",
         {MEDIATYPE_Video, FourCCGuid(dvsd), FORMAT_VideoInfo, QByteArray(87, '\0')},
         false,
         "",
         "",
         "",
         2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TVideoData d;
        DescribeVideoType(c.type, d);
        EXPECT_EQ(d.valid, c.valid);
        EXPECT_EQ(d.description.toStdString(), c.description);
        EXPECT_EQ(d.formatText.toStdString(), c.format);
        EXPECT_EQ(d.resolutionText.toStdString(), c.resolution);
        EXPECT_EQ(d.aspectCode, c.aspectCode);
    }
}

TEST(MediaTypes, FourCCTexts)
{
    EXPECT_EQ(FourCCText(MakeFourCC('d', 'v', 's', 'd')), "dvsd");
    EXPECT_EQ(FourCCText(0x00000001), "    " + QString()) << "bytes below 32 become spaces";
    EXPECT_EQ(FourCCText(MakeFourCC('A', 'B', '\x05', 'D')), "AB D");
    EXPECT_EQ(FourCCOrRGB(MakeFourCC('A', 'B', '\x05', 'D')), "RGB");
    EXPECT_EQ(FourCCOrRGB(MakeFourCC('M', 'J', 'P', 'G')), "MJPG");
}

TEST(MediaTypes, WaveTagNames)
{
    const std::pair<quint16, const char *> cases[] = {
        {0, ""},
        {1, "PCM"},
        {80, "MPEG Audio"},
        {85, "MP3"},
        {89, "LUCENT G.723"},
        {136, "ISIAUDIO "},
        {255, "AAC"},
        {353, "WMA"},
        {4354, "LH_SBC"},
        {4356, "LH_SBC"},
        {5121, "ISIAUDIO"},
        {8192, "AC3"},
        {8193, "DTS"},
        {26481, "OGG_VORBIS3+"},
        {31266, "GSM_AMR"},
        {10, ""},
        {0xFFFF, ""},
    };
    for (const auto &[tag, name] : cases)
        EXPECT_EQ(WaveTagName(tag).toStdString(), name) << tag;
}

GstCaps *caps(const char *text)
{
    return gst_caps_from_string(text);
}

TEST(MediaTypes, CapsAdapter)
{
    struct Case {
        const char *caps;
        TGuid major, subtype, format;
        int blockSize;
    } cases[] = {
        {"video/x-dv, systemstream=(boolean)true", MEDIATYPE_Interleaved, MEDIASUBTYPE_dvsd,
         FORMAT_DvInfo, 32},
        {"video/x-dv, systemstream=(boolean)false, width=720, height=576, framerate=25/1",
         MEDIATYPE_Video, MEDIASUBTYPE_dvsd, FORMAT_VideoInfo, 88},
        {"video/mpeg, mpegversion=2, systemstream=false, width=720, height=576", MEDIATYPE_Video,
         MEDIASUBTYPE_MPEG2_VIDEO, FORMAT_MPEG2Video, 136},
        {"video/x-h264, stream-format=avc, width=320, height=240", MEDIATYPE_Video,
         MEDIASUBTYPE_AVC1, FORMAT_MPEG2Video, 136},
        {"video/x-h264, stream-format=byte-stream", MEDIATYPE_Video, MEDIASUBTYPE_H264,
         FORMAT_MPEG2Video, 136},
        {"video/x-raw, format=YUY2, width=8, height=8", MEDIATYPE_Video,
         FourCCGuid(MakeFourCC('Y', 'U', 'Y', '2')), FORMAT_VideoInfo, 88},
        {"video/x-raw, format=BGR, width=8, height=8", MEDIATYPE_Video, MEDIASUBTYPE_RGB24,
         FORMAT_VideoInfo, 88},
        {"video/x-raw, format=BGRx, width=8, height=8", MEDIATYPE_Video, MEDIASUBTYPE_RGB32,
         FORMAT_VideoInfo, 88},
        {"audio/x-raw, format=S16LE, rate=48000, channels=2", MEDIATYPE_Audio, MEDIASUBTYPE_PCM,
         FORMAT_WaveFormatEx, 18},
        {"audio/mpeg, mpegversion=1, layer=2", MEDIATYPE_Audio, MEDIASUBTYPE_MPEG1AudioPayload,
         FORMAT_WaveFormatEx, 18},
        {"audio/mpeg, mpegversion=1, layer=3", MEDIATYPE_Audio, MEDIASUBTYPE_MP3,
         FORMAT_WaveFormatEx, 18},
        {"audio/x-ac3", MEDIATYPE_Audio, MEDIASUBTYPE_DOLBY_AC3, FORMAT_WaveFormatEx, 18},
        {"audio/mpeg, mpegversion=4", MEDIATYPE_Audio, MEDIASUBTYPE_AAC, FORMAT_WaveFormatEx, 18},
        {"video/mpegts, systemstream=true", MEDIATYPE_Stream, GUID_NULL, GUID_NULL, 0},
        {"ANY", MEDIATYPE_Stream, GUID_NULL, GUID_NULL, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.caps);
        GstCaps *g = caps(c.caps);
        const TMediaType t = MediaTypeFromCaps(g);
        gst_caps_unref(g);
        EXPECT_EQ(t.majortype, c.major);
        EXPECT_EQ(t.subtype, c.subtype);
        EXPECT_EQ(t.formattype, c.format);
        EXPECT_EQ(t.format.size(), c.blockSize);
    }
}

TEST(MediaTypes, CapsAdapterWritesTheFields)
{
    GstCaps *g = caps("video/mpeg, mpegversion=2, systemstream=false, width=720, height=576, "
                      "framerate=30000/1001, pixel-aspect-ratio=16/15");
    const TMediaType t = MediaTypeFromCaps(g);
    gst_caps_unref(g);
    TVideoData d;
    DescribeVideoType(t, d);
    EXPECT_EQ(d.width, 720);
    EXPECT_EQ(d.height, 576);
    EXPECT_EQ(d.avgTimePerFrame, 333667);
    EXPECT_EQ(d.resolutionText, "720x576 - 29.97 fps");
    EXPECT_EQ(d.aspectCode, 0) << "720x576 at 16:15 pixels is 4:3";

    GstCaps *a = caps("audio/x-raw, format=S16LE, rate=48000, channels=2");
    const TMediaType audio = MediaTypeFromCaps(a);
    gst_caps_unref(a);
    EXPECT_EQ(ReadLE16(audio.format, 0), 1);       // wFormatTag
    EXPECT_EQ(ReadLE16(audio.format, 2), 2);       // nChannels
    EXPECT_EQ(ReadLE32(audio.format, 4), 48000u);  // nSamplesPerSec
    EXPECT_EQ(ReadLE32(audio.format, 8), 192000u); // nAvgBytesPerSec
    EXPECT_EQ(ReadLE16(audio.format, 12), 4);      // nBlockAlign
    EXPECT_EQ(ReadLE16(audio.format, 14), 16);     // wBitsPerSample
}

} // namespace
