// A frame decoded by a real pipeline, grabbed with the record of its own
// position: the saved file must hold that frame, at the fitted size, and say
// so in its metadata.

#include "FrameIndex.h"
#include "MediaFixtures.h"
#include "capture/uGrabber.h"
#include "capture/uImageNaming.h"

#include <QFileInfo>

#include <QTemporaryDir>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>
#include <gtest/gtest.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations" // Exiv2 0.27's auto_ptr
#include <exiv2/exiv2.hpp>

namespace {

struct DecodedFrame {
    QImage picture;
    TFrameRecord record;
};

// The n-th frame of a file (counted from 0) as BGRx with its position.
DecodedFrame decodeFrame(const QString &path, int n)
{
    const QString description =
        QStringLiteral("filesrc location=\"%1\" ! dvdemux ! dvdec ! videoconvert ! "
                       "video/x-raw,format=BGRx ! appsink name=sink sync=false max-buffers=4")
            .arg(path);
    GError *error = nullptr;
    GstElement *pipeline = gst_parse_launch(description.toUtf8().constData(), &error);
    if (!pipeline) {
        g_clear_error(&error);
        return {};
    }
    GstElement *sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    DecodedFrame frame;
    for (int k = 0; k <= n; ++k) {
        GstSample *sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), 10 * GST_SECOND);
        if (!sample)
            break;
        if (k == n) {
            GstVideoInfo info;
            gst_video_info_from_caps(&info, gst_sample_get_caps(sample));
            GstBuffer *buffer = gst_sample_get_buffer(sample);
            GstMapInfo map;
            gst_buffer_map(buffer, &map, GST_MAP_READ);
            frame.picture = QImage(map.data, info.width, info.height,
                                   GST_VIDEO_INFO_PLANE_STRIDE(&info, 0), QImage::Format_RGB32)
                                .copy();
            gst_buffer_unmap(buffer, &map);
            frame.record.position = qint64(GST_BUFFER_PTS(buffer) / 100);
            frame.record.frameDuration = qint64(GST_BUFFER_DURATION(buffer) / 100);
            frame.record.sourceFile = path;
        }
        gst_sample_unref(sample);
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(sink);
    gst_object_unref(pipeline);
    return frame;
}

std::string xmpText(const QString &path, const char *key)
{
    auto image = Exiv2::ImageFactory::open(path.toStdString());
    image->readMetadata();
    const auto it = image->xmpData().findKey(Exiv2::XmpKey(key));
    return it == image->xmpData().end() ? std::string("(none)") : it->toString();
}

TEST(GrabPipeline, SavedFileHoldsTheRecordedFrame)
{
    const QString clip = fixtures::mediaFixture("indexed.dv");
    ASSERT_FALSE(clip.isEmpty());
    const DecodedFrame decoded = decodeFrame(clip, 7);
    ASSERT_EQ(decoded.picture.size(), QSize(720, 576));
    ASSERT_EQ(fixtures::frameIndexOf(decoded.picture), 7);

    QTemporaryDir dir;
    TImageNameSettings naming;
    naming.folder = dir.path();
    naming.root = "g";
    const QString name = *NextImageName(naming, decoded.record); // time-stamp name
    EXPECT_EQ(QFileInfo(name).fileName(), "g_0.00.00.07.bmp");

    TGrabber grabber;
    const TGrabResult bmp = grabber.Grab(decoded.picture, decoded.record, name, {false, {4, 3}},
                                         {0, 50, true}, nullptr);
    ASSERT_TRUE(bmp.save.saved()) << bmp.save.message.toStdString();
    const QImage bmpBack(name);
    EXPECT_EQ(bmpBack.size(), QSize(720, 540));
    EXPECT_EQ(bmpBack.depth(), 32); // Qt reads 24-bit bitmaps into RGB32
    EXPECT_EQ(fixtures::frameIndexOf(bmpBack), 7);

    const QString jpeg = dir.filePath("g_001.jpg");
    const TGrabResult wide = grabber.Grab(decoded.picture, decoded.record, jpeg, {false, {16, 9}},
                                          {1, 90, true}, nullptr);
    ASSERT_TRUE(wide.save.saved()) << wide.save.message.toStdString();
    const QImage jpegBack(jpeg);
    EXPECT_EQ(jpegBack.size(), QSize(720, 405));
    EXPECT_EQ(fixtures::frameIndexOf(jpegBack), 7);
    EXPECT_EQ(xmpText(jpeg, "Xmp.kadrex.FrameNumber"), "7");
    EXPECT_EQ(xmpText(jpeg, "Xmp.kadrex.Position"), "0:00:00:07");
    EXPECT_EQ(xmpText(jpeg, "Xmp.kadrex.SourceFile"), "indexed.dv");
}

} // namespace

#pragma GCC diagnostic pop
