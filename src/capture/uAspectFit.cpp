#include "uAspectFit.h"

#include <cstdlib>

QRect FitAspect(TAspectPair aspect, const QRect &r, int margin)
{
    const qint64 left = r.left() + margin, top = r.top() + margin;
    const qint64 w = qint64(r.width()) - 2 * qint64(margin);
    const qint64 h = qint64(r.height()) - 2 * qint64(margin);
    if (aspect.x <= 0 || aspect.y <= 0)
        return QRect(int(left), int(top), int(w), int(h));
    // 64 bits: the cross products of large rectangles overflow an int.
    if (w * aspect.y < h * aspect.x) {
        const qint64 fitted = w * aspect.y / aspect.x;
        return QRect(int(left), int(top + (h - fitted) / 2), int(w), int(fitted));
    }
    const qint64 fitted = h * aspect.x / aspect.y;
    return QRect(int(left + (w - fitted) / 2), int(top), int(fitted), int(h));
}

QSize FittedSize(TAspectPair aspect, QSize captured)
{
    return FitAspect(aspect, QRect(QPoint(0, 0), captured)).size();
}

TAspectPair ForcedAspect(int forcing, TAspectPair videoAspect, QSize frameSize)
{
    switch (forcing) {
    case af4x3:
        return {4, 3};
    case af16x9:
        return {16, 9};
    case afNative:
        return {std::abs(frameSize.width()), std::abs(frameSize.height())};
    default:
        return videoAspect;
    }
}
