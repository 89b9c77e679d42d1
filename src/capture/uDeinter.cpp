#include "uDeinter.h"

namespace {

constexpr int kCombThreshold = 2000;

bool processable(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

// Large and positive when c stands out from both a and b the same way; green
// weighs most, as it does in the eye.
int combStrength(QRgb a, QRgb c, QRgb b)
{
    return 3 * (qRed(a) - qRed(c)) * (qRed(b) - qRed(c)) +
           6 * (qGreen(a) - qGreen(c)) * (qGreen(b) - qGreen(c)) +
           (qBlue(a) - qBlue(c)) * (qBlue(b) - qBlue(c));
}

QRgb average(QRgb above, QRgb below, QRgb keep)
{
    return qRgba((qRed(above) + qRed(below)) / 2, (qGreen(above) + qGreen(below)) / 2,
                 (qBlue(above) + qBlue(below)) / 2, qAlpha(keep));
}

} // namespace

QImage TDeinterlacer::Deinterlace(const QImage &input)
{
    QImage output = input.copy();
    if (!processable(input.format()))
        return output;
    const int w = input.width(), h = input.height();
    const size_t cells = size_t(w) * size_t(h);
    m_comb.resize(cells);
    m_filtered.resize(cells);

    for (int y = 1; y <= h - 2; y += 2) {
        const auto *above = reinterpret_cast<const QRgb *>(input.constScanLine(y - 1));
        const auto *row = reinterpret_cast<const QRgb *>(input.constScanLine(y));
        const auto *below = reinterpret_cast<const QRgb *>(input.constScanLine(y + 1));
        quint8 *comb = m_comb.data() + size_t(y) * w;
        quint8 *filtered = m_filtered.data() + size_t(y) * w;
        for (int x = 0; x < w; ++x)
            comb[x] = combStrength(above[x], row[x], below[x]) > kCombThreshold ? 1 : 0;
        // A lone pixel is more likely detail than comb: only runs are corrected.
        for (int x = 0; x < w; ++x)
            filtered[x] = comb[x] && ((x > 0 && comb[x - 1]) || (x + 1 < w && comb[x + 1]));
        auto *out = reinterpret_cast<QRgb *>(output.scanLine(y));
        for (int x = 0; x < w; ++x)
            if (filtered[x])
                out[x] = average(above[x], below[x], row[x]);
    }
    return output;
}
