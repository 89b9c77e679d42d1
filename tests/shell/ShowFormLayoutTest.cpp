// The main window's layout rules, the sidecar indicators and the extensions
// it opens.

#include "shell/uShowFormLayout.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ShowFormLayout, PagesVideoAndBarsFollowTheSideAndSize)
{
    struct Case {
        bool videoOnLeft, sliders;
        int pagesLeft, videoLeft, dividerLeft;
    };
    const QSize client(1025, 600);
    for (const Case &c : {Case{false, false, 0, 276 + 19, 277}, Case{false, true, 0, 276 + 8, 277},
                          Case{true, false, 1025 - 276, 19, 1025 - 277}}) {
        const TShowFormLayout l = LayoutShowForm({client, c.videoOnLeft, c.sliders, {600, 120}});
        EXPECT_EQ(l.pagesLeft, c.pagesLeft);
        EXPECT_EQ(l.pages.left(), c.pagesLeft);
        EXPECT_EQ(l.videoPanel.left(), c.videoLeft);
        EXPECT_EQ(l.verticalDivider.left(), c.dividerLeft);
        EXPECT_EQ(l.videoPanel.size(), QSize(1025 - 314, 600 - 238));
        EXPECT_EQ(l.pages.height(), 600 - 80);
        EXPECT_EQ(l.verticalDivider.top(), 54);
        EXPECT_EQ(l.verticalDivider.height(), 600 - 84);
        // The navigation frame is centred right below the video.
        EXPECT_EQ(l.navFrame.left(), c.videoLeft + (711 - 600) / 2);
        EXPECT_EQ(l.navFrame.top(), l.videoPanel.bottom() + 1);
        EXPECT_EQ(l.intervalFrame, l.navFrame);
        EXPECT_EQ(l.streamPanel.left(), l.videoPanel.left());
        EXPECT_EQ(l.streamPanel.width(), l.videoPanel.width());
    }
    const TShowFormLayout l = LayoutShowForm({client});
    EXPECT_EQ(l.titlePanel, QRect(0, 30, 1025, 24));
    EXPECT_EQ(l.imagePanel.top(), 600 - 24);
    EXPECT_EQ((std::array{l.scnLeft, l.srtLeft, l.moddLeft}), (std::array{995, 977, 945}));
    EXPECT_EQ(l.streamLabelWidth, 711 / 2 - 4);
    EXPECT_EQ(l.audioLabelLeft, 711 / 2 - 2);
    EXPECT_EQ(l.toolbarSeparatorWidth, (1025 - 580) / 4);
}

TEST(ShowFormLayout, InlaySlidersHugThePicture)
{
    // A letterboxed picture inside the panel: the sliders follow the picture.
    const TInlaySliderPlaces p = PlaceInlaySliders(QRect(300, 120, 640, 360));
    EXPECT_EQ(p.vertical, QRect(940, 114, kInlaySliderThickness, 372));
    EXPECT_EQ(p.horizontal, QRect(294, 480, 652, kInlaySliderThickness));
}

TEST(ShowFormLayout, SidecarsBesideTheVideo)
{
    QTemporaryDir dir;
    const auto touch = [&](const QString &name) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    };
    touch("clip.mts"), touch("clip.srt"), touch("clip.mts.modd"), touch("other.mts.srt");
    const TSidecars s = FindSidecars(dir.filePath("clip.mts"));
    EXPECT_FALSE(s.scn);
    EXPECT_TRUE(s.srt);
    EXPECT_TRUE(s.modd);
    EXPECT_FALSE(FindSidecars(dir.filePath("other.mts")).srt); // other.mts.srt does not count
}

TEST(ShowFormLayout, OnlyVideoExtensionsOpenInAnyCase)
{
    for (const char *yes : {".avi", ".MKV", ".Mp4", ".m2ts", ".vob", ".dv", ".dif", ".3g2"})
        EXPECT_TRUE(IsVideoExtension(yes)) << yes;
    for (const char *no : {".wav", ".txt", "", ".avi.bak", "avi"})
        EXPECT_FALSE(IsVideoExtension(no)) << no;
}
