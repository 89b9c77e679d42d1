#include "capture/uInlayOverlay.h"

#include <QFontMetrics>
#include <QSet>

#include <gtest/gtest.h>

namespace {

const QSize kPal(720, 576);
const QRgb kKey = qRgb(255, 0, 255);

TInlayStyle whiteOnKey(int border, bool antiAliasing)
{
    TInlayStyle style;
    style.font = TNvFont{QStringLiteral("DejaVu Sans"), -40, colors::clWhite};
    style.borderWidth = border;
    style.antiAliasing = antiAliasing;
    style.position = {5000, 5000};
    return style;
}

TInlayLines oneLine(const char *text, TInlayAlign align = TInlayAlign::Left, int line = 0)
{
    TInlayLines lines;
    lines[line].text = QString::fromUtf8(text);
    lines[line].enabled = true;
    lines[line].align = align;
    return lines;
}

QSet<QRgb> colorsOf(const QImage &image)
{
    QSet<QRgb> set;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            set.insert(image.pixel(x, y) & RGB_MASK);
    return set;
}

// The rectangle of the pixels that are not the key colour.
QRect inkOf(const QImage &image)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & RGB_MASK) != (kKey & RGB_MASK))
                ink |= QRect(x, y, 1, 1);
    return ink;
}

TEST(InlayOverlay, BorderOffsetsLieOutsideTheDiamond)
{
    const QList<QPoint> one = InlayBorderOffsets(1);
    EXPECT_EQ(one, (QList<QPoint>{{-1, -1}, {1, -1}, {-1, 1}, {1, 1}}));
    EXPECT_EQ(InlayBorderOffsets(2).size(), 12);
    EXPECT_TRUE(InlayBorderOffsets(0).isEmpty());
}

TEST(InlayOverlay, AWildBorderWidthIsDrawnAtTheWidestBorder)
{
    const QSize size(160, 120);
    const QImage widest =
        DrawInlayOverlay(oneLine("Hi"), whiteOnKey(kMaxInlayBorderWidth, false), size);
    EXPECT_EQ(DrawInlayOverlay(oneLine("Hi"), whiteOnKey(1'000'000, false), size), widest);
    EXPECT_EQ(DrawInlayOverlay(oneLine("Hi"), whiteOnKey(-3, false), size),
              DrawInlayOverlay(oneLine("Hi"), whiteOnKey(0, false), size));
}

TEST(InlayOverlay, SmoothingOnlyForTheTextAndOnlyWithABorder)
{
    const QRgb white = qRgb(255, 255, 255) & RGB_MASK, black = 0;
    const struct {
        int border;
        bool antiAliasing, smoothed;
    } cases[] = {{0, true, false}, {0, false, false}, {2, false, false}, {2, true, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.border << " " << c.antiAliasing);
        const QImage overlay = DrawInlayOverlay(oneLine("Kadrex 0:00:01:05"),
                                                whiteOnKey(c.border, c.antiAliasing), kPal);
        ASSERT_EQ(overlay.size(), kPal);
        EXPECT_EQ(overlay.format(), QImage::Format_RGB32);
        QSet<QRgb> expected{kKey & RGB_MASK, white};
        if (c.border > 0)
            expected.insert(black);
        const QSet<QRgb> found = colorsOf(overlay);
        EXPECT_TRUE(found.contains(white));
        if (c.smoothed)
            EXPECT_GT(found.size(), expected.size()); // edge shades between white and black
        else
            EXPECT_EQ(found, expected);
    }
}

TEST(InlayOverlay, AlignmentAroundTheAnchor)
{
    // Anchor at (360, 288); the border (3) shifts the text right and down.
    const TInlayStyle style = whiteOnKey(3, false);
    const int width = QFontMetrics(InlayDrawingFont(style, kPal)).horizontalAdvance("HHHH");
    const QRect left = inkOf(DrawInlayOverlay(oneLine("HHHH"), style, kPal));
    const QRect right = inkOf(DrawInlayOverlay(oneLine("HHHH", TInlayAlign::Right), style, kPal));
    const QRect centre = inkOf(DrawInlayOverlay(oneLine("HHHH", TInlayAlign::Centre), style, kPal));
    EXPECT_NEAR(left.left(), 360, 5); // less the glyph's own side bearing
    EXPECT_GE(left.top(), 288);
    EXPECT_EQ(right, left.translated(-width, 0));
    EXPECT_EQ(centre, left.translated(-(width / 2), 0));
}

TEST(InlayOverlay, LinesStackUnderEachOtherFromTheAnchor)
{
    const TInlayStyle style = whiteOnKey(0, false);
    const QRect first = inkOf(DrawInlayOverlay(oneLine("HH"), style, kPal));
    // Line 1 empty: line 2 stands at the anchor.
    const QRect alone = inkOf(DrawInlayOverlay(oneLine("HH", TInlayAlign::Left, 1), style, kPal));
    EXPECT_EQ(alone, first);

    TInlayLines two = oneLine("HH");
    two[1] = two[0];
    const QRect both = inkOf(DrawInlayOverlay(two, style, kPal));
    const QFontMetrics metrics(InlayDrawingFont(style, kPal));
    EXPECT_EQ(both.top(), first.top());
    EXPECT_EQ(both.bottom(), first.bottom() + metrics.height());

    // A line that is not relative restarts at its own offset.
    two[1].relative = false;
    EXPECT_EQ(inkOf(DrawInlayOverlay(two, style, kPal)), first);
}

