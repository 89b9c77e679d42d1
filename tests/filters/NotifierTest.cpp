#include "DVFixtures.h"
#include "filters/uDVDate.h"
#include "filters/uFilterMessages.h"
#include "filters/uNotifier.h"

#include <QLocale>
#include <QTemporaryDir>

#include <gst/check/gstharness.h>
#include <gtest/gtest.h>

#include <ostream>

#include <vector>

using dvfixtures::DVFrameBuilder;

namespace {

const char *kDVVideoCaps = "video/x-dv,systemstream=false,width=720,height=576,framerate=25/1";
const char *kDVInterleavedCaps = "video/x-dv,systemstream=true";

class NotifierHarness : public ::testing::Test
{
protected:
    void SetUp() override
    {
        GstElement *element = TNotifier::Create();
        ASSERT_NE(element, nullptr);
        notifier = TNotifier::From(element);
        ASSERT_NE(notifier, nullptr);
        notifier->ResetCodes(); // the source connects, then streaming starts
        h = gst_harness_new_with_element(element, "sink", "src");
        notifier->SetVideoWindow(collect(video));
        notifier->SetAudioWindow(collect(audio));
        notifier->SetDVWindow(collect(dv));
        notifier->SetInlayWindow(collect(inlay));
        notifier->SetFrameDurationWindow(collect(durations));
    }
    void TearDown() override
    {
        if (h)
            gst_harness_teardown(h);
    }
    static TMessageSink collect(std::vector<TNvMessage> &into)
    {
        return [&into](const TNvMessage &m) { into.push_back(m); };
    }
    void clearMessages()
    {
        for (auto *list : {&video, &audio, &dv, &inlay, &durations})
            list->clear();
    }
    void push(const QByteArray &bytes)
    {
        GstBuffer *buffer = gst_buffer_new_memdup(bytes.constData(), gsize(bytes.size()));
        ASSERT_EQ(gst_harness_push(h, buffer), GST_FLOW_OK);
        GstBuffer *out = gst_harness_pull(h);
        ASSERT_EQ(out, buffer); // the very same buffer comes through
        lastCodes = FrameDVCodesOf(out);
        gst_buffer_unref(out);
    }
    static std::vector<qint64> wParams(const std::vector<TNvMessage> &messages)
    {
        std::vector<qint64> result;
        for (const TNvMessage &m : messages)
            result.push_back(m.wParam);
        return result;
    }

