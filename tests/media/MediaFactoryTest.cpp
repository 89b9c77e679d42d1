// Probing real files through the media factory: the source chosen, the
// sources found and the types their notifier places see.
#include "MediaFixtures.h"
#include "media/uFilterRecs.h"
#include "media/uGrapheMan.h"
#include "media/uMediaFactory.h"
#include "mf/uMediaTypes.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class MediaFactoryTest : public ::testing::Test
{
protected:
    void SetUp() override { factory.SetGrapheMan(&session); }
    void TearDown() override { session.Graph()->RemoveAll(); }

    QString fixture(const char *name)
    {
        const QString path = fixtures::mediaFixture(QString::fromLatin1(name));
        EXPECT_FALSE(path.isEmpty()) << name;
        return path;
    }

    TGrapheMan session;
    TMediaFactory factory;
};

TEST_F(MediaFactoryTest, ProbesEachKindOfFile)
{
    struct Case {
        const char *fixture;
        const char *source, *splitter;
        int dv, video, audio;
        const char *resolution;
        TGuid subtype;
    } cases[] = {
        {"avi_mjpeg_pcm.avi", "LAV Splitter Source", nullptr, 0, 1, 1, "320x240 - 25 fps",
         guids::MEDIASUBTYPE_MJPG},
        {"mp4_h264.mp4", "LAV Splitter Source", nullptr, 0, 1, 1, "320x240 - 25 fps",
         guids::MEDIASUBTYPE_AVC1},
        {"mkv_h264_ntsc.mkv", "LAV Splitter Source", nullptr, 0, 1, 1, "320x240 - 29.97 fps",
         guids::MEDIASUBTYPE_AVC1},
        {"mpeg2_ps.mpg", "LAV Splitter Source", nullptr, 0, 1, 1, "720x576 - 25 fps",
         guids::MEDIASUBTYPE_MPEG2_VIDEO},
        {"mpeg2_ts.ts", "LAV Splitter Source", nullptr, 0, 1, 1, "720x576 - 25 fps",
         guids::MEDIASUBTYPE_MPEG2_VIDEO},
        {"wmv_asf.wmv", "LAV Splitter Source", nullptr, 0, 1, 1, "320x240",
         FourCCGuid(MakeFourCC('W', 'M', 'V', '2'))},
        {"sine.wav", "File Source (Async.)", "Wave Parser", 0, 0, 1, nullptr, {}},
        {"dv_pal.dv", "LAV Splitter Source", nullptr, 0, 1, 1, "720x576 - 25 fps",
         guids::MEDIASUBTYPE_dvsd},
        {"dv_type2.avi", "LAV Splitter Source", nullptr, 0, 1, 1, "720x576 - 25 fps",
         guids::MEDIASUBTYPE_dvsd},
        {"dv_type1.avi", "LAV Splitter Source", nullptr, 1, 1, 1, "720x576 - 25 fps",
         guids::MEDIASUBTYPE_dvsd},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fixture);
        const QString path = fixture(c.fixture);
        TFileDevice *device = factory.GetDevice(path);
        ASSERT_NE(device, nullptr);
        ASSERT_TRUE(device->Usable);
        EXPECT_EQ(device->SourceRec->Name.toStdString(), c.source);
        EXPECT_EQ(device->SplitterRec ? device->SplitterRec->Name.toStdString() : "",
                  c.splitter ? c.splitter : "");
        EXPECT_EQ(device->DVCount(), c.dv);
        ASSERT_EQ(device->VideoCount(), c.video);
        ASSERT_EQ(device->AudioCount(), c.audio);
        EXPECT_EQ(device->OwningSession, &session);
        if (c.video) {
            TVideoSource *video = device->VideoSource(0);
            EXPECT_EQ(video->DisplayName, path);
            ASSERT_TRUE(video->Attach(&session, {}));
            EXPECT_EQ(video->MajorType, guids::MEDIATYPE_Video);
            EXPECT_EQ(video->SubType, c.subtype);
            TVideoData data;
            DescribeVideoType(video->AttachedType, data);
            EXPECT_EQ(data.resolutionText.toStdString(), c.resolution);
            EXPECT_TRUE(video->Detach());
        }
        TAudioSource *audio = device->AudioSource(0);
        ASSERT_TRUE(audio->Attach(&session, {}));
        EXPECT_EQ(audio->MajorType, guids::MEDIATYPE_Audio);
        EXPECT_EQ(audio->FormatType, guids::FORMAT_WaveFormatEx);
        EXPECT_TRUE(audio->Detach());
        EXPECT_TRUE(session.Graph()->Filters().isEmpty());
    }
}

TEST_F(MediaFactoryTest, ExtensionsChooseTheRow)
{
    const QString mkv = fixture("mkv_h264_ntsc.mkv");
    QTemporaryDir dir;
    const QString upper = dir.filePath("CLIP.MKV"), bare = dir.filePath("clip");
    QFile::copy(mkv, upper);
    QFile::copy(mkv, bare);
    TFileDevice *device = factory.GetDevice(upper);
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(device->Usable);
    EXPECT_EQ(device->VideoCount(), 1);
    EXPECT_EQ(factory.GetDevice(bare), nullptr);
    EXPECT_EQ(factory.GetDevice(upper), device) << "the cache gives the same device back";
    EXPECT_EQ(TMediaFactory::Extension("/a.b/clip"), "");
    EXPECT_EQ(TMediaFactory::Extension("/x/clip.DiF"), ".dif");
}

