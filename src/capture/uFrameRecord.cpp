#include "uFrameRecord.h"

#include "filters/uDVDate.h"
#include "filters/uNotifier.h"
#include "mf/uPositionText.h"

#include <QStringList>

namespace {

// The code entry's time code text "h:mm:ss:ff".
std::optional<TDVTimecode> parseTimecode(const QString &text)
{
    const QStringList fields = text.split(QLatin1Char(':'));
    if (fields.size() != 4)
        return std::nullopt;
    TDVTimecode code{};
    for (int n = 0; n < 4; ++n) {
        bool ok = false;
        const uint value = fields[n].toUInt(&ok);
        if (!ok || value > 99)
            return std::nullopt;
        code[n] = static_cast<quint8>(value);
    }
    return code;
}

} // namespace

QString TFrameRecord::positionText() const
{
    return PositionToText(frameDuration, position);
}

qint64 TFrameRecord::frameNumber() const
{
    if (frameDuration <= 0)
        return -1;
    return (position + frameDuration / 2) / frameDuration;
}

void TFrameRecord::setDVCodes(const TDVCodeEntry &entry)
{
    dvRecorded = entry.dateValid ? NumberToDateTime(entry.recDateTime) : QDateTime();
    dvTimecode = entry.timecodeValid ? parseTimecode(entry.timecodeText) : std::nullopt;
}
