#include "uNvBarLayout.h"

#include <algorithm>
#include <numeric>

namespace {

bool takesRoom(const TNvBarItem &item)
{
    return item.onBar && item.visible;
}

// 2 x margin - spacing + the sum of (width + spacing) over the chosen items.
int rowWidth(const TNvBarSettings &s, const QList<TNvBarItem> &items, bool withSeparators)
{
    int total = 2 * s.ButtonMargin - s.ButtonSpacing;
    for (const TNvBarItem &item : items) {
        if (takesRoom(item) && (withSeparators || !item.separator))
            total += item.width + s.ButtonSpacing;
    }
    return total;
}

// Gives every separator of the bar an equal share of what the other children
// leave; returns the change in the row width.
int spreadSeparators(const TNvBarSettings &s, int barWidth, QList<TNvBarItem> &items)
{
    const auto count = std::count_if(items.cbegin(), items.cend(), [](const TNvBarItem &item) {
        return takesRoom(item) && item.separator;
    });
    if (count == 0)
        return 0;
    // A bar narrower than its buttons leaves the separators empty, never negative.
    const int share = std::max(0, (barWidth - rowWidth(s, items, false)) / int(count));
    int change = 0;
    for (TNvBarItem &item : items) {
        if (!item.onBar || !item.separator)
            continue;
        if (item.visible)
            change += share - item.width;
        item.width = share;
    }
    return change;
}

int rowStart(const TNvBarSettings &s, int barWidth, int total)
{
    switch (s.Alignment) {
    case TNvBarAlignment::Right:
        return barWidth - total;
    case TNvBarAlignment::Center:
        return (barWidth - total) / 2;
    case TNvBarAlignment::Left:
        break;
    }
    return s.ButtonMargin;
}

} // namespace

TNvBarLayoutResult NvBarLayout(const TNvBarSettings &s, int barWidth,
                               const QList<TNvBarItem> &items)
{
    TNvBarLayoutResult result;
    result.items = items;
    result.order.resize(items.size());
    std::iota(result.order.begin(), result.order.end(), 0);
    std::stable_sort(result.order.begin(), result.order.end(),
                     [&items](int a, int b) { return items[a].left < items[b].left; });

    int total = rowWidth(s, result.items, true);
    if (s.AutoSeparation)
        total += spreadSeparators(s, barWidth, result.items);

    int x = rowStart(s, barWidth, total);
    for (const int index : result.order) {
        TNvBarItem &item = result.items[index];
        if (!item.onBar)
            continue;
        item.left = x;
        if (!item.visible)
            continue;
        item.top = s.ButtonTop;
        item.width = std::max(item.width, s.ButtonMinWidth);
        item.height = s.ButtonHeight;
        x += item.width + s.ButtonSpacing;
    }

    if (s.Autosize) {
        result.resized = true;
        result.barWidth = x + s.ButtonMargin;
        result.barHeight = 2 * s.ButtonTop + s.ButtonHeight;
    }
    return result;
}
