#include "uWindowLessMan.h"

#include "actions/uActionTable.h"
#include "actions/uScriptAction.h"
#include "filters/uVideoSink.h"
#include "mf/mfGraph.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {

using enum TActionClass;
constexpr bool kStored = true, kOnLoad = true, kNotOnLoad = false;
constexpr const char *kInternal = "internal";

// The flips also have switches, so that batch runs can flip their grabs.
constexpr TActionDef kVideoWindowActions[] = {
    {"caFullscreen", Check, "FullScreen", "", "False", "Alt+Return", kInternal, "FullScreen", "",
     kStored, kNotOnLoad, "Leave full screen", "Fullscreen", "Click to leave the full screen mode",
     "Click to display the video in full screen\r\nTo leave full screen, type again ALT+Enter"},
    {"caFlipVertical", Check, "FlipVertical", "fv", "False", "Ctrl+Alt+V", kInternal,
     "FlipVertical", "", kStored, kOnLoad, "Vertical Flip", "Flip Vertical",
     "Click to deactivate the Vertical Flip", "Click to activate Vertical Flip"},
    {"caFlipHorizontal", Check, "FlipHorizontal", "fh", "False", "Ctrl+Alt+H", kInternal,
     "FlipHorizontal", "", kStored, kOnLoad, "Flip Horizontal", "Flip Horizontal",
     "Click to deactivate Horizontal Flip", "Click to activate Horizontal Flip"},
    {"caPreviewform", Check, "Previewform", "", "False", "Alt+Backspace", kInternal, "Previewform",
     "", kStored, kOnLoad, "Close the external Window", "Open the external window",
     "Click to close the external window and play the video in an embedded window",
     "Click to play the video in an external window"},
    {"caKeepAspectratio", Check, "KeepAspectRatio", "", "True", "Alt+R", kInternal,
     "KeepAspectRatio", "", kStored, kNotOnLoad, "Adjust Ratio Aspect", "Keep Ratio Aspect",
     "Click to keep the ratio aspect", "Click to adjust the ratio aspect"},
    {"iaFullBorderWidth", Integer, "FullBorderWidth", "", "0", "", kInternal, "FullBorderWidth", "",
     kStored, kNotOnLoad},
    {"iaInsertAlignLines", Integer, "AlignLines", "", "0", "", kInternal, "AlignLines", "", kStored,
     kOnLoad},
    {"iaWinBorderWidth", Integer, "WinBorderWidth", "", "0", "", kInternal, "WinBorderWidth", "",
     kStored, kNotOnLoad},
    {"iaBorderColor", Color, "BorderColor", "", "clRed", "", kInternal, "BorderColor", "", kStored,
     kNotOnLoad},
    {"iaBackColor", Color, "BackColor", "", "clSilver", "", kInternal, "BackColor", "", kStored,
     kOnLoad},
    {"caInsertTextOn", Check, "InsertTextOn", "", "False", "Ctrl+I", kInternal, "InsertTextOn", "",
     kStored, kOnLoad, "Disable Inlay", "Enable inlay", "Click to deactivate inlaying",
     "Click to activate inlaying"},
    {"iaInsertBorderWidth", Integer, "InsertBorderWidth", "", "2", "", kInternal,
     "InsertBorderWidth", "", kStored, kOnLoad},
    {"iaInsertBorderColor", Color, "InsertBorderColor", "", "clBlack", "", kInternal,
     "InsertBorderColor", "", kStored, kOnLoad},
    // Height -33 pixels at 96 pixels per inch.
    {"faInsertFont", Font, "InsertFont", "", "Arial,25,$00FFFF,B", "", kInternal, "InsertFont", "",
     kStored, kOnLoad},
    {"iaInsertTransparentColor", Color, "InsertTransparentColor", "", "clWhite", "", kInternal,
     "InsertTransparentColor", "", kStored, kNotOnLoad},
    {"caInsertAntiAliasing", Check, "InsertAntiAliasing", "", "True", "Ctrl+N", kInternal,
     "InsertAntiAliasing", "", kStored, kOnLoad, "Deactivate antialiasing", "Activate antialiasing",
     "Click to deactivate antialiasing", "Click to activate antialiasing"},
    {"daInsertTransparency", Double, "InsertTransparency", "", "1.0", "", kInternal,
     "InsertTransparency", "", kStored, kNotOnLoad},
    {"paInsertPosition", Point, "InsertPosition", "", "(5000,8200)", "", kInternal,
     "InsertPosition", "", kStored, kOnLoad},
    {"raPreviewSave", Rect, "PreviewSave", "", "(0,0,640,480)", "", kInternal, "PreviewSave", "",
     kStored, kOnLoad},
    {"iaTimerInterval", Integer, "TimerInterval", "", "3000", "", kInternal, "TimerInterval", "",
     kStored, kNotOnLoad},
};

