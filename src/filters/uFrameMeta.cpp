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

gboolean initCodes(GstMeta *meta, gpointer, GstBuffer *)
{
    reinterpret_cast<TFrameDVCodesMeta *>(meta)->value = TFrameDVCodes{};
    return TRUE;
}

gboolean transformCodes(GstBuffer *dest, GstMeta *meta, GstBuffer *, GQuark, gpointer)
{
    SetFrameDVCodes(dest, reinterpret_cast<TFrameDVCodesMeta *>(meta)->value);
    return TRUE;
}

GType dvCodesApiType()
{
    static GType type = [] {
        static const gchar *tags[] = {nullptr};
        return gst_meta_api_type_register("KadrexFrameDVCodesMetaAPI", tags);
    }();
    return type;
}

const GstMetaInfo *dvCodesInfo()
{
    static const GstMetaInfo *info =
        gst_meta_register(dvCodesApiType(), "KadrexFrameDVCodesMeta", sizeof(TFrameDVCodesMeta),
                          initCodes, nullptr, transformCodes);
    return info;
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

void SetFrameDVCodes(GstBuffer *buffer, const TFrameDVCodes &value)
{
    auto *meta =
        reinterpret_cast<TFrameDVCodesMeta *>(gst_buffer_get_meta(buffer, dvCodesApiType()));
    if (!meta)
        meta = reinterpret_cast<TFrameDVCodesMeta *>(
            gst_buffer_add_meta(buffer, dvCodesInfo(), nullptr));
    if (meta)
        meta->value = value;
}

TFrameDVCodes FrameDVCodesOf(GstBuffer *buffer)
{
    auto *meta =
        buffer
            ? reinterpret_cast<TFrameDVCodesMeta *>(gst_buffer_get_meta(buffer, dvCodesApiType()))
            : nullptr;
    return meta ? meta->value : TFrameDVCodes{};
}
