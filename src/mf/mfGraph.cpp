#include "mfGraph.h"

#include "mfConnectCandidates.h"
#include "mfSourceBin.h"

#include <QMetaObject>

#include <gst/base/gstbasesrc.h>

TMfGraph::TMfGraph(const QString &name, QObject *parent) : QObject(parent)
{
    m_pipeline = GST_PIPELINE(gst_pipeline_new(name.toUtf8().constData()));
    gst_object_ref_sink(m_pipeline);
    GstBus *bus = gst_pipeline_get_bus(m_pipeline);
    gst_bus_set_sync_handler(bus, busSync, this, nullptr);
    gst_object_unref(bus);
}

TMfGraph::~TMfGraph()
{
    gst_element_set_state(GST_ELEMENT(m_pipeline), GST_STATE_NULL);
    GstBus *bus = gst_pipeline_get_bus(m_pipeline);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    RemoveAll();
    for (TConnection &c : m_connections) {
        gst_object_unref(c.out);
        gst_object_unref(c.in);
    }
    gst_object_unref(m_pipeline);
}

namespace {

QString messageText(GstMessage *message)
{
    GError *error = nullptr;
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR)
        gst_message_parse_error(message, &error, nullptr);
    else
        gst_message_parse_warning(message, &error, nullptr);
    const QString text = QString::fromUtf8(error ? error->message : "");
    g_clear_error(&error);
    return text;
}

} // namespace

// Streaming threads: hand copies to the UI thread, never wait for it.
GstBusSyncReply TMfGraph::busSync(GstBus *, GstMessage *message, gpointer data)
{
    auto *self = static_cast<TMfGraph *>(data);
    const auto post = [self](auto what) {
        QMetaObject::invokeMethod(self, what, Qt::QueuedConnection);
    };
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
        if (!self->m_completeSent.exchange(true))
            post([self] { emit self->Complete(); });
        break;
    case GST_MESSAGE_ERROR: {
        self->m_streamFailed = true;
        const QString text = messageText(message);
        post([self, text] { emit self->Error(text); });
        break;
    }
    case GST_MESSAGE_WARNING: {
        const QString text = messageText(message);
        post([self, text] { emit self->Warning(text); });
        break;
    }
    case GST_MESSAGE_ASYNC_DONE:
        post([self] { emit self->AsyncDone(); });
        break;
    case GST_MESSAGE_STEP_DONE: {
        guint64 amount = 0;
        gst_message_parse_step_done(message, nullptr, &amount, nullptr, nullptr, nullptr, nullptr,
                                    nullptr);
        post([self, amount] { emit self->StepDone(amount); });
        break;
    }
    case GST_MESSAGE_CLOCK_LOST:
        // A new clock is chosen by going through PAUSED.
        post([self] {
            if (GST_STATE(self->m_pipeline) == GST_STATE_PLAYING) {
                gst_element_set_state(GST_ELEMENT(self->m_pipeline), GST_STATE_PAUSED);
                gst_element_set_state(GST_ELEMENT(self->m_pipeline), GST_STATE_PLAYING);
            }
        });
        break;
    case GST_MESSAGE_ELEMENT: {
        const GstStructure *s = gst_message_get_structure(message);
        guint64 ns = 0;
        qint64 unknown = -1;
        if (s && gst_structure_has_name(s, mf::kStreamStartMessage) &&
            gst_structure_get_uint64(s, "stream-time", &ns))
            self->m_streamStart.compare_exchange_strong(unknown, qint64(ns / 100));
        break;
    }
    default:
        break;
    }
    return GST_BUS_DROP;
}

namespace {

// The file a filter reads: a source bin's, or a file source's location.
QString fileOf(GstElement *filter)
{
    if (MfIsSourceBin(filter))
        return MfSourceBinFile(filter);
    if (!GST_IS_BASE_SRC(filter) ||
        !g_object_class_find_property(G_OBJECT_GET_CLASS(filter), "location"))
        return {};
    gchar *location = nullptr;
    g_object_get(filter, "location", &location, nullptr);
    const QString file = QString::fromUtf8(location ? location : "");
    g_free(location);
    return file;
}

} // namespace

