#pragma once
// Source and splitter elements of the media layer. A demuxer's pads appear
// only when it prerolls, while the program finds and connects a splitter's
// output pins before anything runs. So a source (which reads a file) or a
// splitter (fed through its input pin) finds its streams once in a private
// pipeline, when the file is loaded or the input is connected, and offers
// one output pin per stream at once; when the real pipeline runs, the
// demuxer's pads are joined to those pins, each through a queue (and a
// parser where the demuxer leaves size or rate open).

#include "mfMediaType.h"
#include "mfResult.h"

#include <QString>
#include <QStringList>

#include <gst/gst.h>

// Longest time the private pipeline of one discovery may take.
inline constexpr int kDiscoveryTimeoutMs = 3000;
// Most a stream's queue inside a source bin holds.
inline constexpr guint kStreamQueueBytes = 64u << 20;

// Bounds every discovery made on this thread while it lives (probing a file
// tries several sources, some of which may find streams in turn): once the
// budget is spent, discoveries fail at once.
class TDiscoveryBudget
{
public:
    explicit TDiscoveryBudget(int milliseconds);
    ~TDiscoveryBudget();
    TDiscoveryBudget(const TDiscoveryBudget &) = delete;
    TDiscoveryBudget &operator=(const TDiscoveryBudget &) = delete;
    // Milliseconds left for the next discovery (kDiscoveryTimeoutMs when no
    // budget is in force).
    static int Remaining();

private:
    qint64 m_previousDeadline;
};

// A source that reads and splits a file. `demuxers` are the element factories
// it may use (empty: any demuxer, chosen by type-finding and rank).
GstElement *MfCreateSourceBin(const QStringList &demuxers);
// A splitter with one input pin, using one of `demuxers`.
GstElement *MfCreateSplitterBin(const QStringList &demuxers);

bool MfIsSourceBin(GstElement *element); // either kind above

// Makes the element put in front of a demuxer that must not take a file's
// bytes unchecked (nullptr: none for that demuxer). Set by the layer that
// owns such elements; every discovery and bin built afterwards uses it.
using TDemuxerGuardMaker = GstElement *(*)(const char *demuxFactory);
void MfSetDemuxerGuard(TDemuxerGuardMaker maker);

// Why a path is not opened as a media file, or empty when it may be: only
// readable regular files are, so a named pipe or a device never blocks an
// open and a folder is not mistaken for a file. Checked before any open.
QString MfFileRefusal(const QString &path);

// IFileSourceFilter::Load: a source bin finds its streams now; a plain file
// source (filesrc) takes the location. E_NOINTERFACE for other elements.
HRESULT MfLoadFile(GstElement *element, const QString &path);

// Called by the layer once a splitter bin's input pin was linked to `peer`:
// the splitter finds its streams through the chain upstream. False when it
// cannot (the caller undoes the link).
bool MfSplitterInputLinked(GstElement *splitter, GstPad *peer);

// The media type a source bin found for one of its output pins; nullptr for
// any other pad.
const TMediaType *MfStreamMediaType(GstPad *pad);
// The demuxer factory a source bin chose (empty before discovery).
QString MfSourceBinDemuxer(GstElement *element);
// The file a source bin loaded (empty for a splitter or before loading).
QString MfSourceBinFile(GstElement *element);
