#include "controls/uNvBarLayout.h"

#include <gtest/gtest.h>

namespace {

TNvBarItem button(int left, int width, bool visible = true)
{
    return {left, 0, width, 20, visible, false, true};
}

TNvBarItem separator(int left, int width, bool visible = true)
{
    return {left, 0, width, 20, visible, true, true};
}

QList<int> lefts(const TNvBarLayoutResult &r)
{
    QList<int> out;
    for (const auto &item : r.items)
        out << item.left;
    return out;
}

TEST(NvBarLayout, SeparatorFillsA400PixelBar)
{
    TNvBarSettings s;
    s.ButtonMargin = 4;
    s.ButtonSpacing = 8;
    s.AutoSeparation = true;
    const auto r = NvBarLayout(s, 400, {button(0, 32), separator(50, 5), button(100, 32)});
    EXPECT_EQ(r.items[1].width, 320); // 400 - (8 - 8 + 40 + 40)
    EXPECT_EQ(lefts(r), (QList<int>{4, 44, 372}));
    for (const auto &item : r.items) {
        EXPECT_EQ(item.top, 4);
        EXPECT_EQ(item.height, 28);
    }
    EXPECT_FALSE(r.resized);
}

TEST(NvBarLayout, SeparatorsShareTheRoomAndNeverGoNegative)
{
    TNvBarSettings s;
    s.AutoSeparation = true;
    // Two visible separators share 100 - 40; the hidden one gets the share too
    // but takes no room.
    auto r = NvBarLayout(s, 100,
                         {button(0, 40), separator(1, 0), separator(2, 0), separator(3, 7, false)});
    EXPECT_EQ(r.items[1].width, 30);
    EXPECT_EQ(r.items[2].width, 30);
    EXPECT_EQ(r.items[3].width, 30);
    EXPECT_EQ(lefts(r), (QList<int>{0, 40, 70, 100}));

    r = NvBarLayout(s, 30, {button(0, 40), separator(1, 9)});
    EXPECT_EQ(r.items[1].width, 0);

    s.AutoSeparation = false;
    r = NvBarLayout(s, 100, {button(0, 40), separator(1, 9)});
    EXPECT_EQ(r.items[1].width, 9);
}

TEST(NvBarLayout, OrderFollowsLeftAndTiesKeepListOrder)
{
    const auto r = NvBarLayout({}, 200, {button(50, 10), button(10, 20), button(50, 30)});
    EXPECT_EQ(r.order, (QList<int>{1, 0, 2}));
    EXPECT_EQ(lefts(r), (QList<int>{20, 0, 30}));
}

TEST(NvBarLayout, HiddenChildKeepsItsPlaceButTakesNoRoom)
{
    TNvBarSettings s;
    s.ButtonMargin = 2;
    s.ButtonSpacing = 3;
    const auto r = NvBarLayout(s, 200, {button(0, 10), button(1, 50, false), button(2, 10)});
    EXPECT_EQ(lefts(r), (QList<int>{2, 15, 15}));
    EXPECT_EQ(r.items[1].width, 50);
    EXPECT_EQ(r.items[1].top, 0); // only its left moves
}

TEST(NvBarLayout, AlignmentPlacesTheRow)
{
    TNvBarSettings s;
    s.ButtonMargin = 4;
    s.ButtonSpacing = 6;
    const QList<TNvBarItem> row = {button(0, 30), button(1, 30)};
    // total = 8 - 6 + 36 + 36 = 74
    const std::pair<TNvBarAlignment, int> cases[] = {{TNvBarAlignment::Left, 4},
                                                     {TNvBarAlignment::Right, 400 - 74},
                                                     {TNvBarAlignment::Center, (400 - 74) / 2}};
    for (const auto &[alignment, start] : cases) {
        s.Alignment = alignment;
        const auto r = NvBarLayout(s, 400, row);
        EXPECT_EQ(lefts(r), (QList<int>{start, start + 36})) << int(alignment);
    }
    s.Alignment = TNvBarAlignment::Center;
    EXPECT_EQ(NvBarLayout(s, 61, row).items[0].left, -6); // -13 div 2 truncates
}

TEST(NvBarLayout, MinimumWidthAndAutosize)
{
    TNvBarSettings s;
    s.ButtonMargin = 5;
    s.ButtonSpacing = 2;
    s.ButtonMinWidth = 24;
    s.ButtonTop = 3;
    s.ButtonHeight = 20;
    s.Autosize = true;
    const auto r = NvBarLayout(s, 500, {button(0, 10), button(1, 30)});
    EXPECT_EQ(r.items[0].width, 24);
    EXPECT_EQ(r.items[1].width, 30);
    EXPECT_EQ(lefts(r), (QList<int>{5, 31}));
    EXPECT_TRUE(r.resized);
    EXPECT_EQ(r.barWidth, 5 + 26 + 32 + 5);
    EXPECT_EQ(r.barHeight, 26);
}

TEST(NvBarLayout, ControlsOfOtherParentsAreLeftAlone)
{
    TNvBarItem foreign = button(3, 10);
    foreign.onBar = false;
    const auto r = NvBarLayout({}, 100, {foreign, button(5, 10)});
    EXPECT_EQ(r.items[0].left, 3);
    EXPECT_EQ(r.items[0].height, 20);
    EXPECT_EQ(r.items[1].left, 0);
}

} // namespace
