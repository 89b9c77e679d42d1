#include "DVFixtures.h"

#include "TestSupport.h"

#include <cstring>

namespace dvfixtures {

DVFrameBuilder::DVFrameBuilder(bool ntsc) : m_ntsc(ntsc), m_frame(ntsc ? 120'000 : 144'000, '\0')
{
    for (int n = 0; n < sequences(); ++n) {
        quint8 *s = seq(n);
        s[3] = ntsc ? 0x3F : 0xBF;
        const bool even = n % 2 == 0;
        s[even ? 448 : 243] = 0x60;
        s[even ? 453 : 248] = 0x61;
        const int aaux = even ? 4323 : 483;
        s[aaux] = 0x50;
        s[aaux + 1280] = 0x51;
    }
}

DVFrameBuilder &DVFrameBuilder::timecode(quint8 frames, quint8 seconds, quint8 minutes,
                                         quint8 hours, bool secondBlock)
{
    for (int n = 0; n < sequences(); ++n) {
        quint8 *s = seq(n);
        const quint8 pack[5] = {0x13, frames, seconds, minutes, hours};
        std::memcpy(s + 110, pack, 5);
        if (secondBlock)
            std::memcpy(s + 190, pack, 5);
    }
    return *this;
}

DVFrameBuilder &DVFrameBuilder::recDate(quint8 day, quint8 month, quint8 year, quint8 seconds,
                                        quint8 minutes, quint8 hours)
{
    for (int n = 0; n < sequences(); ++n) {
        quint8 *s = seq(n);
        const quint8 date[5] = {0x62, 0xFF, day, month, year};
        const quint8 time[5] = {0x63, 0xFF, seconds, minutes, hours};
        std::memcpy(s + 458, date, 5);
        std::memcpy(s + 463, time, 5);
    }
    return *this;
}

DVFrameBuilder &DVFrameBuilder::displayMode(quint8 mode, quint8 ap3)
{
    for (int n = 0; n < sequences(); ++n) {
        seq(n)[455] = mode;
        seq(n)[7] = ap3;
    }
    return *this;
}

DVFrameBuilder &DVFrameBuilder::audio(quint8 pc4)
{
    for (int n = 0; n < sequences(); ++n)
        seq(n)[(n % 2 == 0 ? 4323 : 483) + 4] = pc4;
    return *this;
}

DVFrameBuilder &DVFrameBuilder::set(int sequence, qsizetype offset, quint8 value)
{
    seq(sequence)[offset] = value;
    return *this;
}

bool makeDVFile(const QString &path, const DVFileOptions &o)
{
    const QString size = o.ntsc ? QStringLiteral("720x480") : QStringLiteral("720x576");
    const QString rate = o.ntsc ? QStringLiteral("30000/1001") : QStringLiteral("25");
    // ffmpeg's DV muxer wants whole frames of audio: cut by duration.
    const double duration = o.frames * (o.ntsc ? 1001.0 / 30000.0 : 1.0 / 25.0);
    QStringList args{"-v", "error", "-y", "-f", "lavfi", "-i"};
    args << QStringLiteral("testsrc=size=%1:rate=%2").arg(size, rate);
    args << "-f"
         << "lavfi"
         << "-i"
         << "sine=sample_rate=48000";
    args << "-t" << QString::number(duration, 'f', 6);
    args << "-target" << (o.ntsc ? "ntsc-dv" : "pal-dv") << "-aspect" << (o.wide ? "16:9" : "4:3");
    if (!o.creationTime.isEmpty())
        args << "-metadata" << QStringLiteral("creation_time=%1").arg(o.creationTime);
    if (!o.timecode.isEmpty())
        args << "-timecode" << o.timecode;
    args << path;
    QString output;
    return testsupport::runProgram("ffmpeg", args, &output) == 0;
}

} // namespace dvfixtures
