#include "uVideoSink.h"

#include <gst/video/gstvideosink.h>
#include <gst/video/video.h>

#include <QMutexLocker>

GST_DEBUG_CATEGORY_STATIC(videoSinkDebug);

namespace {

struct TVideoSinkInstance {
    GstVideoSink parent;
    TVideoSink *sink;
    GstVideoInfo info;
};

struct TVideoSinkClass {
    GstVideoSinkClass parent;
};

GstStaticPadTemplate sinkTemplate = GST_STATIC_PAD_TEMPLATE(
    "sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS(GST_VIDEO_CAPS_MAKE("BGRx")));

GstVideoSinkClass *parentClass = nullptr;

TVideoSinkInstance *instanceOf(gpointer object)
{
    return reinterpret_cast<TVideoSinkInstance *>(object);
}

// A QImage over a mapped frame; the map (which holds a reference to the
// buffer) lives as long as the image or any copy of it.
QImage imageOver(GstBuffer *buffer, const GstVideoInfo &info)
{
    auto *frame = new GstVideoFrame;
    if (!gst_video_frame_map(frame, const_cast<GstVideoInfo *>(&info), buffer, GST_MAP_READ)) {
        delete frame;
        return {};
    }
    auto release = [](void *data) {
        auto *mapped = static_cast<GstVideoFrame *>(data);
        gst_video_frame_unmap(mapped);
        delete mapped;
    };
    return QImage(static_cast<const uchar *>(GST_VIDEO_FRAME_PLANE_DATA(frame, 0)),
                  GST_VIDEO_FRAME_WIDTH(frame), GST_VIDEO_FRAME_HEIGHT(frame),
                  GST_VIDEO_FRAME_PLANE_STRIDE(frame, 0), QImage::Format_RGB32, release, frame);
}

} // namespace

struct TVideoSinkGlue {
    static void instanceInit(GTypeInstance *instance, gpointer)
    {
        auto *self = instanceOf(instance);
        self->sink = new TVideoSink;
        self->sink->m_element = GST_ELEMENT(instance);
        gst_video_info_init(&self->info);
    }

    static void finalize(GObject *object)
    {
        delete instanceOf(object)->sink;
        instanceOf(object)->sink = nullptr;
        G_OBJECT_CLASS(parentClass)->finalize(object);
    }

    static gboolean setCaps(GstBaseSink *base, GstCaps *caps)
    {
        GstVideoInfo info;
        if (!gst_video_info_from_caps(&info, caps))
            return FALSE;
        GST_OBJECT_LOCK(base);
        instanceOf(base)->info = info;
        GST_OBJECT_UNLOCK(base);
        return TRUE;
    }

    static GstFlowReturn showFrame(GstVideoSink *video, GstBuffer *buffer)
    {
        GST_OBJECT_LOCK(video);
        const GstVideoInfo info = instanceOf(video)->info;
        GST_OBJECT_UNLOCK(video);
        instanceOf(video)->sink->ShowFrame(buffer, info);
        return GST_FLOW_OK;
    }

