#pragma once
// Class identifiers and media-type GUIDs of the media layer, kept as 128-bit
// values with the registry text form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".

#include <QString>
#include <QUuid>

using TGuid = QUuid;

// Upper-case registry text form with braces.
QString GuidToText(const TGuid &guid);
// Parses a text form with or without braces; a null GUID when it does not parse.
TGuid GuidFromText(const QString &text);

// A four-character code from its characters, first character in the low byte.
constexpr quint32 MakeFourCC(char a, char b, char c, char d)
{
    return quint32(quint8(a)) | quint32(quint8(b)) << 8 | quint32(quint8(c)) << 16 |
           quint32(quint8(d)) << 24;
}
// The subtype GUID {code-0000-0010-8000-00AA00389B71} of a FourCC or WAVE tag.
TGuid FourCCGuid(quint32 code);
// True when the GUID has the FourCC form above.
bool IsFourCCGuid(const TGuid &guid);

// Stable identifier of an element factory found at run time: a name-based
// UUID (version 5) of the factory name in the program's namespace.
TGuid FactoryClassId(const QString &factoryName);

namespace guids {
extern const TGuid GUID_NULL;

extern const TGuid MEDIATYPE_Video, MEDIATYPE_Audio, MEDIATYPE_Interleaved, MEDIATYPE_Stream;

extern const TGuid MEDIASUBTYPE_RGB1, MEDIASUBTYPE_RGB4, MEDIASUBTYPE_RGB8, MEDIASUBTYPE_RGB565,
    MEDIASUBTYPE_RGB555, MEDIASUBTYPE_RGB24, MEDIASUBTYPE_RGB32, MEDIASUBTYPE_ARGB32;
extern const TGuid MEDIASUBTYPE_dvsd, MEDIASUBTYPE_dvcp, MEDIASUBTYPE_H264, MEDIASUBTYPE_AVC1,
    MEDIASUBTYPE_MJPG;
extern const TGuid MEDIASUBTYPE_MPEG2_VIDEO, MEDIASUBTYPE_MPEG1Payload, MEDIASUBTYPE_MPEG1Packet,
    MEDIASUBTYPE_MPEG1Video;
extern const TGuid MEDIASUBTYPE_PCM, MEDIASUBTYPE_IEEE_FLOAT, MEDIASUBTYPE_MPEG1AudioPayload,
    MEDIASUBTYPE_MP3, MEDIASUBTYPE_MPEG2_AUDIO, MEDIASUBTYPE_DOLBY_AC3, MEDIASUBTYPE_DVD_LPCM_AUDIO,
    MEDIASUBTYPE_AAC;

extern const TGuid FORMAT_None, FORMAT_VideoInfo, FORMAT_VideoInfo2, FORMAT_MPEGVideo,
    FORMAT_MPEG2Video, FORMAT_WaveFormatEx, FORMAT_DvInfo;

extern const TGuid PIN_CATEGORY_CAPTURE;

// System filters the program names by class identifier.
extern const TGuid CLSID_DVSplitter, CLSID_MPEG2Demultiplexer, CLSID_SmartTee;
} // namespace guids
