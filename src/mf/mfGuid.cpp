#include "mfGuid.h"

QString GuidToText(const TGuid &guid)
{
    return guid.toString(QUuid::WithBraces).toUpper();
}

TGuid GuidFromText(const QString &text)
{
    const QString t = text.trimmed();
    return QUuid::fromString(t.startsWith(u'{') ? t : u'{' + t + u'}');
}

TGuid FourCCGuid(quint32 code)
{
    return TGuid(code, 0x0000, 0x0010, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71);
}

bool IsFourCCGuid(const TGuid &guid)
{
    return GuidToText(guid).endsWith(QStringLiteral("-0000-0010-8000-00AA00389B71}"));
}

TGuid FactoryClassId(const QString &factoryName)
{
    static const TGuid ns = GuidFromText(QStringLiteral("{6B9E3C52-1F0A-5D47-9C2E-4A6D7B3E8F10}"));
    return QUuid::createUuidV5(ns, factoryName);
}

namespace guids {
namespace {
TGuid g(const char *text)
{
    return GuidFromText(QString::fromLatin1(text));
}
TGuid cc(const char code[5])
{
    return FourCCGuid(MakeFourCC(code[0], code[1], code[2], code[3]));
}
} // namespace

const TGuid GUID_NULL;

const TGuid MEDIATYPE_Video = cc("vids"), MEDIATYPE_Audio = cc("auds"),
            MEDIATYPE_Interleaved = cc("iavs"),
            MEDIATYPE_Stream = g("E436EB83-524F-11CE-9F53-0020AF0BA770");

const TGuid MEDIASUBTYPE_RGB1 = g("E436EB78-524F-11CE-9F53-0020AF0BA770"),
            MEDIASUBTYPE_RGB4 = g("E436EB79-524F-11CE-9F53-0020AF0BA770"),
            MEDIASUBTYPE_RGB8 = g("E436EB7A-524F-11CE-9F53-0020AF0BA770"),
            MEDIASUBTYPE_RGB565 = g("E436EB7B-524F-11CE-9F53-0020AF0BA770"),
            MEDIASUBTYPE_RGB555 = g("E436EB7C-524F-11CE-9F53-0020AF0BA770"),
            MEDIASUBTYPE_RGB24 = g("E436EB7D-524F-11CE-9F53-0020AF0BA770"),
            MEDIASUBTYPE_RGB32 = g("E436EB7E-524F-11CE-9F53-0020AF0BA770"),
            MEDIASUBTYPE_ARGB32 = g("773C9AC0-3274-11D0-B724-00AA006C1A01");
const TGuid MEDIASUBTYPE_dvsd = cc("dvsd"), MEDIASUBTYPE_dvcp = cc("dvcp"),
            MEDIASUBTYPE_H264 = cc("H264"), MEDIASUBTYPE_AVC1 = cc("AVC1"),
            MEDIASUBTYPE_MJPG = cc("MJPG");
const TGuid MEDIASUBTYPE_MPEG2_VIDEO = g("E06D8026-DB46-11CF-B4D1-00804F9B5B7E"),
            MEDIASUBTYPE_MPEG1Payload = g("E436EB81-524F-11CE-9F53-0020AF0BA770"),
            MEDIASUBTYPE_MPEG1Packet = g("E436EB80-524F-11CE-9F53-0020AF0BA770"),
            MEDIASUBTYPE_MPEG1Video = g("E436EB86-524F-11CE-9F53-0020AF0BA770");
const TGuid MEDIASUBTYPE_PCM = FourCCGuid(0x0001), MEDIASUBTYPE_IEEE_FLOAT = FourCCGuid(0x0003),
            MEDIASUBTYPE_MPEG1AudioPayload = FourCCGuid(0x0050),
            MEDIASUBTYPE_MP3 = FourCCGuid(0x0055),
            MEDIASUBTYPE_MPEG2_AUDIO = g("E06D802B-DB46-11CF-B4D1-00804F9B5B7E"),
            MEDIASUBTYPE_DOLBY_AC3 = g("E06D802C-DB46-11CF-B4D1-00804F9B5B7E"),
            MEDIASUBTYPE_DVD_LPCM_AUDIO = g("E06D8032-DB46-11CF-B4D1-00804F9B5B7E"),
            MEDIASUBTYPE_AAC = FourCCGuid(0x00FF);

const TGuid FORMAT_None = g("0F6417D6-C318-11D0-A43F-00A0C9223196"),
            FORMAT_VideoInfo = g("05589F80-C356-11CE-BF01-00AA0055595A"),
            FORMAT_VideoInfo2 = g("F72A76A0-EB0A-11D0-ACE4-0000C0CC16BA"),
            FORMAT_MPEGVideo = g("05589F82-C356-11CE-BF01-00AA0055595A"),
            FORMAT_MPEG2Video = g("E06D80E3-DB46-11CF-B4D1-00804F9B5B7E"),
            FORMAT_WaveFormatEx = g("05589F81-C356-11CE-BF01-00AA0055595A"),
            FORMAT_DvInfo = g("05589F84-C356-11CE-BF01-00AA0055595A");

const TGuid PIN_CATEGORY_CAPTURE = g("FB6C4281-0353-11D1-905F-0000C0CC16BA");

const TGuid CLSID_DVSplitter = g("4EB31670-9FC6-11CF-AF6E-00AA00B67A42"),
            CLSID_MPEG2Demultiplexer = g("AFB6C280-2C41-11D3-8A60-0000F81E0E4A"),
            CLSID_SmartTee = g("CC58E280-8AA1-11D1-B3F1-00AA003761C5");
} // namespace guids
