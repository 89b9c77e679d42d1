#pragma once
// Pins of the media layer: an element's pads in enumeration order (inputs
// first, then outputs), their connections and the media types they carry.
// Pads are borrowed from their element: keep the element to keep the pad.

#include "mfGuid.h"
#include "mfMediaType.h"
#include "mfResult.h"

#include <QList>
#include <QString>

#include <gst/gst.h>

namespace mf {

// Inputs first, then outputs, each in the element's own order.
QList<GstPad *> Pins(GstElement *element);
// The pin at an enumeration index; nullptr when out of range.
GstPad *Pin(GstElement *element, int index);
GstElement *PinFilter(GstPad *pad); // the element owning the pad (borrowed)
bool IsInput(GstPad *pad);
bool IsConnected(GstPad *pad);
GstPad *ConnectedTo(GstPad *pad); // the peer (borrowed), nullptr when unconnected
// Unlinks the pad from its peer: S_OK, or S_FALSE when it was not connected.
HRESULT Disconnect(GstPad *pad);

// The caps a pin offers or carries: its current caps, else what a caps
// query answers. The caller owns the result (never nullptr).
GstCaps *PinCaps(GstPad *pad);
// The media type the pin carries or offers (source bins keep the type their
// streams were found with).
TMediaType PinMediaType(GstPad *pad);
// The type of a connection seen from either of its pins; null when unconnected.
TMediaType ConnectionMediaType(GstPad *pad);

// The index-th (0-based) pin of the element in that direction whose major type
// matches (a null major type matches any). GStreamer has no pin categories:
// a search with a category finds nothing, as on a filter without them.
GstPad *FindPin(GstElement *element, GstPadDirection direction, const TGuid *category,
                const TGuid &majortype, bool unconnectedOnly, int index);
// FindPin with PIN_CATEGORY_CAPTURE first, then without a category, as the
// program's callers search.
GstPad *FindOutputPin(GstElement *element, const TGuid &majortype, int index);

// IMediaFilter::GetState of one element: S_OK, VFW_S_STATE_INTERMEDIATE while a
// transition is pending after the time-out, or E_FAIL.
HRESULT ElementGetState(GstElement *element, int timeoutMs, GstState *state);

} // namespace mf
