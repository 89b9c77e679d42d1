#include "mfGraph.h"

#include "mfConnectCandidates.h"
#include "mfSourceBin.h"

#include <QMetaObject>

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
    gst_object_unref(m_pipeline);
}

// Streaming threads: hand copies to the UI thread, never wait for it.
GstBusSyncReply TMfGraph::busSync(GstBus *, GstMessage *message, gpointer data)
{
    auto *self = static_cast<TMfGraph *>(data);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
        if (!self->m_completeSent.exchange(true))
            QMetaObject::invokeMethod(
                self, [self] { emit self->Complete(); }, Qt::QueuedConnection);
        break;
    case GST_MESSAGE_ERROR: {
        GError *error = nullptr;
        gst_message_parse_error(message, &error, nullptr);
        const QString text = QString::fromUtf8(error ? error->message : "");
        g_clear_error(&error);
        QMetaObject::invokeMethod(
            self, [self, text] { emit self->Error(text); }, Qt::QueuedConnection);
        break;
    }
    default:
        break;
    }
    return GST_BUS_DROP;
}

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
    return S_OK;
}

HRESULT TMfGraph::RemoveFilter(GstElement *filter)
{
    if (!Contains(filter))
        return E_FAIL;
    gst_object_ref(filter);
    gst_element_set_state(filter, GST_STATE_NULL);
    for (GstPad *pad : mf::Pins(filter))
        mf::Disconnect(pad);
    m_filters.removeAll(filter);
    const bool removed = gst_bin_remove(GST_BIN(m_pipeline), filter);
    gst_object_unref(filter);
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

HRESULT TMfGraph::Connect(GstPad *out, GstPad *in)
{
    if (!out || !in)
        return E_POINTER;
    TConnectRun run;
    run.used = factoriesUpstream(out);
    GstCaps *caps = mf::PinCaps(out);
    const HRESULT hr = connectThrough(out, caps, in, 0, run);
    gst_caps_unref(caps);
    // Elements joining a live graph take its state, downstream first.
    if (SUCCEEDED(hr)) {
        if (GstElement *target = mf::PinFilter(in); target && GST_STATE(target) == GST_STATE_NULL)
            gst_element_sync_state_with_parent(target);
        for (GstElement *element : std::as_const(run.added))
            gst_element_sync_state_with_parent(element);
    }
    return hr;
}

HRESULT TMfGraph::RenderStream(GstPad *out, GstElement *sink)
{
    GstPad *in = firstFreePad(sink, GST_PAD_SINK);
    return in ? Connect(out, in) : VFW_E_NOT_FOUND;
}

HRESULT TMfGraph::setState(GstState state)
{
    m_completeSent = false;
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
    return setState(GST_STATE_READY);
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
    *position = ns / 100;
    return S_OK;
}

HRESULT TMfGraph::SetPositions(qint64 position, bool accurate)
{
    const GstSeekFlags flags = GstSeekFlags(
        GST_SEEK_FLAG_FLUSH | (accurate ? GST_SEEK_FLAG_ACCURATE : GST_SEEK_FLAG_KEY_UNIT));
    m_completeSent = false;
    return gst_element_seek(GST_ELEMENT(m_pipeline), m_rate, GST_FORMAT_TIME, flags,
                            GST_SEEK_TYPE_SET, qMax<qint64>(0, position) * 100, GST_SEEK_TYPE_NONE,
                            GST_CLOCK_TIME_NONE)
               ? S_OK
               : E_FAIL;
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
