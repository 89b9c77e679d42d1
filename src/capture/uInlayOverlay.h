#pragma once
// Drawing the inlay lines into an overlay picture and mixing the overlay over
// a video frame. The overlay is a 32-bit picture of the video's native size
// filled with the key colour; the mixer leaves key-coloured pixels
// transparent and blends the others with one global opacity, so the same
// mixed picture is what the window shows and what a grab captures.

#include "actions/uActionTypes.h"
#include "uInlayText.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

// The styling of the inlay, with the video window's start values.
struct TInlayStyle {
    TNvFont font{QStringLiteral("Arial"), -27, colors::clNavy};
    int borderWidth = 2;
    TColor borderColor = colors::clBlack;
    TColor keyColor = colors::clFuchsia; // stays transparent
    double opacity = 1.0;                // 1 opaque, 0 invisible
    bool antiAliasing = true;
    bool autoSize = false;
    QPoint position{0, 0}; // anchor in ten-thousandths of width and height
    TInlayAlign align = TInlayAlign::Left;
    friend bool operator==(const TInlayStyle &, const TInlayStyle &) = default;
};

// A colour of the 0x00BBGGRR form as a Qt colour (system codes give black).
QColor InlayColor(TColor color);

// The font the overlay of a video of that size is drawn with: the inlay font,
// or with automatic size max(W div 36, H div 28) points. Sizes are set in
// pixels (points at 96 pixels per inch, as the font records them), so the
// drawing does not depend on the resolution of the picture or screen.
QFont InlayDrawingFont(const TInlayStyle &style, QSize videoSize);

// The widest border drawn: the text is drawn once per offset, so a width
// set by a script to thousands would stall the picture; wider borders are
// drawn at this width (the page offers 0 to 5).
inline constexpr int kMaxInlayBorderWidth = 16;

// The border offsets of a width w: every (dx, dy) with |dx|, |dy| <= w and
// |dx| + |dy| > w (four diagonals for 1, twelve offsets for 2).
QList<QPoint> InlayBorderOffsets(int width);

// Draws the enabled lines into `overlay` (made or reused at the video's size,
// Format_RGB32). Each text's top-left corner is placed as follows: the anchor
// X = position.x * W div 10000, Y = position.y * H div 10000; the running
// line position a starts at 0 and for each enabled line becomes a + round(H *
// y fraction) (relative) or round(H * y fraction); the left edge is round(W *
// x fraction), less the width for right alignment, less half the width for
// centred lines; the text stands at (X + left + border, Y + a + border), and
// a grows by the text's height. The border is drawn unsmoothed at every
// offset; the text is smoothed only when antialiasing is on and there is a
// border.
// Returns a rectangle that holds every pixel drawn (the texts with their
// border and some slack), for mixing only that part.
QRect DrawInlayOverlay(QImage &overlay, const TInlayLines &lines, const TInlayStyle &style,
                       QSize videoSize);
QImage DrawInlayOverlay(const TInlayLines &lines, const TInlayStyle &style, QSize videoSize);

// Mixes the overlay over the frame: pixels of the key colour stay as the
// frame has them, the others become frame * (1 - opacity) + overlay * opacity.
// An overlay of another size is stretched over the whole frame with point
// sampling. A frame that is not 32-bit is converted to Format_RGB32 first.
// Nothing happens with an opacity of 0 or less or a null overlay. A region
// (in the overlay's coordinates, for an overlay of the frame's size) limits
// the mixing to the part where something was drawn; empty means all of it.
void mixOverlay(QImage &frame, const QImage &overlay, TColor keyColor, double opacity,
                const QRect &region = QRect());

// The subtitle preset: centred at (5000, 8200), font size the video height
// div 30 points (kept when that gives nothing), white text, border 2. It does
// not switch the inlay on; automatic size still decides the size drawn.
struct TSubtitlePreset {
    TInlayAlign align = TInlayAlign::Centre;
    QPoint position{5000, 8200};
    int fontSize = 0; // points; 0: keep the current size
    TColor fontColor = colors::clWhite;
    int borderWidth = 2;
};
TSubtitlePreset SubtitlePreset(int videoHeight);
void ApplySubtitlePreset(TInlayStyle &style, const TSubtitlePreset &preset);

// The inlay without its widgets: templates, session values, lines, style and
// the on state, with one reused overlay picture. UI thread only.
//
// The video window sits on a floor above this one, so the main window owns
// the TInlay and hands the window a way to get the overlay of a frame:
//   window.OverlayProvider = [&](const TFramePosition &at, QSize size) {
//       return inlay.Overlay(InlayFrameRecord(at.position, frameDuration, dvCodesOf(at)),
//                            size);
//   };
// The window asks for every frame it paints and for the picture it captures,
// passing the position that travelled with that frame, and mixes the result
// keyed with Style().keyColor at Style().opacity (as mixOverlay does, which
// MixInto applies for callers that hold the frame themselves).
class TInlay
{
public:
    TInlay();

    TInlayTemplates &Templates() { return m_templates; }
    TInlayValues &Values() { return m_values; }
    TInlayStyle &Style() { return m_style; }
    const TInlayStyle &Style() const { return m_style; }
    const TInlayLines &Lines() const { return m_lines; }
    TInlayLines &Lines() { return m_lines; }

    void SetOn(bool on) { m_on = on; }
    bool On() const { return m_on; }

    // The lines expanded for a frame.
    const TInlayLines &Expand(const TInlayFrameRecord &frame);
    // The overlay for a frame of that size, redrawn only when its lines, the
    // style or the size changed.
    const QImage &Overlay(const TInlayFrameRecord &frame, QSize videoSize);
    // Mixes the overlay of this frame into it when the inlay is on; returns
    // whether it did.
    bool MixInto(QImage &frame, const TInlayFrameRecord &record);

private:
    TInlayTemplates m_templates;
    TInlayValues m_values;
    TInlayStyle m_style;
    TInlayLines m_lines;
    bool m_on = false;

    QImage m_overlay;
    QRect m_drawnRegion;
    TInlayLines m_drawnLines;
    TInlayStyle m_drawnStyle;
};
