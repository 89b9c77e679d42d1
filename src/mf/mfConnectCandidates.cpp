#include "mfConnectCandidates.h"

#include <cstring>
#include <mutex>

namespace mf {

namespace {

struct TCache {
    std::mutex lock;
    guint32 cookie = 0;
    bool filled = false;
    GList *factories = nullptr; // parsers, decoders, depayloaders and converters (owned)
};

TCache &cache()
{
    static TCache c;
    return c;
}

bool isConverter(GstElementFactory *factory)
{
    const char *klass = gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS);
    return klass && strstr(klass, "Converter");
}

GList *readRegistry()
{
    const GstElementFactoryListType types = GST_ELEMENT_FACTORY_TYPE_PARSER |
                                            GST_ELEMENT_FACTORY_TYPE_DECODER |
                                            GST_ELEMENT_FACTORY_TYPE_DEPAYLOADER;
    GList *all = gst_element_factory_list_get_elements(types, GST_RANK_MARGINAL);
    GList *media = gst_element_factory_list_get_elements(GST_ELEMENT_FACTORY_TYPE_MEDIA_VIDEO |
                                                             GST_ELEMENT_FACTORY_TYPE_MEDIA_AUDIO,
                                                         GST_RANK_MARGINAL);
    for (GList *l = media; l; l = l->next)
        if (isConverter(GST_ELEMENT_FACTORY(l->data)) && !g_list_find(all, l->data))
            all = g_list_prepend(all, gst_object_ref(l->data));
    gst_plugin_feature_list_free(media);
    return g_list_sort(all, gst_plugin_feature_rank_compare_func);
}

TCandidateKind kindOf(GstElementFactory *factory)
{
    if (gst_element_factory_list_is_type(factory, GST_ELEMENT_FACTORY_TYPE_PARSER))
        return TCandidateKind::Parser;
    if (isConverter(factory))
        return TCandidateKind::Converter;
    return TCandidateKind::Decoder;
}

} // namespace

QList<TConnectCandidate> ConnectCandidates(const GstCaps *caps)
{
    TCache &c = cache();
    std::lock_guard guard(c.lock);
    const guint32 cookie = gst_registry_get_feature_list_cookie(gst_registry_get());
    if (!c.filled || cookie != c.cookie) {
        gst_plugin_feature_list_free(c.factories);
        c.factories = readRegistry();
        c.cookie = cookie;
        c.filled = true;
    }
    QList<TConnectCandidate> candidates;
    GList *fit = gst_element_factory_list_filter(c.factories, caps, GST_PAD_SINK, FALSE);
    for (GList *l = fit; l; l = l->next) {
        auto *factory = GST_ELEMENT_FACTORY(l->data);
        candidates.append({factory, kindOf(factory)});
    }
    gst_plugin_feature_list_free(fit); // the cache keeps its own references
    return candidates;
}

bool CapsParsed(const GstCaps *caps)
{
    if (!caps || gst_caps_is_empty(caps) || gst_caps_is_any(caps))
        return false;
    const GstStructure *s = gst_caps_get_structure(caps, 0);
    gboolean parsed = FALSE, framed = FALSE;
    return (gst_structure_get_boolean(s, "parsed", &parsed) && parsed) ||
           (gst_structure_get_boolean(s, "framed", &framed) && framed);
}

GstCaps *EstimatedOutputCaps(TCandidateKind kind, const GstCaps *input, GstPad *src,
                             const GstCaps *target)
{
    GstCaps *templ = gst_pad_get_pad_template_caps(src);
    GstCaps *estimate = nullptr;
    switch (kind) {
    case TCandidateKind::Converter:
        // A converter makes whatever downstream takes, within its template.
        estimate = target ? gst_caps_intersect(templ, const_cast<GstCaps *>(target)) : nullptr;
        break;
    case TCandidateKind::Parser: {
        // A parser keeps the stream's type and fields and adds its framing.
        GstCaps *bare = gst_caps_copy(input);
        for (guint i = 0; i < gst_caps_get_size(bare); ++i)
            gst_structure_remove_fields(gst_caps_get_structure(bare, i), "parsed", "framed",
                                        nullptr);
        estimate = gst_caps_intersect(bare, templ);
        gst_caps_unref(bare);
        break;
    }
    case TCandidateKind::Decoder:
        estimate = gst_pad_query_caps(src, nullptr);
        break;
    }
    if (!estimate || gst_caps_is_empty(estimate)) {
        if (estimate)
            gst_caps_unref(estimate);
        return templ;
    }
    gst_caps_unref(templ);
    return estimate;
}

} // namespace mf
