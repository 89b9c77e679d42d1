#include "mfMediaType.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>

using namespace guids;

quint32 ReadLE32(const QByteArray &block, int offset)
{
    if (offset < 0 || offset + 4 > block.size())
        return 0;
    return qFromLittleEndian<quint32>(block.constData() + offset);
}

quint16 ReadLE16(const QByteArray &block, int offset)
{
    if (offset < 0 || offset + 2 > block.size())
        return 0;
    return qFromLittleEndian<quint16>(block.constData() + offset);
}

qint64 ReadLE64(const QByteArray &block, int offset)
{
    if (offset < 0 || offset + 8 > block.size())
        return 0;
    return qFromLittleEndian<qint64>(block.constData() + offset);
}

namespace {

// Appends little-endian fields to a block.
class TBlockWriter
{
public:
    void u16(quint16 v) { put(&v, 2); }
    void u32(quint32 v) { put(&v, 4); }
    void i32(qint32 v) { put(&v, 4); }
    void i64(qint64 v) { put(&v, 8); }
    void zeros(int n) { m_block.append(n, '\0'); }
    void bytes(const QByteArray &b) { m_block.append(b); }
    void padTo(int size)
    {
        if (m_block.size() < size)
            zeros(size - int(m_block.size()));
    }
    QByteArray block() const { return m_block; }

private:
    template <typename T> void put(T *v, int n)
    {
        const T le = qToLittleEndian(*v);
        m_block.append(reinterpret_cast<const char *>(&le), n);
    }
    QByteArray m_block;
};

// |v| without the overflow of std::abs(INT_MIN).
qint32 magnitude(qint32 v)
{
    return v == std::numeric_limits<qint32>::min() ? std::numeric_limits<qint32>::max()
                                                   : std::abs(v);
}

void writeRectsAndRates(TBlockWriter &w, const TVideoFormatFields &f)
{
    // rcSource and rcTarget: the whole picture.
    for (int i = 0; i < 2; ++i) {
        w.i32(0), w.i32(0), w.i32(f.width), w.i32(magnitude(f.height));
    }
    w.u32(f.bitRate);
    w.u32(0); // dwBitErrorRate
    w.i64(f.avgTimePerFrame);
}

void writeBitmapHeader(TBlockWriter &w, const TVideoFormatFields &f)
{
    w.u32(mtlayout::kBitmapInfoHeader);
    w.i32(f.width);
    w.i32(f.height);
    w.u16(1); // biPlanes
    w.u16(f.bitCount);
    w.u32(f.compression);
    w.u32(f.sizeImage);
    w.i32(0), w.i32(0); // pixels per metre
    w.u32(0), w.u32(0); // colours used, important
}

void writeVih2Header(TBlockWriter &w, const TVideoFormatFields &f)
{
    writeRectsAndRates(w, f);
    w.u32(0); // dwInterlaceFlags
    w.u32(0); // dwCopyProtectFlags
    w.u32(f.aspectX);
    w.u32(f.aspectY);
    w.u32(0), w.u32(0); // dwControlFlags, dwReserved2
    writeBitmapHeader(w, f);
}

} // namespace

QByteArray MakeVideoInfoHeader(const TVideoFormatFields &f)
{
    TBlockWriter w;
    writeRectsAndRates(w, f);
    writeBitmapHeader(w, f);
    w.bytes(f.extra);
    return w.block();
}

QByteArray MakeVideoInfoHeader2(const TVideoFormatFields &f)
{
    TBlockWriter w;
    writeVih2Header(w, f);
    w.bytes(f.extra);
    return w.block();
}

QByteArray MakeMpeg1VideoInfo(const TVideoFormatFields &f)
{
    TBlockWriter w;
    writeRectsAndRates(w, f);
    writeBitmapHeader(w, f);
    w.u32(0); // dwStartTimeCode
    w.u32(quint32(f.extra.size()));
    w.bytes(f.extra);
    w.padTo(mtlayout::kMpeg1VideoInfo);
    return w.block();
}

QByteArray MakeMpeg2VideoInfo(const TVideoFormatFields &f)
{
    TBlockWriter w;
    writeVih2Header(w, f);
    w.u32(0); // dwStartTimeCode
    w.u32(quint32(f.extra.size()));
    w.u32(0), w.u32(0), w.u32(0); // profile, level, flags
    w.bytes(f.extra);
    w.padTo(mtlayout::kMpeg2VideoInfo);
    return w.block();
}

