#include "uInlayOverlay.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kPointsPerInch = 72;
constexpr int kPositionScale = 10000;

int pointsToPixels(int points, int pixelsPerInch)
{
    return int(std::lround(double(points) * pixelsPerInch / kPointsPerInch));
}

QRgb rgbOf(TColor color)
{
    return InlayColor(color).rgb();
}

// The text at its top-left corner (x, y).
void drawTextAt(QPainter &painter, const QFontMetrics &metrics, int x, int y, const QString &text)
{
    painter.drawText(QPoint(x, y + metrics.ascent()), text);
}

// One text with its border: the border always unsmoothed, then the text,
// smoothed only when antialiasing is on and a border was drawn.
void drawOneText(QPainter &painter, QFont font, int x, int y, const QString &text,
                 const TInlayStyle &style)
{
    font.setStyleStrategy(QFont::NoAntialias);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(font);
    const QFontMetrics metrics(font, painter.device());
    bool smooth = false;
    if (const int border = std::clamp(style.borderWidth, 0, kMaxInlayBorderWidth); border > 0) {
        painter.setPen(InlayColor(style.borderColor));
        for (const QPoint &d : InlayBorderOffsets(border))
            drawTextAt(painter, metrics, x + d.x(), y + d.y(), text);
        smooth = style.antiAliasing;
    }
    if (smooth) {
        font.setStyleStrategy(QFont::PreferAntialias);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.setFont(font);
    }
    painter.setPen(InlayColor(style.font.color));
    drawTextAt(painter, metrics, x, y, text);
}

int leftEdge(const TInlayLine &line, int width, int textWidth)
{
    const int left = int(std::lround(width * double(line.xFraction)));
    switch (line.align) {
    case TInlayAlign::Right:
        return left - textWidth;
    case TInlayAlign::Centre:
        return left - textWidth / 2;
    case TInlayAlign::Left:
        break;
    }
    return left;
}

} // namespace

