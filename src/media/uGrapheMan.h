#pragma once
// The media session: owns the filter graph ("Filtergraph"), runs, pauses and
// stops it, reports its state, and offers the graph operations the decoder
// and video managers use (upstream test, chain removal, filter insertion).

#include "actions/uActionList.h"
#include "mf/mfGraph.h"

#include <QList>

#include <functional>

class TVideoSource;
class TAudioSource;

enum TGrapheManState { gmStopped, gmPaused, gmPlaying };

class TGrapheMan : public TNvActionComponent
{
    Q_OBJECT
public:
    explicit TGrapheMan(QObject *owner = nullptr);
    ~TGrapheMan() override;

    TMfGraph *Graph() const { return m_graph; }

    // Each waits for the graph within kStateChangeBoundMs: a graph that misses
    // it has failed (it is set back to stopped and the failure reported
    // through OnError). Play and Pause show again the place a stop or a
    // re-link left.
    virtual bool Play();
    virtual bool Pause();
    virtual bool Stop();
    // One frame step (or more) while paused, waiting for it within the bound.
    bool Step(int frames = 1);
    virtual void FastForwardOff(int n);
    virtual void FastForwardOn(int n);
    virtual void MarkGraphCompleted() { m_graphCompleted = true; }

    // Bound to the graph's end of stream: raises OnGraphCompleted on success.
    void GraphComplete(HRESULT result);
    static constexpr int kStateChangeBoundMs = 3000;
    // GetState with a 40 ms time-out while the answer is intermediate, within
    // kStateChangeBoundMs: S_OK, else E_FAIL (also when still intermediate).
    HRESULT WaitStateChange();
    // Up to 20 times the renderer's GetState (40 ms) and a 10 ms sleep.
    void WaitRendererState();

    // True when B is reached from A by walking upstream.
    bool IsUpstream(GstElement *a, GstElement *b) const;
    bool RemoveChainBetween(GstElement *downstream, GstElement *upstream);
    void RemoveChainBothWays(GstElement *a, GstElement *b);
    // Puts a two-pin filter into the connection at `pin`: side 1 means `pin`
    // is the upstream output, any other side the downstream input.
    HRESULT InsertFilter(GstElement *filter, GstPad *pin, int side);

    // The graph state as navigation reads it (GetState without waiting).
    TGrapheManState State() const;

    bool Fast() const { return m_fast; }
    bool GraphCompleted() const { return m_graphCompleted; }
    void ClearGraphCompleted() { m_graphCompleted = false; }

    GstElement *RendererStateFilter() const { return m_rendererState; }
    void SetRendererStateFilter(GstElement *filter) { m_rendererState = filter; }

    bool GraphEdit() const { return m_graphEdit; }
    void SetGraphEdit(bool on);

    QList<TVideoSource *> AttachedVideoSources;
    QList<TAudioSource *> AttachedAudioSources;

    std::function<void(TGrapheManState)> OnStateChange;
    std::function<void(bool on, int n)> OnVitesseRapide;
    std::function<void()> OnGraphCompleted;
    // An error or warning of the graph, or a state it could not reach, on the
    // UI thread; the text says why a file does not play.
    std::function<void(const QString &text)> OnError;
    std::function<void(const QString &text)> OnWarning;
    QString LastError() const { return m_lastError; }

private:
    void dumpGraph(const char *when) const;
    bool reach(HRESULT started, const char *what);
    bool pauseInPlace();
    void removeBetween(GstElement *downstream, GstElement *upstream);
    void fail(const QString &text);
    QString m_lastError;

    TMfGraph *m_graph = nullptr;
    GstElement *m_rendererState = nullptr;
    bool m_fast = false;
    bool m_graphCompleted = false;
    bool m_graphEdit = false;
};
