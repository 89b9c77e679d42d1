#include "TestSupport.h"
// The audio manager: the volume scale, the volume and mute actions, attach
// and detach on real files, and playback at the pace of real time.
#include "../prefs/PrefsTestSupport.h"
#include "MediaFixtures.h"
#include "actions/uScriptAction.h"
#include "filters/uFilterMessages.h"
#include "filters/uNotifier.h"
#include "media/uAudioMan.h"
#include "media/uGrapheMan.h"
#include "media/uMediaDevices.h"
#include "media/uMediaFactory.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

using testsupport::waitFor;

TEST(AudioVolumeScale, ReferenceValues)
{
    struct Case {
        int volume, centibels;
    } cases[] = {{10000, 0}, {5000, -752}, {1000, -2499}, {0, -10000}, {12000, 0}, {-5, -10000}};
    for (const Case &c : cases) {
        EXPECT_EQ(VolumeToCentibels(c.volume), c.centibels) << c.volume;
        EXPECT_NEAR(CentibelsToVolume(c.centibels), qBound(0, c.volume, 10000),
                    qBound(0, c.volume, 10000) / 500 + 1);
    }
    EXPECT_DOUBLE_EQ(CentibelsToFactor(0), 1.0);
    EXPECT_DOUBLE_EQ(CentibelsToFactor(-2000), 0.1);
    EXPECT_DOUBLE_EQ(CentibelsToFactor(-10000), 0.0) << "silent";
}

class AudioManTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        factory.SetGrapheMan(&session);
        audman.OnStatus = [this](int s) { statuses << s; };
        audman.OnVolume = [this](int v) { volumes << v; };
        audman.OnNotifyAudioDecoder = [this](const QString &n) { decoderNames << n; };
        audman.OnNotifyAudioFormat = [this](const QString &f) { formats << f; };
    }
    void TearDown() override
    {
        session.Stop();
        audman.DetachSource();
        session.Graph()->RemoveAll();
    }
    TAudioSource *audioOf(const char *fixture)
    {
        TFileDevice *device = factory.GetDevice(fixtures::mediaFixture(fixture));
        return device && device->Usable ? device->AudioSource(0) : nullptr;
    }

    QList<int> statuses, volumes;
    QStringList decoderNames, formats;
    TGrapheMan session;
    TMediaFactory factory;
    TAudioMan audman;
};

TEST_F(AudioManTest, ActionsAsPublished)
{
    EXPECT_EQ(audman.caMute->ShortCut(), QKeySequence(Qt::CTRL | Qt::Key_M));
    EXPECT_EQ(audman.naNextDecoderAudio->ShortCut(), QKeySequence(Qt::CTRL | Qt::Key_F9));
    EXPECT_EQ(audman.naIncVolume->ShortCut(), QKeySequence(Qt::KeypadModifier | Qt::Key_Plus));
    EXPECT_EQ(audman.naDecVolume->ShortCut(), QKeySequence(Qt::KeypadModifier | Qt::Key_Minus));
    EXPECT_EQ(audman.caMute->Caption(), "Put Sound off");
    EXPECT_EQ(audman.caMute->Hint(), "Click to put the sound off");
    EXPECT_EQ(audman.naDecVolume->Caption(), "Decrease the Volume");
    EXPECT_EQ(audman.naIncVolume->Hint(), "Click to increase the volume by 1000/10000");
    EXPECT_EQ(audman.iaVolume->DefaultValue(), 5000);
    EXPECT_TRUE(audman.iaVolume->ApplyWhenLoad);
    EXPECT_TRUE(audman.caMute->ApplyWhenLoad);
    EXPECT_FALSE(audman.naNextDecoderAudio->ApplyWhenLoad);
    EXPECT_EQ(audman.caMute->Category, "internal");
    EXPECT_EQ(audman.FindByInternalId("iaVolume"), audman.iaVolume);
    audman.caMute->SetChecked(true);
    EXPECT_EQ(audman.caMute->Caption(), "Turn sound on");
    audman.caMute->SetChecked(false);
}

TEST_F(AudioManTest, VolumeStepsStopAtTheEnds)
{
    audman.SetVolume(9500);
    audman.naIncVolume->DoExecute();
    EXPECT_EQ(audman.Volume(), 10000);
    EXPECT_EQ(audman.iaVolume->Value(), 10000);
    audman.SetVolume(500);
    audman.naDecVolume->DoExecute();
    EXPECT_EQ(audman.Volume(), 0);
    EXPECT_EQ(audman.iaVolume->Value(), 0);
    audman.iaVolume->SetValue(20000);
    EXPECT_EQ(audman.Volume(), 10000);
    EXPECT_EQ(volumes.last(), 10000);
}