TEST(InlayOverlay, TheDrawnRegionHoldsEveryDrawnPixel)
{
    TInlayStyle plain = whiteOnKey(0, true);
    TInlayStyle slanted = whiteOnKey(5, true);
    slanted.font.italic = slanted.font.underline = slanted.font.strikeOut = true;
    slanted.position = {9900, 9000}; // partly outside the picture
    for (const TInlayStyle &style : {plain, slanted}) {
        for (const TInlayAlign align : {TInlayAlign::Left, TInlayAlign::Right}) {
            TInlayLines lines = oneLine("fjord Wq_|", align);
            lines[1] = lines[0];
            QImage overlay;
            const QRect region = DrawInlayOverlay(overlay, lines, style, kPal);
            const QRect ink = inkOf(overlay);
            EXPECT_FALSE(ink.isEmpty());
            EXPECT_TRUE(region.contains(ink))
                << region.x() << "," << region.y() << " " << ink.x() << "," << ink.y();
        }
    }
}

TEST(InlayOverlay, AutomaticSizeFollowsTheVideo)
{
    TInlayStyle style;
    style.font.size = 12; // points at 96 pixels per inch
    EXPECT_EQ(InlayDrawingFont(style, kPal).pixelSize(), 16);
    style.autoSize = true; // max(720 div 36, 576 div 28) = 20 points
    EXPECT_EQ(InlayDrawingFont(style, kPal).pixelSize(), 27);
    EXPECT_EQ(InlayDrawingFont(style, QSize(1920, 1080)).pixelSize(), 71); // 53 points
    style.autoSize = false;
    style.font.size = -33;
    EXPECT_EQ(InlayDrawingFont(style, kPal).pixelSize(), 33);
}

TEST(MixOverlay, KeyColourIsTransparentOtherPixelsBlendWithTheOpacity)
{
    QImage overlay(40, 20, QImage::Format_RGB32);
    overlay.fill(kKey);
    overlay.setPixel(10, 5, qRgb(200, 0, 0));

    const auto mixed = [&](double opacity, QSize frameSize = QSize(40, 20)) {
        QImage frame(frameSize, QImage::Format_RGB32);
        frame.fill(qRgb(100, 100, 100));
        mixOverlay(frame, overlay, colors::clFuchsia, opacity);
        return frame;
    };
    EXPECT_EQ(mixed(1.0).pixel(10, 5), qRgb(200, 0, 0));
    EXPECT_EQ(mixed(1.0).pixel(11, 5), qRgb(100, 100, 100));
    EXPECT_EQ(mixed(0.5).pixel(10, 5), qRgb(150, 50, 50));
    EXPECT_EQ(mixed(0.0).pixel(10, 5), qRgb(100, 100, 100));
    EXPECT_EQ(mixed(3.0).pixel(10, 5), qRgb(200, 0, 0));

    // A smaller overlay covers the whole frame, point-sampled.
    const QImage big = mixed(1.0, QSize(80, 40));
    EXPECT_EQ(big.pixel(21, 11), qRgb(200, 0, 0));
    EXPECT_EQ(big.pixel(19, 11), qRgb(100, 100, 100));

    // Any other frame format is mixed as 32 bits.
    QImage rgb24(40, 20, QImage::Format_RGB888);
    rgb24.fill(qRgb(100, 100, 100));
    mixOverlay(rgb24, overlay, colors::clFuchsia, 1.0);
    EXPECT_EQ(rgb24.format(), QImage::Format_RGB32);
    EXPECT_EQ(rgb24.pixel(10, 5), qRgb(200, 0, 0));
}

TEST(SubtitlePreset, CentresAtTheSubtitlePlace)
{
    TInlayStyle style;
    style.borderWidth = 5;
    ApplySubtitlePreset(style, SubtitlePreset(576));
    EXPECT_EQ(style.align, TInlayAlign::Centre);
    EXPECT_EQ(style.position, QPoint(5000, 8200));
    EXPECT_EQ(style.font.size, 19);
    EXPECT_EQ(style.font.color, colors::clWhite);
    EXPECT_EQ(style.borderWidth, 2);
    ApplySubtitlePreset(style, SubtitlePreset(0)); // no video: the size stays
    EXPECT_EQ(style.font.size, 19);
}

// The inlay of a window: the values drawn are those of the frame's own record.
TEST(Inlay, MixesTheOverlayOfEachFrameWithItsOwnRecord)
{
    TInlay inlay;
    inlay.Style() = whiteOnKey(2, false);
    inlay.Templates().pattern[0] = QStringLiteral("%S");
    const TInlayFrameRecord first{QStringLiteral("0:00:00:01"), std::nullopt};
    const TInlayFrameRecord second{QStringLiteral("0:00:00:02"), std::nullopt};

    QImage frame(kPal, QImage::Format_RGB32);
    frame.fill(qRgb(30, 60, 90));
    QImage untouched = frame;
    EXPECT_FALSE(inlay.MixInto(frame, first)); // the inlay is off
    EXPECT_EQ(frame, untouched);

    inlay.SetOn(true);
    const qint64 drawn = inlay.Overlay(first, kPal).cacheKey();
    EXPECT_EQ(inlay.Overlay(first, kPal).cacheKey(), drawn); // unchanged: not redrawn
    EXPECT_EQ(inlay.Lines()[0].text, QStringLiteral("0:00:00:01"));
    const QImage ofFirst = inlay.Overlay(first, kPal).copy();
    const QImage ofSecond = inlay.Overlay(second, kPal).copy();
    EXPECT_NE(ofFirst, ofSecond);

    ASSERT_TRUE(inlay.MixInto(frame, second));
    EXPECT_NE(frame, untouched);
    QImage expected = untouched;
    mixOverlay(expected, ofSecond, colors::clFuchsia, 1.0);
    EXPECT_EQ(frame, expected);
}

} // namespace
