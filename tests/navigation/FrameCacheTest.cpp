// The decoded-frame cache: bounded in bytes, keeping the frames closest to
// the displayed position, holding copies of the real frames.

#include "navigation/uFrameCache.h"

#include <gtest/gtest.h>

namespace {

constexpr qint64 kFrame = 400'000;

GstBuffer *frameOf(int bytes, guint8 fill)
{
    GstBuffer *buffer = gst_buffer_new_allocate(nullptr, bytes, nullptr);
    gst_buffer_memset(buffer, 0, fill, bytes);
    return buffer;
}

void store(TFrameCache &cache, int index, int bytes = 1000)
{
    GstBuffer *buffer = frameOf(bytes, guint8(index));
    cache.Store(buffer, nullptr, index * kFrame);
    gst_buffer_unref(buffer);
}

guint8 firstByte(GstSample *sample)
{
    guint8 byte = 0;
    gst_buffer_extract(gst_sample_get_buffer(sample), 0, &byte, 1);
    return byte;
}

TEST(FrameCache, KeepsTheFramesClosestToTheFocusWithinItsBudget)
{
    TFrameCache cache(5000); // five frames of 1000 bytes
    cache.SetFocus(10 * kFrame);
    for (int i = 4; i <= 14; ++i)
        store(cache, i);
    EXPECT_EQ(cache.Count(), 5);
    EXPECT_EQ(cache.Bytes(), 5000);
    for (int i = 8; i <= 12; ++i)
        EXPECT_TRUE(cache.Contains(i * kFrame)) << i;
    GstSample *sample = cache.Find(9 * kFrame);
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(firstByte(sample), 9);
    gst_sample_unref(sample);
    EXPECT_EQ(cache.Find(9 * kFrame + 1), nullptr); // only exact positions

    // A frame at a position already held replaces it; one larger than the
    // whole budget is not kept.
    GstBuffer *again = frameOf(1000, 99);
    cache.Store(again, nullptr, 9 * kFrame);
    gst_buffer_unref(again);
    sample = cache.Find(9 * kFrame);
    EXPECT_EQ(firstByte(sample), 99);
    gst_sample_unref(sample);
    store(cache, 10, 6000);
    EXPECT_EQ(cache.Count(), 5);
    cache.SetBudget(2000);
    EXPECT_EQ(cache.Count(), 2);
    cache.Clear();
    EXPECT_EQ(cache.Count(), 0);
    EXPECT_EQ(cache.Bytes(), 0);
}

TEST(FrameCache, HoldsCopiesAndSkipsFramesBeyondItsReach)
{
    TFrameCache cache(5000);
    cache.SetFrameDuration(kFrame);
    cache.SetFocus(100 * kFrame);
    store(cache, 10); // 90 frames away: five frames' budget cannot reach it
    EXPECT_EQ(cache.Count(), 0);
    GstBuffer *buffer = frameOf(1000, 7);
    cache.Store(buffer, nullptr, 98 * kFrame);
    gst_buffer_memset(buffer, 0, 8, 1000); // the decoder reuses its buffer
    gst_buffer_unref(buffer);
    GstSample *sample = cache.Find(98 * kFrame);
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(firstByte(sample), 7);
    gst_sample_unref(sample);
    cache.SetEnabled(false);
    store(cache, 99);
    EXPECT_FALSE(cache.Contains(99 * kFrame));
}

TEST(FrameCache, DefaultBudgetAt1080p)
{
    EXPECT_EQ(TFrameCache::FramesWithin(TFrameCache::kDefaultBudget, 1920 * 1080 * 3 / 2), 86);
    EXPECT_EQ(TFrameCache::FramesWithin(TFrameCache::kDefaultBudget, 1920 * 1080 * 4), 32);
    EXPECT_EQ(TFrameCache::FramesWithin(TFrameCache::kDefaultBudget, 720 * 576 * 3 / 2), 431);
}

} // namespace
