#pragma once
// The video window: owns the program's video sink and paints its newest frame
// into a widget the application chooses (the embedded panel, a separate
// resizable window, or a full-screen surface on the monitor of the panel),
// with a border ring, the picture fitted to the aspect pair, the flips, the
// inlay overlay, and the capture of the current picture for the grab.
//
// The sink element never touches the widget: it asks for a repaint (at most
// one queued) and the view paints whatever frame is newest. FramesDrawn counts
// the frames actually painted.

#include "actions/uActionList.h"
#include "actions/uActionTypes.h"
#include "filters/uFrameMeta.h"
#include "media/uVideoGeometry.h"
#include "mf/mfGraph.h"

#include <gst/gst.h>

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QPainter;
class QTimer;
class TCheckAction;
class TVideoSink;
struct TVideoFrame;
class TWindowLessMan;

// The widget the picture is painted on; it fills the current window.
class TVideoView : public QWidget
{
public:
    explicit TVideoView(TWindowLessMan *man);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TWindowLessMan *m_man;
};

class TWindowLessMan : public TNvActionComponent
{
    Q_OBJECT
public:
    static constexpr const char *RendererName = "Nv VideoWindow";

    explicit TWindowLessMan(QObject *owner = nullptr);
    ~TWindowLessMan() override;

    // Published properties (start values of the constructor).
    int WinBorderWidth = 8;
    int FullBorderWidth = 8;
    TColor BorderColor = colors::clSilver;
    TColor BackColor = colors::clBlack;
    bool KeepAspectratio() const { return m_keepAspect; }
    void SetKeepAspectratio(bool keep);

    QWidget *window() const { return m_window; }
    virtual void SetWindow(QWidget *control);
    // The window painted into when not full screen: window() or the separate window.
    QWidget *CurrentWindow() const { return m_currentWindow; }

    // The renderer: the sink element (this component's own reference) and its C++ side.
    GstElement *Renderer() const { return m_renderer; }
    TVideoSink *Sink() const { return m_sink; }
    // Moves the renderer to graph (or out of every graph with null).
    void SetGraph(TMfGraph *graph);
    TMfGraph *Graph() const { return m_graph; }
    void AttachWindow();

    void SetAspect(int ax, int ay);
    QPoint Aspect() const { return {m_ax, m_ay}; }
    // Where the picture goes in the current window (client coordinates), and
    // on the full-screen surface.
    TNvRect WindowDestination() const { return m_windowDest; }
    TNvRect FullScreenDestination() const { return m_fullDest; }

    // The last frame at its native size, flipped and mixed with the inlay as
    // displayed, as a 32-bit picture, where that frame is in the stream and
    // the DV codes it carried. False (image untouched) when there is no frame.
    bool CaptureCurrentImage(QImage &image, TFramePosition *position = nullptr,
                             TFrameDVCodes *dvCodes = nullptr) const;
    // The DV codes of the frame on display (none without a frame).
    TFrameDVCodes CurrentDVCodes() const;
    // Frames painted since creation.
    int FramesDrawn() const { return m_framesDrawn; }
    // Forgets the frame shown and fills the window with its own colour.
    void ClearWindow();
    // The screens changed: re-place on the monitor of the video window.
    void NotifyDisplayChange();

    // The overlay of one frame, made from that frame's own position and DV
    // codes (those that travelled with it), at its native size. Called on the
    // UI thread while painting and capturing, and only again for another
    // frame, size or after InvalidateOverlay, so a still picture is not drawn
    // anew. A null picture mixes nothing.
    using TOverlayProvider = std::function<QImage(const TFramePosition &position,
                                                  const TFrameDVCodes &dvCodes, QSize size)>;
    // With a provider, its overlay replaces the one given to SetOverlay.
    void SetOverlayProvider(TOverlayProvider provider);
    bool HasOverlayProvider() const { return bool(m_provider); }
    // What the overlay shows changed (text, values, style): ask again, repaint,
    // and note the refresh for the grab's wait.
    void InvalidateOverlay();