QByteArray MakeWaveFormatEx(const TWaveFormatFields &f)
{
    TBlockWriter w;
    w.u16(f.formatTag);
    w.u16(f.channels);
    w.u32(f.samplesPerSec);
    w.u32(f.avgBytesPerSec);
    w.u16(f.blockAlign);
    w.u16(f.bitsPerSample);
    w.u16(quint16(f.extra.size()));
    w.bytes(f.extra);
    return w.block();
}

namespace {

int intField(const GstStructure *s, const char *name, int fallback = 0)
{
    int v = fallback;
    return gst_structure_get_int(s, name, &v) ? v : fallback;
}

// A count or size taken from a file's header: 0 (unknown) unless in 1..max,
// so a hostile value never reaches the arithmetic below.
int boundedField(const GstStructure *s, const char *name, int max)
{
    const int v = intField(s, name);
    return v >= 1 && v <= max ? v : 0;
}

constexpr int kMaxPictureSide = 1 << 15;
constexpr int kMaxChannels = 255;
constexpr int kMaxSampleRate = 1'000'000;

QByteArray codecData(const GstStructure *s)
{
    const GValue *v = gst_structure_get_value(s, "codec_data");
    if (!v || !GST_VALUE_HOLDS_BUFFER(v))
        return {};
    GstBuffer *buffer = gst_value_get_buffer(v);
    GstMapInfo map;
    if (!buffer || !gst_buffer_map(buffer, &map, GST_MAP_READ))
        return {};
    QByteArray data(reinterpret_cast<const char *>(map.data), int(map.size));
    gst_buffer_unmap(buffer, &map);
    return data;
}

quint32 fourccOf(const char *text)
{
    if (!text || std::strlen(text) < 4)
        return 0;
    return MakeFourCC(text[0], text[1], text[2], text[3]);
}

// Frame size, rate, picture aspect (from the pixel aspect) and codec data.
TVideoFormatFields videoFields(const GstStructure *s)
{
    TVideoFormatFields f;
    f.width = boundedField(s, "width", kMaxPictureSide);
    f.height = boundedField(s, "height", kMaxPictureSide);
    int num = 0, den = 0;
    if (gst_structure_get_fraction(s, "framerate", &num, &den) && num > 0 && den > 0)
        f.avgTimePerFrame = qint64(10000000.0 * den / num + 0.5);
    int parN = 1, parD = 1;
    if (!gst_structure_get_fraction(s, "pixel-aspect-ratio", &parN, &parD) || parN <= 0 ||
        parD <= 0)
        parN = parD = 1;
    if (f.width > 0 && f.height > 0) {
        qint64 ax = qint64(f.width) * parN, ay = qint64(f.height) * parD;
        const qint64 g = std::gcd(ax, ay);
        f.aspectX = quint32(ax / g);
        f.aspectY = quint32(ay / g);
    }
    f.extra = codecData(s);
    return f;
}

struct TRawVideoFormat {
    const char *gstFormat;
    quint32 fourcc; // 0: an RGB subtype below
    const TGuid *rgbSubtype;
    quint16 bits;
};

const TRawVideoFormat kRawVideo[] = {
    {"YUY2", MakeFourCC('Y', 'U', 'Y', '2'), nullptr, 16},
    {"UYVY", MakeFourCC('U', 'Y', 'V', 'Y'), nullptr, 16},
    {"YVYU", MakeFourCC('Y', 'V', 'Y', 'U'), nullptr, 16},
    {"I420", MakeFourCC('I', '4', '2', '0'), nullptr, 12},
    {"YV12", MakeFourCC('Y', 'V', '1', '2'), nullptr, 12},
    {"NV12", MakeFourCC('N', 'V', '1', '2'), nullptr, 12},
    {"Y41B", MakeFourCC('Y', '4', '1', 'B'), nullptr, 12},
    {"Y42B", MakeFourCC('Y', '4', '2', 'B'), nullptr, 16},
    {"Y444", MakeFourCC('Y', '4', '4', '4'), nullptr, 24},
    {"GRAY8", MakeFourCC('Y', '8', '0', '0'), nullptr, 8},
    {"BGR", 0, &MEDIASUBTYPE_RGB24, 24},
    {"RGB", 0, &MEDIASUBTYPE_RGB24, 24},
    {"BGRx", 0, &MEDIASUBTYPE_RGB32, 32},
    {"xRGB", 0, &MEDIASUBTYPE_RGB32, 32},
    {"RGBx", 0, &MEDIASUBTYPE_RGB32, 32},
    {"xBGR", 0, &MEDIASUBTYPE_RGB32, 32},
    {"BGRA", 0, &MEDIASUBTYPE_ARGB32, 32},
    {"ARGB", 0, &MEDIASUBTYPE_ARGB32, 32},
    {"RGB16", 0, &MEDIASUBTYPE_RGB565, 16},
    {"RGB15", 0, &MEDIASUBTYPE_RGB555, 16},
};

TMediaType videoInfoType(const TGuid &subtype, TVideoFormatFields f)
{
    return {MEDIATYPE_Video, subtype, FORMAT_VideoInfo, MakeVideoInfoHeader(f)};
}

TMediaType fourccVideo(quint32 fourcc, TVideoFormatFields f, quint16 bits = 24)
{
    f.compression = fourcc;
    f.bitCount = bits;
    return videoInfoType(FourCCGuid(fourcc), f);
}

TMediaType rawVideo(const GstStructure *s)
{
    TVideoFormatFields f = videoFields(s);
    const char *format = gst_structure_get_string(s, "format");
    for (const TRawVideoFormat &raw : kRawVideo) {
        if (!format || std::strcmp(format, raw.gstFormat) != 0)
            continue;
        f.bitCount = raw.bits;
        f.sizeImage = quint32(qint64(f.width) * f.height * raw.bits / 8);
        if (raw.rgbSubtype)
            return videoInfoType(*raw.rgbSubtype, f);
        f.compression = raw.fourcc;
        return videoInfoType(FourCCGuid(raw.fourcc), f);
    }
    const quint32 code = fourccOf(format);
    f.compression = code;
    return videoInfoType(code ? FourCCGuid(code) : GUID_NULL, f);
}

TMediaType dvVideo(const GstStructure *s)
{
    gboolean system = FALSE;
    gst_structure_get_boolean(s, "systemstream", &system);
    if (system) {
        // Interleaved DV: the DVINFO block carries the AAUX/VAUX source packs,
        // which the demuxer does not hand out; the program reads them from
        // the frames themselves.
        return {MEDIATYPE_Interleaved, MEDIASUBTYPE_dvsd, FORMAT_DvInfo,
                QByteArray(mtlayout::kDvInfo, '\0')};
    }
    TVideoFormatFields f = videoFields(s);
    f.compression = MakeFourCC('d', 'v', 's', 'd');
    f.bitCount = 24;
    f.sizeImage = f.height == 480 ? 120000 : 144000;
    f.extra.clear();
    return videoInfoType(MEDIASUBTYPE_dvsd, f);
}

TMediaType mpegVideo(const GstStructure *s)
{
    gboolean system = FALSE;
    gst_structure_get_boolean(s, "systemstream", &system);
    if (system)
        return {MEDIATYPE_Stream, GUID_NULL, GUID_NULL, {}};
    const int version = intField(s, "mpegversion", 1);
    TVideoFormatFields f = videoFields(s);
    if (version == 4)
        return fourccVideo(MakeFourCC('M', 'P', '4', 'V'), f);
    if (version == 2)
        return {MEDIATYPE_Video, MEDIASUBTYPE_MPEG2_VIDEO, FORMAT_MPEG2Video,
                MakeMpeg2VideoInfo(f)};
    return {MEDIATYPE_Video, MEDIASUBTYPE_MPEG1Payload, FORMAT_MPEGVideo, MakeMpeg1VideoInfo(f)};
}

TMediaType mpeg2InfoVideo(const TGuid &subtype, quint32 fourcc, const GstStructure *s)
{
    TVideoFormatFields f = videoFields(s);
    f.compression = fourcc;
    f.bitCount = 24;
    return {MEDIATYPE_Video, subtype, FORMAT_MPEG2Video, MakeMpeg2VideoInfo(f)};
}

TMediaType h264Video(const GstStructure *s)
{
    const char *format = gst_structure_get_string(s, "stream-format");
    if (format && std::strcmp(format, "avc") == 0)
        return mpeg2InfoVideo(MEDIASUBTYPE_AVC1, MakeFourCC('A', 'V', 'C', '1'), s);
    return mpeg2InfoVideo(MEDIASUBTYPE_H264, MakeFourCC('H', '2', '6', '4'), s);
}

TMediaType wmvVideo(const GstStructure *s)
{
    const char *format = gst_structure_get_string(s, "format");
    quint32 code = fourccOf(format);
    if (!code) {
        const int version = intField(s, "wmvversion", 3);
        code = MakeFourCC('W', 'M', 'V', char('0' + std::clamp(version, 1, 3)));
    }
    return fourccVideo(code, videoFields(s));
}

struct TFourCCVideo {
    const char *name;
    quint32 fourcc;
};
const TFourCCVideo kFourCCVideo[] = {
    {"image/jpeg", MakeFourCC('M', 'J', 'P', 'G')},
    {"video/x-h265", MakeFourCC('H', 'E', 'V', 'C')},
    {"video/x-vp8", MakeFourCC('V', 'P', '8', '0')},
    {"video/x-vp9", MakeFourCC('V', 'P', '9', '0')},
    {"video/x-av1", MakeFourCC('A', 'V', '0', '1')},
    {"video/x-theora", MakeFourCC('T', 'H', 'E', 'O')},
    {"video/x-xvid", MakeFourCC('X', 'V', 'I', 'D')},
    {"video/x-h263", MakeFourCC('H', '2', '6', '3')},
    {"video/x-huffyuv", MakeFourCC('H', 'F', 'Y', 'U')},
    {"video/x-ffv", MakeFourCC('F', 'F', 'V', '1')},
    {"video/x-msmpeg", MakeFourCC('M', 'P', '4', '3')},
    {"video/x-divx", MakeFourCC('D', 'I', 'V', 'X')},
};

TMediaType video(const GstStructure *s)
{
    const char *name = gst_structure_get_name(s);
    if (gst_structure_has_name(s, "video/x-raw"))
        return rawVideo(s);
    if (gst_structure_has_name(s, "video/x-dv"))
        return dvVideo(s);
    if (gst_structure_has_name(s, "video/mpeg"))
        return mpegVideo(s);
    if (gst_structure_has_name(s, "video/x-h264"))
        return h264Video(s);
    if (gst_structure_has_name(s, "video/x-h265"))
        return mpeg2InfoVideo(FourCCGuid(MakeFourCC('H', 'E', 'V', 'C')),
                              MakeFourCC('H', 'E', 'V', 'C'), s);
    if (gst_structure_has_name(s, "video/x-wmv"))
        return wmvVideo(s);
    for (const TFourCCVideo &v : kFourCCVideo)
        if (std::strcmp(name, v.name) == 0)
            return fourccVideo(v.fourcc, videoFields(s));
    return videoInfoType(GUID_NULL, videoFields(s));
}

TMediaType waveType(const TGuid &subtype, const TWaveFormatFields &f)
{
    return {MEDIATYPE_Audio, subtype, FORMAT_WaveFormatEx, MakeWaveFormatEx(f)};
}

TWaveFormatFields audioFields(const GstStructure *s, quint16 tag)
{
    TWaveFormatFields f;
    f.formatTag = tag;
    f.channels = quint16(boundedField(s, "channels", kMaxChannels));
    f.samplesPerSec = quint32(boundedField(s, "rate", kMaxSampleRate));
    f.avgBytesPerSec = quint32(boundedField(s, "bitrate", std::numeric_limits<int>::max()) / 8);
    f.blockAlign = quint16(intField(s, "block_align", 1));
    f.extra = codecData(s);
    return f;
}

TMediaType rawAudio(const GstStructure *s)
{
    TWaveFormatFields f = audioFields(s, 1);
    const char *format = gst_structure_get_string(s, "format");
    int bits = 16;
    bool isFloat = false;
    if (format) {
        const QByteArray fmt(format);
        isFloat = fmt.startsWith('F');
        const QByteArray digits = fmt.mid(1, 2);
        bits = digits.toInt() > 0 ? digits.toInt()
                                  : (fmt.startsWith("U8") || fmt.startsWith("S8") ? 8 : 16);
    }
    f.formatTag = isFloat ? 3 : 1;
    f.bitsPerSample = quint16(bits);
    f.blockAlign = quint16(f.channels * bits / 8);
    f.avgBytesPerSec = f.blockAlign * f.samplesPerSec;
    return waveType(isFloat ? MEDIASUBTYPE_IEEE_FLOAT : MEDIASUBTYPE_PCM, f);
}

TMediaType mpegAudio(const GstStructure *s)
{
    const int version = intField(s, "mpegversion", 1);
    if (version == 2 || version == 4)
        return waveType(MEDIASUBTYPE_AAC, audioFields(s, 0x00FF));
    if (intField(s, "layer", 3) == 3)
        return waveType(MEDIASUBTYPE_MP3, audioFields(s, 0x0055));
    return waveType(MEDIASUBTYPE_MPEG1AudioPayload, audioFields(s, 0x0050));
}

struct TTaggedAudio {
    const char *name;
    quint16 tag;
};
const TTaggedAudio kTaggedAudio[] = {
    {"audio/x-alaw", 6},        {"audio/x-mulaw", 7},     {"audio/x-dts", 0x2001},
    {"audio/x-vorbis", 0x674F}, {"audio/x-flac", 0xF1AC}, {"audio/x-opus", 0x704F},
    {"audio/x-gsm", 0x31},
};

TMediaType audio(const GstStructure *s)
{
    const char *name = gst_structure_get_name(s);
    if (gst_structure_has_name(s, "audio/x-raw"))
        return rawAudio(s);
    if (gst_structure_has_name(s, "audio/mpeg"))
        return mpegAudio(s);
    if (gst_structure_has_name(s, "audio/x-ac3") || gst_structure_has_name(s, "audio/ac3"))
        return waveType(MEDIASUBTYPE_DOLBY_AC3, audioFields(s, 0x2000));
    if (gst_structure_has_name(s, "audio/x-lpcm") ||
        gst_structure_has_name(s, "audio/x-private1-lpcm"))
        return waveType(MEDIASUBTYPE_DVD_LPCM_AUDIO, audioFields(s, 1));
    if (gst_structure_has_name(s, "audio/x-wma")) {
        static const quint16 tags[] = {0x0160, 0x0161, 0x0162, 0x0163};
        const int version = std::clamp(intField(s, "wmaversion", 2), 1, 4);
        const quint16 tag = tags[version - 1];
        return waveType(FourCCGuid(tag), audioFields(s, tag));
    }
    if (gst_structure_has_name(s, "audio/x-adpcm")) {
        const char *layout = gst_structure_get_string(s, "layout");
        const quint16 tag = layout && std::strcmp(layout, "microsoft") == 0 ? 2 : 0x11;
        return waveType(FourCCGuid(tag), audioFields(s, tag));
    }
    for (const TTaggedAudio &a : kTaggedAudio)
        if (std::strcmp(name, a.name) == 0)
            return waveType(FourCCGuid(a.tag), audioFields(s, a.tag));
    return waveType(GUID_NULL, audioFields(s, 0));
}

// Multiplexed files and streams: byte streams to the program. Interleaved DV
// is the one system stream with a type of its own.
bool isContainer(const GstStructure *s)
{
    static const char *const containers[] = {
        "video/quicktime", "video/x-msvideo", "video/x-matroska", "video/webm",
        "video/x-ms-asf",  "video/x-flv",     "video/mpegts",     "application/ogg"};
    for (const char *name : containers)
        if (gst_structure_has_name(s, name))
            return true;
    gboolean system = FALSE;
    return !gst_structure_has_name(s, "video/x-dv") &&
           gst_structure_get_boolean(s, "systemstream", &system) && system;
}

} // namespace

TMediaType MediaTypeFromStructure(const GstStructure *s)
{
    if (!s)
        return {MEDIATYPE_Stream, GUID_NULL, GUID_NULL, {}};
    const char *name = gst_structure_get_name(s);
    if (isContainer(s))
        return {MEDIATYPE_Stream, GUID_NULL, GUID_NULL, {}};
    if (g_str_has_prefix(name, "video/") || g_str_has_prefix(name, "image/"))
        return video(s);
    if (g_str_has_prefix(name, "audio/"))
        return audio(s);
    return {MEDIATYPE_Stream, GUID_NULL, GUID_NULL, {}};
}

TMediaType MediaTypeFromCaps(const GstCaps *caps)
{
    if (!caps || gst_caps_is_any(caps) || gst_caps_is_empty(caps))
        return MediaTypeFromStructure(nullptr);
    return MediaTypeFromStructure(gst_caps_get_structure(caps, 0));
}
