#pragma once
// Base of the program's own in-graph elements: a transform-in-place element
// (GstBaseTransform) that hands each sample, in order and on the streaming
// thread, to a C++ handler and passes it on unchanged unless the handler
// drops it. It accepts any type unless the handler refuses it.

#include "mfGuid.h"
#include "mfMediaType.h"

#include <QString>

#include <gst/gst.h>

class TMfTransformHandler
{
public:
    virtual ~TMfTransformHandler() = default;
    // CheckInputType: may the input take this type? Streaming or UI thread.
    virtual bool AcceptInput(const TMediaType &) { return true; }
    // SetMediaType on the input pin: the stream's type is now this one.
    virtual void SetInputType(const TMediaType &, const GstCaps *) {}
    virtual void StartStreaming() {}
    virtual void StopStreaming() {}
    // One sample; return False to drop it. The buffer is read-only.
    virtual bool Transform(GstBuffer *) { return true; }
};

// Creates an element named `name` that owns `handler` (freed with the
// element). The friendly name and class identifier are kept on the element.
GstElement *MfCreatePassThrough(const QString &name, TMfTransformHandler *handler,
                                const TGuid &classId = {}, const QString &friendlyName = {});
// The factory name under which elements without a handler are made.
inline constexpr const char *kPassThroughFactory = "kadrexpassthrough";
// Registers kPassThroughFactory with the running GStreamer (once).
void MfRegisterPassThrough();

bool MfIsPassThrough(GstElement *element);
TMfTransformHandler *MfPassThroughHandler(GstElement *element);
TGuid MfPassThroughClassId(GstElement *element);
QString MfPassThroughFriendlyName(GstElement *element);
