#include "filters/uFilterMessages.h"
#include "filters/uFramesNotifier.h"

#include <gst/check/gstharness.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr qint64 kFrame = 400'000; // 25 fps in 100 ns

class FramesNotifierHarness : public ::testing::Test
{
protected:
    void SetUp() override
    {
        GstElement *element = TFramesNotifier::Create();
        ASSERT_NE(element, nullptr);
        h = gst_harness_new_with_element(element, "sink", "src");
        notifier = TFramesNotifier::From(h->element);
        ASSERT_NE(notifier, nullptr);
        notifier->SetVideoWindow([this](const TNvMessage &m) { video.push_back(m); });
        notifier->SetNavigationWindow([this](const TNvMessage &m) { navigation.push_back(m); });
        notifier->SetTargetWindow(0, [this](const TNvMessage &m) { replies.push_back(m); });
        notifier->SetFrameDuration(kFrame);
        notifier->SetPositionReports(true);
        gst_harness_set_src_caps_str(h,
                                     "video/x-raw,format=I420,width=16,height=16,framerate=25/1");
    }
    void TearDown() override
    {
        if (h)
            gst_harness_teardown(h);
    }

    // Pushes one frame stamped at a time in 100 ns units; returns whether it came out.
    bool push(qint64 refTime)
    {
        GstBuffer *buffer = gst_buffer_new_allocate(nullptr, 16, nullptr);
        GST_BUFFER_PTS(buffer) = GstClockTime(refTime * 100);
        const guint before = gst_harness_buffers_received(h);
        EXPECT_EQ(gst_harness_push(h, buffer), GST_FLOW_OK);
        const bool delivered = gst_harness_buffers_received(h) > before;
        if (delivered)
            gst_buffer_unref(gst_harness_pull(h));
        return delivered;
    }

    void pushSegment(qint64 startRefTime)
    {
        GstSegment segment;
        gst_segment_init(&segment, GST_FORMAT_TIME);
        segment.start = segment.time = segment.position = GstClockTime(startRefTime * 100);
        ASSERT_TRUE(gst_harness_push_event(h, gst_event_new_segment(&segment)));
    }

    GstHarness *h = nullptr;
    TFramesNotifier *notifier = nullptr;
    std::vector<TNvMessage> video, navigation, replies;
};