    GstHarness *h = nullptr;
    TNotifier *notifier = nullptr;
    TFrameDVCodes lastCodes; // carried by the last buffer through
    std::vector<TNvMessage> video, audio, dv, inlay, durations;
};

TEST_F(NotifierHarness, PassesUntouchedWhileNoReportWasEverSwitched)
{
    gst_harness_set_src_caps_str(h, kDVVideoCaps);
    push(DVFrameBuilder().timecode(1, 2, 3, 4).bytes());
    EXPECT_EQ(notifier->FrameData().frameNumber, -1); // not counted
    EXPECT_FALSE(notifier->FrameData().timecodeValid);
    EXPECT_TRUE(video.empty());
}

TEST_F(NotifierHarness, FirstSampleReportsVideoAndAudio)
{
    notifier->SetVideoReports(true);
    notifier->SetAudioReports(true);
    gst_harness_set_src_caps_str(h, kDVVideoCaps);
    // typing the stream reports the video format (and its frame duration) once
    EXPECT_EQ(wParams(video), (std::vector<qint64>{4, 2}));
    ASSERT_EQ(durations.size(), 1u);
    EXPECT_EQ(durations[0].msg, kNvMsgFrameDuration);
    EXPECT_EQ(durations[0].wParam, 400'000);
    clearMessages();

    push(DVFrameBuilder().bytes());
    ASSERT_GE(video.size(), 2u);
    EXPECT_EQ(video[video.size() - 2].wParam, 4);
    EXPECT_EQ(video.back().wParam, 2);
    EXPECT_EQ(video.back().msg, kNvMsgVideoData);
    const TVideoData data = video.back().data.value<TVideoData>();
    EXPECT_EQ(data.formatText, QStringLiteral("DV Type 2 Pal (4x3)"));
    EXPECT_EQ(data.width, 720);
    ASSERT_FALSE(audio.empty());
    EXPECT_EQ(audio.front().msg, kNvMsgAudioData);
    EXPECT_EQ(audio.front().wParam, 3);
    EXPECT_TRUE(durations.empty()); // same duration as already sent

    // the next sample checks the change again, the one after it finds none
    push(DVFrameBuilder().bytes());
    clearMessages();
    push(DVFrameBuilder().bytes());
    EXPECT_TRUE(video.empty());
    EXPECT_TRUE(audio.empty());
    EXPECT_EQ(notifier->FrameData().frameNumber, 2);
}

TEST_F(NotifierHarness, FrameDurationOncePerDistinctValue)
{
    notifier->SetVideoReports(true);
    gst_harness_set_src_caps_str(h, kDVVideoCaps);
    gst_harness_set_src_caps_str(
        h, "video/x-dv,systemstream=false,width=720,height=576,framerate=25/1,a=1");
    gst_harness_set_src_caps_str(
        h, "video/x-dv,systemstream=false,width=720,height=480,framerate=30000/1001");
    ASSERT_EQ(durations.size(), 2u);
    EXPECT_EQ(durations[0].wParam, 400'000);
    EXPECT_EQ(durations[1].wParam, 333'667);

    notifier->ResetReports();
    gst_harness_set_src_caps_str(
        h, "video/x-dv,systemstream=false,width=720,height=480,framerate=30000/1001,b=1");
    EXPECT_EQ(durations.size(), 3u);
    notifier->ClearFrameDurationWindow();
    notifier->ResetReports();
    gst_harness_set_src_caps_str(h, kDVVideoCaps);
    EXPECT_EQ(durations.size(), 3u);
}

QByteArray sequenceHeader(quint8 b4, quint8 b5, quint8 b6, quint8 b7)
{
    QByteArray bytes("\x00\x00\x01\xB3", 4);
    bytes.append(char(b4)).append(char(b5)).append(char(b6)).append(char(b7));
    bytes.append(16, '\0');
    return bytes;
}

TEST_F(NotifierHarness, Mpeg2SequenceHeader)
{
    notifier->SetVideoReports(true);
    gst_harness_set_src_caps_str(h, "video/mpeg,mpegversion=2,systemstream=false");

    // 1920 x 1152 (vertical field 0x480), 16:9, code 8 = 60 fps
    push(sequenceHeader(0x78, 0x04, 0x80, 0x38));
    TVideoData d = notifier->VideoData();
    EXPECT_EQ(d.width, 1920);
    EXPECT_EQ(d.height, 1152);
    EXPECT_EQ(d.framesPerSecond, 60.0);
    EXPECT_EQ(d.aspectCode, 1);
    EXPECT_EQ(d.formatText, QStringLiteral("MPEG2 (16x9)"));
    ASSERT_FALSE(video.empty());
    EXPECT_EQ(video.back().data.value<TVideoData>().height, 1152);

    // 720 x 576, 4:3, 25 fps
    push(sequenceHeader(0x2D, 0x02, 0x40, 0x23));
    d = notifier->VideoData();
    EXPECT_EQ(d.width, 720);
    EXPECT_EQ(d.height, 576);
    EXPECT_EQ(d.framesPerSecond, 25.0);
    EXPECT_EQ(d.formatText, QStringLiteral("MPEG2 (4x3)"));

    // not a sequence header, or a zero nibble: nothing changes
    QByteArray picture = sequenceHeader(0x78, 0x04, 0x80, 0x38);
    picture[3] = char(0x00);
    push(picture);
    push(sequenceHeader(0x78, 0x04, 0x80, 0x08));
    push(sequenceHeader(0x78, 0x04, 0x80, 0x30));
    d = notifier->VideoData();
    EXPECT_EQ(d.width, 720);
    EXPECT_EQ(d.formatText, QStringLiteral("MPEG2 (4x3)"));

    // aspect information 1 (square pixels): no aspect suffix
    push(sequenceHeader(0x2D, 0x02, 0x40, 0x14));
    EXPECT_EQ(notifier->VideoData().formatText, QStringLiteral("MPEG2"));
    EXPECT_NEAR(notifier->VideoData().framesPerSecond, 29.97, 0.01);
}

TEST_F(NotifierHarness, VideoStreamDVCodes)
{
    notifier->SetVideoReports(true);
    gst_harness_set_src_caps_str(h, kDVVideoCaps);

    push(DVFrameBuilder().bytes()); // no date packs, no time code
    TframeData f = notifier->FrameData();
    EXPECT_TRUE(f.dvParsed);
    EXPECT_FALSE(f.dateValid);
    EXPECT_EQ(f.dateText, QStringLiteral("N/A"));
    EXPECT_EQ(f.recDateTime, 0);
    EXPECT_FALSE(f.timecodeValid);
    EXPECT_EQ(f.timecodeText, QStringLiteral("NoTimecode"));

    push(DVFrameBuilder()
             .timecode(0x07, 0x30, 0x20, 0x10)
             .recDate(0x14, 0x07, 0x04, 0x30, 0x20, 0x10)
             .displayMode(2)
             .bytes());
    f = notifier->FrameData();
    EXPECT_TRUE(f.dateValid);
    EXPECT_EQ(f.timecodeText, QStringLiteral("10:20:30:07"));
    const QDateTime expected(QDate(2004, 7, 14), QTime(10, 20, 30));
    EXPECT_EQ(NumberToDateTime(f.recDateTime), expected);
    EXPECT_EQ(f.earliestDateTime, f.recDateTime);
    const QLocale locale;
    EXPECT_EQ(f.dateText, locale.toString(expected.date(), QLocale::LongFormat) + " - " +
                              locale.toString(expected.time(), QLocale::ShortFormat));
    // The frame carries its own codes on.
    const std::optional<TDVCodeEntry> carried = DVCodeEntryOf(lastCodes);
    ASSERT_TRUE(carried);
    EXPECT_TRUE(carried->dateValid && carried->timecodeValid);
    EXPECT_EQ(carried->recDateTime, f.recDateTime);
    EXPECT_EQ(carried->timecodeText, QStringLiteral("10:20:30:07"));
    EXPECT_EQ(notifier->VideoData().formatText, QStringLiteral("DV Type 2 Pal (16x9)"));
    EXPECT_EQ(notifier->VideoData().aspectCode, 1);

    // 31 February is no date; a cut frame is not parsed at all
    push(DVFrameBuilder().recDate(0x31, 0x02, 0x04, 0, 0, 0).bytes());
    EXPECT_FALSE(notifier->FrameData().dateValid);
    EXPECT_EQ(notifier->FrameData().dateText, QStringLiteral("N/A"));
    push(DVFrameBuilder().timecode(1, 1, 1, 1).bytes().left(143'999));
    EXPECT_FALSE(lastCodes.present) << "a cut frame carries no codes";
    EXPECT_FALSE(notifier->FrameData().timecodeValid);
    EXPECT_EQ(notifier->FrameData().earliestDateTime, DateTimeToNumber(expected));
}

TEST_F(NotifierHarness, VideoStreamDVFromNtscAndDVSource)
{
    notifier->SetVideoReports(true);
    notifier->SetDVSource(true);
    gst_harness_set_src_caps_str(h, "video/x-dv,systemstream=false,width=720,height=480");
    push(DVFrameBuilder(true).bytes());
    EXPECT_EQ(notifier->VideoData().formatText, QStringLiteral("DV type 1 NTSC (4x3)"));
    EXPECT_NEAR(notifier->VideoData().framesPerSecond, 29.97, 0.001);
    EXPECT_EQ(notifier->FrameData().systemCode, dvSystem525);
}

TEST_F(NotifierHarness, InterleavedDV)
{
    notifier->SetVideoReports(true);
    notifier->SetAudioReports(true);
    gst_harness_set_src_caps_str(h, kDVInterleavedCaps);
    EXPECT_TRUE(notifier->FrameData().interleavedDV);

    push(DVFrameBuilder().displayMode(2).bytes());
    const TframeData f = notifier->FrameData();
    const TVideoData v = notifier->VideoData();
    EXPECT_EQ(f.dateText, QStringLiteral("No Datecode"));
    EXPECT_TRUE(f.dvParsed);
    EXPECT_EQ(v.formatText, QStringLiteral("DV type1 Pal  (16x9) "));
    EXPECT_EQ(v.resolutionText, QStringLiteral("720x576 - 25 fps"));
    EXPECT_EQ(v.width, 720);
    EXPECT_EQ(v.height, 576);
    EXPECT_EQ(f.audioDescription, QStringLiteral("DV 48000Hz 16bits stereo"));
    ASSERT_FALSE(audio.empty());
    EXPECT_EQ(audio.back().data.value<TframeData>().audioDescription, f.audioDescription);

    // a frame that fails the structure check is still read, but not "parsed"
    push(DVFrameBuilder().set(11, 5, 0x80).timecode(1, 2, 3, 4).bytes());
    EXPECT_FALSE(notifier->FrameData().dvParsed);
    EXPECT_TRUE(notifier->FrameData().timecodeValid);
    // shorter than ten sequences: left alone
    push(DVFrameBuilder().bytes().left(119'999));
    EXPECT_TRUE(notifier->FrameData().timecodeValid);
}

TEST_F(NotifierHarness, DVFrameDataCarriesPreviousSampleAndInlayEntries)
{
    notifier->SetDVReports(true);
    gst_harness_set_src_caps_str(h, kDVVideoCaps);
    notifier->SetInlayCodes(true);
    ASSERT_EQ(inlay.size(), 1u); // one entry at once
    push(DVFrameBuilder().timecode(0, 0, 0, 0x10).bytes());
    push(DVFrameBuilder().timecode(1, 0, 0, 0x10).bytes());
    ASSERT_EQ(dv.size(), 2u);
    EXPECT_EQ(dv[0].msg, kNvMsgDVFrameData);
    EXPECT_EQ(dv[0].data.value<TframeData>().frameNumber, -1);
    EXPECT_EQ(dv[1].data.value<TframeData>().timecodeText, QStringLiteral("10:00:00:00"));
    ASSERT_EQ(inlay.size(), 3u);
    EXPECT_EQ(inlay[2].msg, kNvMsgDVCodeEntry);
    const TDVCodeEntry entry = inlay[2].data.value<TDVCodeEntry>();
    EXPECT_TRUE(entry.timecodeValid);
    EXPECT_EQ(entry.timecodeText, QStringLiteral("10:00:00:01"));
    notifier->SetInlayCodes(false);
    EXPECT_EQ(inlay.size(), 4u);
    push(DVFrameBuilder().bytes());
    EXPECT_EQ(inlay.size(), 4u);
}

TEST_F(NotifierHarness, AudioDescriptionAndAcceptedType)
{
    notifier->SetAudioReports(true);
    notifier->SetAudioFormatName(QStringLiteral("PCM"));
    gst_harness_set_src_caps_str(
        h, "audio/x-raw,format=S16LE,layout=interleaved,rate=48000,channels=2");
    ASSERT_EQ(audio.size(), 1u);
    const TframeData f = audio[0].data.value<TframeData>();
    EXPECT_EQ(f.audioDescription, QStringLiteral("PCM 48000Hz 16bits  stereo"));
    EXPECT_EQ(f.bitRate, 48000 * 4 * 8);
    EXPECT_EQ(f.channels, 2);

    // once typed, the input refuses another major type
    GstCaps *videoCaps = gst_caps_from_string(kDVVideoCaps);
    GstCaps *monoCaps =
        gst_caps_from_string("audio/x-raw,format=S16LE,layout=interleaved,rate=32000,channels=1");
    GstPad *sink = gst_element_get_static_pad(h->element, "sink");
    EXPECT_FALSE(gst_pad_query_accept_caps(sink, videoCaps));
    EXPECT_TRUE(gst_pad_query_accept_caps(sink, monoCaps));
    gst_object_unref(sink);
    gst_caps_unref(videoCaps);
    gst_caps_unref(monoCaps);
}

struct AudioNameCase {
    const char *caps;
    const char *name;
};

void PrintTo(const AudioNameCase &c, std::ostream *os)
{
    *os << c.caps;
}

class AudioFormatNameTable : public ::testing::TestWithParam<AudioNameCase>
{
};

TEST_P(AudioFormatNameTable, NamesType)
{
    GstCaps *caps = gst_caps_from_string(GetParam().caps);
    EXPECT_EQ(AudioFormatName(MediaTypeFromCaps(caps)).toStdString(), GetParam().name);
    gst_caps_unref(caps);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AudioFormatNameTable,
    ::testing::Values(
        AudioNameCase{"audio/x-raw,format=S16LE,rate=48000,channels=2", "PCM"},
        AudioNameCase{"audio/mpeg,mpegversion=1,layer=2,rate=48000,channels=2", "MPEG"},
        AudioNameCase{"audio/mpeg,mpegversion=1,layer=3,rate=44100,channels=2", "MP3"},
        AudioNameCase{"audio/x-ac3,rate=48000,channels=6", "AC3"},
        AudioNameCase{"audio/mpeg,mpegversion=4,rate=48000,channels=2", "AAC"},
        AudioNameCase{"video/x-dv,systemstream=false", ""}));

// Real DV through a real demuxer: every frame is parsed with its packs intact.
TEST(NotifierPipeline, ReadsFFmpegDV)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("clip.dv");
    dvfixtures::DVFileOptions options;
    options.wide = true;
    options.frames = 3;
    ASSERT_TRUE(dvfixtures::makeDVFile(path, options));

    GstElement *pipeline = gst_pipeline_new("p");
    GstElement *src = gst_element_factory_make("filesrc", nullptr);
    GstElement *demux = gst_element_factory_make("dvdemux", nullptr);
    GstElement *element = TNotifier::Create("notifier");
    GstElement *sink = gst_element_factory_make("fakesink", nullptr);
    ASSERT_TRUE(src && demux && element && sink);
    g_object_set(src, "location", path.toUtf8().constData(), nullptr);
    g_object_set(sink, "sync", FALSE, nullptr);
    gst_bin_add_many(GST_BIN(pipeline), src, demux, element, sink, nullptr);
    ASSERT_TRUE(gst_element_link(src, demux));
    ASSERT_TRUE(gst_element_link(element, sink));
    g_signal_connect(
        demux, "pad-added", G_CALLBACK(+[](GstElement *, GstPad *pad, gpointer target) {
            GstPad *peer = gst_element_get_static_pad(GST_ELEMENT(target), "sink");
            if (g_str_has_prefix(GST_PAD_NAME(pad), "video") && !gst_pad_is_linked(peer))
                gst_pad_link(pad, peer);
            gst_object_unref(peer);
        }),
        element);

    TNotifier *notifier = TNotifier::From(element);
    std::vector<TframeData> frames;
    notifier->ResetCodes();
    notifier->SetDVWindow(
        [&frames](const TNvMessage &m) { frames.push_back(m.data.value<TframeData>()); });
    notifier->SetDVReports(true);
    std::vector<TVideoData> formats;
    notifier->SetVideoWindow(
        [&formats](const TNvMessage &m) { formats.push_back(m.data.value<TVideoData>()); });
    notifier->SetVideoReports(true);

    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus *bus = gst_element_get_bus(pipeline);
    GstMessage *msg = gst_bus_timed_pop_filtered(
        bus, 10 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    ASSERT_NE(msg, nullptr);
    EXPECT_EQ(GST_MESSAGE_TYPE(msg), GST_MESSAGE_EOS);
    gst_message_unref(msg);
    gst_object_unref(bus);
    const TframeData last = notifier->FrameData();
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);

    EXPECT_EQ(last.frameNumber, 2);
    EXPECT_EQ(last.timecodeText, QStringLiteral("10:00:00:02"));
    EXPECT_TRUE(last.dateValid);
    EXPECT_EQ(NumberToDateTime(last.recDateTime), QDateTime(QDate(2004, 7, 14), QTime(10, 20, 30)));
    ASSERT_EQ(frames.size(), 3u); // each carries the previous frame's codes
    EXPECT_EQ(frames[2].timecodeText, QStringLiteral("10:00:00:01"));
    ASSERT_FALSE(formats.empty());
    EXPECT_TRUE(formats.back().formatText.endsWith(QStringLiteral("(16x9)")));
}

TEST(FormatDVDate, EmptyFormatLeavesOutMidnight)
{
    const QLocale locale;
    const QDate date(2004, 7, 14);
    EXPECT_EQ(FormatDVDate(QString(), DateTimeToNumber(QDateTime(date, QTime(0, 0)))),
              locale.toString(date, QLocale::ShortFormat));
    EXPECT_EQ(FormatDVDate(QString(), DateTimeToNumber(QDateTime(date, QTime(10, 20, 30)))),
              locale.toString(date, QLocale::ShortFormat) + " " +
                  locale.toString(QTime(10, 20, 30), QLocale::LongFormat));
    EXPECT_EQ(
        FormatDVDate(QStringLiteral("[ddddd]"), DateTimeToNumber(QDateTime(date, QTime(0, 0)))),
        "[" + locale.toString(date, QLocale::ShortFormat) + "]");
}

} // namespace