QColor toQColor(TColor color)
{
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

// The frame between outer and inner as four rectangles.
void fillFrame(QPainter &painter, const TNvRect &o, const TNvRect &i, const QColor &color)
{
    const TNvRect parts[] = {{o.left, o.top, i.left, o.bottom},
                             {i.right, o.top, o.right, o.bottom},
                             {i.left, o.top, i.right, i.top},
                             {i.left, i.bottom, i.right, o.bottom}};
    for (const TNvRect &part : parts)
        if (part.right > part.left && part.bottom > part.top)
            painter.fillRect(ToQRect(part), color);
}

TNvRect fromQRect(const QRect &rect)
{
    return {rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1};
}

} // namespace

TVideoView::TVideoView(TWindowLessMan *man) : m_man(man)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

void TVideoView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_man->Paint(painter, rect());
}

TWindowLessMan::TWindowLessMan(QObject *owner) : TWindowLessMan(owner, TDeferActions{})
{
    CreateFresh();
}

TWindowLessMan::TWindowLessMan(QObject *owner, TDeferActions) : TNvActionComponent(owner)
{
    m_renderer = TVideoSink::Create();
    if (m_renderer) {
        gst_object_ref_sink(m_renderer);
        m_sink = TVideoSink::From(m_renderer);
    }
    m_view = new TVideoView(this);

    m_surface = new QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint);
    m_surface->setAutoFillBackground(true);
    m_surface->setPalette(QPalette(Qt::black));
    m_panelQuit = new QLabel(QStringLiteral("Alt+Enter to exit from Full Screen mode"), m_surface);
    m_panelQuit->setAutoFillBackground(true);
    m_panelQuit->setBackgroundRole(QPalette::ToolTipBase);
    m_panelQuit->setForegroundRole(QPalette::ToolTipText);
    QFont hintFont(QStringLiteral("Arial"));
    hintFont.setPixelSize(17);
    m_panelQuit->setFont(hintFont);
    m_panelQuit->setMargin(6);
    m_panelQuit->adjustSize();
    m_panelQuit->hide();
    m_panelQuit->installEventFilter(this);
    m_surface->installEventFilter(this);

    m_hintTimer = new QTimer(this);
    m_hintTimer->setInterval(3000);
    connect(m_hintTimer, &QTimer::timeout, this, [this] {
        m_hintTimer->stop();
        m_panelQuit->hide();
        RepaintPicture();
    });

    m_separateWindow = new QWidget(nullptr, Qt::Window);
    m_separateWindow->setWindowTitle(QStringLiteral("Kadrex"));
    m_separateWindow->installEventFilter(this);

    connect(qApp, &QGuiApplication::screenAdded, this, &TWindowLessMan::NotifyDisplayChange);
    connect(qApp, &QGuiApplication::screenRemoved, this, &TWindowLessMan::NotifyDisplayChange);

    ListenToSink();
}

void TWindowLessMan::ListenToSink()
{
    if (!m_sink)
        return;
    // Streaming thread: only queue the repaint. The component outlives the
    // listener (its destructor clears it), the view may not: it is looked up
    // when the repaint runs.
    m_sink->SetFrameListener([this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_view)
                    m_view->update();
            },
            Qt::QueuedConnection);
    });
}

