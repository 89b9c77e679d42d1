#include "uVideoGeometry.h"

#include "mf/uMediaTypes.h"

#include <QPainter>

TNvRect FitRect(const TNvRect &bounds, int border, int ax, int ay)
{
    TNvRect inner{bounds.left + border, bounds.top + border, bounds.right - border,
                  bounds.bottom - border};
    // A border wider than half the box leaves an empty box, not a negative one.
    inner.right = qMax(inner.right, inner.left);
    inner.bottom = qMax(inner.bottom, inner.top);
    const qint64 w = inner.right - inner.left;
    const qint64 h = inner.bottom - inner.top;
    if (ax > 0 && ay > 0) {
        if (w * ay < h * ax) {
            const qint64 height = w * ay / ax;
            inner.top += qint32((h - height) / 2);
            inner.bottom = inner.top + qint32(height);
        } else {
            const qint64 width = h * ax / ay;
            inner.left += qint32((w - width) / 2);
            inner.right = inner.left + qint32(width);
        }
    }
    return {inner.left - bounds.left, inner.top - bounds.top, inner.right - bounds.left,
            inner.bottom - bounds.top};
}

TNvRect Inflate(const TNvRect &dest, int border)
{
    return {dest.left - border, dest.top - border, dest.right + border, dest.bottom + border};
}

QRect ToQRect(const TNvRect &rect)
{
    return QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1));
}

TNvRect LetterboxRect(const TNvRect &dest, QSize picture, bool keepAspect)
{
    if (!keepAspect || picture.isEmpty())
        return dest;
    const TNvRect fit = FitRect(dest, 0, picture.width(), picture.height());
    return {dest.left + fit.left, dest.top + fit.top, dest.left + fit.right, dest.top + fit.bottom};
}

TOutputRect FlipOutputRect(bool vertical, bool horizontal)
{
    TOutputRect rect;
    if (vertical)
        std::swap(rect.top, rect.bottom);
    if (horizontal)
        std::swap(rect.left, rect.right);
    return rect;
}

QImage PrepareOverlay(const TOverlayMix &mix, QSize size)
{
    if (!mix.Active() || size.isEmpty())
        return {};
    QImage overlay = mix.overlay.convertToFormat(QImage::Format_ARGB32);
    if (overlay.size() != size)
        overlay = overlay.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const QRgb key =
        qRgb(mix.keyColor & 0xFF, (mix.keyColor >> 8) & 0xFF, (mix.keyColor >> 16) & 0xFF);
    const int alpha = qBound(0, qRound(mix.opacity * 255.0), 255);
    for (int y = 0; y < overlay.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(overlay.scanLine(y));
        for (int x = 0; x < overlay.width(); ++x) {
            const QRgb rgb = line[x] | 0xFF000000u;
            line[x] =
                rgb == key ? 0u : qPremultiply(qRgba(qRed(rgb), qGreen(rgb), qBlue(rgb), alpha));
        }
    }
    overlay.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    return overlay;
}

QImage ComposePicture(const QImage &frame, bool flipVertical, bool flipHorizontal,
                      const TOverlayMix &mix)
{
    if (frame.isNull())
        return {};
    QImage picture = frame.convertToFormat(QImage::Format_RGB32);
    // Unflipped, the picture shares the frame's read-only memory (which keeps
    // the frame's buffer): drawing the overlay on it makes Qt copy it first,
    // and a grab without overlay saves it without a copy.
    if (flipVertical || flipHorizontal)
        picture = picture.mirrored(flipHorizontal, flipVertical);
    const QImage overlay = PrepareOverlay(mix, picture.size());
    if (!overlay.isNull()) {
        QPainter painter(&picture);
        painter.drawImage(0, 0, overlay);
    }
    return picture;
}

QPoint AspectPairFor(const TVideoData &data, int forcedMode)
{
    const QPoint pixels(qAbs(data.width), qAbs(data.height));
    switch (forcedMode) {
    case 1:
        return {4, 3};
    case 2:
        return {16, 9};
    case 3:
        return pixels;
    default:
        break;
    }
    switch (data.aspectCode) {
    case aspectcode::k4x3:
        return {4, 3};
    case aspectcode::k16x9:
        return {16, 9};
    case aspectcode::kOther:
        return {data.pictAspectX, data.pictAspectY};
    default:
        return pixels;
    }
}

QString FormatReportText(const QString &formatText, const QString &resolutionText)
{
    if (formatText == QLatin1String("    "))
        return resolutionText;
    return formatText + QStringLiteral(" - ") + resolutionText;
}
