#pragma once
// The DV guard: an element in front of the DV splitter that makes every
// frame consistent with itself before third-party code decodes it. A damaged
// or hostile frame may announce audio its own system cannot hold (a 60-field
// sample count in a 50-field frame, an unknown audio type), and decoders size
// their work by those packs. The guard blanks ("no information") every
// audio or video source pack that disagrees with the frame's header, so the
// splitter skips that frame's audio instead of writing past its buffers.
// Sound frames pass untouched. The element passes buffers through (a
// splitter pulling from a file reads through it), mending them in place; a
// shared buffer that would need mending is dropped instead.

#include "uInPlaceFilter.h"

#include <QtGlobal>

#include <atomic>
#include <span>

struct TDVGuardReport {
    int frames = 0;       // whole frames checked
    int blankedPacks = 0; // source packs blanked
    int badBlockIds = 0;  // DIF blocks whose identifier is not their place's
};

// Checks and mends, in place, one frame that starts the span: every DIF
// sequence of it the span holds whole, against the system its header
// announces (the one decoders size the frame by).
TDVGuardReport DVGuardFrame(std::span<quint8> frame);
// A buffer of frames as a splitter reads them: whole frames one after the
// other, each as long as its own header says, the last maybe cut short (a
// splitter first reads a 525-line frame's worth to learn the system).
TDVGuardReport DVGuardBuffer(std::span<quint8> buffer);

class TDVGuard : public TInPlaceFilter
{
public:
    static constexpr const char *FactoryName = "kadrexdvguard";
    static constexpr const char *FriendlyName = "Kadrex DV Guard";
    static constexpr const char *ClassId = "{6F2A8D31-4C7B-4E59-9A0D-3B1E5C7F2D64}";

    static bool Register();
    static GstElement *Create(const char *name = nullptr);
    static TDVGuard *From(GstElement *element);

    // Frames mended since streaming started (any fault).
    int MendedFrames() const { return m_mended.load(); }

protected:
    void StartStreaming() override { m_mended = 0; }
    bool TransformBuffer(GstBuffer *buffer) override;
    // It mends frames in place: a shared buffer is copied first, so a frame
    // read in pull mode (where the element passes buffers through) can be
    // mended too.
    bool LabelsBuffers() const override { return true; }

private:
    std::atomic<int> m_mended{0};
};
