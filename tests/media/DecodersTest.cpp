// The decoder manager on real pipelines: the order preferred decoder,
// candidates, framework's choice; exclusions; the whole cycle of "next
// decoder"; the frames notifier behind the decoder; release; and the link
// lists through the real SQLite store.
#include "../prefs/PrefsTestSupport.h"
#include "FrameIndex.h"
#include "MediaFixtures.h"
#include "filters/uFramesNotifier.h"
#include "media/uDecoders.h"
#include "media/uGrapheMan.h"
#include "media/uMediaDevices.h"
#include "media/uMediaFactory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QThread>

#include <gst/video/video.h>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

QString longName(const char *factory)
{
    GstElementFactory *f = gst_element_factory_find(factory);
    if (!f)
        return {};
    GstElement *e = gst_element_factory_create(f, nullptr);
    const QString name = decoders::ElementFriendlyName(e);
    gst_object_unref(gst_object_ref_sink(e));
    gst_object_unref(f);
    return name;
}

// The registry's record of an installed decoder, as a stored preference gives it.
TFilterRec *recordOf(const char *factory)
{
    return TFilterRecs::Global().FindOrAdd(FactoryClassId(QString::fromLatin1(factory)),
                                           longName(factory), fkSystem);
}

// A renderer that takes only decoded streams of the kind.
GstElement *rawSink(bool video)
{
    GstElement *sink = gst_element_factory_make("appsink", nullptr);
    GstCaps *caps = gst_caps_from_string(video ? "video/x-raw" : "audio/x-raw");
    g_object_set(sink, "caps", caps, "sync", FALSE, "max-buffers", 2u, "drop", TRUE, nullptr);
    gst_caps_unref(caps);
    return sink;
}

// The index the prerolled frame of an appsink shows, -1 without one.
int prerolledIndex(GstElement *sink)
{
    GstSample *sample = nullptr;
    g_signal_emit_by_name(sink, "try-pull-preroll", GST_SECOND, &sample);
    if (!sample)
        return -1;
    GstVideoInfo info;
    gst_video_info_from_caps(&info, gst_sample_get_caps(sample));
    GstMapInfo map;
    GstBuffer *buffer = gst_sample_get_buffer(sample);
    gst_buffer_map(buffer, &map, GST_MAP_READ);
    const int index = fixtures::frameIndexOf(
        QImage(map.data, info.width, info.height, int(info.stride[0]), QImage::Format_RGB32));
    gst_buffer_unmap(buffer, &map);
    gst_sample_unref(sample);
    return index;
}

class DecodersTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        factory.SetGrapheMan(&session);
        man.SetTables(&excluded, &prefs, decoders::NoVideoDecoder());
        man.SetSession(&session);
    }
    void TearDown() override
    {
        session.Stop();
        if (source)
            source->Detach();
        session.Graph()->RemoveAll();
    }

    // Attaches stream 0 of the kind and adds the renderer.
    bool open(const char *fixture, bool video)
    {
        TFileDevice *device = factory.GetDevice(fixtures::mediaFixture(fixture));
        if (!device || !device->Usable)
            return false;
        source = video ? static_cast<TavSource *>(device->VideoSource(0))
                       : static_cast<TavSource *>(device->AudioSource(0));
        if (!video)
            man.SetTables(&excluded, &prefs, decoders::NoAudioDecoder());
        sink = rawSink(video);
        return source && source->Attach(&session, {}) &&
               SUCCEEDED(session.Graph()->AddFilter(sink, "Renderer"));
    }
    bool connect() { return man.Connect(source->NotifierFilter, sink); }
    QString current() const { return man.CurrentDecoder()->Name; }
    // A frames notifier as the video manager gives it (kind 2, its own
    // instance), set as the manager's frames filter.
    GstElement *useFramesNotifier()
    {
        GstElement *frames = TFramesNotifier::Create();
        TFilterRec *rec =
            TFilterRecs::Global().FindOrAdd(GuidFromText("{5B4B1A2C-6D3E-4F50-8A71-92B3C4D5E6F7}"),
                                            "Norvane's FramesNotifier", fkOwnInstance);
        TFilterRecs::Global().ReleaseInstance(rec, frames);
        man.FramesFilter = rec;
        return frames;
    }
    // What feeds the renderer, past the converters a renderer may need.
    GstElement *inFrontOfRenderer() const
    {
        GstElement *element = mf::PinFilter(mf::ConnectedTo(mf::Pin(sink, 0)));
        while (decoders::IsConverterElement(element))
            element = mf::PinFilter(mf::ConnectedTo(mf::Pin(element, 0)));
        return element;
    }
    QList<GstElement *> filters() const { return session.Graph()->Filters(); }

    TGrapheMan session;
    TMediaFactory factory;
    TDecoderLinks excluded, prefs;
    TDecoderMan man;
    TavSource *source = nullptr;
    GstElement *sink = nullptr;
};

