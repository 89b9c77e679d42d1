#include "uInPlaceFilter.h"

#include <QMutexLocker>

void TSinkSlot::Set(TMessageSink sink)
{
    QMutexLocker locker(&m_lock);
    m_sink = std::move(sink);
}

bool TSinkSlot::Post(const TNvMessage &message) const
{
    // Called under the lock, so that once Set has replaced a sink no thread
    // is still inside the old one (its receiver may be freed right after).
    QMutexLocker locker(&m_lock);
    if (!m_sink)
        return false;
    m_sink(message);
    return true;
}

namespace {

struct TFilterInstance {
    GstBaseTransform parent;
    TInPlaceFilter *filter;
};

struct TFilterClass {
    GstBaseTransformClass parent;
    const TFilterClassInfo *info;
    GstDebugCategory *category;
};

GstStaticPadTemplate sinkTemplate =
    GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS_ANY);
GstStaticPadTemplate srcTemplate =
    GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS_ANY);

TFilterClass *classOf(gpointer instance)
{
    return reinterpret_cast<TFilterClass *>(G_OBJECT_GET_CLASS(instance));
}

GstBaseTransformClass *parentClassOf(gpointer instance)
{
    return GST_BASE_TRANSFORM_CLASS(g_type_class_peek_parent(classOf(instance)));
}

} // namespace

struct TInPlaceFilterGlue {
    static TInPlaceFilter *filter(gpointer trans)
    {
        return reinterpret_cast<TFilterInstance *>(trans)->filter;
    }

    static void instanceInit(GTypeInstance *instance, gpointer klass)
    {
        auto *self = reinterpret_cast<TFilterInstance *>(instance);
        self->filter = reinterpret_cast<TFilterClass *>(klass)->info->create();
        self->filter->m_trans = GST_BASE_TRANSFORM(instance);
        gst_base_transform_set_in_place(GST_BASE_TRANSFORM(instance), TRUE);
        gst_base_transform_set_passthrough(GST_BASE_TRANSFORM(instance), TRUE);
    }

    static void finalize(GObject *object)
    {
        auto *self = reinterpret_cast<TFilterInstance *>(object);
        delete self->filter;
        self->filter = nullptr;
        G_OBJECT_CLASS(g_type_class_peek_parent(classOf(object)))->finalize(object);
    }

    static gboolean start(GstBaseTransform *trans)
    {
        // In and out caps are always the same, so the element passes its
        // buffers through (transform_ip still sees each). Said again at every
        // start: a restart in pull mode (the DV guard under a splitter) gets
        // no caps that would say it, and would refuse its first buffer.
        gst_base_transform_set_passthrough(trans, TRUE);
        filter(trans)->StartStreaming();
        return TRUE;
    }

    static gboolean sinkEvent(GstBaseTransform *trans, GstEvent *event)
    {
        if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
            const GstSegment *segment = nullptr;
            gst_event_parse_segment(event, &segment);
            filter(trans)->NewSegment(*segment);
        }
        return parentClassOf(trans)->sink_event(trans, event);
    }

    static gboolean setCaps(GstBaseTransform *trans, GstCaps *incaps, GstCaps *)
    {
        return filter(trans)->SetMediaType(incaps) ? TRUE : FALSE;
    }

    static gboolean acceptCaps(GstBaseTransform *trans, GstPadDirection direction, GstCaps *caps)
    {
        if (!parentClassOf(trans)->accept_caps(trans, direction, caps))
            return FALSE;
        return direction != GST_PAD_SINK || filter(trans)->CheckInputType(caps);
    }

    static GstFlowReturn transformIp(GstBaseTransform *trans, GstBuffer *buffer)
    {
        return filter(trans)->TransformBuffer(buffer) ? GST_FLOW_OK
                                                      : GST_BASE_TRANSFORM_FLOW_DROPPED;
    }

    static GstFlowReturn prepareOutput(GstBaseTransform *trans, GstBuffer *input,
                                       GstBuffer **output)
    {
        if (!filter(trans)->LabelsBuffers() || gst_buffer_is_writable(input))
            return parentClassOf(trans)->prepare_output_buffer(trans, input, output);
        *output = gst_buffer_copy(input);
        return *output ? GST_FLOW_OK : GST_FLOW_ERROR;
    }

    static void classInit(gpointer klass, gpointer data)
    {
        auto *filterClass = reinterpret_cast<TFilterClass *>(klass);
        filterClass->info = static_cast<const TFilterClassInfo *>(data);
        const TFilterClassInfo &info = *filterClass->info;
        filterClass->category = _gst_debug_category_new(info.factoryName, 0, info.friendlyName);

        G_OBJECT_CLASS(klass)->finalize = finalize;
        GstElementClass *elementClass = GST_ELEMENT_CLASS(klass);
        gst_element_class_set_metadata(elementClass, info.friendlyName, "Filter/Analyzer",
                                       info.description, "Norvane");
        gst_element_class_add_metadata(elementClass, "class-id", info.classId);
        gst_element_class_add_static_pad_template(elementClass, &sinkTemplate);
        gst_element_class_add_static_pad_template(elementClass, &srcTemplate);

        GstBaseTransformClass *transClass = GST_BASE_TRANSFORM_CLASS(klass);
        transClass->start = start;
        transClass->sink_event = sinkEvent;
        transClass->set_caps = setCaps;
        transClass->accept_caps = acceptCaps;
        transClass->transform_ip = transformIp;
        transClass->prepare_output_buffer = prepareOutput;
        transClass->transform_ip_on_passthrough = TRUE;
        transClass->passthrough_on_same_caps = TRUE;
    }
};

TInPlaceFilter *TInPlaceFilter::FromElement(GstElement *element)
{
    if (!element || !GST_IS_BASE_TRANSFORM(element))
        return nullptr;
    GstBaseTransformClass *klass = GST_BASE_TRANSFORM_GET_CLASS(element);
    if (klass->transform_ip != TInPlaceFilterGlue::transformIp)
        return nullptr;
    return TInPlaceFilterGlue::filter(element);
}

GstDebugCategory *TInPlaceFilter::DebugCategory() const
{
    return classOf(m_trans)->category;
}

bool RegisterInPlaceFilter(const TFilterClassInfo &info)
{
    static QMutex lock;
    QMutexLocker locker(&lock);
    GType type = g_type_from_name(info.typeName);
    if (type != 0) {
        GstElementFactory *factory = gst_element_factory_find(info.factoryName);
        const bool registered = factory && gst_element_factory_get_element_type(factory) == type;
        if (factory)
            gst_object_unref(factory);
        if (registered)
            return true;
    }
    if (type == 0) {
        const GTypeInfo typeInfo = {sizeof(TFilterClass),
                                    nullptr,
                                    nullptr,
                                    TInPlaceFilterGlue::classInit,
                                    nullptr,
                                    &info,
                                    sizeof(TFilterInstance),
                                    0,
                                    TInPlaceFilterGlue::instanceInit,
                                    nullptr};
        type = g_type_register_static(GST_TYPE_BASE_TRANSFORM, info.typeName, &typeInfo,
                                      GTypeFlags(0));
    }
    return gst_element_register(nullptr, info.factoryName, GST_RANK_NONE, type);
}
