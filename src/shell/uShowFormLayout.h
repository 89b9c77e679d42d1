#pragma once
// Where the main window's parts go for a client size: the settings pages on
// one side, the video panel with its stream labels and navigation bar on the
// other, the title and image-name bars across. A pure function, so the rules
// are tested without a window.

#include <QRect>
#include <QString>

struct TShowFormLayoutInput {
    QSize client;              // the window's client area
    bool videoOnLeft = false;  // caBasculerVue
    bool slidersShown = false; // caSliders
    QSize navFrame{600, 120};  // the navigation frame's own size
};

struct TShowFormLayout {
    int pagesLeft = 0;   // the settings pages' left (iaLeftFrame)
    int videoOffset = 0; // 276 with the pages on the left, else 0
    QRect titlePanel, imagePanel, videoPanel, streamPanel, navFrame, intervalFrame;
    QRect pages; // each of the four settings pages
    QRect verticalDivider, horizontalDivider;
    int scnLeft = 0, srtLeft = 0, moddLeft = 0; // sidecar indicators in the title panel
    int videoLabelLeft = 0, audioLabelLeft = 0, streamLabelWidth = 0;
    int toolbarSeparatorWidth = 0;
};

inline constexpr int kPagesWidth = 276;
inline constexpr int kTitleTop = 30;
inline constexpr int kTitleHeight = 24;
inline constexpr int kStreamHeight = 22;

TShowFormLayout LayoutShowForm(const TShowFormLayoutInput &in);

// The inlay sliders around the picture (`destination`, in the window's
// coordinates): the vertical one along its right edge from 6 pixels above it
// to 6 below, the horizontal one along its bottom edge from 6 pixels left of
// it to 6 right of it.
struct TInlaySliderPlaces {
    QRect horizontal, vertical;
};
inline constexpr int kInlaySliderThickness = 16;
TInlaySliderPlaces PlaceInlaySliders(const QRect &destination);

// The sidecar files beside a video: "clip.scn", "clip.srt", "clip.mts.modd".
struct TSidecars {
    bool scn = false, srt = false, modd = false;
};
TSidecars FindSidecars(const QString &videoPath);

// The extensions the main window opens (lower case, with the dot).
bool IsVideoExtension(const QString &extension);
