#include "uFrameMeta.h"

namespace {

gboolean initMeta(GstMeta *meta, gpointer, GstBuffer *)
{
    reinterpret_cast<TFramePositionMeta *>(meta)->value = TFramePosition{};
    return TRUE;
}

// A copy, a scale or a conversion keeps the frame's identity.
gboolean transformMeta(GstBuffer *dest, GstMeta *meta, GstBuffer *, GQuark, gpointer)
{
    SetFramePosition(dest, reinterpret_cast<TFramePositionMeta *>(meta)->value);
    return TRUE;
}

} // namespace

GType FramePositionMetaApiType()
{
    static GType type = [] {
        static const gchar *tags[] = {nullptr};
        return gst_meta_api_type_register("KadrexFramePositionMetaAPI", tags);
    }();
    return type;
}

const GstMetaInfo *FramePositionMetaInfo()
{
    static const GstMetaInfo *info =
        gst_meta_register(FramePositionMetaApiType(), "KadrexFramePositionMeta",
                          sizeof(TFramePositionMeta), initMeta, nullptr, transformMeta);
    return info;
}

void SetFramePosition(GstBuffer *buffer, const TFramePosition &value)
{
    auto *meta = reinterpret_cast<TFramePositionMeta *>(
        gst_buffer_get_meta(buffer, FramePositionMetaApiType()));
    if (!meta)
        meta = reinterpret_cast<TFramePositionMeta *>(
            gst_buffer_add_meta(buffer, FramePositionMetaInfo(), nullptr));
    if (meta)
        meta->value = value;
}

TFramePosition FramePositionOf(GstBuffer *buffer)
{
    auto *meta = buffer ? reinterpret_cast<TFramePositionMeta *>(
                              gst_buffer_get_meta(buffer, FramePositionMetaApiType()))
                        : nullptr;
    return meta ? meta->value : TFramePosition{};
}
