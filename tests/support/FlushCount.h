#pragma once
// Counts the flushing seeks that reach an element while some work runs: each
// one throws away what was decoded, so a step that should not seek shows here.

#include <gst/gst.h>

#include <functional>

namespace testsupport {

inline int flushesDuring(GstElement *sink, const std::function<void()> &work)
{
    int flushes = 0;
    GstPad *input = gst_element_get_static_pad(sink, "sink");
    const gulong probe = gst_pad_add_probe(
        input, GST_PAD_PROBE_TYPE_EVENT_FLUSH,
        [](GstPad *, GstPadProbeInfo *info, gpointer count) {
            if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_FLUSH_START)
                ++*static_cast<int *>(count);
            return GST_PAD_PROBE_OK;
        },
        &flushes, nullptr);
    work();
    gst_pad_remove_probe(input, probe);
    gst_object_unref(input);
    return flushes;
}

} // namespace testsupport