HRESULT TMfGraph::AddFilter(GstElement *filter, const QString &name)
{
    if (!filter || GST_OBJECT_PARENT(filter))
        return E_FAIL;
    if (FindFilterByName(name))
        return VFW_E_DUPLICATE_NAME;
    if (!gst_object_set_name(GST_OBJECT(filter), name.toUtf8().constData()))
        return E_FAIL;
    if (!gst_bin_add(GST_BIN(m_pipeline), filter))
        return E_FAIL;
    m_filters.append(filter);
    const QString file = fileOf(filter);
    if (!file.isEmpty() && file != m_file) {
        // Another file: its own first frame and no place of the last one. The
        // same file connected again (another decoder) keeps both.
        m_file = file;
        m_remembered = -1;
        ResetStreamStart();
    }
    return S_OK;
}

bool TMfGraph::live() const
{
    return GST_STATE(m_pipeline) >= GST_STATE_PAUSED ||
           GST_STATE_PENDING(m_pipeline) >= GST_STATE_PAUSED;
}

void TMfGraph::FlushFrom(GstElement *filter)
{
    if (!live() || !Contains(filter))
        return;
    remember();
    for (GstPad *pad : mf::Pins(filter))
        if (mf::IsInput(pad) && mf::IsConnected(pad))
            gst_pad_send_event(pad, gst_event_new_flush_start());
}

void TMfGraph::FlushStop(GstElement *filter)
{
    if (!live() || !Contains(filter))
        return;
    for (GstPad *pad : mf::Pins(filter))
        if (mf::IsInput(pad))
            gst_pad_send_event(pad, gst_event_new_flush_stop(TRUE));
}

HRESULT TMfGraph::RemoveFilter(GstElement *filter)
{
    if (!Contains(filter))
        return E_FAIL;
    gst_object_ref(filter);
    const QList<GstPad *> pins = mf::Pins(filter);
    // A streaming thread may be waiting in a sink's preroll behind this
    // filter, holding the locks that stopping it would take: flush the
    // branch first, which returns that thread at once.
    const bool flushing = live();
    FlushFrom(filter);
    QList<GstElement *> downstream;
    for (GstPad *pad : pins) {
        if (!mf::IsInput(pad) && mf::IsConnected(pad))
            downstream.append(mf::PinFilter(mf::ConnectedTo(pad)));
        mf::Disconnect(pad);
    }
    gst_element_set_locked_state(filter, TRUE);
    gst_element_set_state(filter, GST_STATE_NULL);
    m_filters.removeAll(filter);
    const bool removed = gst_bin_remove(GST_BIN(m_pipeline), filter);
    gst_element_set_locked_state(filter, FALSE);
    gst_object_unref(filter);
    if (flushing)
        for (GstElement *element : std::as_const(downstream))
            FlushStop(element);
    return removed ? S_OK : E_FAIL;
}

QList<GstElement *> TMfGraph::Filters() const
{
    return m_filters;
}

GstElement *TMfGraph::FindFilterByName(const QString &name) const
{
    for (GstElement *f : m_filters)
        if (QString::fromUtf8(GST_OBJECT_NAME(f)) == name)
            return f;
    return nullptr;
}

bool TMfGraph::Contains(GstElement *filter) const
{
    return filter && m_filters.contains(filter);
}

void TMfGraph::RemoveAll()
{
    while (!m_filters.isEmpty())
        RemoveFilter(m_filters.last());
}

