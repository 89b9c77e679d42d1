#include "mfPassThrough.h"

#include <gst/base/gstbasetransform.h>

G_BEGIN_DECLS
#define KADREX_TYPE_PASS_THROUGH (kadrex_pass_through_get_type())
G_DECLARE_FINAL_TYPE(KadrexPassThrough, kadrex_pass_through, KADREX, PASS_THROUGH, GstBaseTransform)
G_END_DECLS

struct _KadrexPassThrough {
    GstBaseTransform parent;
    TMfTransformHandler *handler;
    TGuid *classId;
    QString *friendlyName;
};

G_DEFINE_TYPE(KadrexPassThrough, kadrex_pass_through, GST_TYPE_BASE_TRANSFORM)

namespace {

GstStaticPadTemplate sinkTemplate =
    GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS_ANY);
GstStaticPadTemplate srcTemplate =
    GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS_ANY);

KadrexPassThrough *self(GstBaseTransform *t)
{
    return KADREX_PASS_THROUGH(t);
}

gboolean acceptCaps(GstBaseTransform *t, GstPadDirection direction, GstCaps *caps)
{
    if (!GST_BASE_TRANSFORM_CLASS(kadrex_pass_through_parent_class)
             ->accept_caps(t, direction, caps))
        return FALSE;
    TMfTransformHandler *h = self(t)->handler;
    return !h || direction != GST_PAD_SINK || h->AcceptInput(MediaTypeFromCaps(caps));
}

gboolean setCaps(GstBaseTransform *t, GstCaps *in, GstCaps *)
{
    if (TMfTransformHandler *h = self(t)->handler)
        h->SetInputType(MediaTypeFromCaps(in), in);
    return TRUE;
}

GstFlowReturn transformIp(GstBaseTransform *t, GstBuffer *buffer)
{
    TMfTransformHandler *h = self(t)->handler;
    if (h && !h->Transform(buffer))
        return GST_BASE_TRANSFORM_FLOW_DROPPED;
    return GST_FLOW_OK;
}

gboolean start(GstBaseTransform *t)
{
    if (TMfTransformHandler *h = self(t)->handler)
        h->StartStreaming();
    return TRUE;
}

gboolean stop(GstBaseTransform *t)
{
    if (TMfTransformHandler *h = self(t)->handler)
        h->StopStreaming();
    return TRUE;
}

void finalize(GObject *object)
{
    KadrexPassThrough *p = KADREX_PASS_THROUGH(object);
    delete p->handler;
    delete p->classId;
    delete p->friendlyName;
    G_OBJECT_CLASS(kadrex_pass_through_parent_class)->finalize(object);
}

} // namespace

static void kadrex_pass_through_class_init(KadrexPassThroughClass *klass)
{
    G_OBJECT_CLASS(klass)->finalize = finalize;
    GstElementClass *element = GST_ELEMENT_CLASS(klass);
    gst_element_class_add_static_pad_template(element, &sinkTemplate);
    gst_element_class_add_static_pad_template(element, &srcTemplate);
    gst_element_class_set_static_metadata(element, "Kadrex pass-through", "Filter/Analyzer",
                                          "Passes every sample on and watches it", "Norvane");
    GstBaseTransformClass *transform = GST_BASE_TRANSFORM_CLASS(klass);
    transform->accept_caps = acceptCaps;
    transform->set_caps = setCaps;
    transform->transform_ip = transformIp;
    transform->start = start;
    transform->stop = stop;
}

static void kadrex_pass_through_init(KadrexPassThrough *p)
{
    p->handler = nullptr;
    p->classId = new TGuid;
    p->friendlyName = new QString;
    gst_base_transform_set_in_place(GST_BASE_TRANSFORM(p), TRUE);
    gst_base_transform_set_passthrough(GST_BASE_TRANSFORM(p), TRUE);
}

void MfRegisterPassThrough()
{
    static const bool registered =
        gst_element_register(nullptr, kPassThroughFactory, GST_RANK_NONE, KADREX_TYPE_PASS_THROUGH);
    (void)registered;
}

GstElement *MfCreatePassThrough(const QString &name, TMfTransformHandler *handler,
                                const TGuid &classId, const QString &friendlyName)
{
    auto *p = KADREX_PASS_THROUGH(g_object_new(KADREX_TYPE_PASS_THROUGH, "name",
                                               name.isEmpty() ? nullptr : name.toUtf8().constData(),
                                               nullptr));
    p->handler = handler;
    *p->classId = classId;
    *p->friendlyName = friendlyName;
    return GST_ELEMENT(p);
}

bool MfIsPassThrough(GstElement *element)
{
    return element && KADREX_IS_PASS_THROUGH(element);
}

TMfTransformHandler *MfPassThroughHandler(GstElement *element)
{
    return MfIsPassThrough(element) ? KADREX_PASS_THROUGH(element)->handler : nullptr;
}

TGuid MfPassThroughClassId(GstElement *element)
{
    return MfIsPassThrough(element) ? *KADREX_PASS_THROUGH(element)->classId : TGuid();
}

QString MfPassThroughFriendlyName(GstElement *element)
{
    return MfIsPassThrough(element) ? *KADREX_PASS_THROUGH(element)->friendlyName : QString();
}
