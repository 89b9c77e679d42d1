#pragma once
// The aspect pair (x, y) of the displayed video and the fitting rule: the
// largest x:y rectangle inside a given one, centred, in integer arithmetic.

#include <QRect>
#include <QSize>

struct TAspectPair {
    int x = 0;
    int y = 0;
    bool operator==(const TAspectPair &) const = default;
};

// Shrinks r by margin on each side, then keeps the width or the height and
// reduces the other to the pair's ratio, centring the result. A pair with a
// part not positive gives the shrunk rectangle.
QRect FitAspect(TAspectPair aspect, const QRect &r, int margin = 0);

// The output size of a capture of `captured` pixels under the pair.
QSize FittedSize(TAspectPair aspect, QSize captured);

// The values of iaForcerAspectRatio, set by naForcerNormal, naForcer4x3,
// naForcer16x9 and naForcerNative.
enum TAspectForcing : int {
    afNormal = 0, // the video's own display aspect
    af4x3 = 1,
    af16x9 = 2,
    afNative = 3, // square pixels: the decoded frame's width and height
};

// The aspect pair under a forcing value; any other value keeps the video's own.
TAspectPair ForcedAspect(int forcing, TAspectPair videoAspect, QSize frameSize);
