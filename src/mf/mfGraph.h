#pragma once
// The filter graph of the media layer: a GstPipeline with the operations the
// program's media session uses, in DirectShow terms: add and remove filters
// under unique names, connect two given pins directly or through decoders
// and parsers chosen by rank (with a veto for each candidate), run, pause and
// stop with GetState and its intermediate answer, seeking in 100-ns units,
// the clock, and the end of the stream delivered once on the UI thread.

#include "mfPins.h"
#include "mfResult.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>

#include <gst/gst.h>

namespace mf {
// Element message the frames notifier posts with the stream time ("stream-time",
// ns) of a file's first frame.
inline constexpr const char *kStreamStartMessage = "kadrex-stream-start";
} // namespace mf

// IMediaSeeking capability bits.
namespace seekcaps {
inline constexpr quint32 CanSeekAbsolute = 0x1, CanSeekForwards = 0x2, CanSeekBackwards = 0x4,
                         CanGetCurrentPos = 0x8, CanGetStopPos = 0x10, CanGetDuration = 0x20,
                         CanPlayBackwards = 0x40;
}

class TMfGraph : public QObject
{
    Q_OBJECT
public:
    explicit TMfGraph(const QString &name = QStringLiteral("Filtergraph"),
                      QObject *parent = nullptr);
    ~TMfGraph() override;

    GstPipeline *Pipeline() const { return m_pipeline; }

    // Adds the filter under `name`: S_OK, or VFW_E_DUPLICATE_NAME when a filter
    // of that name is in the graph (the filter is then not added), E_FAIL.
    HRESULT AddFilter(GstElement *filter, const QString &name);
    // Unlinks the filter's pins, stops it and takes it out: S_OK or E_FAIL. In
    // a paused or running graph the branch is flushed first (a streaming
    // thread may wait in a sink's preroll), and the place is remembered:
    // RestorePosition shows it again once the graph is linked anew.
    HRESULT RemoveFilter(GstElement *filter);
    // In a paused or running graph: remembers the place and flushes the
    // branches from the filter's connected inputs downstream, so that no
    // streaming thread waits behind it (in a sink's preroll) while the graph
    // is re-linked. RestorePosition shows the place again afterwards.
    void FlushFrom(GstElement *filter);
    // Ends that flush once the old elements are out, so that the seek which
    // shows the place again can travel up through the filter.
    void FlushStop(GstElement *filter);
    // Every filter in the order they were added.
    QList<GstElement *> Filters() const;
    GstElement *FindFilterByName(const QString &name) const;
    bool Contains(GstElement *filter) const;
    void RemoveAll();

    // Links output pin `out` to input pin `in`, optionally only with caps
    // compatible with `caps`.
    HRESULT ConnectDirect(GstPad *out, GstPad *in, const GstCaps *caps = nullptr);
    // Intelligent connect against the caps the output carries (its fixed caps,
    // or those its source bin found): a direct link when the input accepts
    // them, else a chain of parsers, decoders and converters of rank >=
    // MARGINAL whose inputs accept the stream, with a converter wherever raw
    // formats differ. Parsers are not added behind a parsed stream, nor a
    // factory twice in one chain. Each candidate factory is offered to the
    // veto first; returning True refuses it. Added elements take the graph's
    // state.
    using TConnectVeto = std::function<bool(GstElementFactory *factory)>;
    void SetConnectVeto(TConnectVeto veto) { m_veto = std::move(veto); }
    HRESULT Connect(GstPad *out, GstPad *in);
    // After a preroll that failed: the chains Connect built where the caps
    // stopped (a candidate that would not negotiate) are taken out, their
    // failing factory refused, and connected anew. Stops the graph first.
    // True when any chain was replaced (pause again).
    bool ReconnectUnnegotiated();
    // A streaming error since the last state change (the preroll will not end).
    bool StreamFailed() const { return m_streamFailed; }
    // RenderStream(source pin, sink filter): connect to the sink's first free input.
    HRESULT RenderStream(GstPad *out, GstElement *sink);

