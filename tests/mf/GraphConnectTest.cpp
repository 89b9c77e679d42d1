// Intelligent connect on real files: against the caps each stream carries,
// with converters where raw formats differ, and the chains preroll.
#include "MediaFixtures.h"
#include "mf/mfGraph.h"
#include "mf/mfSourceBin.h"

#include <gtest/gtest.h>

namespace {

// A graph with the file's source bin loaded.
struct TFileGraph {
    TMfGraph graph;
    GstElement *source = nullptr;

    explicit TFileGraph(const char *fixture)
    {
        source = MfCreateSourceBin({});
        graph.AddFilter(source, QStringLiteral("Source"));
        EXPECT_EQ(MfLoadFile(source, fixtures::mediaFixture(fixture)), S_OK) << fixture;
    }
    GstPad *output(const TGuid &major) { return mf::FindOutputPin(source, major, 0); }
    // A sink taking only `caps` (an appsink never fills: it drops old samples).
    GstPad *sinkTaking(const char *caps, const QString &name)
    {
        GstElement *sink = gst_element_factory_make("appsink", nullptr);
        GstCaps *only = gst_caps_from_string(caps);
        g_object_set(sink, "caps", only, "sync", FALSE, "max-buffers", 2u, "drop", TRUE, nullptr);
        gst_caps_unref(only);
        graph.AddFilter(sink, name);
        return mf::Pin(sink, 0);
    }
    QStringList factories() const
    {
        QStringList names;
        for (GstElement *e : graph.Filters())
            if (GstElementFactory *f = gst_element_get_factory(e))
                names << QString::fromUtf8(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(f)));
        return names;
    }
};

TEST(GraphConnect, StreamsConnectByTheirCapsAndPreroll)
{
    struct Case {
        const char *fixture;
        bool video;
        const char *sinkCaps;
    } cases[] = {
        {"mpeg2_ps.mpg", false, "audio/x-raw"},
        {"mpeg2_ts.ts", false, "audio/x-raw"},
        {"mp4_h264.mp4", true, "video/x-raw,format=BGRx"},
        {"mpeg2_ps.mpg", true, "video/x-raw,format=BGRx"},
        {"avi_mjpeg_pcm.avi", true, "video/x-raw,format=BGRx"},
        {"wmv_asf.wmv", true, "video/x-raw,format=BGRx"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.fixture) + (c.video ? " video" : " audio"));
        TFileGraph g(c.fixture);
        GstPad *out = g.output(c.video ? guids::MEDIATYPE_Video : guids::MEDIATYPE_Audio);
        ASSERT_NE(out, nullptr);
        ASSERT_EQ(g.graph.Connect(out, g.sinkTaking(c.sinkCaps, QStringLiteral("Sink"))), S_OK);
        const QStringList chain = g.factories();
        EXPECT_FALSE(chain.contains(QStringLiteral("avdec_mp1float")))
            << chain.join(' ').toStdString();
        EXPECT_EQ(chain.count(QStringLiteral("mpegaudioparse")), 0) << "the source bin parsed it";
        g.graph.Pause();
        EXPECT_EQ(g.graph.GetState(5000, nullptr), S_OK) << chain.join(' ').toStdString();
    }
}

TEST(GraphConnect, AddedElementsTakeTheStateOfAPausedGraph)
{
    TFileGraph g("mp4_h264.mp4");
    GstPad *video = g.output(guids::MEDIATYPE_Video);
    ASSERT_EQ(g.graph.Connect(video, g.sinkTaking("video/x-raw", QStringLiteral("V"))), S_OK);
    g.graph.Pause();
    ASSERT_EQ(g.graph.GetState(5000, nullptr), S_OK);
    GstPad *audio = g.output(guids::MEDIATYPE_Audio);
    ASSERT_EQ(g.graph.Connect(audio, g.sinkTaking("audio/x-raw", QStringLiteral("A"))), S_OK);
    for (GstElement *e : g.graph.Filters()) {
        GstState state = GST_STATE_NULL;
        gst_element_get_state(e, &state, nullptr, 0);
        EXPECT_NE(state, GST_STATE_NULL) << GST_OBJECT_NAME(e);
    }
}

} // namespace
