// The video manager on real files: the messages when there is no video or it
// cannot be decoded, and an attached 16:9 MPEG-2 stream shown with its own
// display aspect, its format reported, detached again.
#include "MediaFixtures.h"
#include "TestSupport.h"
#include "actions/uScriptAction.h"
#include "filters/uFilterElements.h"
#include "media/uDVMan.h"
#include "media/uFileDevices.h"
#include "media/uMediaDevices.h"
#include "media/uMediaFactory.h"
#include "media/uVideoMan.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

namespace {

using testsupport::waitFor;

class VideoManTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(RegisterFilterElements());
        factory.SetGrapheMan(&session);
        man.OnNotifyVideoDecoder = [this](const QString &name) { decoders << name; };
        man.OnNotifyVideoFormat = [this](const QString &text) { formats << text; };
        panel.resize(480, 360);
        man.SetWindow(&panel);
        panel.show();
    }
    void TearDown() override
    {
        man.DetachSource(false);
        session.Stop();
    }

    TVideoSource *videoOf(const QString &path)
    {
        TFileDevice *device = factory.GetDevice(path);
        return device && device->Usable && device->VideoCount() > 0 ? device->VideoSource(0)
                                                                    : nullptr;
    }

    QStringList decoders, formats; // outlive the manager, which reports as it goes
    QWidget panel;
    TDVMan session;
    TMediaFactory factory;
    TVideoMan man;
};

TEST_F(VideoManTest, PlaceholderShowsTheNoVideoMessage)
{
    EXPECT_FALSE(man.AttachSource(placeholders::NoVideo()));
    EXPECT_EQ(man.DisplayState(), TVideoMan::dsNoVideo);
    EXPECT_TRUE(man.MessageLabel()->isVisible());
    EXPECT_TRUE(man.MessageLabel()->toPlainText().contains("No video stream has been connected"));
    EXPECT_TRUE(man.MessagePicture()->isVisible());
    EXPECT_EQ(man.MessagePicture()->y(), (man.MessageLabel()->y() - 192) / 2);

    decoders.clear();
    man.naNextDecoderVideo->DoExecute();
    EXPECT_TRUE(decoders.isEmpty()) << "without a video the next decoder changes nothing";

    man.OnNoVideoStream = [](QString &text) { text = "Nothing here"; };
    man.ShowNoVideo();
    EXPECT_EQ(man.MessageLabel()->toPlainText().trimmed(), "Nothing here");
}

// 16:9 made by ffmpeg as MPEG-2 (sequence header) and as DV (its aspect flag).
class WideVideo : public VideoManTest, public ::testing::WithParamInterface<const char *>
{
};

TEST_P(WideVideo, IsShownWithItsOwnAspect)
{
    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("wide.%1").arg(GetParam()));
    const QStringList codec = QString(GetParam()) == "dv"
                                  ? QStringList{"-c:v", "dvvideo", "-pix_fmt", "yuv420p"}
                                  : QStringList{"-c:v", "mpeg2video"};
    ASSERT_EQ(
        testsupport::runProgram("ffmpeg", QStringList{"-nostdin", "-loglevel", "error", "-f",
                                                      "lavfi", "-i", "testsrc=size=720x576:rate=25",
                                                      "-t", "1", "-aspect", "16:9"} +
                                              codec + QStringList{clip}),
        0);
    TVideoSource *video = videoOf(clip);
    ASSERT_NE(video, nullptr);
    man.PrepareForFile();
    ASSERT_TRUE(man.AttachSource(video));
    EXPECT_EQ(man.DisplayState(), TVideoMan::dsVideo);
    EXPECT_FALSE(man.MessageLabel()->isVisible());
    ASSERT_FALSE(decoders.isEmpty());
    EXPECT_NE(decoders.last(), "No Video decoder");
    EXPECT_TRUE(man.AttachSource(video)) << "the same source again changes nothing";

    ASSERT_TRUE(session.Pause());
    EXPECT_TRUE(waitFor([&] { return man.Aspect() == QPoint(16, 9); }));
    EXPECT_TRUE(waitFor([&] { return man.FramesDrawn() > 0; })) << "the paused picture is painted";
    ASSERT_FALSE(formats.isEmpty());
    EXPECT_TRUE(formats.last().contains("720")) << formats.last().toStdString();
    QImage captured;
    ASSERT_TRUE(man.CaptureCurrentImage(captured));
    EXPECT_EQ(captured.size(), QSize(720, 576));

    man.SetForcedAspect(1);
    EXPECT_EQ(man.Aspect(), QPoint(4, 3));
    man.SetForcedAspect(3);
    EXPECT_EQ(man.Aspect(), QPoint(720, 576));
    man.SetForcedAspect(0);
    EXPECT_EQ(man.Aspect(), QPoint(16, 9));

    const qsizetype reports = decoders.size();
    man.naNextDecoderVideo->DoExecute();
    EXPECT_EQ(decoders.size(), reports + 1) << "the next decoder is reported";
    EXPECT_EQ(man.DisplayState(), TVideoMan::dsVideo);

    const int drawn = man.FramesDrawn();
    ASSERT_TRUE(session.Play());
    EXPECT_TRUE(waitFor([&] { return man.FramesDrawn() > drawn + 5; })) << "frames drawn rise";

    EXPECT_TRUE(man.DetachSource(true));
    EXPECT_EQ(man.DisplayState(), TVideoMan::dsNoVideo);
    EXPECT_EQ(decoders.last(), "No Video decoder");
    EXPECT_EQ(formats.last(), "No Video");
    EXPECT_EQ(man.CurrentSource(), placeholders::NoVideo());
    EXPECT_FALSE(man.CaptureCurrentImage(captured)) << "the window is cleared";
}