    static void classInit(gpointer klass, gpointer)
    {
        parentClass = GST_VIDEO_SINK_CLASS(g_type_class_peek_parent(klass));
        G_OBJECT_CLASS(klass)->finalize = finalize;
        GstElementClass *elementClass = GST_ELEMENT_CLASS(klass);
        gst_element_class_set_metadata(elementClass, TVideoSink::FriendlyName, "Sink/Video",
                                       "Hands the newest frame to the video window", "Norvane");
        gst_element_class_add_metadata(elementClass, "class-id", TVideoSink::ClassId);
        gst_element_class_add_static_pad_template(elementClass, &sinkTemplate);
        GST_BASE_SINK_CLASS(klass)->set_caps = setCaps;
        GST_VIDEO_SINK_CLASS(klass)->show_frame = showFrame;
    }
};

bool TVideoSink::Register()
{
    static QMutex lock;
    QMutexLocker locker(&lock);
    GType type = g_type_from_name("KadrexVideoSink");
    if (type == 0) {
        GST_DEBUG_CATEGORY_INIT(videoSinkDebug, FactoryName, 0, FriendlyName);
        const GTypeInfo typeInfo = {sizeof(TVideoSinkClass),
                                    nullptr,
                                    nullptr,
                                    TVideoSinkGlue::classInit,
                                    nullptr,
                                    nullptr,
                                    sizeof(TVideoSinkInstance),
                                    0,
                                    TVideoSinkGlue::instanceInit,
                                    nullptr};
        type = g_type_register_static(GST_TYPE_VIDEO_SINK, "KadrexVideoSink", &typeInfo,
                                      GTypeFlags(0));
    }
    GstElementFactory *factory = gst_element_factory_find(FactoryName);
    const bool registered = factory && gst_element_factory_get_element_type(factory) == type;
    if (factory)
        gst_object_unref(factory);
    return registered || gst_element_register(nullptr, FactoryName, GST_RANK_NONE, type);
}

GstElement *TVideoSink::Create(const char *name)
{
    if (!Register())
        return nullptr;
    return gst_element_factory_make(FactoryName, name);
}

TVideoSink *TVideoSink::From(GstElement *element)
{
    const GType type = g_type_from_name("KadrexVideoSink");
    if (!element || type == 0 || !G_TYPE_CHECK_INSTANCE_TYPE(element, type))
        return nullptr;
    return instanceOf(element)->sink;
}

void TVideoSink::SetFrameListener(TFrameListener listener)
{
    QMutexLocker locker(&m_listenerLock);
    m_listener = std::move(listener);
}

void TVideoSink::ShowFrame(GstBuffer *buffer, const GstVideoInfo &info)
{
    // After prerolling, the base class renders the preroll buffer once more
    // when playing starts: it is the frame already held (whose reference
    // keeps the pointer from being reused), not a new one.
    {
        QMutexLocker locker(&m_frameLock);
        if (buffer == m_heldBuffer)
            return;
    }
    Hold(buffer, info, FramePositionOf(buffer), FrameDVCodesOf(buffer));
}

void TVideoSink::Hold(GstBuffer *buffer, const GstVideoInfo &info, const TFramePosition &position,
                      const TFrameDVCodes &dvCodes)
{
    // Mapping and wrapping happen here, outside the lock, so the UI thread
    // never waits for more than a swap. The map holds its own reference.
    QImage image = imageOver(buffer, info);
    if (image.isNull()) {
        GST_CAT_WARNING_OBJECT(videoSinkDebug, m_element, "cannot map a frame");
        return;
    }
    {
        const int parN = qMax(GST_VIDEO_INFO_PAR_N(&info), 1);
        const int parD = qMax(GST_VIDEO_INFO_PAR_D(&info), 1);
        const QSize display(int(qint64(image.width()) * parN / parD), image.height());
        TVideoFrame frame{std::move(image), position, dvCodes, ++m_received, display};
        QMutexLocker locker(&m_frameLock);
        std::swap(m_frame, frame);
        m_heldBuffer = buffer;
    } // the replaced frame is released outside the lock
    if (m_repaintQueued.exchange(true))
        return;
    QMutexLocker locker(&m_listenerLock);
    if (m_listener)
        m_listener();
}

bool TVideoSink::PresentSample(GstSample *sample, const TFramePosition &position)
{
    GstCaps *caps = sample ? gst_sample_get_caps(sample) : nullptr;
    GstVideoInfo info;
    if (!caps || !gst_sample_get_buffer(sample) || !gst_video_info_from_caps(&info, caps))
        return false;
    GstSample *bgrx = nullptr;
    if (GST_VIDEO_INFO_FORMAT(&info) != GST_VIDEO_FORMAT_BGRx) {
        GstCaps *wanted =
            gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", "width", G_TYPE_INT,
                                info.width, "height", G_TYPE_INT, info.height, nullptr);
        bgrx = gst_video_convert_sample(sample, wanted, GST_SECOND, nullptr);
        gst_caps_unref(wanted);
        if (!bgrx || !gst_video_info_from_caps(&info, gst_sample_get_caps(bgrx))) {
            if (bgrx)
                gst_sample_unref(bgrx);
            return false;
        }
    }
    // The conversion may leave the codes behind: they come from the original.
    Hold(gst_sample_get_buffer(bgrx ? bgrx : sample), info, position,
         FrameDVCodesOf(gst_sample_get_buffer(sample)));
    if (bgrx)
        gst_sample_unref(bgrx);
    return true;
}

TVideoFrame TVideoSink::TakeFrame()
{
    m_repaintQueued = false;
    return CurrentFrame();
}

TVideoFrame TVideoSink::CurrentFrame() const
{
    QMutexLocker locker(&m_frameLock);
    return m_frame;
}

void TVideoSink::ClearFrame()
{
    TVideoFrame old;
    QMutexLocker locker(&m_frameLock);
    std::swap(m_frame, old);
    m_heldBuffer = nullptr;
}
