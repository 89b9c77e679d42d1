#pragma once
// The program's own analysis elements: GstBaseTransform in-place subclasses
// that pass every buffer on untouched (or drop it) and keep their logic in a
// C++ object owned by the element instance. Each element is a static element
// of the program with its own debug category, friendly name and class
// identifier (element metadata "class-id").

#include "actions/uActionList.h"

#include <gst/base/gstbasetransform.h>
#include <gst/gst.h>

#include <QMutex>

#include <functional>

// Receives the messages of an element; set by the owner, called on the
// streaming thread (so it must only queue, e.g. TNvActionComponent::PostMessage).
using TMessageSink = std::function<void(const TNvMessage &)>;

// A message sink that can be replaced from the UI thread while the streaming
// thread posts through it. When Set returns, the old sink is no longer running,
// so a receiver clears its sinks before it is freed. A sink must not set its
// own slot.
class TSinkSlot
{
public:
    void Set(TMessageSink sink);
    // Posts when a sink is set; returns whether one was.
    bool Post(const TNvMessage &message) const;

private:
    mutable QMutex m_lock;
    TMessageSink m_sink;
};

class TInPlaceFilter
{
public:
    virtual ~TInPlaceFilter() = default;

    GstElement *Element() const { return GST_ELEMENT(m_trans); }
    GstBaseTransform *BaseTransform() const { return m_trans; }
    // The C++ side of one of the program's elements, or null.
    static TInPlaceFilter *FromElement(GstElement *element);
    // The element class's debug category.
    GstDebugCategory *DebugCategory() const;

protected:
    friend struct TInPlaceFilterGlue;
    // Streaming starts (READY to PAUSED).
    virtual void StartStreaming() {}
    // A new segment arrives, before it goes downstream.
    virtual void NewSegment(const GstSegment &) {}
    // The input type is set or changes; false refuses it.
    virtual bool SetMediaType(GstCaps *) { return true; }
    // Whether the input may take these caps.
    virtual bool CheckInputType(GstCaps *) { return true; }
    // One buffer; false drops it.
    virtual bool TransformBuffer(GstBuffer *buffer) = 0;
    // Whether TransformBuffer attaches metadata, so needs a writable buffer
    // (a shared one is then copied; its memory stays shared).
    virtual bool LabelsBuffers() const { return false; }

private:
    GstBaseTransform *m_trans = nullptr;
};

struct TFilterClassInfo {
    const char *typeName;    // GType name
    const char *factoryName; // element factory name
    const char *friendlyName;
    const char *classId; // registry text form {XXXXXXXX-...}
    const char *description;
    TInPlaceFilter *(*create)();
};

// Registers the element type and its static factory (info must outlive the
// program: keep it static); false on failure.
bool RegisterInPlaceFilter(const TFilterClassInfo &info);