HRESULT TMfGraph::ConnectDirect(GstPad *out, GstPad *in, const GstCaps *caps)
{
    if (!out || !in || !GST_PAD_IS_SRC(out) || !GST_PAD_IS_SINK(in))
        return E_POINTER;
    if (mf::IsConnected(out) || mf::IsConnected(in))
        return VFW_E_ALREADY_CONNECTED;
    if (caps) {
        GstCaps *offered = mf::PinCaps(out);
        GstCaps *taken = gst_pad_query_caps(in, nullptr);
        const bool fits =
            gst_caps_can_intersect(offered, caps) && gst_caps_can_intersect(taken, caps);
        gst_caps_unref(offered);
        gst_caps_unref(taken);
        if (!fits)
            return VFW_E_TYPE_NOT_ACCEPTED;
    }
    if (GST_PAD_LINK_FAILED(gst_pad_link(out, in)))
        return VFW_E_CANNOT_CONNECT;
    GstElement *downstream = mf::PinFilter(in);
    if (MfIsSourceBin(downstream) && !MfSplitterInputLinked(downstream, out)) {
        gst_pad_unlink(out, in);
        return VFW_E_CANNOT_CONNECT;
    }
    return S_OK;
}

QString TMfGraph::uniqueName(const QString &base) const
{
    QString name = base;
    for (int i = 1; FindFilterByName(name); ++i)
        name = base + QStringLiteral("_%1").arg(i);
    return name;
}

namespace {

GstPad *firstFreePad(GstElement *element, GstPadDirection direction)
{
    for (GstPad *pad : mf::Pins(element))
        if (GST_PAD_DIRECTION(pad) == direction && !mf::IsConnected(pad))
            return pad;
    return nullptr;
}

// Whether all of a stream of `caps` can go straight into `in`: fixed caps
// the pin accepts, or open caps (an element not negotiated yet) that all
// fit, so that a converter is put in wherever raw formats differ.
bool fitsDirectly(const GstCaps *caps, GstPad *in)
{
    if (gst_caps_is_fixed(caps))
        return gst_pad_query_accept_caps(in, const_cast<GstCaps *>(caps));
    GstCaps *taken = gst_pad_query_caps(in, nullptr);
    const bool fits = gst_caps_is_subset(caps, taken);
    gst_caps_unref(taken);
    return fits;
}

// The factories of the elements upstream of `out`, up to the source.
QList<QByteArray> factoriesUpstream(GstPad *out)
{
    QList<QByteArray> names;
    GstPad *pad = out;
    for (int hops = 0; pad && hops < 32; ++hops) {
        GstElement *element = mf::PinFilter(pad);
        if (!element)
            break;
        if (GstElementFactory *factory = gst_element_get_factory(element))
            names.append(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)));
        pad = nullptr;
        for (GstPad *pin : mf::Pins(element))
            if (mf::IsInput(pin) && mf::IsConnected(pin)) {
                pad = mf::ConnectedTo(pin);
                break;
            }
    }
    return names;
}

} // namespace

HRESULT TMfGraph::connectThrough(GstPad *out, const GstCaps *caps, GstPad *in, int depth,
                                 TConnectRun &run)
{
    if (fitsDirectly(caps, in) && SUCCEEDED(ConnectDirect(out, in)))
        return S_OK;
    if (depth >= kMaxConnectDepth)
        return VFW_E_CANNOT_CONNECT;
    GstCaps *target = gst_pad_query_caps(in, nullptr);
    const bool parsed = mf::CapsParsed(caps);
    HRESULT result = VFW_E_CANNOT_CONNECT;
    for (const mf::TConnectCandidate &c : mf::ConnectCandidates(caps)) {
        if (SUCCEEDED(result))
            break;
        const QByteArray name = gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(c.factory));
        if (c.kind == mf::TCandidateKind::Parser && parsed)
            continue; // the stream has been framed already (by the source bin's parser)
        if (run.used.contains(name) || (m_veto && m_veto(c.factory)))
            continue;
        GstElement *element = gst_element_factory_create(c.factory, nullptr);
        if (!element || FAILED(AddFilter(element, uniqueName(QString::fromUtf8(name))))) {
            if (element)
                gst_object_unref(gst_object_ref_sink(element));
            continue;
        }
        GstPad *into = firstFreePad(element, GST_PAD_SINK);
        GstPad *from = firstFreePad(element, GST_PAD_SRC);
        run.used.append(name);
        GstCaps *next = into && from && SUCCEEDED(ConnectDirect(out, into))
                            ? mf::EstimatedOutputCaps(c.kind, caps, from, target)
                            : nullptr;
        if (next && SUCCEEDED(connectThrough(from, next, in, depth + 1, run))) {
            run.added.append(element);
            result = S_OK;
        } else {
            RemoveFilter(element);
        }
        if (next)
            gst_caps_unref(next);
        run.used.removeLast();
    }
    gst_caps_unref(target);
    return result;
}