    // Inlay hand-over: the overlay picture mixed over every frame, keyed and
    // with a global opacity; Disable stops the mixing.
    void SetOverlay(const QImage &overlay);
    void DisableOverlay();
    // Mixes the overlay kept (inlay on) or not (off), without dropping it.
    void SetOverlayShown(bool on);
    bool OverlayShown() const { return m_overlayOn; }
    // The grab waits, while playing, for a frame painted after the last inlay
    // refresh: the refresh notes the count here.
    void NoteInlayRefresh() { m_framesAtInlayRefresh = m_framesDrawn; }
    int FramesDrawnAtInlayRefresh() const { return m_framesAtInlayRefresh; }
    void SetOverlayKeyColor(TColor color);
    void SetOverlayOpacity(double opacity);
    const TOverlayMix &OverlayMix() const { return m_mix; }

    bool FullScreen() const { return m_fullScreen; }
    bool SeparateWindowShown() const { return m_separate; }
    bool FlipVertical() const { return m_flipVertical; }
    bool FlipHorizontal() const { return m_flipHorizontal; }
    TOutputRect OutputRect() const { return m_outputRect; }

    QWidget *SeparateWindow() const { return m_separateWindow; }
    QWidget *FullScreenSurface() const { return m_surface; }
    QLabel *PanelQuit() const { return m_panelQuit; }
    QTimer *HintTimer() const { return m_hintTimer; }
    TVideoView *View() const { return m_view; }

    TCheckAction *caFullscreen = nullptr, *caFlipVertical = nullptr, *caFlipHorizontal = nullptr,
                 *caPreviewform = nullptr, *caKeepAspectratio = nullptr, *caInsertTextOn = nullptr,
                 *caInsertAntiAliasing = nullptr;

    // Re-places the picture (bound to the current window's resize).
    virtual void Relayout();
    // Paints border and picture again.
    virtual void RepaintPicture();

protected:
    // For derived components: they run CreateFresh at the end of their own
    // constructor, so that their overrides take part.
    struct TDeferActions {
    };
    TWindowLessMan(QObject *owner, TDeferActions);
    void CreateActions() override;
    void AssignHandlers() override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    virtual void CreateMessageControls() {}
    // Whether the view shows the picture (the video manager hides it behind
    // its messages).
    virtual bool PictureShown() const { return true; }

private:
    friend class TVideoView;
    void Paint(QPainter &painter, const QRect &client);
    void PaintFrame(QPainter &painter, const TVideoFrame &frame, const TNvRect &dest);
    void SetCurrentWindow(QWidget *control);
    void SetFullScreen(bool on);
    void SetSeparate(bool on);
    void SetFlips(bool vertical, bool horizontal);
    void ShowHint();
    QScreen *MonitorOfWindow() const;
    QColor WindowColor() const;
    void WindowDestroyed();
    void ListenToSink();
    // The mix for this frame: the provider's overlay when there is one.
    const TOverlayMix &MixFor(const TVideoFrame &frame) const;

    GstElement *m_renderer = nullptr;
    TVideoSink *m_sink = nullptr;
    QPointer<TMfGraph> m_graph;
    QPointer<QWidget> m_window, m_currentWindow;
    QPointer<TVideoView> m_view;
    QWidget *m_separateWindow = nullptr, *m_surface = nullptr;
    QLabel *m_panelQuit = nullptr;
    QTimer *m_hintTimer = nullptr;

    int m_ax = 0, m_ay = 0;
    TNvRect m_windowDest, m_fullDest;
    bool m_fullScreen = false, m_separate = false;
    bool m_flipVertical = false, m_flipHorizontal = false;
    bool m_keepAspect = false;
    TOutputRect m_outputRect;
    TNvRect m_separateBounds{0, 0, 640, 480};

    // The overlay follows the frame painted or captured: kept with what it
    // was made from.
    struct TOverlayKey {
        TFramePosition position;
        TFrameDVCodes dvCodes;
        QSize size;
        quint64 generation = 0;
        friend bool operator==(const TOverlayKey &, const TOverlayKey &) = default;
    };
    TOverlayProvider m_provider;
    quint64 m_overlayGeneration = 0;
    mutable std::optional<TOverlayKey> m_providedKey;
    mutable TOverlayMix m_mix;
    bool m_overlayOn = false;
    mutable QImage m_preparedOverlay; // m_mix ready to draw at the frame's size
    mutable bool m_overlayDirty = true;

    int m_framesDrawn = 0;
    int m_framesAtInlayRefresh = 0;
    quint64 m_lastPaintedSerial = 0;
    bool m_cleared = true;
};
