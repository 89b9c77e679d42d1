#include "uGrapheMan.h"

#include <QCoreApplication>
#include <QThread>

TGrapheMan::TGrapheMan(QObject *owner) : TNvActionComponent(owner)
{
    m_graph = new TMfGraph(QStringLiteral("Filtergraph"), this);
    connect(m_graph, &TMfGraph::Complete, this, [this] { GraphComplete(S_OK); });
}

TGrapheMan::~TGrapheMan()
{
    m_graph->Stop();
    QCoreApplication::sendPostedEvents(this);
    m_graph->RemoveAll();
    delete m_graph;
}

bool TGrapheMan::Play()
{
    m_graph->SetRate(1.0);
    if (m_fast)
        m_graph->SetRate(4.0);
    const bool ok = SUCCEEDED(m_graph->Run()) && SUCCEEDED(WaitStateChange());
    dumpGraph("play");
    if (ok && OnStateChange)
        OnStateChange(gmPlaying);
    return ok;
}

bool TGrapheMan::Pause()
{
    const bool ok = SUCCEEDED(m_graph->Pause()) && SUCCEEDED(WaitStateChange());
    dumpGraph("pause");
    if (ok && OnStateChange)
        OnStateChange(gmPaused);
    return ok;
}

bool TGrapheMan::Stop()
{
    const bool ok = SUCCEEDED(m_graph->Stop()) && SUCCEEDED(WaitStateChange());
    if (ok && OnStateChange)
        OnStateChange(gmStopped);
    return ok;
}

void TGrapheMan::FastForwardOn(int n)
{
    m_fast = true;
    if (OnVitesseRapide)
        OnVitesseRapide(true, n);
    m_graph->SetRate(4.0);
}

void TGrapheMan::FastForwardOff(int n)
{
    m_fast = false;
    if (OnVitesseRapide)
        OnVitesseRapide(false, n);
    m_graph->SetRate(1.0);
}

void TGrapheMan::GraphComplete(HRESULT result)
{
    if (SUCCEEDED(result) && OnGraphCompleted)
        OnGraphCompleted();
}

HRESULT TGrapheMan::WaitStateChange()
{
    HRESULT hr = E_FAIL;
    for (int i = 0; i < 30; ++i) {
        hr = m_graph->GetState(40, nullptr);
        if (hr != VFW_S_STATE_INTERMEDIATE)
            break;
    }
    return hr;
}

void TGrapheMan::WaitRendererState()
{
    if (!m_rendererState)
        return;
    for (int i = 0; i < 20; ++i) {
        const HRESULT hr = mf::ElementGetState(m_rendererState, 40, nullptr);
        QThread::msleep(10);
        if (hr != VFW_S_STATE_INTERMEDIATE)
            break;
    }
}

TGrapheManState TGrapheMan::State() const
{
    GstState state = GST_STATE_NULL;
    m_graph->GetState(0, &state);
    switch (state) {
    case GST_STATE_PLAYING:
        return gmPlaying;
    case GST_STATE_PAUSED:
        return gmPaused;
    default:
        return gmStopped;
    }
}

void TGrapheMan::SetGraphEdit(bool on)
{
    m_graphEdit = on;
    dumpGraph("graphedit");
}

void TGrapheMan::dumpGraph(const char *when) const
{
    if (m_graphEdit && !qEnvironmentVariableIsEmpty("GST_DEBUG_DUMP_DOT_DIR"))
        m_graph->DumpGraph(QStringLiteral("Filtergraph-%1").arg(QString::fromLatin1(when)));
}

bool TGrapheMan::IsUpstream(GstElement *a, GstElement *b) const
{
    for (GstPad *pin : mf::Pins(a)) {
        if (!mf::IsInput(pin) || !mf::IsConnected(pin))
            continue;
        GstElement *up = mf::PinFilter(mf::ConnectedTo(pin));
        if (up == b || IsUpstream(up, b))
            return true;
    }
    return false;
}

bool TGrapheMan::RemoveChainBetween(GstElement *d, GstElement *u)
{
    if (d == u || !IsUpstream(d, u))
        return true;
    for (GstPad *pin : mf::Pins(d)) {
        if (!mf::IsInput(pin) || !mf::IsConnected(pin))
            continue;
        GstPad *peer = mf::ConnectedTo(pin);
        GstElement *x = mf::PinFilter(peer);
        mf::Disconnect(peer);
        mf::Disconnect(pin);
        if (x == u)
            break;
        if (IsUpstream(x, u)) {
            RemoveChainBetween(x, u);
            if (FAILED(m_graph->RemoveFilter(x)))
                break;
        }
    }
    return true;
}

namespace
{

// Removes every filter met from `from` through pins of `direction`, up to `stop`.
void removeWalk(TMfGraph *graph, GstElement *from, GstElement *stop, GstPadDirection direction)
{
    for (GstPad *pin : mf::Pins(from)) {
        if (GST_PAD_DIRECTION(pin) != direction || !mf::IsConnected(pin))
            continue;
        GstPad *peer = mf::ConnectedTo(pin);
        GstElement *x = mf::PinFilter(peer);
        mf::Disconnect(peer);
        mf::Disconnect(pin);
        if (x == stop)
            break;
        removeWalk(graph, x, stop, direction);
        if (FAILED(graph->RemoveFilter(x)))
            break;
    }
}

} // namespace

void TGrapheMan::RemoveChainBothWays(GstElement *a, GstElement *b)
{
    removeWalk(m_graph, a, b, GST_PAD_SINK);
    removeWalk(m_graph, b, a, GST_PAD_SRC);
}

HRESULT TGrapheMan::InsertFilter(GstElement *filter, GstPad *p, int side)
{
    GstPad *q = mf::ConnectedTo(p);
    if (!q)
        return VFW_E_NOT_CONNECTED;
    GstCaps *remembered = gst_pad_get_current_caps(GST_PAD_IS_SRC(p) ? p : q);
    const auto done = [&](HRESULT hr) {
        if (remembered)
            gst_caps_unref(remembered);
        return hr;
    };
    if (mf::Pins(filter).size() < 2)
        return done(E_FAIL);
    HRESULT hr = mf::Disconnect(p);
    if (FAILED(hr))
        return done(hr);
    hr = mf::Disconnect(q);
    if (FAILED(hr))
        return done(hr);
    GstPad *in = mf::Pin(filter, 0), *out = mf::Pin(filter, 1);
    GstPad *upstream = side == 1 ? p : q, *downstream = side == 1 ? q : p;
    hr = m_graph->ConnectDirect(upstream, in);
    if (SUCCEEDED(hr))
        hr = m_graph->ConnectDirect(out, downstream);
    if (SUCCEEDED(hr) && side != 1 && !mf::IsConnected(in))
        hr = m_graph->ConnectDirect(upstream, in);
    if (SUCCEEDED(hr) && !mf::IsConnected(out))
        hr = E_FAIL;
    if (FAILED(hr)) {
        mf::Disconnect(in);
        mf::Disconnect(out);
        m_graph->ConnectDirect(upstream, downstream, remembered);
        return done(hr);
    }
    // A filter joining a running graph takes the graph's state.
    gst_element_sync_state_with_parent(filter);
    return done(S_OK);
}
