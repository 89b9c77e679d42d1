// The DV guard: which packs fit their frame, and the element mending frames.
#include "DVFixtures.h"
#include "MediaFixtures.h"
#include "filters/uDVGuard.h"
#include "filters/uDVPack.h"

#include <QFile>

#include <gst/check/gstharness.h>
#include <gtest/gtest.h>

#include <array>

using dvfixtures::DVFrameBuilder;

namespace {

constexpr qsizetype kHostileOffset = 4326; // PC3 of sequence 0's audio source pack

struct TPackCase {
    const char *what;
    std::array<quint8, 5> pack;
    TDVSystemCode system;
    bool fits;
};

class DVAudioSourcePacks : public ::testing::TestWithParam<TPackCase>
{
};

TEST_P(DVAudioSourcePacks, FitTheirSystem)
{
    const TPackCase &c = GetParam();
    EXPECT_EQ(DVAudioSourceFits(TDVPack(c.pack), c.system), c.fits) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DVAudioSourcePacks,
    ::testing::Values(
        TPackCase{"625, 48 kHz, 1920 samples", {0x50, 0xD8, 0x00, 0xE0, 0x80}, dvSystem625, true},
        TPackCase{
            "60-field flag in a 625 frame", {0x50, 0xD8, 0x00, 0xC0, 0x80}, dvSystem625, false},
        TPackCase{"the one-byte change: 60 fields, audio type 0x17",
                  {0x50, 0xD8, 0x00, 0xD7, 0x80},
                  dvSystem625,
                  false},
        TPackCase{
            "625, 48 kHz, 1944 samples (most)", {0x50, 0xF0, 0x00, 0xE0, 0x80}, dvSystem625, true},
        TPackCase{"625, 48 kHz, 1945 samples", {0x50, 0xF1, 0x00, 0xE0, 0x80}, dvSystem625, false},
        TPackCase{
            "525, 48 kHz, 1620 samples (most)", {0x50, 0x28, 0x00, 0xC0, 0x80}, dvSystem525, true},
        TPackCase{"525, 48 kHz, 1621 samples", {0x50, 0x29, 0x00, 0xC0, 0x80}, dvSystem525, false},
        TPackCase{"12 bits at 32 kHz", {0x50, 0x00, 0x00, 0xE0, 0x91}, dvSystem625, true},
        TPackCase{"12 bits at 48 kHz", {0x50, 0x00, 0x00, 0xE0, 0x81}, dvSystem625, false},
        TPackCase{"20 bits", {0x50, 0x00, 0x00, 0xE0, 0x82}, dvSystem625, false},
        TPackCase{"reserved rate code", {0x50, 0x00, 0x00, 0xE0, 0x98}, dvSystem625, false},
        TPackCase{
            "two channels per block code 2", {0x50, 0x00, 0x40, 0xE0, 0x80}, dvSystem625, false},
        TPackCase{"undecided system", {0x50, 0xD8, 0x00, 0xE0, 0x80}, dvSystemUndecided, false}));

TEST(DVVideoSourcePack, FitsOnlyItsOwnSystem)
{
    const std::array<quint8, 5> fifty{0x60, 0xFF, 0xFF, 0xE0, 0xFF};
    const std::array<quint8, 5> sixty{0x60, 0xFF, 0xFF, 0xC0, 0xFF};
    EXPECT_TRUE(DVVideoSourceFits(TDVPack(fifty), dvSystem625));
    EXPECT_FALSE(DVVideoSourceFits(TDVPack(sixty), dvSystem625));
    EXPECT_TRUE(DVVideoSourceFits(TDVPack(sixty), dvSystem525));
}

QByteArray firstFrameOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(kDVFrameSize625) : QByteArray();
}

std::span<quint8> bytesOf(QByteArray &b)
{
    return {reinterpret_cast<quint8 *>(b.data()), size_t(b.size())};
}