TWindowLessMan::~TWindowLessMan()
{
    if (m_sink)
        m_sink->SetFrameListener({});
    SetGraph(nullptr);
    delete m_view.data(); // null when its window took it along
    delete m_separateWindow;
    delete m_surface;
    if (m_renderer)
        gst_object_unref(m_renderer);
}

void TWindowLessMan::CreateActions()
{
    CreateActionsFromTable(kVideoWindowActions, *this, this);
    caFullscreen = Find<TCheckAction>(QStringLiteral("caFullscreen"));
    caFlipVertical = Find<TCheckAction>(QStringLiteral("caFlipVertical"));
    caFlipHorizontal = Find<TCheckAction>(QStringLiteral("caFlipHorizontal"));
    caPreviewform = Find<TCheckAction>(QStringLiteral("caPreviewform"));
    caKeepAspectratio = Find<TCheckAction>(QStringLiteral("caKeepAspectratio"));
    caInsertTextOn = Find<TCheckAction>(QStringLiteral("caInsertTextOn"));
    caInsertAntiAliasing = Find<TCheckAction>(QStringLiteral("caInsertAntiAliasing"));
    caFullscreen->SetImageIndex(11);
    caFlipVertical->SetTrueImageIndex(14);
    caFlipVertical->SetFalseImageIndex(15);
    caFlipHorizontal->SetTrueImageIndex(13);
    caFlipHorizontal->SetFalseImageIndex(12);
    caInsertTextOn->SetTrueImageIndex(18);
    caInsertTextOn->SetFalseImageIndex(17);
}

void TWindowLessMan::AssignHandlers()
{
    caFullscreen->InternalTrueApply = [this] { SetFullScreen(true); };
    caFullscreen->InternalFalseApply = [this] { SetFullScreen(false); };
    caFlipVertical->InternalTrueApply = [this] { SetFlips(true, m_flipHorizontal); };
    caFlipVertical->InternalFalseApply = [this] { SetFlips(false, m_flipHorizontal); };
    caFlipHorizontal->InternalTrueApply = [this] { SetFlips(m_flipVertical, true); };
    caFlipHorizontal->InternalFalseApply = [this] { SetFlips(m_flipVertical, false); };
    caPreviewform->InternalTrueApply = [this] { SetSeparate(true); };
    caPreviewform->InternalFalseApply = [this] { SetSeparate(false); };
    caKeepAspectratio->InternalTrueApply = [this] { SetKeepAspectratio(true); };
    caInsertTextOn->InternalTrueApply = [this] { SetOverlayShown(true); };
    caInsertTextOn->InternalFalseApply = [this] { SetOverlayShown(false); };
    caKeepAspectratio->InternalFalseApply = [this] { SetKeepAspectratio(false); };

    auto *fullBorder = Find<TIntegerAction>(QStringLiteral("iaFullBorderWidth"));
    fullBorder->InternalApply = [this](const qint32 &width) {
        FullBorderWidth = width;
        if (m_fullScreen)
            Relayout();
    };
    auto *winBorder = Find<TIntegerAction>(QStringLiteral("iaWinBorderWidth"));
    winBorder->InternalApply = [this](const qint32 &width) {
        WinBorderWidth = width;
        if (!m_fullScreen)
            Relayout();
    };
    Find<TColorAction>(QStringLiteral("iaBorderColor"))->InternalApply = [this](const TColor &c) {
        BorderColor = c;
        RepaintPicture();
    };
    Find<TColorAction>(QStringLiteral("iaBackColor"))->InternalApply = [this](const TColor &c) {
        BackColor = c;
        m_surface->setPalette(QPalette(toQColor(c)));
        RepaintPicture();
    };
    Find<TIntegerAction>(QStringLiteral("iaTimerInterval"))->InternalApply =
        [this](const qint32 &ms) { m_hintTimer->setInterval(qMax(0, ms)); };
    Find<TColorAction>(QStringLiteral("iaInsertTransparentColor"))->InternalApply =
        [this](const TColor &c) { SetOverlayKeyColor(c); };
    Find<TDoubleAction>(QStringLiteral("daInsertTransparency"))->InternalApply =
        [this](const double &opacity) { SetOverlayOpacity(opacity); };

    auto *previewSave = Find<TRectAction>(QStringLiteral("raPreviewSave"));
    previewSave->InternalApply = [this](const TNvRect &bounds) {
        m_separateBounds = bounds;
        m_separateWindow->setGeometry(ToQRect(bounds));
    };
    previewSave->InternalBeforeSave = [this](TNvRect &bounds) {
        if (m_separate)
            m_separateBounds = fromQRect(m_separateWindow->geometry());
        bounds = m_separateBounds;
        return true;
    };
}

