#pragma once
// What is known about one captured frame, taken when the frame is captured and
// carried with its pixels: the name, the thumbnail's position text and the
// metadata written into the image all come from here, never from a position
// read later.

#include "filters/uDVPack.h"

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QtGlobal>

#include <optional>

struct TDVCodeEntry;

struct TFrameRecord {
    qint64 position = 0;                   // 100 ns, the frame's presentation time
    qint64 frameDuration = 0;              // 100 ns; 0: unknown
    QString sourceFile;                    // path of the video the frame comes from
    QDateTime dvRecorded;                  // DV recording date and time; invalid: none
    std::optional<TDVTimecode> dvTimecode; // hours, minutes, seconds, frames

    // "h:mm:ss:ff", as the navigation shows it.
    QString positionText() const;
    // The frame's number counted from 0: the position divided by the frame
    // duration, to the nearest frame (positions of non-integral rates are
    // rounded in 100 ns); -1 when the frame duration is unknown.
    qint64 frameNumber() const;
    // Takes the DV recording date and time code of a DV code entry.
    void setDVCodes(const TDVCodeEntry &entry);
};
Q_DECLARE_METATYPE(TFrameRecord)