// With every JPEG decoder in the excluded table, an MJPEG stream cannot be decoded.
TEST_F(VideoManTest, UndecodableStreamShowsTheBadVideoMessage)
{
    TVideoSource *video = videoOf(fixtures::mediaFixture("avi_mjpeg_pcm.avi"));
    ASSERT_NE(video, nullptr);
    ASSERT_TRUE(man.AttachSource(video)) << "decodable as it stands";
    const TMediaTypeKey type{video->MajorType, video->SubType, video->FormatType};
    man.DetachSource(false);

    // Each row excludes one decoder for a key that fits the stream (every
    // GUID either the stream's or null), so up to eight rows.
    TDecoderLinks &excluded = decoders::VideoExcluded();
    TDecoderLinks &preferences = decoders::VideoPreferences();
    const TDecoderLinks saved = excluded, savedPreferences = preferences;
    preferences.Remove(type); // the decoder the first attach remembered
    GList *all =
        gst_element_factory_list_get_elements(GST_ELEMENT_FACTORY_TYPE_DECODER, GST_RANK_NONE);
    GstCaps *jpeg = gst_caps_from_string("image/jpeg");
    GList *jpegDecoders = gst_element_factory_list_filter(all, jpeg, GST_PAD_SINK, FALSE);
    int row = 0;
    for (GList *l = jpegDecoders; l && row < 8; l = l->next, ++row) {
        auto *factory = GST_ELEMENT_FACTORY(l->data);
        const TMediaTypeKey key{row & 1 ? type.majortype : TGuid(),
                                row & 2 ? type.subtype : TGuid(),
                                row & 4 ? type.formattype : TGuid()};
        excluded.Set(key, TFilterRecs::Global().FindOrAdd(decoders::FactoryClassIdOf(factory),
                                                          gst_plugin_feature_get_name(factory),
                                                          fkSystem));
    }
    gst_plugin_feature_list_free(jpegDecoders);
    gst_plugin_feature_list_free(all);
    gst_caps_unref(jpeg);

    man.PrepareForFile();
    decoders.clear();
    const bool attached = man.AttachSource(video);
    excluded = saved;
    preferences = savedPreferences;
    EXPECT_FALSE(attached) << decoders.join(",").toStdString();
    EXPECT_EQ(man.DisplayState(), TVideoMan::dsBadVideo);
    EXPECT_TRUE(man.MessageLabel()->isVisible());
    EXPECT_TRUE(
        man.MessageLabel()->toPlainText().contains("The video stream could not be decoded"));
    EXPECT_EQ(man.CurrentSource(), placeholders::NoVideo()) << "left detached";
    EXPECT_EQ(video->Session, nullptr);
}

INSTANTIATE_TEST_SUITE_P(VideoMan, WideVideo, ::testing::Values("mpg", "dv"),
                         [](const auto &info) { return std::string(info.param); });

} // namespace
