#pragma once
// Removes the comb that interlaced video shows on moving edges: a pixel of an
// odd row that differs from both vertical neighbours in the same direction,
// and belongs to a horizontal run of such pixels, becomes the average of the
// pixels above and below. Everything else is left as it is.

#include <QImage>

#include <vector>

class TDeinterlacer
{
public:
    // The deinterlaced copy of input. Only 32-bit pixels (RGB32, ARGB32 and
    // its premultiplied form) are processed; other formats come back unchanged.
    QImage Deinterlace(const QImage &input);

    // Per pixel, after the last call: 1 where the comb was detected, and
    // where it was corrected (detected with a detected horizontal neighbour).
    // Only the odd rows from 1 to height - 2 are computed.
    const std::vector<quint8> &CombMask() const { return m_comb; }
    const std::vector<quint8> &FilteredMask() const { return m_filtered; }

private:
    // Kept for the program's lifetime so that a grab allocates nothing else.
    std::vector<quint8> m_comb;
    std::vector<quint8> m_filtered;
};
