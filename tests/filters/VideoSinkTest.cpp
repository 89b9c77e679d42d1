#include "filters/uFrameMeta.h"
#include "filters/uFramesNotifier.h"
#include "filters/uVideoSink.h"

#include <gst/check/gstharness.h>
#include <gtest/gtest.h>

namespace {

constexpr int kWidth = 4, kHeight = 2;

// A BGRx frame whose every pixel is value (blue byte first).
GstBuffer *bgrxFrame(quint32 value, qint64 pts)
{
    GstBuffer *buffer = gst_buffer_new_allocate(nullptr, kWidth * kHeight * 4, nullptr);
    GstMapInfo map;
    gst_buffer_map(buffer, &map, GST_MAP_WRITE);
    for (int i = 0; i < kWidth * kHeight; ++i)
        reinterpret_cast<quint32 *>(map.data)[i] = value;
    gst_buffer_unmap(buffer, &map);
    GST_BUFFER_PTS(buffer) = GstClockTime(pts);
    return buffer;
}

class VideoSinkHarness : public ::testing::Test
{
protected:
    void SetUp() override
    {
        GstElement *element = TVideoSink::Create();
        ASSERT_NE(element, nullptr);
        g_object_set(element, "sync", FALSE, nullptr);
        h = gst_harness_new_with_element(element, "sink", nullptr);
        sink = TVideoSink::From(h->element);
        ASSERT_NE(sink, nullptr);
        sink->SetFrameListener([this] { ++repaints; });
    }
    void TearDown() override
    {
        if (sink)
            sink->SetFrameListener({});
        if (h)
            gst_harness_teardown(h);
    }

