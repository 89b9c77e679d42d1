#pragma once
// What intelligent connect may put between two pins: the element factories
// of rank >= MARGINAL that parse, decode, depayload or convert, read from the
// registry once for each state of it, and the caps an element so added will
// put out before it has negotiated.

#include <QList>

#include <gst/gst.h>

namespace mf {

enum class TCandidateKind { Parser, Decoder, Converter };

struct TConnectCandidate {
    GstElementFactory *factory = nullptr; // borrowed from the registry's list
    TCandidateKind kind = TCandidateKind::Decoder;
};

// Candidates whose sink template accepts `caps`, best rank first. The list
// stays valid until the registry changes (a plugin module loaded).
QList<TConnectCandidate> ConnectCandidates(const GstCaps *caps);

// Whether a parser has already framed the stream (a second one is useless).
bool CapsParsed(const GstCaps *caps);

// The caps an element of `kind` just linked behind a stream of `input` caps
// will put out at `src`, when `target` is what the pin downstream takes.
// The caller owns the result.
GstCaps *EstimatedOutputCaps(TCandidateKind kind, const GstCaps *input, GstPad *src,
                             const GstCaps *target);

} // namespace mf
