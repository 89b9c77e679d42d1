#pragma once
// The video window's pure geometry and picture work, without widgets: the
// fit of a picture of a given aspect into a box, the letterboxing of the
// picture inside its destination, the flips as an output rectangle, and the
// captured picture (flipped, then mixed with the keyed inlay overlay).

#include "actions/uActionTypes.h"

#include <QImage>
#include <QRect>

// The largest ax:ay rectangle inside bounds less border on every side,
// centred, relative to the top-left corner of bounds; integer arithmetic,
// divisions truncating. With ax or ay not positive, the inner box whole.
TNvRect FitRect(const TNvRect &bounds, int border, int ax, int ay);

// The same for a QRect-free caller: the box of a client area w x h.
inline TNvRect FitInClient(int width, int height, int border, int ax, int ay)
{
    return FitRect({0, 0, width, height}, border, ax, ay);
}

// dest grown by border on every side.
TNvRect Inflate(const TNvRect &dest, int border);
QRect ToQRect(const TNvRect &rect);

// Where a picture of size picture goes inside dest when its own aspect is
// kept (letterbox or pillarbox, centred); dest itself when not kept or when
// the picture is empty.
TNvRect LetterboxRect(const TNvRect &dest, QSize picture, bool keepAspect);

// The mixer's output rectangle for the video: normalised, left/right and
// top/bottom swapped by the flips.
struct TOutputRect {
    float left = 0.0f, top = 0.0f, right = 1.0f, bottom = 1.0f;
    friend bool operator==(const TOutputRect &, const TOutputRect &) = default;
};
TOutputRect FlipOutputRect(bool vertical, bool horizontal);

// How the overlay is mixed: pixels of the key colour stay transparent, the
// others cover the video with the global opacity (0.0 invisible, 1.0 opaque).
struct TOverlayMix {
    QImage overlay; // any format; stretched over the whole picture
    TColor keyColor = colors::clFuchsia;
    double opacity = 1.0;
    bool Active() const { return !overlay.isNull() && opacity > 0.0; }
};

// The overlay as a premultiplied ARGB picture of size, ready to be drawn over
// the video (key colour transparent, opacity applied); null when inactive.
QImage PrepareOverlay(const TOverlayMix &mix, QSize size);

// The picture as displayed: frame flipped, then mixed with the overlay (which
// is not flipped); always QImage::Format_RGB32 at the frame's own size,
// sharing the frame's memory when nothing changes it.
QImage ComposePicture(const QImage &frame, bool flipVertical, bool flipHorizontal,
                      const TOverlayMix &mix);

struct TVideoData;

// The aspect pair of a stream: forced 1 (4, 3), 2 (16, 9), 3 the picture's
// own pixel size; automatic (0) from the stream's display aspect code.
QPoint AspectPairFor(const TVideoData &data, int forcedMode);

// The format report: the format text and the resolution, or the resolution
// alone when the format text is four spaces (nothing known).
QString FormatReportText(const QString &formatText, const QString &resolutionText);