HRESULT TMfGraph::connectRefusing(GstPad *out, GstPad *in, TConnection *record)
{
    TConnectRun run;
    run.used = factoriesUpstream(out) + record->refused;
    GstCaps *caps = mf::PinCaps(out);
    const HRESULT hr = connectThrough(out, caps, in, 0, run);
    gst_caps_unref(caps);
    if (FAILED(hr))
        return hr;
    // Elements joining a live graph take its state, downstream first.
    if (GstElement *target = mf::PinFilter(in); target && GST_STATE(target) == GST_STATE_NULL)
        gst_element_sync_state_with_parent(target);
    for (GstElement *element : std::as_const(run.added))
        gst_element_sync_state_with_parent(element);
    record->chain = run.added;
    return hr;
}

HRESULT TMfGraph::Connect(GstPad *out, GstPad *in)
{
    if (!out || !in)
        return E_POINTER;
    // Connections whose ends left the graph are of no more use.
    for (qsizetype i = m_connections.size() - 1; i >= 0; --i) {
        TConnection &c = m_connections[i];
        if (!Contains(mf::PinFilter(c.out)) || !Contains(mf::PinFilter(c.in))) {
            gst_object_unref(c.out);
            gst_object_unref(c.in);
            m_connections.removeAt(i);
        }
    }
    TConnection record;
    const HRESULT hr = connectRefusing(out, in, &record);
    if (SUCCEEDED(hr) && !record.chain.isEmpty()) {
        record.out = GST_PAD(gst_object_ref(out));
        record.in = GST_PAD(gst_object_ref(in));
        m_connections.append(record);
    }
    return hr;
}

// The chain element whose input got no caps although the pin before it has
// them; the last one when the target itself refused them.
GstElement *TMfGraph::unnegotiatedIn(const TConnection &c) const
{
    for (int i = int(c.chain.size()) - 1; i >= 0; --i) {
        GstPad *into = mf::Pin(c.chain[i], 0);
        GstPad *from = mf::ConnectedTo(into);
        GstCaps *offered = from ? gst_pad_get_current_caps(from) : nullptr;
        GstCaps *taken = gst_pad_get_current_caps(into);
        const bool stuck = offered && !taken;
        if (offered)
            gst_caps_unref(offered);
        if (taken)
            gst_caps_unref(taken);
        if (stuck)
            return c.chain[i];
    }
    GstPad *from = mf::ConnectedTo(c.in);
    GstCaps *offered = from ? gst_pad_get_current_caps(from) : nullptr;
    GstCaps *taken = gst_pad_get_current_caps(c.in);
    GstElement *last = offered && !taken ? c.chain.first() : nullptr;
    if (offered)
        gst_caps_unref(offered);
    if (taken)
        gst_caps_unref(taken);
    return last;
}

