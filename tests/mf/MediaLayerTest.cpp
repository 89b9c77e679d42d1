// The media layer on real files: source bins find their streams, pins carry
// the types the program's rules read.
#include "MediaFixtures.h"
#include "mf/mfGraph.h"
#include "mf/mfSourceBin.h"
#include "mf/uMediaTypes.h"

#include <gtest/gtest.h>

namespace {

struct TFoundStream {
    TMediaType type;
    TVideoData video;
};

std::vector<TFoundStream> streamsOf(GstElement *source)
{
    std::vector<TFoundStream> found;
    for (GstPad *pad : mf::Pins(source)) {
        if (!GST_PAD_IS_SRC(pad))
            continue;
        TFoundStream f;
        f.type = mf::PinMediaType(pad);
        DescribeVideoType(f.type, f.video);
        found.push_back(f);
    }
    return found;
}

TEST(MediaLayer, SourceBinFindsStreams)
{
    struct Case {
        const char *fixture;
        int streams;
        const char *resolution; // of the first video stream
    } cases[] = {
        {"mpeg2_ps.mpg", 2, "720x576 - 25 fps"},
        {"mpeg2_ts.ts", 2, "720x576 - 25 fps"},
        {"mkv_h264_ntsc.mkv", 2, "320x240 - 29.97 fps"},
        {"mp4_h264.mp4", 2, "320x240 - 25 fps"},
        {"avi_mjpeg_pcm.avi", 2, "320x240 - 25 fps"},
        {"wmv_asf.wmv", 2, "320x240"},
        {"dv_pal.dv", 2, "720x576 - 25 fps"},
        {"dv_type2.avi", 2, "720x576 - 25 fps"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fixture);
        const QString path = fixtures::mediaFixture(c.fixture);
        ASSERT_FALSE(path.isEmpty());
        GstElement *source = GST_ELEMENT(gst_object_ref_sink(MfCreateSourceBin({})));
        ASSERT_EQ(MfLoadFile(source, path), S_OK);
        const auto found = streamsOf(source);
        EXPECT_EQ(int(found.size()), c.streams);
        bool sawVideo = false;
        for (const TFoundStream &f : found) {
            if (f.type.majortype != guids::MEDIATYPE_Video || sawVideo)
                continue;
            sawVideo = true;
            EXPECT_TRUE(f.video.valid);
            EXPECT_EQ(f.video.resolutionText.toStdString(), c.resolution);
        }
        EXPECT_TRUE(sawVideo);
        gst_object_unref(source);
    }
}

} // namespace

namespace {

TEST(MediaLayer, SpentBudgetFailsDiscoveryAtOnce)
{
    const QString path = fixtures::mediaFixture("mp4_h264.mp4");
    GstElement *source = GST_ELEMENT(gst_object_ref_sink(MfCreateSourceBin({})));
    {
        const TDiscoveryBudget spent(0);
        EXPECT_EQ(TDiscoveryBudget::Remaining(), 0);
        EXPECT_TRUE(FAILED(MfLoadFile(source, path)));
    }
    EXPECT_EQ(TDiscoveryBudget::Remaining(), kDiscoveryTimeoutMs);
    EXPECT_EQ(MfLoadFile(source, path), S_OK);
    gst_object_unref(source);
}

} // namespace
