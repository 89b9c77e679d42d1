// The indexed clips decode, in every container, to frames that read back as
// 0, 1, 2...: the ground truth every frame-exactness test stands on.

#include "FrameIndex.h"
#include "MediaFixtures.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>
#include <gtest/gtest.h>

#include <QImage>

namespace {

// Decodes every frame of a file with GStreamer alone and reads its index.
std::vector<int> decodedIndexes(const QString &path)
{
    const QString description =
        QStringLiteral("filesrc location=\"%1\" ! decodebin ! videoconvert ! "
                       "video/x-raw,format=BGRx ! appsink name=out sync=false")
            .arg(path);
    GError *error = nullptr;
    GstElement *pipeline = gst_parse_launch(description.toUtf8().constData(), &error);
    if (error) {
        ADD_FAILURE() << error->message;
        g_error_free(error);
        return {};
    }
    GstElement *sink = gst_bin_get_by_name(GST_BIN(pipeline), "out");
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    std::vector<int> indexes;
    while (GstSample *sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), 10 * GST_SECOND)) {
        GstVideoInfo info;
        gst_video_info_from_caps(&info, gst_sample_get_caps(sample));
        GstMapInfo map;
        GstBuffer *buffer = gst_sample_get_buffer(sample);
        gst_buffer_map(buffer, &map, GST_MAP_READ);
        const QImage image(map.data, info.width, info.height, int(info.stride[0]),
                           QImage::Format_RGB32);
        indexes.push_back(fixtures::frameIndexOf(image));
        gst_buffer_unmap(buffer, &map);
        gst_sample_unref(sample);
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(sink);
    gst_object_unref(pipeline);
    return indexes;
}

} // namespace

TEST(IndexedClips, EveryContainerDecodesToItsOwnIndexes)
{
    std::vector<int> expected(fixtures::kIndexedFrames);
    for (int i = 0; i < fixtures::kIndexedFrames; ++i)
        expected[i] = i;
    for (const QString &name : fixtures::indexedFixtureNames()) {
        const QString path = fixtures::mediaFixture(name);
        ASSERT_FALSE(path.isEmpty()) << name.toStdString();
        EXPECT_EQ(decodedIndexes(path), expected) << name.toStdString();
    }
}
