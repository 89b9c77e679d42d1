// Seeks and steps land on the frame asked for, on every container, read from
// the picture the sink holds: accurate seeks (where the demuxer honours them),
// seeks before the target with frames dropped up to it, one-frame steps, and
// a stop followed by a pause.
#include "FrameIndex.h"
#include "MediaFixtures.h"
#include "filters/uFilterMessages.h"
#include "filters/uFramesNotifier.h"
#include "media/uGrapheMan.h"
#include "mf/mfSourceBin.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>

#include <gst/video/video.h>
#include <gtest/gtest.h>

namespace {

// The index drawn on the picture the sink shows; -1 without one.
int shownIndex(GstElement *sink)
{
    GstSample *sample = nullptr;
    g_object_get(sink, "last-sample", &sample, nullptr);
    if (!sample)
        return -1;
    GstVideoInfo info;
    gst_video_info_from_caps(&info, gst_sample_get_caps(sample));
    GstBuffer *buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    gst_buffer_map(buffer, &map, GST_MAP_READ);
    const QImage image(map.data, info.width, info.height, int(info.stride[0]),
                       QImage::Format_RGB32);
    const int index = fixtures::frameIndexOf(image);
    gst_buffer_unmap(buffer, &map);
    gst_sample_unref(sample);
    return index;
}

// The file's video decoded into the frames notifier and a BGRx sink.
struct TFrameGraph {
    TGrapheMan session;
    GstElement *sink = nullptr;
    TFramesNotifier *notifier = nullptr;

    explicit TFrameGraph(const QString &path)
    {
        TMfGraph *graph = session.Graph();
        GstElement *source = MfCreateSourceBin({});
        graph->AddFilter(source, QStringLiteral("Source"));
        if (FAILED(MfLoadFile(source, path)))
            return;
        GstElement *element = TFramesNotifier::Create();
        notifier = TFramesNotifier::From(element);
        notifier->SetNavigationWindow([n = notifier](const TNvMessage &m) {
            if (m.msg == kNvMsgFrameDuration)
                n->SetFrameDuration(m.wParam);
        });
        sink = gst_element_factory_make("appsink", nullptr);
        GstCaps *bgrx = gst_caps_from_string("video/x-raw,format=BGRx");
        g_object_set(sink, "caps", bgrx, "sync", FALSE, "max-buffers", 1u, "drop", TRUE, nullptr);
        gst_caps_unref(bgrx);
        graph->AddFilter(element, QStringLiteral("Frames Notifier"));
        graph->AddFilter(sink, QStringLiteral("Video Renderer"));
        graph->ConnectDirect(mf::Pin(element, 1), mf::Pin(sink, 0));
        GstPad *video = mf::FindOutputPin(source, guids::MEDIATYPE_Video, 0);
        if (!video) { // interleaved DV: through a DV splitter
            GstElement *splitter = MfCreateSplitterBin({QStringLiteral("dvdemux")});
            graph->AddFilter(splitter, QStringLiteral("DV Splitter"));
            EXPECT_EQ(
                graph->ConnectDirect(mf::FindOutputPin(source, guids::MEDIATYPE_Interleaved, 0),
                                     mf::Pin(splitter, 0)),
                S_OK);
            video = mf::FindOutputPin(splitter, guids::MEDIATYPE_Video, 0);
        }
        EXPECT_EQ(graph->Connect(video, mf::Pin(element, 0)), S_OK);
    }
    TMfGraph *graph() { return session.Graph(); }
    qint64 frame() const { return notifier->FrameDuration(); }

