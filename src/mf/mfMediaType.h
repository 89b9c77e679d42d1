#pragma once
// TMediaType: a stream's major type, subtype, format type and format block,
// built from GStreamer caps by one adapter. The format blocks are written
// little-endian byte for byte in the layouts the program's rules read
// (VIDEOINFOHEADER, VIDEOINFOHEADER2, MPEG2VIDEOINFO, MPEG1VIDEOINFO,
// WAVEFORMATEX, DVINFO), so every rule on block sizes and fields holds.

#include "mfGuid.h"

#include <QByteArray>
#include <QMetaType>

#include <gst/gst.h>

struct TMediaType {
    TGuid majortype, subtype, formattype;
    QByteArray format; // the format block

    bool isNull() const { return majortype.isNull() && subtype.isNull() && formattype.isNull(); }
    friend bool operator==(const TMediaType &, const TMediaType &) = default;
};
Q_DECLARE_METATYPE(TMediaType)

// Sizes of the fixed parts of the format blocks.
namespace mtlayout {
inline constexpr int kBitmapInfoHeader = 40;
inline constexpr int kVideoInfoHeader = 88;   // rects, rates, then the bitmap header at 48
inline constexpr int kVideoInfoHeader2 = 112; // adds flags and picture aspect, bitmap at 72
inline constexpr int kMpeg1VideoInfo = 104;   // VIDEOINFOHEADER, time code, sequence header
inline constexpr int kMpeg2VideoInfo = 136;   // VIDEOINFOHEADER2, time code, profile...
inline constexpr int kWaveFormatEx = 18;
inline constexpr int kDvInfo = 32;
inline constexpr int kBitmapInVih = 48, kBitmapInVih2 = 72;
inline constexpr int kAspectXInVih2 = 56, kAspectYInVih2 = 60;
} // namespace mtlayout

// Little-endian field access into a format block; reads past the end give 0.
quint32 ReadLE32(const QByteArray &block, int offset);
quint16 ReadLE16(const QByteArray &block, int offset);
qint64 ReadLE64(const QByteArray &block, int offset);

// The fields the video layouts share, used to write a block.
struct TVideoFormatFields {
    qint32 width = 0, height = 0;
    quint16 bitCount = 0;
    quint32 compression = 0; // biCompression: a FourCC, 0 for RGB
    quint32 sizeImage = 0;
    quint32 bitRate = 0;
    qint64 avgTimePerFrame = 0;       // 100-ns units
    quint32 aspectX = 0, aspectY = 0; // picture aspect (VIDEOINFOHEADER2 only)
    QByteArray extra;                 // codec data appended (sequence header)
};
QByteArray MakeVideoInfoHeader(const TVideoFormatFields &f);
QByteArray MakeVideoInfoHeader2(const TVideoFormatFields &f);
QByteArray MakeMpeg1VideoInfo(const TVideoFormatFields &f);
QByteArray MakeMpeg2VideoInfo(const TVideoFormatFields &f);

struct TWaveFormatFields {
    quint16 formatTag = 0, channels = 0;
    quint32 samplesPerSec = 0, avgBytesPerSec = 0;
    quint16 blockAlign = 0, bitsPerSample = 0;
    QByteArray extra;
};
QByteArray MakeWaveFormatEx(const TWaveFormatFields &f);

// The caps adapter. Caps that are not a known elementary stream (containers,
// byte streams, empty or ANY caps) give MEDIATYPE_Stream.
TMediaType MediaTypeFromCaps(const GstCaps *caps);
TMediaType MediaTypeFromStructure(const GstStructure *s);