TEST_F(DecodersTest, NextDecoderCyclesThroughEveryInstalledDecoderAndStartsOver)
{
    struct Case {
        const char *fixture;
        bool video;
        QList<const char *> installed; // in the framework's order
    } cases[] = {
        {"avi_mjpeg_pcm.avi", true, {"jpegdec", "avdec_mjpeg"}},
        {"dv_pal.dv", true, {"avdec_dvvideo", "dvdec"}},
        {"mpeg2_ac3.mpg", false, {"a52dec", "avdec_ac3", "avdec_ac3_fixed"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fixture);
        TearDown();
        man.Reset();
        ASSERT_TRUE(open(c.fixture, c.video));
        const QList<GstElement *> before = filters();
        ASSERT_TRUE(connect());
        EXPECT_EQ(man.Phase(), 2) << "no preference, no candidates: the framework's choice";
        QStringList seen{current()};
        for (int i = 0; i < 8 && man.Advance() && current() != seen.first(); ++i)
            seen << current();
        EXPECT_EQ(current(), seen.first()) << "the cycle starts over";
        EXPECT_EQ(seen.size(), QSet<QString>(seen.begin(), seen.end()).size())
            << "no decoder twice";
        int at = -1;
        for (const char *name : c.installed) {
            const int found = int(seen.indexOf(longName(name)));
            EXPECT_GT(found, at) << name << " in " << seen.join(", ").toStdString();
            at = found;
        }
        // The decoder in use is the one recorded for the stream's type.
        EXPECT_EQ(prefs.Find(man.CurrentMediaType()), man.CurrentDecoder());
        ASSERT_TRUE(man.Release());
        EXPECT_EQ(filters(), before) << "release leaves nothing between the two ends";
        EXPECT_EQ(current(), man.NoneRecord()->Name);
    }
}

TEST_F(DecodersTest, PreferredThenCandidatesThenTheFrameworkWithoutRepeats)
{
    ASSERT_TRUE(open("avi_mjpeg_pcm.avi", true));
    TFilterRec *unknown = TFilterRecs::Global().FindOrAdd(
        GuidFromText("{0BADC0DE-0000-4000-8000-000000000001}"), "Gone decoder", fkSystem);
    man.SetPreferredDecoder(recordOf("avdec_mjpeg"));
    man.Candidates = {unknown, recordOf("avdec_mjpeg"), recordOf("jpegdec")};
    ASSERT_TRUE(connect());
    EXPECT_EQ(current(), longName("avdec_mjpeg"));
    EXPECT_EQ(man.Phase(), 1);
    EXPECT_EQ(man.CurrentDecoder()->Instance != nullptr, true) << "the record's own element";

    // The unknown one cannot be made and the preferred one is skipped.
    ASSERT_TRUE(man.Advance());
    EXPECT_EQ(current(), longName("jpegdec"));
    EXPECT_EQ(man.CandidateIndex(), 3);

    // The framework brings no decoder tried already: none left, start over.
    ASSERT_TRUE(man.Advance());
    EXPECT_EQ(current(), longName("avdec_mjpeg"));
    EXPECT_EQ(man.Phase(), 1);
}

TEST_F(DecodersTest, RefusedPreferenceLeavesNothingAndExclusionsFollowTheType)
{
    ASSERT_TRUE(open("avi_mjpeg_pcm.avi", true));
    const QList<GstElement *> before = filters();
    // Rows for the stream's type (any format) and for another subtype.
    excluded.Set({guids::MEDIATYPE_Video, guids::MEDIASUBTYPE_MJPG, guids::GUID_NULL},
                 recordOf("jpegdec"));
    excluded.Set({guids::MEDIATYPE_Video, guids::MEDIASUBTYPE_dvsd, guids::GUID_NULL},
                 recordOf("avdec_mjpeg"));
    man.SetPreferredDecoder(recordOf("avdec_h264")); // takes no MJPEG
    ASSERT_TRUE(connect());
    EXPECT_EQ(current(), longName("avdec_mjpeg"));
    EXPECT_TRUE(man.ExcludedClassIds().contains(GuidToText(FactoryClassId("jpegdec"))));
    EXPECT_FALSE(man.ExcludedClassIds().contains(GuidToText(FactoryClassId("avdec_mjpeg"))));
    ASSERT_TRUE(man.Release());
    EXPECT_EQ(filters(), before);
}

TEST_F(DecodersTest, StreamTheRendererTakesConnectsWithoutDecoder)
{
    ASSERT_TRUE(open("sine.wav", false));
    man.SetPreferredDecoder(decoders::NoAudioDecoder()); // GUID_NULL: not tried
    ASSERT_TRUE(connect());
    EXPECT_EQ(current(), "No Audio decoder");
    EXPECT_EQ(prefs.Find(man.CurrentMediaType()), decoders::NoAudioDecoder());
    EXPECT_EQ(mf::PinFilter(mf::ConnectedTo(mf::Pin(source->NotifierFilter, 1))), sink);

    // A converter in between is still no decoder.
    ASSERT_TRUE(man.Release());
    GstCaps *floats = gst_caps_from_string("audio/x-raw,format=F32LE");
    g_object_set(sink, "caps", floats, nullptr);
    gst_caps_unref(floats);
    ASSERT_TRUE(connect());
    EXPECT_NE(mf::PinFilter(mf::ConnectedTo(mf::Pin(source->NotifierFilter, 1))), sink);
    EXPECT_EQ(current(), "No Audio decoder");
}

TEST_F(DecodersTest, FramesNotifierGoesInFrontOfTheRendererAndFramesFlow)
{
    ASSERT_TRUE(open("avi_mjpeg_pcm.avi", true));
    GstElement *frames = useFramesNotifier();
    TFilterRec *framesRec = man.FramesFilter;
    man.PostDecoderFilter = recordOf("identity");
    ASSERT_TRUE(connect());
    // notifier -> decoder -> post-decoder filter -> frames notifier -> renderer
    EXPECT_EQ(mf::PinFilter(mf::ConnectedTo(mf::Pin(sink, 0))), frames);
    GstElement *post = mf::PinFilter(mf::ConnectedTo(mf::Pin(frames, 0)));
    ASSERT_NE(post, nullptr);
    EXPECT_EQ(post, man.PostDecoderFilter->Instance);
    EXPECT_TRUE(session.IsUpstream(post, source->NotifierFilter));

    // Next decoder on a paused graph: stopped, re-linked, paused again.
    ASSERT_TRUE(session.Pause());
    ASSERT_TRUE(man.NextDecoder());
    EXPECT_EQ(current(), longName("avdec_mjpeg"));
    EXPECT_EQ(inFrontOfRenderer(), frames);
    session.WaitStateChange();
    EXPECT_EQ(session.State(), gmPaused);
    GstSample *sample = nullptr;
    g_signal_emit_by_name(sink, "pull-preroll", &sample);
    ASSERT_NE(sample, nullptr) << "a decoded frame reached the renderer";
    gst_sample_unref(sample);
    man.Release();
    TFilterRecs::Global().ReleaseInstance(framesRec); // kind 2 keeps its instance
    EXPECT_EQ(framesRec->Instance, frames);
}

// A renderer that takes only BGRx, as the video window's does: the converter
// that connecting puts in front of it stays last, so the frames notifier
// drops frames before they are converted.
TEST_F(DecodersTest, FramesNotifierGoesInFrontOfTheRenderersConverter)
{
    ASSERT_TRUE(open("avi_mjpeg_pcm.avi", true));
    GstCaps *bgrx = gst_caps_from_string("video/x-raw,format=BGRx");
    g_object_set(sink, "caps", bgrx, nullptr);
    gst_caps_unref(bgrx);
    GstElement *frames = useFramesNotifier();
    TFilterRec *framesRec = man.FramesFilter;
    ASSERT_TRUE(connect());
    GstElement *converter = mf::PinFilter(mf::ConnectedTo(mf::Pin(sink, 0)));
    EXPECT_TRUE(decoders::IsConverterElement(converter));
    EXPECT_EQ(mf::PinFilter(mf::ConnectedTo(mf::Pin(converter, 0))), frames);
    // The converter spreads its rows over the cores (up to four).
    guint threads = 0;
    g_object_get(converter, "n-threads", &threads, nullptr);
    EXPECT_EQ(int(threads), std::clamp(QThread::idealThreadCount(), 1, 4));
    ASSERT_TRUE(session.Pause());
    session.WaitStateChange();
    GstCaps *seen = gst_pad_get_current_caps(mf::Pin(frames, 0));
    ASSERT_NE(seen, nullptr) << "a decoded frame passed the frames notifier";
    EXPECT_STRNE(gst_structure_get_string(gst_caps_get_structure(seen, 0), "format"), "BGRx");
    gst_caps_unref(seen);
    man.Release();
    TFilterRecs::Global().ReleaseInstance(framesRec);
}

TEST(DecoderLinks, RoundTripThroughTheStoreAndRemovedLinksStayRemoved)
{
    TempStores stores;
    TFilterRec *a = recordOf("jpegdec"), *b = recordOf("avdec_ac3");
    TFilterRec *own =
        TFilterRecs::Global().FindOrAdd(GuidFromText("{5B4B1A2C-6D3E-4F50-8A71-92B3C4D5E6F7}"),
                                        "Norvane's FramesNotifier", fkOwnInstance);
    TFilterRec *priv = TFilterRecs::Global().FindOrAdd(
        GuidFromText("{EE30215D-164F-4A92-A4EB-9D4C13390F9F}"), "LAV Video Decoder", fkPrivate);
    const TMediaTypeKey mjpg{guids::MEDIATYPE_Video, guids::MEDIASUBTYPE_MJPG,
                             guids::FORMAT_VideoInfo},
        own_{guids::MEDIATYPE_Video, guids::MEDIASUBTYPE_RGB32, guids::FORMAT_VideoInfo},
        ac3{guids::MEDIATYPE_Audio, guids::MEDIASUBTYPE_DOLBY_AC3, guids::FORMAT_WaveFormatEx},
        h264{guids::MEDIATYPE_Video, guids::MEDIASUBTYPE_H264, guids::FORMAT_MPEG2Video};

    for (const TSavePreferences mode :
         {TSavePreferences::spRegistre, TSavePreferences::spPortable}) {
        SCOPED_TRACE(int(mode));
        const auto save = [&](const TDecoderLinks &links) {
            TNorvanePreferences store(nullptr, stores.locations());
            store.SetMode(mode);
            ASSERT_TRUE(store.Backend().BeginSave());
            ASSERT_TRUE(store.OpenSection("VideoDecoders"));
            EXPECT_TRUE(const_cast<TDecoderLinks &>(links).Save(store));
            store.CloseSection();
            ASSERT_TRUE(store.Backend().EndSave());
        };
        const auto load = [&](QStringList *sections = nullptr) {
            TNorvanePreferences store(nullptr, stores.locations());
            store.DetectMode();
            TDecoderLinks links;
            store.OpenSection("VideoDecoders");
            if (sections)
                store.GetSectionNames(*sections);
            links.Load(store);
            store.CloseSection();
            return links;
        };

        TDecoderLinks links;
        links.Set(mjpg, a);
        links.Set(own_, own);
        links.Set(ac3, b);
        links.Set(h264, priv);
        save(links);
        QStringList sections;
        TDecoderLinks back = load(&sections);
        sections.sort();
        EXPECT_EQ(sections, (QStringList{"dc0", "dc2", "dc3"})) << "the own instance uses up dc1";
        EXPECT_EQ(back.Count(), 3);
        EXPECT_EQ(back.Find(mjpg), a);
        EXPECT_EQ(back.Find(ac3), b);
        EXPECT_EQ(back.Find(h264), priv);
        EXPECT_EQ(back.Find(h264)->Kind, fkPrivate);
        EXPECT_EQ(back.Find(own_), nullptr);

        links.Remove(mjpg); // as "next decoder" does after a framework's choice
        links.Remove(own_);
        save(links);
        back = load(&sections);
        EXPECT_EQ(back.Count(), 2);
        EXPECT_EQ(back.Find(mjpg), nullptr) << "the removed preference stays removed";
        EXPECT_EQ(back.Find(ac3), b);
    }
}

TEST(DecoderLinks, EntriesThatDoNotParseAreSkipped)
{
    TempStores stores;
    TNorvanePreferences store(nullptr, stores.locations());
    store.SetMode(TSavePreferences::spRegistre);
    ASSERT_TRUE(store.OpenSection("AudioDecoders"));
    const auto entry = [&](const char *section, const QString &major, const QString &decoder) {
        store.OpenSection(section);
        store.WriteString("majortype", major);
        store.WriteString("subtype", GuidToText(guids::MEDIASUBTYPE_PCM));
        store.WriteString("formattype", GuidToText(guids::FORMAT_WaveFormatEx));
        store.WriteString("decoderguid", decoder);
        store.WriteString("name", "No Audio decoder");
        store.CloseSection();
    };
    entry("dc0", GuidToText(guids::MEDIATYPE_Audio), GuidToText(guids::GUID_NULL));
    entry("dc1", "{not a guid}", GuidToText(guids::GUID_NULL));
    entry("dc2", GuidToText(guids::MEDIATYPE_Video), "");
    TDecoderLinks links;
    EXPECT_TRUE(links.Load(store));
    ASSERT_EQ(links.Count(), 1);
    EXPECT_EQ(links.Links()[0].rec, decoders::NoAudioDecoder());
    EXPECT_EQ(links.Links()[0].type.majortype, guids::MEDIATYPE_Audio);
}

TEST(DecoderLinks, BuiltInRecordsAndExcludedTables)
{
    EXPECT_EQ(decoders::NoVideoDecoder()->Name, "No Video decoder");
    EXPECT_TRUE(decoders::NoAudioDecoder()->ClassId.isNull());
    const TGuid dtvVideo = GuidFromText("{212690FB-83E5-4526-8FD7-74478B7939CD}");
    for (const char *subtype :
         {"{34363248-0000-0010-8000-00AA00389B71}", "{31435641-0000-0010-8000-00AA00389B71}",
          "{8D2D71CB-243F-45E3-B2D8-5FD7967EC09B}"})
        EXPECT_EQ(decoders::VideoExcluded()
                      .Find({guids::MEDIATYPE_Video, GuidFromText(subtype), guids::GUID_NULL})
                      ->ClassId,
                  dtvVideo);
    EXPECT_EQ(decoders::AudioExcluded()
                  .Find({guids::MEDIATYPE_Audio, guids::MEDIASUBTYPE_DOLBY_AC3, guids::GUID_NULL})
                  ->Name,
              "Microsoft DTV-DVD Audio Decoder");
    // Decoders sharing a long name are told apart by their factory.
    EXPECT_NE(longName("avdec_ac3"), longName("avdec_ac3_fixed"));
    EXPECT_EQ(longName("jpegdec"), "JPEG image decoder");
}

TEST_F(DecodersTest, NextDecoderKeepsTheFrameOnShow)
{
    ASSERT_TRUE(open("indexed_mjpeg.avi", true));
    GstCaps *bgrx = gst_caps_from_string("video/x-raw,format=BGRx");
    g_object_set(sink, "caps", bgrx, nullptr);
    gst_caps_unref(bgrx);
    ASSERT_TRUE(connect());
    ASSERT_TRUE(session.Pause());
    ASSERT_EQ(session.Graph()->SetPositions(20 * 400000 + 200000), S_OK); // frame 20
    session.WaitStateChange();
    ASSERT_EQ(prerolledIndex(sink), 20);
    const QString before = current();
    ASSERT_TRUE(man.NextDecoder());
    EXPECT_NE(current(), before);
    EXPECT_EQ(session.State(), gmPaused);
    EXPECT_EQ(prerolledIndex(sink), 20) << "the same frame, through the next decoder";
}

} // namespace