    GstHarness *h = nullptr;
    TVideoSink *sink = nullptr;
    int repaints = 0;
};

TEST_F(VideoSinkHarness, KeepsTheNewestFrameAndQueuesOneRepaint)
{
    gst_harness_set_src_caps_str(h, "video/x-raw,format=BGRx,width=4,height=2,framerate=25/1");
    GstBuffer *labelled = bgrxFrame(0x00112233, 0);
    SetFramePosition(labelled, {400'000, 1});
    ASSERT_EQ(gst_harness_push(h, labelled), GST_FLOW_OK);
    ASSERT_EQ(gst_harness_push(h, bgrxFrame(0x00445566, 40'000'000)), GST_FLOW_OK);
    EXPECT_EQ(repaints, 1) << "a second frame before the first was taken queues nothing";

    TVideoFrame frame = sink->TakeFrame();
    ASSERT_FALSE(frame.IsNull());
    EXPECT_EQ(frame.image.size(), QSize(kWidth, kHeight));
    EXPECT_EQ(frame.image.format(), QImage::Format_RGB32);
    EXPECT_EQ(frame.image.pixel(3, 1), 0xFF445566u);
    EXPECT_EQ(frame.serial, 2u);
    EXPECT_FALSE(frame.position.Valid()) << "an unlabelled frame has no position";

    ASSERT_EQ(gst_harness_push(h, bgrxFrame(0x00778899, 80'000'000)), GST_FLOW_OK);
    EXPECT_EQ(repaints, 2) << "taking the frame re-arms the listener";
    EXPECT_EQ(frame.image.pixel(0, 0), 0xFF445566u) << "a frame taken stays valid";
    EXPECT_EQ(sink->FramesReceived(), 3u);

    sink->ClearFrame();
    EXPECT_TRUE(sink->CurrentFrame().IsNull());
}

TEST_F(VideoSinkHarness, RefusesOtherFormats)
{
    gst_harness_set_src_caps_str(h, "video/x-raw,format=I420,width=4,height=2,framerate=25/1");
    GstBuffer *buffer = gst_buffer_new_allocate(nullptr, 12, nullptr);
    EXPECT_EQ(gst_harness_push(h, buffer), GST_FLOW_NOT_NEGOTIATED);
    EXPECT_EQ(repaints, 0);
}

TEST_F(VideoSinkHarness, PresentsAFrameFromElsewhereInItsOwnFormat)
{
    GstCaps *caps = gst_caps_from_string("video/x-raw,format=I420,width=16,height=16");
    GstBuffer *buffer = gst_buffer_new_allocate(nullptr, 16 * 16 * 3 / 2, nullptr);
    gst_buffer_memset(buffer, 0, 235, 16 * 16);           // white luma
    gst_buffer_memset(buffer, 16 * 16, 128, 16 * 16 / 2); // no chroma
    GstSample *sample = gst_sample_new(buffer, caps, nullptr, nullptr);
    ASSERT_TRUE(sink->PresentSample(sample, {2'000'000, 5}));
    const TVideoFrame frame = sink->CurrentFrame();
    EXPECT_EQ(frame.image.size(), QSize(16, 16));
    EXPECT_GE(qGray(frame.image.pixel(8, 8)), 250);
    EXPECT_EQ(frame.position.number, 5);
    EXPECT_EQ(repaints, 1);
    gst_sample_unref(sample);
    gst_buffer_unref(buffer);
    gst_caps_unref(caps);
    EXPECT_FALSE(sink->PresentSample(nullptr, {}));
}

// The frames notifier labels each frame; the label survives the converter
// in front of the sink, also when the notifier had to copy a shared buffer.
TEST(VideoSinkChain, FramesCarryTheirPositionThroughConversion)
{
    ASSERT_TRUE(TFramesNotifier::Register() && TVideoSink::Register());
    GstHarness *h = gst_harness_new_parse(
        "kadrexframesnotifier name=fn ! videoconvert ! kadrexvideosink name=vs sync=false");
    GstElement *fn = gst_bin_get_by_name(GST_BIN(h->element), "fn");
    GstElement *vs = gst_bin_get_by_name(GST_BIN(h->element), "vs");
    TFramesNotifier *notifier = TFramesNotifier::From(fn);
    TVideoSink *sink = TVideoSink::From(vs);
    ASSERT_TRUE(notifier && sink);
    notifier->SetFrameDuration(400'000);
    gst_harness_set_src_caps_str(h, "video/x-raw,format=I420,width=16,height=16,framerate=25/1");

    for (int i = 0; i < 3; ++i) {
        GstBuffer *buffer = gst_buffer_new_allocate(nullptr, 16 * 16 * 3 / 2, nullptr);
        gst_buffer_memset(buffer, 0, 0x80, 16 * 16 * 3 / 2);
        GST_BUFFER_PTS(buffer) = GstClockTime((1'000'000 + i * 400'000) * 100);
        GstBuffer *kept = i == 2 ? gst_buffer_ref(buffer) : nullptr; // shared: not writable
        ASSERT_EQ(gst_harness_push(h, buffer), GST_FLOW_OK);
        const TVideoFrame frame = sink->CurrentFrame();
        ASSERT_FALSE(frame.IsNull());
        EXPECT_EQ(frame.position.position, i * 400'000) << "frame " << i;
        EXPECT_EQ(frame.position.number, i);
        if (kept) {
            EXPECT_FALSE(FramePositionOf(kept).Valid()) << "the caller's buffer is left alone";
            gst_buffer_unref(kept);
        }
    }
    gst_object_unref(fn);
    gst_object_unref(vs);
    gst_harness_teardown(h);
}

// While paused the sink shows the preroll frame.
TEST(VideoSinkChain, ShowsThePrerollFrame)
{
    ASSERT_TRUE(TVideoSink::Register());
    GstElement *pipeline = gst_parse_launch(
        "videotestsrc pattern=white num-buffers=5 ! video/x-raw,width=64,height=48 ! "
        "videoconvert ! kadrexvideosink name=vs",
        nullptr);
    ASSERT_NE(pipeline, nullptr);
    GstElement *vs = gst_bin_get_by_name(GST_BIN(pipeline), "vs");
    gst_element_set_state(pipeline, GST_STATE_PAUSED);
    ASSERT_EQ(gst_element_get_state(pipeline, nullptr, nullptr, 5 * GST_SECOND),
              GST_STATE_CHANGE_SUCCESS);
    const TVideoFrame frame = TVideoSink::From(vs)->CurrentFrame();
    EXPECT_EQ(frame.serial, 1u);
    EXPECT_EQ(frame.image.size(), QSize(64, 48));
    EXPECT_EQ(frame.image.pixel(10, 10), 0xFFFFFFFFu);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(vs);
    gst_object_unref(pipeline);
}

} // namespace