    // Seeks early and lets the notifier drop frames up to the target.
    bool seekBeforeAndDrop(int k)
    {
        notifier->SetDeliver(false);
        notifier->ArmTarget(0, k * frame());
        if (FAILED(graph()->SetPositions(qMax<qint64>(0, (k - 20) * frame()), true)))
            return false;
        QElapsedTimer clock;
        clock.start();
        while (notifier->TargetArmed(0) && clock.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return !notifier->TargetArmed(0) && SUCCEEDED(session.WaitStateChange());
    }
};

TEST(FrameExact, SeeksStepsAndRestartsLandOnTheFrameOnEveryContainer)
{
    for (const QString &name : fixtures::indexedFixtureNames()) {
        SCOPED_TRACE(name.toStdString());
        TFrameGraph g(fixtures::mediaFixture(name));
        ASSERT_NE(g.notifier, nullptr);
        ASSERT_TRUE(g.session.Pause()) << g.session.LastError().toStdString();
        EXPECT_EQ(shownIndex(g.sink), 0);
        EXPECT_EQ(g.notifier->CurrentPosition(), 0);
        const qint64 frame = g.frame();
        ASSERT_EQ(frame, 400'000);
        for (int k : {17, 38}) {
            SCOPED_TRACE(k);
            if (g.graph()->AccurateSeeksExact()) {
                ASSERT_EQ(g.graph()->SetPositions(k * frame + frame / 2, true), S_OK);
                ASSERT_EQ(g.session.WaitStateChange(), S_OK);
                EXPECT_EQ(shownIndex(g.sink), k) << "accurate seek";
                EXPECT_EQ(g.notifier->CurrentPosition(), k * frame);
            }
            ASSERT_TRUE(g.seekBeforeAndDrop(k - 3));
            EXPECT_EQ(shownIndex(g.sink), k - 3) << "seek before and drop";
            EXPECT_EQ(g.notifier->CurrentPosition(), (k - 3) * frame);
            ASSERT_TRUE(g.session.Step(1));
            EXPECT_EQ(shownIndex(g.sink), k - 2) << "step";
            EXPECT_EQ(g.notifier->CurrentPosition(), (k - 2) * frame);
        }
        EXPECT_TRUE(g.session.Stop());
        EXPECT_TRUE(g.session.Pause()) << g.session.LastError().toStdString();
        EXPECT_EQ(shownIndex(g.sink), 36) << "stop then pause";
    }
}

} // namespace

namespace {

TEST(FrameExact, DecoderChainReplacedWhilePausedShowsTheSameFrame)
{
    TFrameGraph g(fixtures::mediaFixture(QStringLiteral("indexed.mp4")));
    ASSERT_TRUE(g.session.Pause());
    ASSERT_EQ(g.graph()->SetPositions(10 * g.frame() + g.frame() / 2, true), S_OK);
    ASSERT_EQ(g.session.WaitStateChange(), S_OK);
    ASSERT_EQ(shownIndex(g.sink), 10);
    GstElement *notifier = g.notifier->Element();
    GstElement *source = g.graph()->FindFilterByName(QStringLiteral("Source"));
    const int before = int(g.graph()->Filters().size());
    ASSERT_TRUE(g.session.RemoveChainBetween(notifier, source)); // no deadlock
    EXPECT_LT(int(g.graph()->Filters().size()), before);
    GstPad *video = mf::FindOutputPin(source, guids::MEDIATYPE_Video, 0);
    ASSERT_EQ(g.graph()->Connect(video, mf::Pin(notifier, 0)), S_OK);
    ASSERT_TRUE(g.session.Pause()) << g.session.LastError().toStdString();
    EXPECT_EQ(shownIndex(g.sink), 10);
}

TEST(FrameExact, APauseThatCannotCompleteFailsAndStops)
{
    TGrapheMan session;
    QString reported;
    session.OnError = [&](const QString &text) { reported = text; };
    GstElement *src = gst_element_factory_make("appsrc", nullptr); // never pushes
    GstElement *sink = gst_element_factory_make("fakesink", nullptr);
    session.Graph()->AddFilter(src, QStringLiteral("Silent"));
    session.Graph()->AddFilter(sink, QStringLiteral("Sink"));
    session.Graph()->ConnectDirect(mf::Pin(src, 0), mf::Pin(sink, 0));
    EXPECT_FALSE(session.Pause());
    EXPECT_FALSE(reported.isEmpty());
    EXPECT_EQ(session.State(), gmStopped);
}

} // namespace
