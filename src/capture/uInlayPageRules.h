#pragma once
// The rules of the inlay and DV pages' controls without their widgets: the
// entries the lists offer and how a chosen entry becomes action values.

#include "uInlayText.h"

#include <QPoint>
#include <QRect>
#include <QStringList>

#include <optional>

// cbSize: "auto" then the point sizes.
QStringList InlaySizeEntries();

// A size list choice: "auto" switches the automatic size on; any other text
// switches it off and gives the size (14 when the text is not a number).
struct TInlaySizeChoice {
    bool autoSize = true;
    std::optional<int> fontSize; // iaInsertFontSize, set after baInsertAutoSize
};
TInlaySizeChoice InlaySizeChoice(const QString &text);

// The border menu: "No border", "1 pixel" ... "5 pixels"; an entry's index is
// the border width.
QStringList InlayBorderEntries();

// The opacity box (0 to 100) and daInsertTransparency.
double OpacityFromBox(int value);
int BoxFromOpacity(double opacity);

// The alignment buttons: left, centre, right give iaInsertAlignLines 0, 2, 1.
inline int AlignLinesValue(TInlayAlign align)
{
    return int(align);
}
TInlayAlign AlignFromValue(int value); // other values: left

// The inlay position (ten-thousandths) from a left click at `click` in the
// video destination rectangle (panel pixels) while the sliders are shown:
// ((x - left) * 10000 div width, (y - top) * 10000 div height). Nothing for
// an empty destination.
std::optional<QPoint> InlayPositionFromClick(QPoint click, const QRect &destination);
// From the two sliders: (horizontal, 10000 - vertical).
QPoint InlayPositionFromSliders(int horizontal, int vertical);

// The %D formats both cbDatecode lists offer (they accept typed formats too).
QStringList DatecodeFormatEntries();

// The frame record for a frame at `position` (100 ns) of frames lasting
// frameDuration: its position text, and its DV codes when it carries any.
TInlayFrameRecord InlayFrameRecord(qint64 position, qint64 frameDuration,
                                   std::optional<TDVCodeEntry> dvCodes = std::nullopt);
