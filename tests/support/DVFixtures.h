#pragma once
// DV test material: frames built byte by byte for table tests, and real DV
// files written by ffmpeg with a recording date and a time code.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace dvfixtures {

// A well-formed DV frame: every sequence carries the header system byte, the
// VAUX source and control packs and the AAUX source and control packs (48 kHz,
// 16 bits). No time code and no date packs until set.
class DVFrameBuilder
{
public:
    explicit DVFrameBuilder(bool ntsc = false);

    int sequences() const { return m_ntsc ? 10 : 12; }
    // Time code pack bytes (frames, seconds, minutes, hours) in both subcode blocks.
    DVFrameBuilder &timecode(quint8 frames, quint8 seconds, quint8 minutes, quint8 hours,
                             bool secondBlock = true);
    // Date pack (day, month, year) and time pack (seconds, minutes, hours), BCD bytes.
    DVFrameBuilder &recDate(quint8 day, quint8 month, quint8 year, quint8 seconds, quint8 minutes,
                            quint8 hours);
    DVFrameBuilder &displayMode(quint8 mode, quint8 ap3 = 0);
    DVFrameBuilder &audio(quint8 pc4);
    DVFrameBuilder &set(int sequence, qsizetype offset, quint8 value);

    const QByteArray &bytes() const { return m_frame; }
    const quint8 *data() const { return reinterpret_cast<const quint8 *>(m_frame.constData()); }

private:
    quint8 *seq(int n) { return reinterpret_cast<quint8 *>(m_frame.data()) + n * 12'000; }
    bool m_ntsc;
    QByteArray m_frame;
};

struct DVFileOptions {
    bool ntsc = false;
    bool wide = false;
    QString creationTime = QStringLiteral("2004-07-14T10:20:30");
    QString timecode = QStringLiteral("10:00:00:00"); // empty: none
    int frames = 5;
};

// Writes a DV recording with ffmpeg into path; false when ffmpeg failed.
bool makeDVFile(const QString &path, const DVFileOptions &options = {});

} // namespace dvfixtures