bool TMfGraph::ReconnectUnnegotiated()
{
    // Which candidates failed shows only while the pipeline still streams.
    QList<int> failed;
    for (int i = 0; i < m_connections.size(); ++i) {
        TConnection &c = m_connections[i];
        bool valid = Contains(mf::PinFilter(c.out)) && Contains(mf::PinFilter(c.in));
        for (GstElement *e : std::as_const(c.chain))
            valid = valid && Contains(e);
        if (!valid)
            continue;
        if (GstElement *culprit = unnegotiatedIn(c)) {
            if (GstElementFactory *f = gst_element_get_factory(culprit))
                c.refused.append(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(f)));
            failed.append(i);
        }
    }
    if (failed.isEmpty())
        return false;
    setState(GST_STATE_NULL);
    m_remembered = -1;
    bool replaced = false;
    for (int i : std::as_const(failed)) {
        TConnection &c = m_connections[i];
        for (GstElement *e : std::as_const(c.chain))
            RemoveFilter(e);
        c.chain.clear();
        replaced = SUCCEEDED(connectRefusing(c.out, c.in, &c)) || replaced;
    }
    return replaced;
}

HRESULT TMfGraph::RenderStream(GstPad *out, GstElement *sink)
{
    GstPad *in = firstFreePad(sink, GST_PAD_SINK);
    return in ? Connect(out, in) : VFW_E_NOT_FOUND;
}

HRESULT TMfGraph::setState(GstState state)
{
    m_completeSent = false;
    m_streamFailed = false;
    const GstStateChangeReturn r = gst_element_set_state(GST_ELEMENT(m_pipeline), state);
    switch (r) {
    case GST_STATE_CHANGE_FAILURE:
        return E_FAIL;
    case GST_STATE_CHANGE_ASYNC:
        return S_FALSE;
    default:
        return S_OK;
    }
}

HRESULT TMfGraph::Run()
{
    return setState(GST_STATE_PLAYING);
}
HRESULT TMfGraph::Pause()
{
    return setState(GST_STATE_PAUSED);
}
HRESULT TMfGraph::Stop()
{
    if (GST_STATE(m_pipeline) >= GST_STATE_PAUSED)
        remember();
    // Down to NULL, not READY: some demuxers (asfdemux) keep their state in
    // READY and deliver data before the segment when paused again.
    return setState(GST_STATE_NULL);
}

namespace {

bool takesRawVideo(GstElement *sink)
{
    for (GstPad *pad : mf::Pins(sink)) {
        if (!mf::IsInput(pad))
            continue;
        GstCaps *caps = mf::PinCaps(pad);
        const bool raw = !gst_caps_is_empty(caps) && !gst_caps_is_any(caps) &&
                         gst_structure_has_name(gst_caps_get_structure(caps, 0), "video/x-raw");
        gst_caps_unref(caps);
        if (raw)
            return true;
    }
    return false;
}

} // namespace

namespace {

// Stream time (100 ns) and duration (0 when unknown) of the frame a sink
// shows; a time of -1 when it shows none.
struct TShownFrame {
    qint64 time = -1;
    qint64 duration = 0;
};

TShownFrame shownFrame(GstElement *sink)
{
    TShownFrame shown;
    if (!sink || !g_object_class_find_property(G_OBJECT_GET_CLASS(sink), "last-sample"))
        return shown;
    GstSample *sample = nullptr;
    g_object_get(sink, "last-sample", &sample, nullptr);
    if (!sample)
        return shown;
    GstBuffer *buffer = gst_sample_get_buffer(sample);
    const GstSegment *segment = gst_sample_get_segment(sample);
    if (buffer && GST_BUFFER_PTS_IS_VALID(buffer) && segment &&
        segment->format == GST_FORMAT_TIME) {
        const guint64 t =
            gst_segment_to_stream_time(segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer));
        if (t != guint64(-1))
            shown.time = qint64(t / 100);
        if (GST_BUFFER_DURATION_IS_VALID(buffer))
            shown.duration = qint64(GST_BUFFER_DURATION(buffer) / 100);
    }
    gst_sample_unref(sample);
    return shown;
}

qint64 shownStreamTime(GstElement *sink)
{
    return shownFrame(sink).time;
}

