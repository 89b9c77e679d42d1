// A decoder whose template accepts the stream but which will not negotiate
// counts as a failed candidate: the pause tries the next one.
#include "MediaFixtures.h"
#include "media/uGrapheMan.h"
#include "mf/mfSourceBin.h"

#include <gst/base/gstbasetransform.h>
#include <gtest/gtest.h>

namespace {

struct KadrexFussy {
    GstBaseTransform parent;
};
struct KadrexFussyClass {
    GstBaseTransformClass parent_class;
};

GType kadrex_fussy_get_type();
G_DEFINE_TYPE(KadrexFussy, kadrex_fussy, GST_TYPE_BASE_TRANSFORM)

GstStaticPadTemplate fussySink =
    GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS("video/x-h264"));
GstStaticPadTemplate fussySrc =
    GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS("video/x-raw"));

void kadrex_fussy_class_init(KadrexFussyClass *klass)
{
    auto *element = GST_ELEMENT_CLASS(klass);
    gst_element_class_add_static_pad_template(element, &fussySink);
    gst_element_class_add_static_pad_template(element, &fussySrc);
    gst_element_class_set_static_metadata(element, "Fussy", "Codec/Decoder/Video",
                                          "Takes H.264 by its template, refuses it when it comes",
                                          "Kadrex tests");
    auto *transform = GST_BASE_TRANSFORM_CLASS(klass);
    transform->transform_caps = [](GstBaseTransform *, GstPadDirection direction, GstCaps *,
                                   GstCaps *filter) {
        GstCaps *other =
            gst_caps_from_string(direction == GST_PAD_SINK ? "video/x-raw" : "video/x-h264");
        if (!filter)
            return other;
        GstCaps *both = gst_caps_intersect(other, filter);
        gst_caps_unref(other);
        return both;
    };
    transform->set_caps = [](GstBaseTransform *, GstCaps *, GstCaps *) { return gboolean(FALSE); };
}

void kadrex_fussy_init(KadrexFussy *) {}

QStringList factoriesIn(TMfGraph *graph)
{
    QStringList names;
    for (GstElement *e : graph->Filters())
        if (GstElementFactory *f = gst_element_get_factory(e))
            names << QString::fromUtf8(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(f)));
    return names;
}

TEST(Renegotiate, ACandidateThatWillNotNegotiateIsReplacedByTheNext)
{
    ASSERT_TRUE(gst_element_register(nullptr, "kadrexfussy", GST_RANK_PRIMARY + 100,
                                     kadrex_fussy_get_type()));
    TGrapheMan session;
    TMfGraph *graph = session.Graph();
    GstElement *source = MfCreateSourceBin({});
    graph->AddFilter(source, QStringLiteral("Source"));
    ASSERT_EQ(MfLoadFile(source, fixtures::mediaFixture(QStringLiteral("mp4_h264.mp4"))), S_OK);
    GstElement *sink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(sink, "sync", FALSE, nullptr);
    graph->AddFilter(sink, QStringLiteral("Sink"));
    GstCaps *raw = gst_caps_from_string("video/x-raw");
    graph->AddFilter(gst_element_factory_make("capsfilter", "raw"), QStringLiteral("Raw"));
    GstElement *filter = graph->FindFilterByName(QStringLiteral("Raw"));
    g_object_set(filter, "caps", raw, nullptr);
    gst_caps_unref(raw);
    graph->ConnectDirect(mf::Pin(filter, 1), mf::Pin(sink, 0));
    GstPad *video = mf::FindOutputPin(source, guids::MEDIATYPE_Video, 0);
    ASSERT_EQ(graph->Connect(video, mf::Pin(filter, 0)), S_OK);
    ASSERT_TRUE(factoriesIn(graph).contains(QStringLiteral("kadrexfussy")))
        << factoriesIn(graph).join(u' ').toStdString();
    EXPECT_TRUE(session.Pause()) << session.LastError().toStdString();
    EXPECT_FALSE(factoriesIn(graph).contains(QStringLiteral("kadrexfussy")));
}

} // namespace
