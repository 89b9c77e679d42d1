#include "TestSupport.h"
// The media session on live pipelines: run, pause, stop and the end of the
// stream, attach and detach with a shared parent chain, filter insertion and
// chain removal, and the filter registry.
#include "MediaFixtures.h"
#include "filters/uNotifier.h"
#include "media/uFilterRecs.h"
#include "media/uGrapheMan.h"
#include "media/uMediaFactory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <atomic>

#include <gtest/gtest.h>

namespace {

GstElement *make(const char *factory, const char *name = nullptr)
{
    return gst_element_factory_make(factory, name);
}

GstElement *fakeSink(const char *name)
{
    GstElement *sink = make("fakesink", name);
    g_object_set(sink, "sync", FALSE, nullptr);
    return sink;
}

// Waits on the event loop until `done` or the bound runs out.
using testsupport::waitFor;

// A pass-through that counts the samples crossing it: GStreamer's identity
// with its hand-off signal.
GstElement *makeCounter(std::atomic<int> &count)
{
    GstElement *identity = gst_element_factory_make("identity", nullptr);
    g_object_set(identity, "signal-handoffs", TRUE, nullptr);
    g_signal_connect(identity, "handoff",
                     G_CALLBACK(+[](GstElement *, GstBuffer *, gpointer counter) {
                         ++*static_cast<std::atomic<int> *>(counter);
                     }),
                     &count);
    return identity;
}

class GrapheManTest : public ::testing::Test
{
protected:
    void SetUp() override { factory.SetGrapheMan(&session); }
    TMfGraph *graph() { return session.Graph(); }

    // The video source of a fixture attached, its notifier feeding a fake sink.
    TVideoSource *attachVideoToSink(const char *fixture, GstElement **sink)
    {
        TFileDevice *device = factory.GetDevice(fixtures::mediaFixture(fixture));
        EXPECT_TRUE(device && device->Usable);
        TVideoSource *video = device->VideoSource(0);
        EXPECT_TRUE(video->Attach(&session, {}));
        *sink = fakeSink("video sink");
        EXPECT_EQ(graph()->AddFilter(*sink, "Video Renderer"), S_OK);
        EXPECT_EQ(graph()->ConnectDirect(mf::Pin(video->NotifierFilter, 1), mf::Pin(*sink, 0)),
                  S_OK);
        return video;
    }

