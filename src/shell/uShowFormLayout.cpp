#include "uShowFormLayout.h"

#include <QFileInfo>
#include <QStringList>

TShowFormLayout LayoutShowForm(const TShowFormLayoutInput &in)
{
    const int w = in.client.width(), h = in.client.height();
    TShowFormLayout l;
    l.pagesLeft = in.videoOnLeft ? w - kPagesWidth : 0;
    l.videoOffset = in.videoOnLeft ? 0 : kPagesWidth;
    const int dividerLeft = in.videoOnLeft ? l.pagesLeft - 1 : kPagesWidth + 1;

    l.titlePanel = QRect(0, kTitleTop, w, kTitleHeight);
    l.imagePanel = QRect(0, h - 24, w, 24);
    l.scnLeft = w - 30, l.srtLeft = w - 48, l.moddLeft = w - 80;

    const int videoLeft = l.videoOffset + 8 + (in.slidersShown ? 0 : 11);
    const int streamTop = kTitleTop + kTitleHeight + 2;
    const int videoTop = streamTop + kStreamHeight + 2;
    l.videoPanel = QRect(videoLeft, videoTop, w - 314, h - 238);
    l.streamPanel = QRect(videoLeft, streamTop, l.videoPanel.width(), kStreamHeight);
    l.streamLabelWidth = l.videoPanel.width() / 2 - 4;
    l.videoLabelLeft = 2;
    l.audioLabelLeft = l.videoPanel.width() / 2 - 2;

    const int navLeft = videoLeft + (l.videoPanel.width() - in.navFrame.width()) / 2;
    l.navFrame = QRect(QPoint(navLeft, l.videoPanel.bottom() + 1), in.navFrame);
    l.intervalFrame = l.navFrame;

    l.pages = QRect(l.pagesLeft, 54, kPagesWidth, h - 80);
    l.verticalDivider = QRect(dividerLeft, 54, 1, h - 84);
    l.horizontalDivider = QRect(0, 29, w, 1);
    l.toolbarSeparatorWidth = (w - 580) / 4;
    return l;
}

TInlaySliderPlaces PlaceInlaySliders(const QRect &destination)
{
    const QRect &d = destination;
    return {QRect(d.left() - 6, d.bottom() + 1, d.width() + 12, kInlaySliderThickness),
            QRect(d.right() + 1, d.top() - 6, kInlaySliderThickness, d.height() + 12)};
}

TSidecars FindSidecars(const QString &videoPath)
{
    const QFileInfo video(videoPath);
    const QString base = video.path() + u'/' + video.completeBaseName();
    return {QFileInfo::exists(base + QStringLiteral(".scn")),
            QFileInfo::exists(base + QStringLiteral(".srt")),
            QFileInfo::exists(videoPath + QStringLiteral(".modd"))};
}

bool IsVideoExtension(const QString &extension)
{
    // The media factory opens raw DV too, so ".dv" and ".dif" join the list.
    static const QStringList kExtensions = {
        ".avi", ".ivf", ".mpg", ".mpeg", ".m1v", ".mp2", ".mpe", ".wmv", ".asf", ".mts", ".m2ts",
        ".ts",  ".vob", ".mkv", ".mov",  ".mp4", ".3g2", ".m4v", ".m2v", ".dv",  ".dif"};
    return kExtensions.contains(extension.toLower());
}