// Drops video samples before a stream time, then lets everything through.
struct TDropUntil {
    qint64 streamTime; // 100 ns
    GstSegment segment;
};

GstPadProbeReturn dropUntil(GstPad *, GstPadProbeInfo *info, gpointer data)
{
    auto *d = static_cast<TDropUntil *>(data);
    if (info->type & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
        GstEvent *event = GST_PAD_PROBE_INFO_EVENT(info);
        if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT)
            gst_event_copy_segment(event, &d->segment);
        return GST_PAD_PROBE_OK;
    }
    GstBuffer *buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    if (!buffer || !GST_BUFFER_PTS_IS_VALID(buffer) || d->segment.format != GST_FORMAT_TIME)
        return GST_PAD_PROBE_DROP;
    const guint64 t =
        gst_segment_to_stream_time(&d->segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer));
    // Within 5 ms counts as the frame (time stamps round to the millisecond).
    if (t == guint64(-1) || qint64(t / 100) < d->streamTime - 50000)
        return GST_PAD_PROBE_DROP;
    return GST_PAD_PROBE_REMOVE;
}

} // namespace

GstElement *TMfGraph::videoSink() const
{
    for (GstElement *filter : m_filters)
        if (GST_OBJECT_FLAG_IS_SET(filter, GST_ELEMENT_FLAG_SINK) && takesRawVideo(filter))
            return filter;
    return nullptr;
}

void TMfGraph::remember()
{
    if (m_remembered >= 0)
        return; // an earlier place not shown yet stays the one to show
    // The frame on show, else the position the pipeline reports.
    const qint64 shown = shownStreamTime(videoSink());
    qint64 position = 0;
    if (shown >= 0)
        m_remembered = shown;
    else if (SUCCEEDED(GetCurrentPosition(&position)))
        m_remembered = position + StreamStart();
}

HRESULT TMfGraph::RestorePosition()
{
    if (m_remembered < 0)
        return S_FALSE;
    const qint64 streamTime = m_remembered;
    m_remembered = -1;
    if (AccurateSeeksExact())
        return SetPositions(streamTime - StreamStart(), true);
    // The demuxer lands on a key frame after the target: seek a second early
    // and drop the frames before the one that was shown.
    GstElement *sink = videoSink();
    GstPad *pad = sink ? mf::Pin(sink, 0) : nullptr;
    if (pad) {
        auto *d = new TDropUntil{streamTime, {}};
        gst_segment_init(&d->segment, GST_FORMAT_UNDEFINED);
        gst_pad_add_probe(
            pad, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
            dropUntil, d, [](gpointer p) { delete static_cast<TDropUntil *>(p); });
    }
    return SetPositions(qMax<qint64>(0, streamTime - StreamStart() - 10'000'000), true);
}

HRESULT TMfGraph::RestorePositionAfterPreroll()
{
    // The remembered time may lie inside the frame rather than at its start
    // (a seek goes to the middle of a frame and the frame is then clipped to it).
    const TShownFrame shown = shownFrame(videoSink());
    const bool sameFrame =
        shown.time >= 0 && m_remembered >= shown.time &&
        (m_remembered == shown.time || m_remembered < shown.time + shown.duration);
    if (m_remembered < 0 || !sameFrame)
        return RestorePosition();
    m_remembered = -1;
    return S_OK;
}

HRESULT TMfGraph::GetState(int timeoutMs, GstState *state) const
{
    const HRESULT hr = mf::ElementGetState(GST_ELEMENT(m_pipeline), timeoutMs, state);
    if (state && *state == GST_STATE_NULL)
        *state = GST_STATE_READY;
    return hr;
}