void TWindowLessMan::SetKeepAspectratio(bool keep)
{
    m_keepAspect = keep;
    RepaintPicture();
}

void TWindowLessMan::SetWindow(QWidget *control)
{
    if (m_window == control)
        return;
    if (m_window)
        disconnect(m_window, &QObject::destroyed, this, nullptr);
    m_window = control;
    if (control)
        connect(control, &QObject::destroyed, this, &TWindowLessMan::WindowDestroyed);
    if (!m_separate)
        SetCurrentWindow(control);
}

void TWindowLessMan::WindowDestroyed()
{
    // The view went with the window: make a new one for the next window.
    if (!m_view)
        m_view = new TVideoView(this);
    CreateMessageControls();
    if (!m_separate)
        m_currentWindow = nullptr;
}

void TWindowLessMan::SetCurrentWindow(QWidget *control)
{
    if (m_currentWindow)
        m_currentWindow->removeEventFilter(this);
    m_currentWindow = control;
    if (control) {
        control->installEventFilter(this);
        if (!m_fullScreen) {
            m_view->setParent(control);
            m_view->show();
        }
    }
    NotifyDisplayChange();
}

QScreen *TWindowLessMan::MonitorOfWindow() const
{
    QWidget *w = m_currentWindow ? m_currentWindow.data() : m_window.data();
    QScreen *screen = w ? w->screen() : nullptr;
    return screen ? screen : QGuiApplication::primaryScreen();
}

QColor TWindowLessMan::WindowColor() const
{
    if (m_fullScreen)
        return toQColor(BackColor);
    return m_currentWindow ? m_currentWindow->palette().color(QPalette::Window) : QColor(Qt::black);
}

void TWindowLessMan::NotifyDisplayChange()
{
    if (QScreen *screen = MonitorOfWindow(); screen && m_fullScreen)
        m_surface->setGeometry(screen->geometry());
    Relayout();
}

void TWindowLessMan::Relayout()
{
    if (!m_currentWindow)
        return;
    if (m_fullScreen) {
        const QRect screen = m_surface->rect();
        m_fullDest = FitInClient(screen.width(), screen.height(), FullBorderWidth, m_ax, m_ay);
        m_view->setGeometry(m_surface->rect());
        m_view->raise();
        if (m_panelQuit->isVisible())
            m_panelQuit->raise();
    } else {
        const QRect client = m_currentWindow->rect();
        m_windowDest = FitInClient(client.width(), client.height(), WinBorderWidth, m_ax, m_ay);
        AttachWindow();
    }
    RepaintPicture();
}

void TWindowLessMan::AttachWindow()
{
    if (!m_currentWindow || m_fullScreen)
        return;
    if (m_view->parentWidget() != m_currentWindow) {
        m_view->setParent(m_currentWindow);
        m_view->show();
    }
    m_view->setGeometry(m_currentWindow->rect());
    m_outputRect = FlipOutputRect(m_flipVertical, m_flipHorizontal);
    RepaintPicture();
}

void TWindowLessMan::RepaintPicture()
{
    if (m_view)
        m_view->update();
}