TEST_F(FramesNotifierHarness, ReportsFrameDurationOfInputType)
{
    ASSERT_FALSE(navigation.empty());
    EXPECT_EQ(navigation.front().msg, kNvMsgFrameDuration);
    EXPECT_EQ(navigation.front().wParam, kFrame);
    EXPECT_EQ(notifier->VideoData().width, 16);

    navigation.clear();
    gst_harness_set_src_caps_str(h, "video/x-raw,format=I420,width=16,height=16,framerate=0/1");
    ASSERT_FALSE(navigation.empty());
    EXPECT_EQ(navigation.back().wParam, 100'000); // unknown rate: 10 ms
}

TEST_F(FramesNotifierHarness, SnapsToWholeFramesHalfRoundingDown)
{
    ASSERT_TRUE(push(0)); // sets the base time
    const struct {
        qint64 start, position;
    } cases[] = {
        {599'999, 400'000}, {600'000, 400'000}, {600'001, 800'000}, {0, 0}, {200'001, 400'000}};
    for (const auto &c : cases) {
        push(c.start);
        EXPECT_EQ(notifier->CurrentPosition(), c.position) << c.start;
    }
}

TEST_F(FramesNotifierHarness, UnsetDurationAndMissingStampsStillPlaceFrames)
{
    notifier->SetFrameDuration(0); // would divide by zero: counts as 1
    push(0);
    push(1'234'567);
    EXPECT_EQ(notifier->CurrentPosition(), 1'234'567);
    notifier->SetFrameDuration(kFrame);
    GstBuffer *unstamped = gst_buffer_new_allocate(nullptr, 16, nullptr);
    ASSERT_EQ(gst_harness_push(h, unstamped), GST_FLOW_OK);
    gst_buffer_unref(gst_harness_pull(h));
    // one frame after the last one
    EXPECT_EQ(notifier->CurrentPosition(),
              TFramesNotifier::SnapToFrame(1'234'567, kFrame) + kFrame);
}

TEST_F(FramesNotifierHarness, PositionsCountFromTheFirstFramesStreamTime)
{
    pushSegment(50'000'000);
    push(70'000'000); // the file's first frame, wherever it starts
    EXPECT_EQ(notifier->StreamStart(), 70'000'000);
    EXPECT_EQ(notifier->CurrentPosition(), 0);
    push(70'000'000 + 5 * kFrame);
    EXPECT_EQ(notifier->CurrentPosition(), 5 * kFrame);
    ASSERT_FALSE(navigation.empty());
    EXPECT_EQ(navigation.back().msg, kNvMsgPositionText);
    EXPECT_EQ(navigation.back().data.toString(), QStringLiteral("0:00:00:05"));
    // After a seek the segment moves; stream times, and so positions, do not.
    pushSegment(90'000'000);
    push(90'000'000 + 2 * kFrame);
    EXPECT_EQ(notifier->CurrentPosition(), 20'000'000 + 2 * kFrame);
}

TEST_F(FramesNotifierHarness, SameTextGoesToVideoWindowOnce)
{
    navigation.clear();
    push(0);
    push(0);
    push(kFrame);
    ASSERT_EQ(navigation.size(), 3u);
    ASSERT_EQ(video.size(), 2u);
    EXPECT_EQ(video[0].msg, kNvMsgFrameTimeStamp);
    EXPECT_EQ(video[0].data.toString(), QStringLiteral("0:00:00:00"));
    EXPECT_EQ(video[1].data.toString(), QStringLiteral("0:00:00:01"));

    notifier->SetPositionReports(false);
    push(2 * kFrame);
    EXPECT_EQ(navigation.size(), 3u);
    EXPECT_EQ(video.size(), 2u);
}

TEST_F(FramesNotifierHarness, DropsWhileDeliverIsOffButKeepsCounting)
{
    notifier->SetDeliver(false);
    notifier->SetPositionReports(false);
    navigation.clear();
    for (int k = 0; k < 5; ++k)
        EXPECT_FALSE(push(k * kFrame));
    EXPECT_EQ(notifier->CurrentPosition(), 4 * kFrame);
    EXPECT_EQ(gst_harness_buffers_received(h), 0u);
    EXPECT_TRUE(navigation.empty());
    notifier->SetDeliver(true);
    EXPECT_TRUE(push(5 * kFrame));
}

// A precise seek: frames are held back until the target frame, which is the
// first one delivered and reported; the filter switches delivery on itself.
TEST_F(FramesNotifierHarness, TargetReachedDeliversTheTargetFrameFirst)
{
    notifier->SetDeliver(false);
    notifier->SetPositionReports(false);
    notifier->ArmTarget(0, 10'000'000);
    navigation.clear();
    std::vector<qint64> delivered;
    for (int k = 0; k < 30; ++k)
        if (push(k * kFrame))
            delivered.push_back(notifier->CurrentPosition());
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].msg, kNvMsgTargetReached);
    EXPECT_EQ(replies[0].wParam, 10'000'000);
    // 9,600,000 is below 10,000,000 - 200,000; 10,000,000 is the first at or above
    EXPECT_EQ(replies[0].lParam, 10'000'000);
    ASSERT_FALSE(delivered.empty());
    EXPECT_EQ(delivered.front(), 10'000'000);
    EXPECT_EQ(delivered.size(), 30u - 25u);
    EXPECT_FALSE(notifier->TargetArmed(0));
    ASSERT_FALSE(navigation.empty());
    EXPECT_EQ(navigation.front().data.toString(), QStringLiteral("0:00:01:00"));
}

TEST_F(FramesNotifierHarness, TargetIsReachedWithinHalfAFrame)
{
    notifier->ArmTarget(0, 10'300'000); // reached from 10,100,000 on
    notifier->ArmTarget(1, 10'100'000); // reached from 9,900,000 on; no reply window
    push(0);
    push(9'600'000);
    EXPECT_TRUE(notifier->TargetArmed(1));
    push(10'000'000);
    EXPECT_FALSE(notifier->TargetArmed(1));
    EXPECT_TRUE(replies.empty());
    push(10'400'000);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].wParam, 10'300'000);
    EXPECT_EQ(replies[0].lParam, 10'400'000);
}

TEST(FramesNotifierSnap, TableOfCases)
{
    const struct {
        qint64 p, f, q;
    } cases[] = {{599'999, 400'000, 400'000}, {600'000, 400'000, 400'000},
                 {600'001, 400'000, 800'000}, {0, 400'000, 0},
                 {333'667, 333'667, 333'667}, {5, 1, 5}};
    for (const auto &c : cases)
        EXPECT_EQ(TFramesNotifier::SnapToFrame(c.p, c.f), c.q) << c.p << " " << c.f;
}

TEST(FramesNotifierElement, CarriesFriendlyNameAndClassId)
{
    GstElement *element = TFramesNotifier::Create("fn");
    ASSERT_NE(element, nullptr);
    gst_object_ref_sink(element);
    GstElementFactory *factory = gst_element_get_factory(element);
    EXPECT_STREQ(gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_LONGNAME),
                 "Norvane's FramesNotifier");
    EXPECT_STREQ(gst_element_factory_get_metadata(factory, "class-id"),
                 "{5104DD25-61F8-458D-AD1D-FCCF8BA18B60}");
    gst_object_unref(element);
}

} // namespace