TEST_F(AudioManTest, PlaceholderAndRepeatedAttach)
{
    EXPECT_FALSE(audman.AttachSource(placeholders::NoAudio()));
    EXPECT_EQ(audman.Status(), asNoStream);
    TAudioSource *source = audioOf("sine.wav");
    ASSERT_TRUE(source);
    ASSERT_TRUE(audman.AttachSource(source));
    EXPECT_EQ(decoderNames.last(), "No Audio decoder") << "the renderer takes PCM as it is";
    EXPECT_EQ(audman.Status(), asSoundOn);
    EXPECT_EQ(session.Graph()->FindFilterByName("Nv Audio Renderer"), audman.Renderer());
    const int notified = int(decoderNames.size());
    const auto filters = session.Graph()->Filters();
    EXPECT_TRUE(audman.AttachSource(source));
    EXPECT_EQ(decoderNames.size(), notified) << "nothing changes";
    EXPECT_EQ(session.Graph()->Filters(), filters);

    EXPECT_TRUE(audman.DetachSource());
    EXPECT_EQ(decoderNames.last(), "No Audio decoder");
    EXPECT_EQ(formats.last(), "No Audio");
    EXPECT_EQ(audman.Status(), asNoStream);
    EXPECT_EQ(session.Graph()->FindFilterByName("Nv Audio Renderer"), nullptr);
}

TEST_F(AudioManTest, MuteSilencesTheRendererButKeepsTheVolume)
{
    ASSERT_TRUE(audman.AttachSource(audioOf("sine.wav")));
    audman.SetVolume(5000);
    EXPECT_EQ(audman.GraphCentibels(), -752);
    audman.caMute->SetChecked(true);
    EXPECT_EQ(audman.Status(), asMuted);
    EXPECT_EQ(audman.GraphCentibels(), -10000);
    EXPECT_EQ(volumes.last(), 5000);
    audman.naIncVolume->DoExecute();
    EXPECT_EQ(audman.GraphCentibels(), -10000) << "still muted";
    audman.caMute->SetChecked(false);
    EXPECT_EQ(audman.Status(), asSoundOn);
    EXPECT_EQ(audman.GraphCentibels(), VolumeToCentibels(6000));
    EXPECT_EQ(audman.Volume(), 6000);
}

TEST_F(AudioManTest, DecoderAndFormatReportsAndNextDecoder)
{
    ASSERT_TRUE(audman.AttachSource(audioOf("mpeg2_ac3.mpg")));
    const QString first = decoderNames.last();
    EXPECT_NE(first, "No Audio decoder");
    ASSERT_TRUE(session.Pause());
    EXPECT_TRUE(waitFor([&] { return !formats.isEmpty() && formats.last() != "No Audio"; }));
    EXPECT_TRUE(formats.last().contains("48000")) << formats.last().toStdString();
    audman.naNextDecoderAudio->DoExecute();
    EXPECT_NE(decoderNames.last(), first);
    EXPECT_EQ(decoderNames.last(), audman.DecoderMan()->CurrentDecoder()->Name);
}

TEST_F(AudioManTest, DecoderChoicesAndVolumeLiveInTheManagersPreferences)
{
    TAudioSource *source = audioOf("sine.wav");
    ASSERT_TRUE(audman.AttachSource(source));
    audman.SetVolume(7000);
    const TMediaTypeKey pcm{source->MajorType, source->SubType, source->FormatType};
    ASSERT_EQ(decoders::AudioPreferences().Find(pcm), decoders::NoAudioDecoder());
    TempStores stores;
    {
        TNorvanePreferences store(nullptr, stores.locations());
        store.SetMode(TSavePreferences::spRegistre);
        store.AddList("ShowForm\\audman", &audman);
        ASSERT_TRUE(store.Save());
    }
    decoders::AudioPreferences().Clear();
    audman.SetVolume(100);
    TNorvanePreferences store(nullptr, stores.locations());
    store.DetectMode();
    store.AddList("ShowForm\\audman", &audman);
    ASSERT_TRUE(store.LoadLists());
    EXPECT_EQ(decoders::AudioPreferences().Find(pcm), decoders::NoAudioDecoder());
    EXPECT_EQ(audman.Volume(), 7000) << "iaVolume took the volume before it was saved";
}

TEST_F(AudioManTest, PlaybackKeepsThePaceOfRealTimeWithOrWithoutADevice)
{
    ASSERT_TRUE(audman.AttachSource(audioOf("sine.wav"))); // 1 s
    bool ended = false;
    session.OnGraphCompleted = [&] { ended = true; };
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(session.Play());
    ASSERT_TRUE(waitFor([&] { return ended; }, 5000));
    EXPECT_GT(clock.elapsed(), 800)
        << (AudioRendererHasDevice(audman.Renderer()) ? "device" : "fake sink");
}

} // namespace