void TWindowLessMan::SetGraph(TMfGraph *graph)
{
    if (graph == m_graph && (!graph || graph->Contains(m_renderer)))
        return;
    if (m_graph && m_renderer && m_graph->Contains(m_renderer))
        m_graph->RemoveFilter(m_renderer);
    m_graph = graph;
    if (graph && m_renderer && !GST_OBJECT_PARENT(m_renderer))
        graph->AddFilter(m_renderer, QString::fromLatin1(RendererName));
    if (graph)
        AttachWindow();
}

void TWindowLessMan::SetAspect(int ax, int ay)
{
    m_ax = ax;
    m_ay = ay;
    Relayout();
}

void TWindowLessMan::SetFlips(bool vertical, bool horizontal)
{
    m_flipVertical = vertical;
    m_flipHorizontal = horizontal;
    m_outputRect = FlipOutputRect(vertical, horizontal);
    RepaintPicture();
}

void TWindowLessMan::SetFullScreen(bool on)
{
    if (on == m_fullScreen)
        return;
    m_fullScreen = on;
    if (on) {
        if (QScreen *screen = MonitorOfWindow())
            m_surface->setGeometry(screen->geometry());
        m_view->setParent(m_surface);
        m_view->show();
        m_surface->show();
        m_surface->raise();
        ShowHint();
    } else {
        m_hintTimer->stop();
        m_panelQuit->hide();
        m_surface->hide();
        if (m_currentWindow) {
            m_view->setParent(m_currentWindow);
            m_view->show();
        }
        QMetaObject::invokeMethod(this, &TWindowLessMan::NotifyDisplayChange, Qt::QueuedConnection);
    }
    Relayout();
}

void TWindowLessMan::ShowHint()
{
    if (m_hintTimer->interval() <= 0) {
        m_panelQuit->hide();
        return;
    }
    m_panelQuit->move((m_surface->width() - m_panelQuit->width()) / 2, 0);
    m_panelQuit->show();
    m_panelQuit->raise();
    m_hintTimer->start();
}

void TWindowLessMan::SetSeparate(bool on)
{
    if (on == m_separate)
        return;
    m_separate = on;
    if (on) {
        m_separateWindow->setGeometry(ToQRect(m_separateBounds));
        m_separateWindow->show();
        m_separateWindow->raise();
        SetCurrentWindow(m_separateWindow);
    } else {
        m_separateBounds = fromQRect(m_separateWindow->geometry());
        m_separateWindow->hide();
        SetCurrentWindow(m_window);
    }
}

bool TWindowLessMan::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_separateWindow && event->type() == QEvent::Close) {
        // Closing the separate window returns the picture to the embedded one.
        if (caPreviewform->Checked())
            caPreviewform->SetChecked(false);
    } else if (watched == m_surface && event->type() == QEvent::Close) {
        // Closing the surface only hides it; full screen ends with it.
        if (caFullscreen->Checked())
            caFullscreen->SetChecked(false);
    } else if (watched == m_panelQuit && event->type() == QEvent::MouseButtonPress) {
        m_hintTimer->stop();
        m_panelQuit->hide();
    } else if (watched == m_currentWindow && event->type() == QEvent::Resize) {
        Relayout();
    }
    return TNvActionComponent::eventFilter(watched, event);
}

void TWindowLessMan::Paint(QPainter &painter, const QRect &client)
{
    const TVideoFrame frame = m_sink ? m_sink->TakeFrame() : TVideoFrame{};
    const QColor windowColor = WindowColor();
    const TNvRect whole = fromQRect(client);
    if (!PictureShown() || (frame.IsNull() && m_cleared)) {
        painter.fillRect(client, windowColor);
        return;
    }
    const TNvRect dest = m_fullScreen ? m_fullDest : m_windowDest;
    const int border = m_fullScreen ? FullBorderWidth : WinBorderWidth;
    const TNvRect ring = Inflate(dest, border);
    fillFrame(painter, whole, ring, windowColor);
    fillFrame(painter, ring, dest, toQColor(BorderColor));
    if (frame.IsNull()) {
        painter.fillRect(ToQRect(dest), Qt::black);
        return;
    }
    PaintFrame(painter, frame, dest);
    m_cleared = false;
    if (frame.serial != m_lastPaintedSerial) {
        m_lastPaintedSerial = frame.serial;
        ++m_framesDrawn;
    }
}