    TGrapheMan session;
    TMediaFactory factory;
};

TEST_F(GrapheManTest, RunPauseStopAndEndOfStreamOnce)
{
    GstElement *sink = nullptr;
    attachVideoToSink("mp4_h264.mp4", &sink);
    QList<TGrapheManState> states;
    int completed = 0;
    session.OnStateChange = [&](TGrapheManState s) { states.append(s); };
    session.OnGraphCompleted = [&] {
        ++completed;
        session.MarkGraphCompleted();
    };
    ASSERT_TRUE(session.Pause());
    EXPECT_EQ(session.State(), gmPaused);
    qint64 duration = 0;
    EXPECT_EQ(graph()->GetDuration(&duration), S_OK);
    EXPECT_NEAR(double(duration), 1e7, 1e6) << "1 s in 100-ns units";
    EXPECT_TRUE(graph()->GetCapabilities() & seekcaps::CanSeekAbsolute);
    ASSERT_TRUE(session.Play());
    EXPECT_TRUE(waitFor([&] { return completed > 0; }));
    waitFor([] { return false; }, 200); // a second end of stream would arrive now
    EXPECT_EQ(completed, 1);
    EXPECT_TRUE(session.GraphCompleted());
    ASSERT_TRUE(session.Stop());
    EXPECT_EQ(session.State(), gmStopped);
    EXPECT_EQ(states, (QList<TGrapheManState>{gmPaused, gmPlaying, gmStopped}));

    // Seeking back in a paused graph lets the stream end again.
    ASSERT_TRUE(session.Pause());
    EXPECT_EQ(graph()->SetPositions(5000000), S_OK);
    session.WaitStateChange();
    qint64 position = 0;
    EXPECT_EQ(graph()->GetCurrentPosition(&position), S_OK);
    EXPECT_NEAR(double(position), 5e6, 5e5);
    ASSERT_TRUE(session.Play());
    EXPECT_TRUE(waitFor([&] { return completed == 2; }));
    session.Stop();
}

TEST_F(GrapheManTest, GetStateAnswersIntermediateWhilePrerolling)
{
    GstElement *src = make("fakesrc"), *slow = make("identity"), *sink = fakeSink("sink");
    g_object_set(src, "num-buffers", 2, nullptr);
    g_object_set(slow, "sleep-time", 300000u, nullptr); // 0.3 s per buffer
    graph()->AddFilter(src, "Source");
    graph()->AddFilter(slow, "Slow");
    graph()->AddFilter(sink, "Sink");
    graph()->ConnectDirect(mf::Pin(src, 0), mf::Pin(slow, 0));
    graph()->ConnectDirect(mf::Pin(slow, 1), mf::Pin(sink, 0));
    g_object_set(sink, "sync", TRUE, nullptr);
    EXPECT_EQ(graph()->Pause(), S_FALSE) << "the change completes later";
    EXPECT_EQ(graph()->GetState(0, nullptr), VFW_S_STATE_INTERMEDIATE);
    EXPECT_EQ(session.WaitStateChange(), S_OK) << "30 x 40 ms cover the 0.3 s preroll";
    EXPECT_EQ(session.State(), gmPaused);
    graph()->UseClock(false);
    EXPECT_TRUE(session.Play());
    graph()->UseClock(true);
    session.Stop();
}

TEST_F(GrapheManTest, FastForwardRaisesItsEvent)
{
    QList<std::pair<bool, int>> events;
    session.OnVitesseRapide = [&](bool on, int n) { events.append({on, n}); };
    session.FastForwardOn(3);
    EXPECT_TRUE(session.Fast());
    EXPECT_EQ(graph()->Rate(), 4.0);
    session.FastForwardOff(5);
    EXPECT_FALSE(session.Fast());
    EXPECT_EQ(graph()->Rate(), 1.0);
    EXPECT_EQ(events, (QList<std::pair<bool, int>>{{true, 3}, {false, 5}}));
}

TEST_F(GrapheManTest, SourcesShareTheirParentChain)
{
    TFileDevice *device = factory.GetDevice(fixtures::mediaFixture("avi_mjpeg_pcm.avi"));
    ASSERT_TRUE(device && device->Usable);
    TVideoSource *video = device->VideoSource(0);
    TAudioSource *audio = device->AudioSource(0);
    ASSERT_TRUE(video->Attach(&session, {}));
    const int filtersAfterVideo = int(graph()->Filters().size());
    EXPECT_TRUE(video->Attach(&session, {})) << "a second attach changes nothing";
    EXPECT_EQ(graph()->Filters().size(), filtersAfterVideo);
    ASSERT_TRUE(audio->Attach(&session, {}));
    EXPECT_EQ(graph()->Filters().size(), filtersAfterVideo + 1) << "only the audio notifier";
    EXPECT_EQ(session.AttachedVideoSources, QList<TVideoSource *>{video});
    EXPECT_EQ(session.AttachedAudioSources, QList<TAudioSource *>{audio});
    EXPECT_EQ(TNotifier::From(audio->NotifierFilter)->FrameData().audioFormatName, "PCM");

    EXPECT_TRUE(video->Detach());
    EXPECT_NE(graph()->FindFilterByName("LAV Splitter Source"), nullptr)
        << "the audio source still holds the file's source";
    EXPECT_EQ(graph()->FindFilterByName("Video Source Notifier"), nullptr);
    EXPECT_TRUE(audio->Detach());
    EXPECT_TRUE(graph()->Filters().isEmpty());
    EXPECT_FALSE(audio->Detach()) << "nothing attached";
    EXPECT_EQ(device->Session, nullptr);
}

TEST_F(GrapheManTest, InterleavedDvGoesThroughTheDvDevice)
{
    TFileDevice *device = factory.GetDevice(fixtures::mediaFixture("dv_type1.avi"));
    ASSERT_TRUE(device && device->Usable);
    ASSERT_EQ(device->DVCount(), 1);
    TVideoSource *video = device->VideoSource(0);
    EXPECT_EQ(video->DisplayName, device->DisplayName);
    EXPECT_EQ(video->Parent, device->DVDevices[0]);
    ASSERT_TRUE(video->Attach(&session, {}));
    for (const char *name : {"DV Notifier", "DV Splitter", "Video Source Notifier"})
        EXPECT_NE(graph()->FindFilterByName(name), nullptr) << name;
    EXPECT_EQ(video->FramesNotifier(), static_cast<TDVDevice *>(video->Parent)->Notifier());
    EXPECT_TRUE(video->FramesNotifier()->VideoReports());

    // The whole chain plays: file, DV notifier, DV splitter, source notifier, sink.
    GstElement *sink = fakeSink("sink");
    graph()->AddFilter(sink, "Video Renderer");
    ASSERT_EQ(graph()->ConnectDirect(mf::Pin(video->NotifierFilter, 1), mf::Pin(sink, 0)), S_OK);
    bool completed = false;
    session.OnGraphCompleted = [&] { completed = true; };
    ASSERT_TRUE(session.Play());
    EXPECT_TRUE(waitFor([&] { return completed; }));
    session.Stop();
    graph()->RemoveFilter(sink);
    EXPECT_TRUE(video->Detach());
    EXPECT_TRUE(graph()->Filters().isEmpty());
}

TEST_F(GrapheManTest, InsertFilterIntoALiveConnection)
{
    GstElement *sink = nullptr;
    TVideoSource *video = attachVideoToSink("mkv_h264_ntsc.mkv", &sink);
    ASSERT_TRUE(session.Pause());
    std::atomic<int> seen{0};
    GstElement *inserted = makeCounter(seen);
    ASSERT_EQ(graph()->AddFilter(inserted, "Counter"), S_OK);
    EXPECT_EQ(session.InsertFilter(inserted, mf::Pin(video->NotifierFilter, 1), 1), S_OK);
    EXPECT_EQ(mf::PinFilter(mf::ConnectedTo(mf::Pin(inserted, 1))), sink);
    EXPECT_TRUE(session.IsUpstream(sink, inserted));
    EXPECT_TRUE(session.IsUpstream(sink, video->NotifierFilter));
    EXPECT_FALSE(session.IsUpstream(video->NotifierFilter, sink));
    bool completed = false;
    session.OnGraphCompleted = [&] { completed = true; };
    ASSERT_TRUE(session.Play());
    EXPECT_TRUE(waitFor([&] { return completed; }));
    EXPECT_GE(seen.load(), 25) << "about 30 frames pass the inserted filter";
    session.Stop();

    // An unconnected pin and a filter without two pins are refused.
    GstElement *lonely = fakeSink("lonely");
    graph()->AddFilter(lonely, "Lonely");
    EXPECT_EQ(session.InsertFilter(inserted, mf::Pin(lonely, 0), 0), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(session.InsertFilter(lonely, mf::Pin(sink, 0), 0), E_FAIL);
    EXPECT_TRUE(mf::IsConnected(mf::Pin(sink, 0))) << "nothing was undone on refusal";
}

TEST_F(GrapheManTest, RemoveChains)
{
    GstElement *src = make("videotestsrc"), *a = make("identity"), *b = make("identity"),
               *sink = fakeSink("sink");
    graph()->AddFilter(src, "Source");
    graph()->AddFilter(a, "A");
    graph()->AddFilter(b, "B");
    graph()->AddFilter(sink, "Sink");
    graph()->ConnectDirect(mf::Pin(src, 0), mf::Pin(a, 0));
    graph()->ConnectDirect(mf::Pin(a, 1), mf::Pin(b, 0));
    graph()->ConnectDirect(mf::Pin(b, 1), mf::Pin(sink, 0));
    g_object_set(src, "num-buffers", 5, nullptr);
    ASSERT_TRUE(session.Pause());

    EXPECT_TRUE(session.RemoveChainBetween(sink, sink));
    EXPECT_TRUE(session.RemoveChainBetween(src, sink)) << "sink is not upstream of the source";
    EXPECT_EQ(graph()->Filters().size(), 4);
    session.Stop();
    EXPECT_TRUE(session.RemoveChainBetween(sink, src));
    EXPECT_EQ(graph()->Filters(), (QList<GstElement *>{src, sink}));
    EXPECT_FALSE(mf::IsConnected(mf::Pin(src, 0)));

    GstElement *c = make("identity");
    graph()->AddFilter(c, "C");
    graph()->ConnectDirect(mf::Pin(src, 0), mf::Pin(c, 0));
    graph()->ConnectDirect(mf::Pin(c, 1), mf::Pin(sink, 0));
    session.RemoveChainBothWays(sink, src);
    EXPECT_EQ(graph()->Filters(), (QList<GstElement *>{src, sink}));
}

TEST_F(GrapheManTest, UniqueNamesAndIntelligentConnect)
{
    GstElement *first = make("identity");
    EXPECT_EQ(graph()->AddFilter(first, "Same"), S_OK);
    GstElement *second = make("identity");
    EXPECT_EQ(graph()->AddFilter(second, "Same"), VFW_E_DUPLICATE_NAME);
    gst_object_unref(second);

    // A second file device with the same source record gets "_1".
    TFileDevice *one = factory.GetDevice(fixtures::mediaFixture("mp4_h264.mp4"));
    TFileDevice *two = factory.GetDevice(fixtures::mediaFixture("mkv_h264_ntsc.mkv"));
    ASSERT_TRUE(one->VideoSource(0)->Attach(&session, {}));
    EXPECT_NE(graph()->FindFilterByName("LAV Splitter Source"), nullptr);
    // The record lets go of its instance (the graph keeps it), so the second
    // device gets a new filter of the same name; connected by hand, as its
    // notifier's name would clash.
    TFilterRecs::Global().ReleaseInstance(factory.LAVSplitterSource);
    two->Session = &session;
    ASSERT_TRUE(two->Connect());
    EXPECT_NE(graph()->FindFilterByName("LAV Splitter Source_1"), nullptr);
    two->Disconnect();
    two->Session = nullptr;

    // Connect finds a decoder between H.264 and raw video, and the veto can refuse it.
    GstElement *sink = make("fakesink");
    GstElement *raw = make("capsfilter");
    GstCaps *rawCaps = gst_caps_from_string("video/x-raw");
    g_object_set(raw, "caps", rawCaps, nullptr);
    gst_caps_unref(rawCaps);
    graph()->AddFilter(raw, "Raw only");
    graph()->AddFilter(sink, "Sink");
    graph()->ConnectDirect(mf::Pin(raw, 1), mf::Pin(sink, 0));
    GstPad *out = mf::Pin(one->VideoSource(0)->NotifierFilter, 1);
    graph()->SetConnectVeto([](GstElementFactory *) { return true; });
    EXPECT_TRUE(FAILED(graph()->Connect(out, mf::Pin(raw, 0))));
    QStringList offered;
    graph()->SetConnectVeto([&](GstElementFactory *f) {
        offered.append(QString::fromUtf8(gst_plugin_feature_get_name(f)));
        return false;
    });
    EXPECT_EQ(graph()->Connect(out, mf::Pin(raw, 0)), S_OK);
    EXPECT_FALSE(offered.isEmpty());
    one->VideoSource(0)->Detach();
}

TEST(FilterRecs, FindOrAddInstancesAndPrivateFactories)
{
    TFilterRecs &recs = TFilterRecs::Global();
    const TGuid id = FactoryClassId("identity");
    TFilterRec *rec = recs.FindOrAdd(id, "Identity", fkSystem);
    EXPECT_EQ(recs.FindOrAdd(id, "Identity", fkPrivate), rec) << "kind unchanged";
    EXPECT_EQ(rec->Kind, fkSystem);
    EXPECT_NE(recs.FindOrAdd(id, "identity", fkSystem), rec) << "names compare exactly";
    GstElement *made = recs.GetInstance(rec);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(recs.GetInstance(rec), made);
    recs.ReleaseInstance(rec, nullptr);
    EXPECT_EQ(rec->Instance, nullptr);

    TFilterRec *missing = recs.FindOrAdd(FactoryClassId("no-such-element"), "None", fkSystem);
    EXPECT_EQ(recs.GetInstance(missing), nullptr);
    TFilterRec *own = recs.FindOrAdd(TGuid::createUuid(), "Own", fkOwnInstance);
    EXPECT_EQ(recs.GetInstance(own), nullptr) << "an own instance cannot be made";
    GstElement *handed = make("identity");
    recs.ReleaseInstance(own, handed);
    EXPECT_EQ(recs.GetInstance(own), handed);

    TPrivateFactories &privates = TPrivateFactories::Global();
    const TGuid privateId = TGuid::createUuid();
    TPrivateFactory *entry = privates.Add(privateId, "/nonexistent/libgstmissing.so");
    EXPECT_EQ(entry->Factory, nullptr);
    EXPECT_EQ(privates.Find(privateId), entry) << "the entry stays after a failed load";
    TFilterRec *priv = recs.FindOrAdd(privateId, "Private", fkPrivate);
    EXPECT_EQ(recs.GetInstance(priv), nullptr);

    // A real module file: the core elements plugin gives "identity" by its identifier.
    GstPlugin *core = gst_registry_find_plugin(gst_registry_get(), "coreelements");
    ASSERT_NE(core, nullptr);
    const QString file = QString::fromUtf8(gst_plugin_get_filename(core));
    gst_object_unref(core);
    TPrivateFactory *loaded = privates.Add(id, file);
    EXPECT_NE(loaded->Factory, nullptr);
    TFilterRec *fromModule = recs.FindOrAdd(id, "Identity (private)", fkPrivate);
    EXPECT_NE(recs.GetInstance(fromModule), nullptr);
}

TEST(Placeholders, SkipProbing)
{
    EXPECT_EQ(placeholders::NoVideo()->Name, "No Video");
    EXPECT_EQ(placeholders::NoAudio()->Name, "No Audio");
    EXPECT_FALSE(placeholders::NoDV()->Usable);
    EXPECT_EQ(placeholders::NoDV()->VideoCount(), 0);
    EXPECT_EQ(placeholders::NoStream()->Name, "No Stream");
    EXPECT_EQ(placeholders::NoVideo(), placeholders::NoVideo());
}

} // namespace
