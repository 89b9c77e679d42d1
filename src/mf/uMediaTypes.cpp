#include "uMediaTypes.h"

#include <cmath>
#include <utility>

using namespace guids;

namespace {

// The bitmap header fields and rates read from one of the video layouts.
void readVideoFields(const QByteArray &block, int bitmapOffset, bool withAspect, TVideoData &d)
{
    d.bitRate = qint32(ReadLE32(block, 32));
    d.avgTimePerFrame = ReadLE64(block, 40);
    d.width = qint32(ReadLE32(block, bitmapOffset + 4));
    d.height = qint32(ReadLE32(block, bitmapOffset + 8));
    d.bitCount = ReadLE16(block, bitmapOffset + 14);
    d.pictAspectX = withAspect ? qint32(ReadLE32(block, mtlayout::kAspectXInVih2)) : 0;
    d.pictAspectY = withAspect ? qint32(ReadLE32(block, mtlayout::kAspectYInVih2)) : 0;
}

quint32 subtypeCode(const TGuid &subtype)
{
    return subtype.data1;
}

QString roundedFps(double fps)
{
    QString text = QString::number(std::round(fps * 100.0) / 100.0, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

} // namespace

QString FourCCText(quint32 code)
{
    QString text;
    for (int i = 0; i < 4; ++i) {
        const quint8 byte = quint8(code >> (8 * i));
        text += byte < 32 ? QChar(u' ') : QChar::fromLatin1(char(byte));
    }
    return text;
}

QString FourCCOrRGB(quint32 code)
{
    for (int i = 0; i < 4; ++i)
        if (quint8(code >> (8 * i)) < 32)
            return QStringLiteral("RGB");
    return FourCCText(code);
}

QString VideoTypeDescription(const TMediaType &type)
{
    if (IsFourCCGuid(type.subtype)) {
        const QString text = FourCCText(subtypeCode(type.subtype));
        const QString lower = text.toLower();
        if (lower == u"dvcp")
            return QStringLiteral("DV Type 1");
        if (lower == u"dvsd")
            return QStringLiteral("DV Type 2");
        return text;
    }
    static const std::pair<const TGuid *, const char *> rgb[] = {
        {&MEDIASUBTYPE_RGB24, "RGB24"},  {&MEDIASUBTYPE_RGB32, "RGB32"},
        {&MEDIASUBTYPE_RGB1, "RGB1"},    {&MEDIASUBTYPE_RGB4, "RGB4"},
        {&MEDIASUBTYPE_RGB8, "RGB8"},    {&MEDIASUBTYPE_RGB565, "RGB565"},
        {&MEDIASUBTYPE_RGB555, "RGB555"}};
    for (const auto &[guid, name] : rgb)
        if (type.subtype == *guid)
            return QString::fromLatin1(name);
    if (type.formattype == FORMAT_VideoInfo)
        return FourCCText(ReadLE32(type.format, mtlayout::kBitmapInVih + 16));
    if (type.formattype == FORMAT_VideoInfo2)
        return FourCCText(ReadLE32(type.format, mtlayout::kBitmapInVih2 + 16));
    if (type.formattype == FORMAT_MPEGVideo)
        return QStringLiteral("MPEG1");
    return QStringLiteral("MPEG2");
}

void FinishVideoData(TVideoData &d)
{
    qint64 x = d.pictAspectX, y = d.pictAspectY;
    if (x > 0 || y > 0) {
        if (x * 3 == y * 4)
            d.aspectCode = aspectcode::k4x3;
        else if (x * 9 == y * 16)
            d.aspectCode = aspectcode::k16x9;
        else
            d.aspectCode = aspectcode::kOther;
    } else {
        d.aspectCode = aspectcode::kNone;
    }
    if (d.aspectCode == aspectcode::kOther) {
        // std::nearbyint rounds halves to even in the default rounding mode.
        while (x > 99 && y > 99) {
            x = qint64(std::nearbyint(double(x) / 10.0));
            y = qint64(std::nearbyint(double(y) / 10.0));
        }
    }
    switch (d.aspectCode) {
    case aspectcode::k4x3:
        d.formatText = d.description + QStringLiteral(" (4x3)");
        break;
    case aspectcode::k16x9:
        d.formatText = d.description + QStringLiteral(" (16x9)");
        break;
    case aspectcode::kOther:
        d.formatText = d.description + QStringLiteral(" (%1x%2)").arg(x).arg(y);
        break;
    default:
        d.formatText = d.description;
    }
    d.framesPerSecond = d.avgTimePerFrame > 0 ? 10000000.0 / double(d.avgTimePerFrame) : 0.0;
    d.resolutionText = QStringLiteral("%1x%2").arg(d.width).arg(d.height);
    if (d.framesPerSecond > 0)
        d.resolutionText +=
            QStringLiteral(" - ") + roundedFps(d.framesPerSecond) + QStringLiteral(" fps");
}

void DescribeVideoType(const TMediaType &type, TVideoData &d)
{
    const qsizetype size = type.format.size();
    const QString code =
        IsFourCCGuid(type.subtype) ? FourCCText(subtypeCode(type.subtype)) : QString();
    const bool vi = type.formattype == FORMAT_VideoInfo && size >= mtlayout::kVideoInfoHeader;
    const bool vi2 = type.formattype == FORMAT_VideoInfo2 && size >= mtlayout::kVideoInfoHeader2;
    if (vi && code == u"dvsd")
        readVideoFields(type.format, mtlayout::kBitmapInVih, false, d);
    else if (vi2 && (code.toLower() == u"dvcp" || code.toLower() == u"dvsd")) {
        readVideoFields(type.format, mtlayout::kBitmapInVih2, false, d);
    } else if (type.formattype == FORMAT_MPEG2Video && size >= mtlayout::kMpeg2VideoInfo)
        readVideoFields(type.format, mtlayout::kBitmapInVih2, true, d);
    else if (vi)
        readVideoFields(type.format, mtlayout::kBitmapInVih, false, d);
    else if (vi2)
        readVideoFields(type.format, mtlayout::kBitmapInVih2, true, d);
    else if (type.formattype == FORMAT_MPEGVideo && size >= mtlayout::kMpeg1VideoInfo)
        readVideoFields(type.format, mtlayout::kBitmapInVih, false, d);
    else {
        d.valid = false;
        return;
    }
    d.valid = true;
    d.description = VideoTypeDescription(type);
    FinishVideoData(d);
}

QString WaveTagName(quint16 tag)
{
    switch (tag) {
#define T(n, s)                                                                                    \
    case n:                                                                                        \
        return QStringLiteral(s);
        T(1, "PCM")
        T(2, "ADPCM")
        T(3, "IEEE_FLOAT")
        T(4, "VSELP")
        T(5, "IBM_CVSD")
        T(6, "ALAW")
        T(7, "MULAW")
        T(8, "DTS")
        T(9, "DRM") T(16, "OKI_ADPCM") T(17, "DVI_ADPCM") T(18, "MEDIASPACE_ADPCM")
            T(19, "SIERRA_ADPCM")
                T(20, "G723_ADPCM")
                    T(21, "DIGISTD")
                        T(22, "DIGIFIX") T(23, "DIALOGIC_OKI_ADPCM") T(24, "MEDIAVISION_ADPCM") T(25, "HP_CU") T(32, "YAMAHA_ADPCM") T(33, "SONARC") T(34, "DSPGROUP_TRUESPEECH") T(35, "ECHOSC1") T(36, "AUDIOFILE_AF36") T(37, "APTX") T(38, "AUDIOFILE_AF10") T(39, "PROSODY_"
                                                                                                                                                                                                                                                                       "1612") T(40, "L"
                                                                                                                                                                                                                                                                                     "R"
                                                                                                                                                                                                                                                                                     "C") T(48, "DOLBY"
                                                                                                                                                                                                                                                                                                "_AC2") T(49, "GSM610") T(50, "MSNAUDIO") T(51, "ANTEX_ADPCME") T(52,
                                                                                                                                                                                                                                                                                                                                                                  "CONTROL_RES_VQLPC") T(53,
                                                                                                                                                                                                                                                                                                                                                                                         "DIGIREAL") T(54,
                                                                                                                                                                                                                                                                                                                                                                                                       "DIGIADPCM") T(55,
                                                                                                                                                                                                                                                                                                                                                                                                                      "CONTROL_RES_CR10") T(56, "NMS_VBXADPCM") T(57, "CS_IMAADPCM") T(58, "EC"
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                           "HO"
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                           "SC"
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                           "3") T(59, "ROCKWELL_ADPCM") T(60, "ROCKWELL_DIGITALK") T(61, "XEBEC") T(64, "G721_ADPCM") T(65, "G728_CELP") T(66, "MSG723") T(80, "MPEG Audio") T(82, "RT24") T(83, "PAC") T(85, "MP3") T(89, "LUCENT G.723") T(96, "CIRRUS") T(97, "ESPCM") T(98, "VOXWARE") T(99, "CANOPUS_ATRAC") T(100,
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                    "G726_ADPCM") T(101,
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                    "G722_ADPCM") T(102,
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                    "DSAT") T(103, "DSAT_DISPLAY") T(105, "VOXWARE_BYTE_ALIGNED") T(112,
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                    "VOXWARE_AC8") T(113, "VOXWARE_"
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                          "AC10") T(114,
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                    "VOXWARE_AC16") T(115,
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                      "VOXWARE_AC20") T(116,
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                        "VOXWARE_"
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                        "RT24") T(117, "VOXWARE_RT29") T(118, "VOXWARE_RT29HW") T(119, "VOXWARE_"
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                       "VR12") T(120, "VOXWARE_VR18") T(121, "VOXWARE_TQ40") T(128, "SOFTS"
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                    "OUND") T(129,
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                              "VOXWARE_TQ60") T(130,
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                "MSRT24") T(131, "G729A") T(132,
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                            "MVI_MV12") T(133,
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                          "DF_G726") T(134,
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                       "DF_GSM610") T(136,
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                      "ISIAUDIO ") T(137,
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                     "ONLIVE") T(145, "SBC24") T(146, "DOLBY_AC3_"
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                      "SPDIF") T(151, "ZYXEL_ADPCM") T(152,
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                       "PHILIPS_LPCBB") T(153,
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                          "PACKED") T(255,
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                      "AAC") T(256, "RHETOREX_ADPCM") T(257, "IRAT") T(273, "VIVO_G723") T(274, "VIVO_SIREN") T(291, "DIGITAL_G723") T(293, "SANYO_LD_ADPCM") T(304, "SIPROLAB_"
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                     "ACEPLNET") T(305, "SIPROLAB_ACELP4800") T(306,
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                "SIPROL"
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                "AB_"
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                "ACELP8"
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                "V3") T(307,
                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                        "SIPROLAB_G729")
                            T(308, "SIPROLAB_"
                                   "G729A") T(309, "SIPROLAB_KELVIN")
                                T(320, "G726A"
                                       "DPCM")
                                    T(336, "QUALCOMM_PUREVOICE") T(337, "QUALCOMM_HALFRATE") T(
                                        341, "TUBGS"
                                             "M")
                                        T(352, "MSAUDIO1") T(353, "WMA") T(354, "WMA_Pro") T(355, "WMA_Lossless") T(368, "UNISYS_NAP_ADPCM") T(
                                            369, "UNI"
                                                 "SYS"
                                                 "_NA"
                                                 "P_"
                                                 "ULA"
                                                 "W") T(370, "UNISYS_NAP_ALAW")
                                            T(371,
                                              "U"
                                              "N"
                                              "I"
                                              "S"
                                              "Y"
                                              "S"
                                              "_"
                                              "N"
                                              "A"
                                              "P"
                                              "_"
                                              "1"
                                              "6"
                                              "K") T(512,
                                                     "CREAT"
                                                     "IVE_"
                                                     "ADPC"
                                                     "M")
                                                T(514,
                                                  "C"
                                                  "R"
                                                  "E"
                                                  "A"
                                                  "T"
                                                  "I"
                                                  "V"
                                                  "E"
                                                  "_"
                                                  "F"
                                                  "A"
                                                  "S"
                                                  "T"
                                                  "S"
                                                  "P"
                                                  "E"
                                                  "E"
                                                  "C"
                                                  "H"
                                                  "8") T(515,
                                                         "CREATIVE_"
                                                         "FASTSPEECH10")
                                                    T(544, "QUARTER"
                                                           "DECK")
                                                        T(768,
                                                          "FM_TOWNS_"
                                                          "SND") T(1024,
                                                                   "B"
                                                                   "T"
                                                                   "V"
                                                                   "_"
                                                                   "D"
                                                                   "I"
                                                                   "G"
                                                                   "I"
                                                                   "T"
                                                                   "A"
                                                                   "L")
                                                            T(1664,
                                                              "VME_"
                                                              "VMPC"
                                                              "M") T(4096,
                                                                     "OL"
                                                                     "IG"
                                                                     "S"
                                                                     "M")
                                                                T(4097,
                                                                  "O"
                                                                  "L"
                                                                  "I"
                                                                  "A"
                                                                  "D"
                                                                  "P"
                                                                  "C"
                                                                  "M") T(4098,
                                                                         "OLICE"
                                                                         "LP") T(4099,
                                                                                 "OLISB"
                                                                                 "C")
                                                                    T(4100,
                                                                      "OL"
                                                                      "IO"
                                                                      "P"
                                                                      "R") T(4352,
                                                                             "LH_"
                                                                             "CODE"
                                                                             "C")
                                                                        T(4353,
                                                                          "L"
                                                                          "H"
                                                                          "_"
                                                                          "S"
                                                                          "E"
                                                                          "L"
                                                                          "P") T(4354,
                                                                                 "L"
                                                                                 "H"
                                                                                 "_"
                                                                                 "S"
                                                                                 "B"
                                                                                 "C")
                                                                            T(4355, "LH_SBC") T(
                                                                                4356,
                                                                                "LH_"
                                                                                "SBC") T(5120,
                                                                                         "NORRIS") T(5121,
                                                                                                     "IS"
                                                                                                     "IA"
                                                                                                     "UD"
                                                                                                     "I"
                                                                                                     "O")
                                                                                T(5376,
                                                                                  "SOUNDSPACE"
                                                                                  "_MUSICOMPR"
                                                                                  "ESS") T(6172,
                                                                                           "V"
                                                                                           "O"
                                                                                           "X"
                                                                                           "W"
                                                                                           "A"
                                                                                           "R"
                                                                                           "E"
                                                                                           "_"
                                                                                           "R"
                                                                                           "T"
                                                                                           "2"
                                                                                           "4"
                                                                                           "_"
                                                                                           "S"
                                                                                           "p"
                                                                                           "e"
                                                                                           "e"
                                                                                           "c"
                                                                                           "h")
                                                                                    T(8132,
                                                                                      "NCTSOF"
                                                                                      "T_"
                                                                                      "ALF2C"
                                                                                      "D") T(8192,
                                                                                             "AC"
                                                                                             "3")
                                                                                        T(8193,
                                                                                          "DT"
                                                                                          "S") T(8194,
                                                                                                 "1"
                                                                                                 "4"
                                                                                                 "_"
                                                                                                 "4")
                                                                                            T(8195,
                                                                                              "28"
                                                                                              "_"
                                                                                              "8") T(8196,
                                                                                                     "COO"
                                                                                                     "K") T(8197, "DNET")
                                                                                                T(26447,
                                                                                                  "OGG_VORBIS1") T(26448, "OGG_VORBIS2")
                                                                                                    T(26449,
                                                                                                      "OG"
                                                                                                      "G_"
                                                                                                      "VO"
                                                                                                      "RB"
                                                                                                      "IS"
                                                                                                      "3") T(26479,
                                                                                                             "OGG_VORBIS1+")
                                                                                                        T(26480, "OGG_VORBIS2+") T(
                                                                                                            26481,
                                                                                                            "OGG_VORBIS3+")
                                                                                                            T(31265,
                                                                                                              "GSM_AMR")
                                                                                                                T(31266,
                                                                                                                  "GSM_AMR")
#undef T
                                                                                                                    default
            : return {};
    }
}