void TWindowLessMan::PaintFrame(QPainter &painter, const TVideoFrame &frame, const TNvRect &dest)
{
    // Letterboxing keeps the picture's display aspect (its pixel aspect applied).
    const QImage &image = frame.image;
    const TNvRect picture = LetterboxRect(dest, frame.displaySize, m_keepAspect);
    if (!(picture == dest)) {
        fillFrame(painter, dest, picture, Qt::black);
    }
    const QRect target = ToQRect(picture);
    painter.save();
    if (m_flipVertical || m_flipHorizontal) {
        // The mirror of the target rectangle onto itself.
        painter.translate(m_flipHorizontal ? target.left() + target.right() + 1 : 0,
                          m_flipVertical ? target.top() + target.bottom() + 1 : 0);
        painter.scale(m_flipHorizontal ? -1 : 1, m_flipVertical ? -1 : 1);
    }
    // Filtered scaling, as a video renderer does; cheap enough at 1080p.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image);
    painter.restore();
    if (m_overlayOn && MixFor(frame).Active()) {
        if (m_overlayDirty || m_preparedOverlay.size() != image.size()) {
            m_preparedOverlay = PrepareOverlay(m_mix, image.size());
            m_overlayDirty = false;
        }
        painter.drawImage(target, m_preparedOverlay);
    }
}

bool TWindowLessMan::CaptureCurrentImage(QImage &image, TFramePosition *position,
                                         TFrameDVCodes *dvCodes) const
{
    const TVideoFrame frame = m_sink ? m_sink->CurrentFrame() : TVideoFrame{};
    if (frame.IsNull())
        return false;
    const TOverlayMix none;
    image = ComposePicture(frame.image, m_flipVertical, m_flipHorizontal,
                           m_overlayOn ? MixFor(frame) : none);
    if (position)
        *position = frame.position;
    if (dvCodes)
        *dvCodes = frame.dvCodes;
    return !image.isNull();
}

TFrameDVCodes TWindowLessMan::CurrentDVCodes() const
{
    return m_sink ? m_sink->CurrentFrame().dvCodes : TFrameDVCodes{};
}

void TWindowLessMan::ClearWindow()
{
    if (m_sink)
        m_sink->ClearFrame();
    m_cleared = true;
    RepaintPicture();
}

const TOverlayMix &TWindowLessMan::MixFor(const TVideoFrame &frame) const
{
    if (!m_provider)
        return m_mix;
    const TOverlayKey key{frame.position, frame.dvCodes, frame.image.size(), m_overlayGeneration};
    if (m_providedKey != key) {
        m_mix.overlay = m_provider(frame.position, frame.dvCodes, frame.image.size());
        m_providedKey = key;
        m_overlayDirty = true;
    }
    return m_mix;
}

void TWindowLessMan::SetOverlayProvider(TOverlayProvider provider)
{
    m_provider = std::move(provider);
    m_mix.overlay = QImage();
    InvalidateOverlay();
}

void TWindowLessMan::InvalidateOverlay()
{
    ++m_overlayGeneration;
    m_providedKey.reset();
    NoteInlayRefresh();
    RepaintPicture();
}

void TWindowLessMan::SetOverlay(const QImage &overlay)
{
    m_mix.overlay = overlay;
    m_overlayOn = true;
    m_overlayDirty = true;
    RepaintPicture();
}

void TWindowLessMan::DisableOverlay()
{
    SetOverlayShown(false);
}

void TWindowLessMan::SetOverlayShown(bool on)
{
    m_overlayOn = on;
    RepaintPicture();
}

void TWindowLessMan::SetOverlayKeyColor(TColor color)
{
    m_mix.keyColor = color;
    m_overlayDirty = true;
    RepaintPicture();
}

void TWindowLessMan::SetOverlayOpacity(double opacity)
{
    m_mix.opacity = qBound(0.0, opacity, 1.0);
    m_overlayDirty = true;
    RepaintPicture();
}