TEST_F(MediaFactoryTest, SecondSourceIsNumbered)
{
    const QString path = fixture("mkv_two_videos.mkv");
    TFileDevice *device = factory.GetDevice(path);
    ASSERT_TRUE(device && device->Usable);
    ASSERT_EQ(device->VideoCount(), 2);
    EXPECT_EQ(device->VideoSource(0)->DisplayName, path);
    EXPECT_EQ(device->VideoSource(1)->DisplayName, path + " #2");
    EXPECT_EQ(device->VideoSource(2), nullptr);
    TVideoSource *second = device->VideoSource(1);
    ASSERT_TRUE(second->Attach(&session, {}));
    TVideoData data;
    DescribeVideoType(second->AttachedType, data);
    EXPECT_EQ(data.resolutionText, "160x120 - 25 fps") << "the second stream, not the first";
    EXPECT_TRUE(second->Detach());
}

TEST_F(MediaFactoryTest, RawStreamOutputsGiveStreamDevicesWithoutSources)
{
    // A splitter that cannot be made leaves the file source as the output
    // filter: its output is a raw byte stream.
    TFilterRec *missing = TFilterRecs::Global().FindOrAdd(
        FactoryClassId("no-such-splitter"), QStringLiteral("Missing Splitter"), fkSystem);
    TFileDevice device(fixture("avi_mjpeg_pcm.avi"), factory.FileSourceAsync, missing);
    EXPECT_TRUE(device.Usable);
    EXPECT_EQ(device.StreamCount(), 1);
    EXPECT_EQ(device.VideoCount() + device.AudioCount() + device.DVCount(), 0);
    EXPECT_FALSE(device.StreamDevices[0]->Usable) << "a stream device connects nothing";
}

TEST_F(MediaFactoryTest, UnreadableFilesGiveAnUnusableDeviceQuickly)
{
    QTemporaryDir dir;
    const QString random = fixture("random.avi");
    const QString truncated = dir.filePath("cut.mp4"), empty = dir.filePath("empty.mkv");
    {
        QFile in(fixture("mp4_h264.mp4"));
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        QFile out(truncated);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(in.read(in.size() / 3));
        QFile e(empty);
        ASSERT_TRUE(e.open(QIODevice::WriteOnly));
    }
    for (const QString &path : {random, truncated, empty, dir.filePath("missing.avi")}) {
        SCOPED_TRACE(path.toStdString());
        QElapsedTimer clock;
        clock.start();
        TFileDevice *device = factory.GetDevice(path);
        ASSERT_NE(device, nullptr);
        EXPECT_LT(clock.elapsed(), 8000);
        if (path == truncated)
            continue; // the first third of an MP4 may still be readable
        EXPECT_FALSE(device->Usable);
        EXPECT_EQ(device->VideoCount() + device->AudioCount(), 0);
        // The last choice of the row is returned when nothing could read the file.
        EXPECT_EQ(device->SourceRec->Name, "File Source (Async.)");
    }
}

TEST_F(MediaFactoryTest, FallsBackToFileSourceAndSplitter)
{
    // A preferred source that cannot be made leaves the file to the next choice.
    TFilterRec *missing = TFilterRecs::Global().FindOrAdd(
        FactoryClassId("no-such-element"), QStringLiteral("Missing Source"), fkSystem);
    factory.SetPreferredSource(missing);
    struct Case {
        const char *fixture, *source, *splitter;
    } cases[] = {
        {"avi_mjpeg_pcm.avi", "File Source (Async.)", "AVI Splitter"},
        {"mpeg2_ps.mpg", "File Source (Async.)", "MPEG-2 Splitter"},
        {"mpeg2_ts.ts", "File Source (Async.)", "MPEG-2 Splitter"},
        {"wmv_asf.wmv", "WM ASF Reader", nullptr},
        {"dv_pal.dv", "File Source (Async.)", "DV Splitter"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fixture);
        TFileDevice *device = factory.GetDevice(fixture(c.fixture));
        ASSERT_NE(device, nullptr);
        EXPECT_TRUE(device->Usable);
        EXPECT_EQ(device->SourceRec->Name.toStdString(), c.source);
        EXPECT_EQ(device->SplitterRec ? device->SplitterRec->Name.toStdString() : "",
                  c.splitter ? c.splitter : "");
        EXPECT_EQ(device->VideoCount(), 1);
        EXPECT_EQ(device->AudioCount(), 1);
    }
    factory.SetPreferredSource(nullptr);
    EXPECT_EQ(factory.PreferredSource(), factory.LAVSplitterSource);
    EXPECT_EQ(factory.CachedCount(), 0);
}

} // namespace
