#include "DVFixtures.h"
#include "filters/uDVPack.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

using dvfixtures::DVFrameBuilder;

namespace {

TDVFrame frameOf(const DVFrameBuilder &b)
{
    return {b.data(), size_t(b.bytes().size())};
}

struct TimecodeCase {
    quint8 frames, seconds, minutes, hours;
    TDVTimecode expected;
};

void PrintTo(const TimecodeCase &c, std::ostream *os)
{
    *os << std::hex << "pack " << int(c.frames) << " " << int(c.seconds) << " " << int(c.minutes)
        << " " << int(c.hours);
}

class DVTimecodeTable : public ::testing::TestWithParam<TimecodeCase>
{
};

TEST_P(DVTimecodeTable, DecodesBCD)
{
    const TimecodeCase &c = GetParam();
    DVFrameBuilder b;
    b.timecode(c.frames, c.seconds, c.minutes, c.hours);
    EXPECT_EQ(DVTimecode(frameOf(b), 0), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, DVTimecodeTable,
                         ::testing::Values(TimecodeCase{0x25, 0x59, 0x59, 0x23, {23, 59, 59, 25}},
                                           // bits above the tens are flags, not digits
                                           TimecodeCase{0xA5, 0xD9, 0x80, 0xD0, {10, 0, 59, 25}},
                                           TimecodeCase{0x00, 0x00, 0x00, 0x00, {0, 0, 0, 0}}));

TEST(DVTimecode, NeedsThePackInBothSubcodeBlocks)
{
    DVFrameBuilder b;
    b.timecode(0x01, 0x02, 0x03, 0x04, /*secondBlock=*/false);
    EXPECT_FALSE(DVTimecodePresent(DVTimecode(frameOf(b), 0)));
    EXPECT_FALSE(DVTimecodePresent(DVTimecode(frameOf(DVFrameBuilder()), 0)));
}

struct DateCase {
    quint8 day, month, year;
    int expectedYear, expectedMonth, expectedDay;
};

void PrintTo(const DateCase &c, std::ostream *os)
{
    *os << std::hex << "day " << int(c.day) << " month " << int(c.month) << " year " << int(c.year);
}

class DVRecDateTable : public ::testing::TestWithParam<DateCase>
{
};

TEST_P(DVRecDateTable, DecodesDate)
{
    const DateCase &c = GetParam();
    DVFrameBuilder b;
    b.recDate(c.day, c.month, c.year, 0x45, 0x32, 0x21);
    const TDVDateTime d = DVRecDateTime(frameOf(b), 0);
    EXPECT_EQ(d.year, c.expectedYear);
    EXPECT_EQ(d.month, c.expectedMonth);
    EXPECT_EQ(d.day, c.expectedDay);
    EXPECT_EQ(d.hours, 21);
    EXPECT_EQ(d.minutes, 32);
    EXPECT_EQ(d.seconds, 45);
}

INSTANTIATE_TEST_SUITE_P(Cases, DVRecDateTable,
                         ::testing::Values(DateCase{0x14, 0x07, 0x39, 2039, 7, 14},
                                           DateCase{0x14, 0x07, 0x40, 1940, 7, 14},
                                           DateCase{0x14, 0x07, 0x99, 1999, 7, 14},
                                           DateCase{0x31, 0x12, 0x05, 2005, 12, 31},
                                           // no range check here: the caller rejects month 19
                                           DateCase{0xF1, 0x19, 0x05, 2005, 19, 31}));

TEST(DVRecDateTime, AbsentOrForeignPacks)
{
    // zero headers are usable: year 2000, month 0, day 0 (the caller rejects it)
    const TDVDateTime empty = DVRecDateTime(frameOf(DVFrameBuilder()), 0);
    EXPECT_EQ(empty.year, 2000);
    EXPECT_EQ(empty.month, 0);
    EXPECT_EQ(empty.day, 0);

    DVFrameBuilder foreign;
    foreign.set(0, 458, 0x70);
    EXPECT_EQ(DVRecDateTime(frameOf(foreign), 0).year, -1);
    DVFrameBuilder foreignTime;
    foreignTime.set(0, 463, 0x70);
    EXPECT_EQ(DVRecDateTime(frameOf(foreignTime), 0).year, -1);
}

struct DisplayCase {
    quint8 mode, ap3;
    bool wide;
};

void PrintTo(const DisplayCase &c, std::ostream *os)
{
    *os << "mode " << int(c.mode) << " ap3 " << int(c.ap3);
}

class DVIsWideTable : public ::testing::TestWithParam<DisplayCase>
{
};

TEST_P(DVIsWideTable, ReadsDisplayMode)
{
    const DisplayCase &c = GetParam();
    DVFrameBuilder b;
    b.displayMode(c.mode, c.ap3);
    EXPECT_EQ(DVIsWide(frameOf(b)), c.wide);
}

INSTANTIATE_TEST_SUITE_P(Cases, DVIsWideTable,
                         ::testing::Values(DisplayCase{0, 0, false}, DisplayCase{2, 0, true},
                                           DisplayCase{0xCA, 1, true}, DisplayCase{7, 0, true},
                                           DisplayCase{7, 1, false}, DisplayCase{1, 0, false}));

TEST(DVIsWide, UsesFirstSequenceWithControlPack)
{
    DVFrameBuilder b;
    b.displayMode(2);
    b.set(0, 453, 0).set(1, 453, 0x61).set(1, 455, 0); // sequence 1 says 4:3 first
    EXPECT_FALSE(DVIsWide(frameOf(b)));
}

TEST(DVSystem, CountsHeaderBytes)
{
    EXPECT_EQ(DVSystem(frameOf(DVFrameBuilder(false))), dvSystem625);
    EXPECT_EQ(DVSystem(frameOf(DVFrameBuilder(true))), dvSystem525);
    DVFrameBuilder mixed;
    for (int n = 0; n < 5; ++n)
        mixed.set(n, 3, 0x3F);
    EXPECT_EQ(DVSystem(frameOf(mixed)), dvSystemUndecided);
    mixed.set(5, 3, 0x3F); // six against four
    EXPECT_EQ(DVSystem(frameOf(mixed)), dvSystem525);
    // sequences 10 and 11 are not counted
    DVFrameBuilder late;
    for (int n = 0; n < 10; ++n)
        late.set(n, 3, 0);
    late.set(10, 3, 0x3F).set(11, 3, 0x3F);
    EXPECT_EQ(DVSystem(frameOf(late)), dvSystemUndecided);
}

struct AudioCase {
    quint8 pc4;
    int rate, bits;
};

void PrintTo(const AudioCase &c, std::ostream *os)
{
    *os << "pc4 " << int(c.pc4);
}

class DVAudioTable : public ::testing::TestWithParam<AudioCase>
{
};

TEST_P(DVAudioTable, DecodesSourcePack)
{
    const AudioCase &c = GetParam();
    DVFrameBuilder b;
    b.audio(c.pc4);
    EXPECT_EQ(DVAudioRate(frameOf(b)), c.rate);
    EXPECT_EQ(DVAudioBits(frameOf(b)), c.bits);
}

INSTANTIATE_TEST_SUITE_P(Cases, DVAudioTable,
                         ::testing::Values(AudioCase{0x00, 48'000, 16}, AudioCase{0x08, 44'100, 16},
                                           AudioCase{0x11, 32'000, 12}, AudioCase{0xDA, 0, 0}));

TEST(DVAudio, NoSourcePackAtEvenPosition)
{
    DVFrameBuilder b;
    for (int n = 0; n < 12; n += 2)
        b.set(n, 4323, 0);
    EXPECT_EQ(DVAudioRate(frameOf(b)), -1);
    EXPECT_EQ(DVAudioBits(frameOf(b)), -1);
}

struct StructureCase {
    const char *name;
    int sequence;
    qsizetype offset;
    quint8 value;
};

void PrintTo(const StructureCase &c, std::ostream *os)
{
    *os << c.name;
}

class DVSequenceDefect : public ::testing::TestWithParam<StructureCase>
{
};

TEST_P(DVSequenceDefect, FailsSequenceAndFrame)
{
    const StructureCase &c = GetParam();
    DVFrameBuilder b;
    ASSERT_TRUE(DVFrameValid(frameOf(b), false));
    b.set(c.sequence, c.offset, c.value);
    EXPECT_FALSE(DVSequenceValid(frameOf(b), false, c.sequence));
    EXPECT_FALSE(DVFrameValid(frameOf(b), false));
}

INSTANTIATE_TEST_SUITE_P(Cases, DVSequenceDefect,
                         ::testing::Values(StructureCase{"system", 0, 3, 0x3F},
                                           StructureCase{"flag", 11, 5, 0x80},
                                           StructureCase{"vauxEven", 2, 448, 0},
                                           StructureCase{"vauxOdd", 1, 248, 0},
                                           StructureCase{"aauxOdd", 3, 483, 0x51},
                                           StructureCase{"aauxRate", 4, 4327, 0x18},
                                           StructureCase{"aauxControl", 5, 1763, 0},
                                           StructureCase{"aauxControlEven", 6, 5603, 0}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(DVFrameValid, SystemAndLength)
{
    DVFrameBuilder ntsc(true);
    EXPECT_TRUE(DVFrameValid(frameOf(ntsc), true));
    EXPECT_FALSE(DVFrameValid(frameOf(ntsc), false));
    // a 625 frame cut to ten sequences lacks sequences 10 and 11
    DVFrameBuilder pal;
    EXPECT_FALSE(DVFrameValid(TDVFrame(pal.data(), 120'000), false));
}

TEST(DVPack, ShortBufferReadsNothingPastItsEnd)
{
    DVFrameBuilder b;
    b.timecode(1, 2, 3, 4).recDate(0x14, 0x07, 0x04, 0, 0, 0);
    const TDVFrame cut(b.data(), 11'999);
    EXPECT_FALSE(DVTimecodePresent(DVTimecode(cut, 0)));
    EXPECT_EQ(DVRecDateTime(cut, 0).year, -1);
    EXPECT_EQ(DVSystem(cut), dvSystemUndecided);
    EXPECT_FALSE(DVIsWide(cut));
    EXPECT_EQ(DVAudioRate(cut), -1);
    EXPECT_FALSE(DVSequenceValid(cut, false, 0));
    EXPECT_FALSE(DVSequenceValid(frameOf(b), false, 12));
}

// Real DV from ffmpeg carries the packs where the table says.
TEST(DVPackOnFFmpegDV, ReadsRecordingDateTimecodeAndFormat)
{
    QTemporaryDir dir;
    struct Case {
        bool ntsc, wide;
    };
    for (const Case c : {Case{false, true}, Case{true, false}}) {
        dvfixtures::DVFileOptions options;
        options.ntsc = c.ntsc;
        options.wide = c.wide;
        options.frames = 3;
        const QString path = dir.filePath(c.ntsc ? "ntsc.dv" : "pal.dv");
        ASSERT_TRUE(dvfixtures::makeDVFile(path, options));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray all = file.readAll();
        const qsizetype frameSize = c.ntsc ? kDVFrameSize525 : kDVFrameSize625;
        ASSERT_EQ(all.size(), 3 * frameSize);
        for (int k = 0; k < 3; ++k) {
            const TDVFrame frame(reinterpret_cast<const quint8 *>(all.constData()) + k * frameSize,
                                 size_t(frameSize));
            EXPECT_TRUE(DVFrameValid(frame, c.ntsc));
            EXPECT_EQ(DVSystem(frame), c.ntsc ? dvSystem525 : dvSystem625);
            EXPECT_EQ(DVIsWide(frame), c.wide);
            EXPECT_EQ(DVAudioRate(frame), 48'000);
            EXPECT_EQ(DVAudioBits(frame), 16);
            EXPECT_EQ(DVTimecode(frame, 0), (TDVTimecode{10, 0, 0, quint8(k)}));
            const TDVDateTime d = DVRecDateTime(frame, 0);
            EXPECT_EQ(d.year, 2004);
            EXPECT_EQ(d.month, 7);
            EXPECT_EQ(d.day, 14);
            EXPECT_EQ(d.hours, 10);
            EXPECT_EQ(d.minutes, 20);
            EXPECT_EQ(d.seconds, 30);
        }
    }
}

} // namespace
