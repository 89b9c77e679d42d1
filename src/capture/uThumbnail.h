#pragma once
// Arithmetic of the thumbnail page and of a click on the video, for the
// widgets that show them.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

// The size label's text: "720 x 540".
QString OutputSizeText(QSize size);

// Where the thumbnail page's parts go for an image to save of `image` pixels
// in a page of `page` pixels (coordinates relative to the page).
struct TThumbnailLayout {
    QRect picture;    // the image fitted into the page less a 12-pixel margin; also the bevel
    QPoint nameLabel; // just below the picture, as wide as it
    int nameWidth = 0;
    int positionTop = 0; // the position text, 34 pixels above the picture
    int dividerTop = 0;  // the divider, 42 pixels above it
    QPoint sizeLabel;    // 12 pixels above the picture, at its left
};
TThumbnailLayout ThumbnailLayout(QSize image, QSize page);

// What a mouse press on the video does.
enum class TVideoClick { Nothing, SetInlayPosition, Grab, Copy };
TVideoClick VideoClickAction(bool leftButton, bool realVideoSource, bool slidersShown,
                             bool saveWhenClicked);

// The inlay position of a click at `click` on a video drawn at `destination`
// (panel pixels): ten-thousandths of the destination's width and height.
QPoint InlayPositionOfClick(QPoint click, const QRect &destination);
