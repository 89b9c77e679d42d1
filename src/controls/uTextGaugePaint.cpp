#include "uTextGaugePaint.h"

#include <QFontMetrics>
#include <QPainter>

#include <cmath>
#include <numbers>

namespace {

// The integer nearest to x, ties to even (the default rounding mode).
int nearest(double x)
{
    return int(std::nearbyint(x));
}

// Edges as the drawing rules count them: right and bottom exclusive.
struct TEdges {
    int left, top, right, bottom;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    QRect rect() const { return QRect(left, top, width(), height()); }
};

void paintBar(QPainter &p, const TGaugeLook &look, const TEdges &r, QColor fill)
{
    p.fillRect(r.rect(), look.BackColor);
    const int percent = GaugePercent(look);
    const int w = r.width() + 1, h = r.height() + 1; // counted inclusive
    if (look.GaugeKind == gkHorizontalBar) {
        const int barWidth = qMin(w, int(qint64(w) * percent / 100));
        if (barWidth >= 1)
            p.fillRect(QRect(r.left, r.top, barWidth, r.height()).intersected(r.rect()), fill);
    } else {
        const int barHeight = qMin(h, int(qint64(h) * percent / 100));
        if (barHeight >= 1)
            p.fillRect(
                QRect(r.left, r.bottom - barHeight, r.width(), barHeight).intersected(r.rect()),
                fill);
    }
}

// A shape's box of W x H pixels from (x, y), as QPainter outlines it with a
// one-pixel pen: the outline then covers exactly those pixels.
QRectF shapeBox(int x, int y, int w, int h)
{
    return QRectF(x + 0.5, y + 0.5, qMax(0, w - 1), qMax(0, h - 1));
}

void paintPie(QPainter &p, const TGaugeLook &look, const TEdges &r, QColor fill)
{
    p.fillRect(r.rect(), look.Color);
    const int extra = look.SingleBorder ? 1 : 0;
    const int w = r.width() + extra, h = r.height() + extra;
    const QRectF box = shapeBox(r.left, r.top, w, h);
    p.setPen(fill);
    p.setBrush(look.BackColor);
    p.drawEllipse(box);
    const int percent = GaugePercent(look);
    if (percent > 0) {
        // From twelve o'clock, clockwise (QPainter counts counter-clockwise).
        p.setBrush(fill);
        p.drawPie(box, 90 * 16, -nearest(percent * 3.6 * 16));
    }
}

void paintNeedle(QPainter &p, const TGaugeLook &look, const TEdges &r, QColor fill, int width)
{
    p.fillRect(r.rect(), look.Color);
    const int extra = look.SingleBorder ? 1 : 0;
    const int w = r.width() + extra, h = r.height() + extra;
    const int base = r.bottom - 1; // the line the half-disc stands on
    p.setPen(fill);
    p.setBrush(look.BackColor);
    p.drawChord(shapeBox(r.left, r.top, w, 2 * h - 1), 0, 180 * 16);
    p.drawLine(r.left, base, r.right - 1, base);
    const int percent = GaugePercent(look);
    if (percent > 0) {
        const int m = width / 2;
        const double a = percent / 100.0 * std::numbers::pi;
        p.drawLine(m, base, nearest(m * (1 - std::cos(a))), nearest(base * (1 - std::sin(a))));
    }
}

void paintShape(QImage &image, const TGaugeLook &look, const TEdges &r)
{
    QPainter p(&image);
    const QColor fill = GaugeFillColor(look);
    switch (look.GaugeKind) {
    case gkText:
        p.fillRect(r.rect(), look.BackColor);
        break;
    case gkHorizontalBar:
    case gkVerticalBar:
        paintBar(p, look, r, fill);
        break;
    case gkPie:
        paintPie(p, look, r, fill);
        break;
    case gkNeedle:
        paintNeedle(p, look, r, fill, image.width());
        break;
    }
}

void paintText(QImage &image, const TGaugeLook &look, const TEdges &r)
{
    QFont font = look.Font;
    font.setStyleStrategy(QFont::NoAntialias); // grey edges would XOR into noise
    QPainter p(&image);
    p.setFont(font);
    p.setPen(Qt::white);
    const QString text = GaugeText(look);
    const QFontMetrics metrics(font);
    const int tw = metrics.horizontalAdvance(text), th = metrics.height();
    const int x = r.left + (r.width() - tw + 1) / 2, y = r.top + (r.height() - th + 1) / 2;
    p.drawText(QRect(x, y, tw, th), Qt::AlignLeft | Qt::AlignTop, text);
}

// dst ^= src, pixel by pixel.
void xorInto(QImage &dst, const QImage &src)
{
    QPainter p(&dst);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.drawImage(0, 0, src);
}

QImage blackImage(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

} // namespace

int GaugePercent(const TGaugeLook &look)
{
    const qint64 range = qint64(look.MaxValue) - look.MinValue;
    if (range == 0)
        return 0;
    return int((qint64(look.Progress) - look.MinValue) * 100 / range);
}

QColor GaugeFillColor(const TGaugeLook &look)
{
    const bool done = look.TextKind == tkPercentDone || look.TextKind == tkValueDone;
    const bool alert = done ? look.Progress > look.AlertValue : look.Progress < look.AlertValue;
    return alert ? kGaugeAlertColor : look.ForeColor;
}

QString FormatGaugeCaption(const QString &caption, int value)
{
    QString out;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar next = i + 1 < caption.size() ? caption[i + 1] : QChar();
        if (caption[i] == QLatin1Char('%') && next == QLatin1Char('d')) {
            out += QString::number(value);
            ++i;
        } else if (caption[i] == QLatin1Char('%') && next == QLatin1Char('%')) {
            out += QLatin1Char('%');
            ++i;
        } else {
            out += caption[i];
        }
    }
    return out;
}

QString GaugeText(const TGaugeLook &look)
{
    if (look.customText)
        return look.Caption;
    switch (look.TextKind) {
    case tkPercentDone:
        return QString::number(GaugePercent(look)) + QLatin1Char('%');
    case tkValueDone:
        return FormatGaugeCaption(look.Caption, look.Progress);
    case tkValueRemaining:
        return FormatGaugeCaption(look.Caption, look.MaxValue - look.Progress);
    case tkPercentRemaining:
        return QString::number(100 - GaugePercent(look)) + QLatin1Char('%');
    }
    return {};
}

QImage PaintGauge(const TGaugeLook &look, QSize size)
{
    QImage image = blackImage(size);
    if (size.isEmpty())
        return image;
    const int inset = look.SingleBorder ? 1 : 0;
    const TEdges r{inset, inset, size.width() - inset, size.height() - inset};
    QImage shape = blackImage(size);
    paintShape(shape, look, r);
    xorInto(image, shape);
    if (look.ShowText) {
        QImage text = blackImage(size);
        paintText(text, look, r);
        xorInto(image, text);
    }
    return image;
}
