#include "uThumbnail.h"

#include "uAspectFit.h"

namespace {

constexpr int kPageMargin = 12;
constexpr int kPositionAbove = 34;
constexpr int kDividerAbove = 42;
constexpr int kSizeAbove = 12;

int tenThousandths(qint64 offset, qint64 extent)
{
    return extent > 0 ? int(offset * 10'000 / extent) : 0;
}

} // namespace

QString OutputSizeText(QSize size)
{
    return QStringLiteral("%1 x %2").arg(size.width()).arg(size.height());
}

TThumbnailLayout ThumbnailLayout(QSize image, QSize page)
{
    TThumbnailLayout layout;
    layout.picture =
        FitAspect({image.width(), image.height()}, QRect(QPoint(0, 0), page), kPageMargin);
    const QRect &p = layout.picture;
    layout.nameLabel = QPoint(p.left(), p.top() + p.height());
    layout.nameWidth = p.width();
    layout.positionTop = p.top() - kPositionAbove;
    layout.dividerTop = p.top() - kDividerAbove;
    layout.sizeLabel = QPoint(p.left(), p.top() - kSizeAbove);
    return layout;
}

TVideoClick VideoClickAction(bool leftButton, bool realVideoSource, bool slidersShown,
                             bool saveWhenClicked)
{
    if (!leftButton || !realVideoSource)
        return TVideoClick::Nothing;
    if (slidersShown)
        return TVideoClick::SetInlayPosition;
    return saveWhenClicked ? TVideoClick::Grab : TVideoClick::Copy;
}

QPoint InlayPositionOfClick(QPoint click, const QRect &destination)
{
    // Right and bottom are the edges past the last pixel, as the video window
    // gives its rectangle.
    return {tenThousandths(click.x() - destination.left(), destination.width()),
            tenThousandths(click.y() - destination.top(), destination.height())};
}