quint32 TMfGraph::GetCapabilities() const
{
    GstQuery *query = gst_query_new_seeking(GST_FORMAT_TIME);
    quint32 caps = 0;
    if (gst_element_query(GST_ELEMENT(m_pipeline), query)) {
        gboolean seekable = FALSE;
        gst_query_parse_seeking(query, nullptr, &seekable, nullptr, nullptr);
        caps = seekcaps::CanGetCurrentPos | seekcaps::CanGetDuration | seekcaps::CanGetStopPos;
        if (seekable)
            caps |=
                seekcaps::CanSeekAbsolute | seekcaps::CanSeekForwards | seekcaps::CanSeekBackwards;
    }
    gst_query_unref(query);
    return caps;
}

HRESULT TMfGraph::GetDuration(qint64 *duration) const
{
    gint64 ns = 0;
    if (!duration)
        return E_POINTER;
    if (!gst_element_query_duration(GST_ELEMENT(m_pipeline), GST_FORMAT_TIME, &ns) || ns < 0)
        return E_FAIL;
    *duration = ns / 100;
    return S_OK;
}

HRESULT TMfGraph::GetCurrentPosition(qint64 *position) const
{
    gint64 ns = 0;
    if (!position)
        return E_POINTER;
    if (!gst_element_query_position(GST_ELEMENT(m_pipeline), GST_FORMAT_TIME, &ns) || ns < 0)
        return E_FAIL;
    *position = qMax<qint64>(0, ns / 100 - StreamStart());
    return S_OK;
}

HRESULT TMfGraph::SetPositions(qint64 position, bool accurate)
{
    const GstSeekFlags flags = GstSeekFlags(
        GST_SEEK_FLAG_FLUSH | (accurate ? GST_SEEK_FLAG_ACCURATE : GST_SEEK_FLAG_KEY_UNIT));
    m_completeSent = false;
    m_remembered = -1;
    // mpegpsdemux seeks in times that count from 0, whatever its first stamp.
    const qint64 target = qMax<qint64>(0, position) + (AccurateSeeksExact() ? StreamStart() : 0);
    return gst_element_seek(GST_ELEMENT(m_pipeline), m_rate, GST_FORMAT_TIME, flags,
                            GST_SEEK_TYPE_SET, target * 100, GST_SEEK_TYPE_NONE,
                            GST_CLOCK_TIME_NONE)
               ? S_OK
               : E_FAIL;
}

bool TMfGraph::AccurateSeeksExact() const
{
    for (GstElement *filter : m_filters)
        if (MfIsSourceBin(filter) && MfSourceBinDemuxer(filter) == u"mpegpsdemux")
            return false;
    return true;
}

HRESULT TMfGraph::Step(int frames, GstElement *sink)
{
    if (frames <= 0)
        return E_INVALIDARG;
    if (!sink)
        sink = videoSink();
    if (!sink)
        return VFW_E_NOT_FOUND;
    m_remembered = -1;
    GstEvent *step = gst_event_new_step(GST_FORMAT_BUFFERS, guint64(frames), 1.0, TRUE, FALSE);
    return gst_element_send_event(sink, step) ? S_OK : E_FAIL;
}

HRESULT TMfGraph::SetRate(double rate)
{
    if (rate <= 0)
        return E_INVALIDARG;
    if (rate == m_rate)
        return S_OK;
    m_rate = rate;
    GstState state = GST_STATE_NULL;
    gst_element_get_state(GST_ELEMENT(m_pipeline), &state, nullptr, 0);
    if (state < GST_STATE_PAUSED)
        return S_OK; // applied with the next seek
    qint64 position = 0;
    if (FAILED(GetCurrentPosition(&position)))
        return E_FAIL;
    return SetPositions(position, true);
}

void TMfGraph::UseClock(bool on)
{
    if (on)
        gst_pipeline_auto_clock(m_pipeline);
    else
        gst_pipeline_use_clock(m_pipeline, nullptr);
}

void TMfGraph::DumpGraph(const QString &fileName) const
{
    gst_debug_bin_to_dot_file(GST_BIN(m_pipeline), GST_DEBUG_GRAPH_SHOW_ALL,
                              fileName.toUtf8().constData());
}
