#pragma once
// The row layout of a button bar (TNvBar), as a function over the children's
// geometry so that it needs no widgets.

#include <QList>

enum class TNvBarAlignment { Left, Right, Center };

struct TNvBarSettings {
    int ButtonHeight = 28;
    int ButtonMargin = 0;
    int ButtonTop = 4;
    int ButtonSpacing = 0;
    int ButtonMinWidth = 0;
    TNvBarAlignment Alignment = TNvBarAlignment::Left;
    bool Autosize = false;
    bool AutoSeparation = false;
};

// One control of the bar's list. Controls whose parent is not the bar keep
// their place in the order but are not touched.
struct TNvBarItem {
    int left = 0, top = 0, width = 0, height = 0;
    bool visible = true;
    bool separator = false;
    bool onBar = true; // the bar is its parent
};

struct TNvBarLayoutResult {
    QList<int> order;        // indexes into the input, in the new list order
    QList<TNvBarItem> items; // the input items with their new geometry, input order
    bool resized = false;    // Autosize: the bar takes barWidth x barHeight
    int barWidth = 0, barHeight = 0;
};

// Orders the items by left position (ties keep their input order), spreads
// the separators when AutoSeparation is on, and places the visible children
// of the bar in a row; invisible ones only get their left set to where the row
// stands. The row may be wider than the bar: a stretched separator's own
// spacing is not taken out of the space it fills.
TNvBarLayoutResult NvBarLayout(const TNvBarSettings &settings, int barWidth,
                               const QList<TNvBarItem> &items);