    // IMediaControl. Stop (READY) remembers the position; RestorePosition
    // seeks back to it once the graph has paused again.
    HRESULT Run();
    HRESULT Pause();
    HRESULT Stop();
    // Seeks to the remembered place (after Stop or a re-link), if any: S_OK,
    // S_FALSE when nothing was remembered, E_FAIL.
    HRESULT RestorePosition();
    // The same once the graph has prerolled again from a stop: when the frame
    // the video renderer shows covers the remembered time (a video stopped on
    // its first frame), the place is forgotten without a seek.
    HRESULT RestorePositionAfterPreroll();
    bool HasRemembered() const { return m_remembered >= 0; }
    // S_OK, VFW_S_STATE_INTERMEDIATE while a transition is pending, E_FAIL.
    HRESULT GetState(int timeoutMs, GstState *state) const;

    // IMediaSeeking, 100-ns units. Positions count from the file's first frame
    // (StreamStart): frame k sits at k frame durations on every container.
    // For an exact frame, seek to its middle.
    quint32 GetCapabilities() const;
    HRESULT GetDuration(qint64 *duration) const;
    HRESULT GetCurrentPosition(qint64 *position) const;
    HRESULT SetPositions(qint64 position, bool accurate = true);
    HRESULT SetRate(double rate);
    double Rate() const { return m_rate; }
    // Stream time (100 ns) of the file's first frame, as the frames notifier
    // found it when the file opened; 0 until known.
    qint64 StreamStart() const { return qMax<qint64>(0, m_streamStart); }
    void ResetStreamStart() { m_streamStart = -1; }
    // Whether accurate seeks land on the frame asked for; false when a source's
    // demuxer ignores them (MPEG PS): seek before the target and drop frames.
    bool AccurateSeeksExact() const;
    // Frame step while paused: `frames` frames forward on the video sink (the
    // given one, else the first sink taking raw video); StepDone follows.
    HRESULT Step(int frames, GstElement *sink = nullptr);

    // SetSyncSource(none) when off, the default clock when on.
    void UseClock(bool on);
    // Writes a Graphviz dump of the pipeline when GST_DEBUG_DUMP_DOT_DIR is set.
    void DumpGraph(const QString &fileName) const;

signals:
    // The end of the stream, once per run, on the thread of this object.
    void Complete();
    // An error the pipeline reported (text of the error).
    void Error(const QString &text);
    void Warning(const QString &text);
    // A state change or flushing seek completed (the graph prerolled).
    void AsyncDone();
    // A step finished: how many frames it went.
    void StepDone(quint64 frames);

private:
    static GstBusSyncReply busSync(GstBus *bus, GstMessage *message, gpointer self);
    HRESULT setState(GstState state);
    struct TConnectRun {
        QList<QByteArray> used;    // factories in the chain so far, never taken twice
        QList<GstElement *> added; // elements of the chain, most downstream first
    };
    static constexpr int kMaxConnectDepth = 4;
    struct TConnection {
        GstPad *out = nullptr, *in = nullptr; // owned references
        QList<GstElement *> chain;            // most downstream first
        QList<QByteArray> refused;
    };
    QList<TConnection> m_connections;
    GstElement *unnegotiatedIn(const TConnection &c) const;
    HRESULT connectRefusing(GstPad *out, GstPad *in, TConnection *record);
    HRESULT connectThrough(GstPad *out, const GstCaps *caps, GstPad *in, int depth,
                           TConnectRun &run);
    QString uniqueName(const QString &base) const;

    GstPipeline *m_pipeline = nullptr;
    QList<GstElement *> m_filters;
    TConnectVeto m_veto;
    double m_rate = 1.0;
    std::atomic<bool> m_completeSent{false};
    std::atomic<bool> m_streamFailed{false};
    std::atomic<qint64> m_streamStart{-1};
    qint64 m_remembered = -1; // stream time to show again, -1: none
    QString m_file;           // the file of the last source bin added
    void remember();
    GstElement *videoSink() const; // the first sink taking raw video
    bool live() const;
};