TEST(DVGuardFrame, BlanksOnlyThePacksThatDisagree)
{
    const QByteArray good = firstFrameOf(fixtures::mediaFixture("dv_pal.dv"));
    ASSERT_EQ(good.size(), kDVFrameSize625);
    QByteArray frame = good;
    EXPECT_EQ(DVGuardFrame(bytesOf(frame)).blankedPacks, 0);
    EXPECT_EQ(frame, good);

    frame[kHostileOffset] = char(0xD7);
    frame[12'000 * 7 + 243 + 3] = char(0xC0); // a 60-field video source pack in sequence 7
    const TDVGuardReport report = DVGuardFrame(bytesOf(frame));
    EXPECT_EQ(report.frames, 1);
    EXPECT_EQ(report.blankedPacks, 2);
    EXPECT_EQ(frame.mid(kHostileOffset - 3, 5), QByteArray(5, char(0xFF)));
    EXPECT_EQ(frame.mid(12'000 * 7 + 243, 5), QByteArray(5, char(0xFF)));
    QByteArray expected = good;
    expected.replace(kHostileOffset - 3, 5, QByteArray(5, char(0xFF)));
    expected.replace(12'000 * 7 + 243, 5, QByteArray(5, char(0xFF)));
    EXPECT_EQ(frame, expected) << "nothing else changes";
}

TEST(DVGuardFrame, ChecksAShortReadAndFramesInARow)
{
    QByteArray pal = firstFrameOf(fixtures::mediaFixture("dv_pal.dv"));
    ASSERT_EQ(pal.size(), kDVFrameSize625);
    pal[kHostileOffset] = char(0xD7);
    // A splitter first reads a 525-line frame's worth of a 625-line file.
    QByteArray bytes = pal.left(kDVFrameSize525);
    const TDVGuardReport shortRead = DVGuardBuffer(bytesOf(bytes));
    EXPECT_EQ(shortRead.frames, 0);
    EXPECT_EQ(shortRead.blankedPacks, 1);

    DVFrameBuilder ntsc(true);  // 60-field packs throughout
    ntsc.set(9, 483 + 3, 0xE0); // but one with 50-field audio
    QByteArray row = pal + ntsc.bytes() + pal;
    const TDVGuardReport three = DVGuardBuffer(bytesOf(row));
    EXPECT_EQ(three.frames, 3);
    EXPECT_EQ(three.blankedPacks, 3);
}

class DVGuardElement : public ::testing::Test
{
protected:
    void SetUp() override
    {
        GstElement *element = TDVGuard::Create();
        ASSERT_NE(element, nullptr);
        guard = TDVGuard::From(element);
        ASSERT_NE(guard, nullptr);
        h = gst_harness_new_with_element(element, "sink", "src");
        gst_harness_set_src_caps_str(h, "video/x-dv,systemstream=true");
        good = firstFrameOf(fixtures::mediaFixture("dv_pal.dv"));
        ASSERT_EQ(good.size(), kDVFrameSize625);
        hostile = good;
        hostile[kHostileOffset] = char(0xD7);
    }
    void TearDown() override
    {
        if (h)
            gst_harness_teardown(h);
    }
    static GstBuffer *bufferOf(const QByteArray &bytes)
    {
        return gst_buffer_new_memdup(bytes.constData(), gsize(bytes.size()));
    }
    static QByteArray bytesOfBuffer(GstBuffer *buffer)
    {
        GstMapInfo map;
        gst_buffer_map(buffer, &map, GST_MAP_READ);
        QByteArray bytes(reinterpret_cast<const char *>(map.data), qsizetype(map.size));
        gst_buffer_unmap(buffer, &map);
        return bytes;
    }
    GstHarness *h = nullptr;
    TDVGuard *guard = nullptr;
    QByteArray good, hostile;
};

TEST_F(DVGuardElement, PassesSoundFramesAndMendsHostileOnes)
{
    ASSERT_EQ(gst_harness_push(h, bufferOf(good)), GST_FLOW_OK);
    ASSERT_EQ(gst_harness_push(h, bufferOf(hostile)), GST_FLOW_OK);
    GstBuffer *first = gst_harness_pull(h);
    GstBuffer *second = gst_harness_pull(h);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(bytesOfBuffer(first), good);
    const QByteArray mended = bytesOfBuffer(second);
    EXPECT_EQ(mended.mid(kHostileOffset - 3, 5), QByteArray(5, char(0xFF)));
    EXPECT_EQ(mended.mid(0, 4000), good.mid(0, 4000));
    EXPECT_EQ(guard->MendedFrames(), 1);
    gst_buffer_unref(first);
    gst_buffer_unref(second);
}

TEST_F(DVGuardElement, MendsACopyOfAHostileFrameOthersHold)
{
    GstBuffer *shared = bufferOf(hostile);
    gst_buffer_ref(shared); // someone else holds it too
    EXPECT_EQ(gst_harness_push(h, shared), GST_FLOW_OK);
    GstBuffer *out = gst_harness_pull(h);
    ASSERT_TRUE(out);
    EXPECT_EQ(bytesOfBuffer(out).mid(kHostileOffset - 3, 5), QByteArray(5, char(0xFF)));
    EXPECT_EQ(bytesOfBuffer(shared), hostile) << "the other holder's data is left alone";
    gst_buffer_unref(out);
    gst_buffer_unref(shared);
}

} // namespace
