#include "uGrapheMan.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>

TGrapheMan::TGrapheMan(QObject *owner) : TNvActionComponent(owner)
{
    m_graph = new TMfGraph(QStringLiteral("Filtergraph"), this);
    connect(m_graph, &TMfGraph::Complete, this, [this] { GraphComplete(S_OK); });
    connect(m_graph, &TMfGraph::Error, this, [this](const QString &text) { fail(text); });
    connect(m_graph, &TMfGraph::Warning, this, [this](const QString &text) {
        if (OnWarning)
            OnWarning(text);
    });
}

TGrapheMan::~TGrapheMan()
{
    m_graph->Stop();
    QCoreApplication::sendPostedEvents(this);
    m_graph->RemoveAll();
    delete m_graph;
}

void TGrapheMan::fail(const QString &text)
{
    m_lastError = text;
    if (OnError)
        OnError(text);
}

// Waits for a state change the graph started; a graph that cannot reach the
// state is stopped rather than left half-way.
bool TGrapheMan::reach(HRESULT started, const char *what)
{
    if (SUCCEEDED(started) && SUCCEEDED(WaitStateChange()))
        return true;
    m_graph->Stop();
    m_graph->GetState(kStateChangeBoundMs, nullptr);
    fail(QStringLiteral("The graph could not %1 within %2 s")
             .arg(QString::fromLatin1(what))
             .arg(kStateChangeBoundMs / 1000));
    return false;
}

bool TGrapheMan::Play()
{
    m_graph->SetRate(1.0);
    if (m_fast)
        m_graph->SetRate(4.0);
    bool ok = true;
    if (m_graph->HasRemembered())
        ok = pauseInPlace(); // the remembered place is shown before running
    ok = ok && reach(m_graph->Run(), "play");
    dumpGraph("play");
    if (ok && OnStateChange)
        OnStateChange(gmPlaying);
    return ok;
}

// A graph re-linked while paused waits for data the seek brings: seek at
// once. A stopped one prerolls from the start first.
bool TGrapheMan::pauseInPlace()
{
    const bool live = State() != gmStopped;
    const HRESULT paused = m_graph->Pause();
    if (live && m_graph->HasRemembered())
        return SUCCEEDED(paused) && reach(m_graph->RestorePosition(), "seek");
    // A candidate of intelligent connect that would not negotiate is replaced
    // by the next one, a few times at most.
    bool ok = SUCCEEDED(paused) && SUCCEEDED(WaitStateChange());
    for (int retry = 0; !ok && retry < 3 && m_graph->ReconnectUnnegotiated(); ++retry)
        ok = SUCCEEDED(m_graph->Pause()) && SUCCEEDED(WaitStateChange());
    ok = ok || reach(E_FAIL, "pause");
    if (ok && m_graph->HasRemembered())
        ok = reach(m_graph->RestorePositionAfterPreroll(), "seek");
    return ok;
}

bool TGrapheMan::Pause()
{
    const bool ok = pauseInPlace();
    dumpGraph("pause");
    if (ok && OnStateChange)
        OnStateChange(gmPaused);
    return ok;
}

bool TGrapheMan::Stop()
{
    const bool ok = reach(m_graph->Stop(), "stop");
    if (ok && OnStateChange)
        OnStateChange(gmStopped);
    return ok;
}

bool TGrapheMan::Step(int frames)
{
    bool done = false;
    const QMetaObject::Connection c =
        connect(m_graph, &TMfGraph::StepDone, this, [&done] { done = true; });
    const HRESULT hr = m_graph->Step(frames, m_rendererState);
    QElapsedTimer clock;
    clock.start();
    while (SUCCEEDED(hr) && !done && clock.elapsed() < kStateChangeBoundMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    disconnect(c);
    // The sink prerolls on the frame after the step: wait for it too.
    if (done && FAILED(WaitStateChange()))
        done = false;
    if (!done)
        fail(QStringLiteral("The frame step did not complete"));
    return done;
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
    QElapsedTimer clock;
    clock.start();
    HRESULT hr = m_graph->GetState(40, nullptr);
    while (hr == VFW_S_STATE_INTERMEDIATE && !m_graph->StreamFailed() &&
           clock.elapsed() < kStateChangeBoundMs)
        hr = m_graph->GetState(40, nullptr);
    return hr == VFW_S_STATE_INTERMEDIATE ? E_FAIL : hr;
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
    m_graph->FlushFrom(d);
    removeBetween(d, u);
    m_graph->FlushStop(d);
    return true;
}

void TGrapheMan::removeBetween(GstElement *d, GstElement *u)
{
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
            removeBetween(x, u);
            if (FAILED(m_graph->RemoveFilter(x)))
                break;
        }
    }
}

namespace {

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
    QList<GstElement *> flushed = {a};
    for (GstPad *pin : mf::Pins(b))
        if (!mf::IsInput(pin) && mf::IsConnected(pin))
            flushed.append(mf::PinFilter(mf::ConnectedTo(pin)));
    for (GstElement *element : std::as_const(flushed))
        m_graph->FlushFrom(element);
    removeWalk(m_graph, a, b, GST_PAD_SINK);
    removeWalk(m_graph, b, a, GST_PAD_SRC);
    for (GstElement *element : std::as_const(flushed))
        m_graph->FlushStop(element);
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