QColor InlayColor(TColor color)
{
    if (color < 0)
        return QColor(Qt::black);
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

QFont InlayDrawingFont(const TInlayStyle &style, QSize videoSize)
{
    QFont font = style.font.toQFont();
    const int ppi = style.font.pixelsPerInch > 0 ? style.font.pixelsPerInch : 96;
    int pixels = 0;
    if (style.autoSize)
        pixels = pointsToPixels(std::max(videoSize.width() / 36, videoSize.height() / 28), ppi);
    else if (style.font.size > 0)
        pixels = pointsToPixels(style.font.size, ppi);
    else
        pixels = -style.font.size;
    font.setPixelSize(std::max(pixels, 1));
    return font;
}

QList<QPoint> InlayBorderOffsets(int width)
{
    QList<QPoint> offsets;
    for (int dy = -width; dy <= width; ++dy)
        for (int dx = -width; dx <= width; ++dx)
            if (std::abs(dx) + std::abs(dy) > width)
                offsets << QPoint(dx, dy);
    return offsets;
}

QRect DrawInlayOverlay(QImage &overlay, const TInlayLines &lines, const TInlayStyle &style,
                       QSize videoSize)
{
    if (overlay.size() != videoSize || overlay.format() != QImage::Format_RGB32)
        overlay = QImage(videoSize, QImage::Format_RGB32);
    if (overlay.isNull())
        return {};
    overlay.fill(InlayColor(style.keyColor));

    const int w = videoSize.width(), h = videoSize.height();
    const int anchorX = int(qint64(style.position.x()) * w / kPositionScale);
    const int anchorY = int(qint64(style.position.y()) * h / kPositionScale);
    const QFont font = InlayDrawingFont(style, videoSize);

    QPainter painter(&overlay);
    const QFontMetrics metrics(font, &overlay);
    const int border = std::clamp(style.borderWidth, 0, kMaxInlayBorderWidth);
    const int slack = border + metrics.height() / 4 + 2;
    QRect drawn;
    int a = 0;
    for (const TInlayLine &line : lines) {
        if (!line.enabled)
            continue;
        const int dy = int(std::lround(h * double(line.yFraction)));
        a = line.relative ? a + dy : dy;
        const int advance = metrics.horizontalAdvance(line.text);
        const int x = anchorX + leftEdge(line, w, advance) + border;
        const int y = anchorY + a + border;
        drawOneText(painter, font, x, y, line.text, style);
        const QRect box = QRect(x, y, advance, metrics.height()) |
                          metrics.boundingRect(line.text).translated(x, y + metrics.ascent());
        drawn |= box.adjusted(-slack, -slack, slack, slack);
        a += metrics.height();
    }
    return drawn & overlay.rect();
}

QImage DrawInlayOverlay(const TInlayLines &lines, const TInlayStyle &style, QSize videoSize)
{
    QImage overlay;
    DrawInlayOverlay(overlay, lines, style, videoSize);
    return overlay;
}

void mixOverlay(QImage &frame, const QImage &overlay, TColor keyColor, double opacity,
                const QRect &region)
{
    if (overlay.isNull() || frame.isNull() || !(opacity > 0))
        return;
    if (frame.format() != QImage::Format_RGB32 && frame.format() != QImage::Format_ARGB32)
        frame.convertTo(QImage::Format_RGB32);
    QImage source =
        overlay.size() == frame.size()
            ? overlay
            : overlay.scaled(frame.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (source.format() != QImage::Format_RGB32 && source.format() != QImage::Format_ARGB32)
        source.convertTo(QImage::Format_RGB32);

    const QRgb key = rgbOf(keyColor) & RGB_MASK;
    const int alpha = int(std::lround(std::min(opacity, 1.0) * 255));
    const auto blend = [alpha](int f, int o) {
        return (f * (255 - alpha) + o * alpha + 127) / 255;
    };
    const QRect area =
        region.isEmpty() || overlay.size() != frame.size() ? frame.rect() : region & frame.rect();
    const int right = area.x() + area.width();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto *out = reinterpret_cast<QRgb *>(frame.scanLine(y));
        const auto *in = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        for (int x = area.left(); x < right; ++x) {
            const QRgb o = in[x];
            if ((o & RGB_MASK) == key)
                continue;
            const QRgb f = out[x];
            out[x] = alpha >= 255 ? (o | 0xFF000000u)
                                  : qRgb(blend(qRed(f), qRed(o)), blend(qGreen(f), qGreen(o)),
                                         blend(qBlue(f), qBlue(o)));
        }
    }
}

TSubtitlePreset SubtitlePreset(int videoHeight)
{
    TSubtitlePreset preset;
    preset.fontSize = videoHeight / 30;
    return preset;
}

void ApplySubtitlePreset(TInlayStyle &style, const TSubtitlePreset &preset)
{
    style.align = preset.align;
    style.position = preset.position;
    if (preset.fontSize > 0)
        style.font.size = preset.fontSize;
    style.font.color = preset.fontColor;
    style.borderWidth = preset.borderWidth;
}

TInlay::TInlay() : m_lines(InitialInlayLines()) {}

const TInlayLines &TInlay::Expand(const TInlayFrameRecord &frame)
{
    ExpandInlayLines(m_lines, m_style.align, m_templates, m_values, frame);
    return m_lines;
}

const QImage &TInlay::Overlay(const TInlayFrameRecord &frame, QSize videoSize)
{
    Expand(frame);
    if (m_overlay.size() != videoSize || m_lines != m_drawnLines || !(m_style == m_drawnStyle)) {
        m_drawnRegion = DrawInlayOverlay(m_overlay, m_lines, m_style, videoSize);
        m_drawnLines = m_lines;
        m_drawnStyle = m_style;
    }
    return m_overlay;
}

bool TInlay::MixInto(QImage &frame, const TInlayFrameRecord &record)
{
    if (!m_on || frame.isNull())
        return false;
    const QImage &overlay = Overlay(record, frame.size());
    if (m_drawnRegion.isEmpty())
        return true; // nothing drawn: every pixel has the key colour
    mixOverlay(frame, overlay, m_style.keyColor, m_style.opacity, m_drawnRegion);
    return true;
}
