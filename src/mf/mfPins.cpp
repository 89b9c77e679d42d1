#include "mfPins.h"

#include "mfSourceBin.h"

namespace mf {

QList<GstPad *> Pins(GstElement *element)
{
    QList<GstPad *> pins;
    if (!element)
        return pins;
    GST_OBJECT_LOCK(element);
    for (GList *l = element->sinkpads; l; l = l->next)
        pins.append(GST_PAD(l->data));
    for (GList *l = element->srcpads; l; l = l->next)
        pins.append(GST_PAD(l->data));
    GST_OBJECT_UNLOCK(element);
    return pins;
}

GstPad *Pin(GstElement *element, int index)
{
    const QList<GstPad *> pins = Pins(element);
    return index >= 0 && index < pins.size() ? pins[index] : nullptr;
}

GstElement *PinFilter(GstPad *pad)
{
    GstObject *parent = pad ? GST_OBJECT_PARENT(pad) : nullptr;
    return parent && GST_IS_ELEMENT(parent) ? GST_ELEMENT(parent) : nullptr;
}

bool IsInput(GstPad *pad)
{
    return pad && GST_PAD_IS_SINK(pad);
}

bool IsConnected(GstPad *pad)
{
    return pad && gst_pad_is_linked(pad);
}

GstPad *ConnectedTo(GstPad *pad)
{
    if (!pad)
        return nullptr;
    GstPad *peer = gst_pad_get_peer(pad);
    if (peer)
        gst_object_unref(peer); // the peer's element keeps it
    return peer;
}

HRESULT Disconnect(GstPad *pad)
{
    GstPad *peer = ConnectedTo(pad);
    if (!peer)
        return S_FALSE;
    const bool done = GST_PAD_IS_SRC(pad) ? gst_pad_unlink(pad, peer) : gst_pad_unlink(peer, pad);
    return done ? S_OK : E_FAIL;
}

GstCaps *PinCaps(GstPad *pad)
{
    if (!pad)
        return gst_caps_new_empty();
    if (GstCaps *current = gst_pad_get_current_caps(pad))
        return current;
    return gst_pad_query_caps(pad, nullptr);
}

TMediaType PinMediaType(GstPad *pad)
{
    if (const TMediaType *kept = MfStreamMediaType(pad))
        return *kept;
    GstCaps *caps = PinCaps(pad);
    const TMediaType type = MediaTypeFromCaps(caps);
    gst_caps_unref(caps);
    return type;
}

TMediaType ConnectionMediaType(GstPad *pad)
{
    GstPad *peer = ConnectedTo(pad);
    if (!peer)
        return {};
    GstPad *out = GST_PAD_IS_SRC(pad) ? pad : peer;
    if (GstCaps *current = gst_pad_get_current_caps(out)) {
        const TMediaType type = MediaTypeFromCaps(current);
        gst_caps_unref(current);
        return type;
    }
    return PinMediaType(out);
}

GstPad *FindPin(GstElement *element, GstPadDirection direction, const TGuid *category,
                const TGuid &majortype, bool unconnectedOnly, int index)
{
    if (!element || (category && !category->isNull()))
        return nullptr;
    int seen = 0;
    for (GstPad *pad : Pins(element)) {
        if (GST_PAD_DIRECTION(pad) != direction)
            continue;
        if (unconnectedOnly && IsConnected(pad))
            continue;
        if (!majortype.isNull() && PinMediaType(pad).majortype != majortype)
            continue;
        if (seen++ == index)
            return pad;
    }
    return nullptr;
}

GstPad *FindOutputPin(GstElement *element, const TGuid &majortype, int index)
{
    if (GstPad *pad =
            FindPin(element, GST_PAD_SRC, &guids::PIN_CATEGORY_CAPTURE, majortype, true, index))
        return pad;
    return FindPin(element, GST_PAD_SRC, nullptr, majortype, true, index);
}

HRESULT ElementGetState(GstElement *element, int timeoutMs, GstState *state)
{
    if (!element)
        return E_POINTER;
    GstState current = GST_STATE_NULL, pending = GST_STATE_VOID_PENDING;
    const GstStateChangeReturn r =
        gst_element_get_state(element, &current, &pending, GstClockTime(timeoutMs) * GST_MSECOND);
    if (state)
        *state = current;
    switch (r) {
    case GST_STATE_CHANGE_SUCCESS:
    case GST_STATE_CHANGE_NO_PREROLL:
        return S_OK;
    case GST_STATE_CHANGE_ASYNC:
        return VFW_S_STATE_INTERMEDIATE;
    default:
        return E_FAIL;
    }
}

} // namespace mf
