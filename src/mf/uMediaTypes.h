#pragma once
// Texts that describe a media type: the video format record and its texts,
// four-character codes, and the names of WAVE format tags. Pure functions,
// safe on any thread.

#include "mfMediaType.h"

#include <QMetaType>
#include <QString>

// Video format record, copied whole into messages.
struct TVideoData {
    bool valid = false;
    qint32 width = 0;
    qint32 height = 0; // negative for a top-down picture
    qint32 bitCount = 0;
    qint64 avgTimePerFrame = 0; // 100-ns units
    QString description;
    qint32 pictAspectX = 0;
    qint32 pictAspectY = 0;
    qint32 bitRate = 0;
    double framesPerSecond = 0;
    QString resolutionText;
    quint8 aspectCode = 2; // 0 = 4:3, 1 = 16:9, 2 = none usable, 3 = another ratio
    QString formatText;

    friend bool operator==(const TVideoData &, const TVideoData &) = default;
};
Q_DECLARE_METATYPE(TVideoData)

namespace aspectcode {
inline constexpr quint8 k4x3 = 0, k16x9 = 1, kNone = 2, kOther = 3;
}

// Fills the record from the media type; valid stays False (and nothing else
// changes) when no format rule applies.
void DescribeVideoType(const TMediaType &type, TVideoData &data);
// Aspect code, reduced ratio, format text, frames per second and resolution
// text from the fields already in the record.
void FinishVideoData(TVideoData &data);
// The description text of a media type.
QString VideoTypeDescription(const TMediaType &type);

// The code's four bytes from the least significant up, bytes below 32 as spaces.
QString FourCCText(quint32 code);
// "RGB" when any byte is below 32, else the four characters.
QString FourCCOrRGB(quint32 code);
// The name of a registered WAVE format tag; empty for any other tag.
QString WaveTagName(quint16 tag);
