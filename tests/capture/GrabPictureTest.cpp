#include "capture/uAspectFit.h"
#include "capture/uDeinter.h"
#include "capture/uGrabber.h"
#include "capture/uThumbnail.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct FitCase {
    TAspectPair aspect;
    QRect rect;
    int margin;
    QRect expected;
};

void PrintTo(const FitCase &c, std::ostream *os)
{
    *os << c.rect.width() << "x" << c.rect.height() << " at " << c.aspect.x << ":" << c.aspect.y
        << " margin " << c.margin;
}

class FitAspectTable : public ::testing::TestWithParam<FitCase>
{
};

TEST_P(FitAspectTable, LargestCentredRectangle)
{
    const FitCase &c = GetParam();
    EXPECT_EQ(FitAspect(c.aspect, c.rect, c.margin), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, FitAspectTable,
    ::testing::Values(FitCase{{4, 3}, {0, 0, 720, 576}, 0, {0, 18, 720, 540}},
                      FitCase{{16, 9}, {0, 0, 720, 576}, 0, {0, 85, 720, 405}},
                      FitCase{{4, 3}, {0, 0, 1920, 1080}, 0, {240, 0, 1440, 1080}},
                      FitCase{{0, 0}, {0, 0, 720, 576}, 0, {0, 0, 720, 576}},
                      FitCase{{-4, 3}, {10, 10, 100, 50}, 5, {15, 15, 90, 40}},
                      // the thumbnail's 12-pixel margin, offset rectangle
                      FitCase{{4, 3}, {100, 50, 300, 200}, 12, {133, 62, 234, 176}},
                      // products beyond 32 bits
                      FitCase{{100000, 1}, {0, 0, 100000, 100000}, 0, {0, 49999, 100000, 1}}));

TEST(ForcedAspect, CommandsValues)
{
    const TAspectPair video{16, 9};
    EXPECT_EQ(ForcedAspect(afNormal, video, {720, 576}), video);
    EXPECT_EQ(ForcedAspect(af4x3, video, {720, 576}), (TAspectPair{4, 3}));
    EXPECT_EQ(ForcedAspect(af16x9, video, {720, 576}), (TAspectPair{16, 9}));
    EXPECT_EQ(ForcedAspect(afNative, video, {720, -576}), (TAspectPair{720, 576}));
    EXPECT_EQ(ForcedAspect(7, video, {720, 576}), video);
}

TEST(Thumbnail, LayoutAroundTheFittedPicture)
{
    const TThumbnailLayout l = ThumbnailLayout({720, 405}, {300, 400});
    EXPECT_EQ(l.picture, QRect(12, 122, 276, 155)); // 276 x 155.25 truncated, centred in 376
    EXPECT_EQ(l.nameLabel, QPoint(12, 277));
    EXPECT_EQ(l.nameWidth, 276);
    EXPECT_EQ(l.positionTop, 88);
    EXPECT_EQ(l.dividerTop, 80);
    EXPECT_EQ(l.sizeLabel, QPoint(12, 110));
    EXPECT_EQ(OutputSizeText({720, 540}), "720 x 540");
}

TEST(VideoClick, LeftButtonOnARealSourceOnly)
{
    EXPECT_EQ(VideoClickAction(false, true, false, true), TVideoClick::Nothing);
    EXPECT_EQ(VideoClickAction(true, false, false, true), TVideoClick::Nothing);
    EXPECT_EQ(VideoClickAction(true, true, true, true), TVideoClick::SetInlayPosition);
    EXPECT_EQ(VideoClickAction(true, true, false, true), TVideoClick::Grab);
    EXPECT_EQ(VideoClickAction(true, true, false, false), TVideoClick::Copy);
    const QRect destination(100, 50, 400, 300);
    EXPECT_EQ(InlayPositionOfClick({300, 200}, destination), QPoint(5000, 5000));
    EXPECT_EQ(InlayPositionOfClick({100, 349}, destination), QPoint(0, 9966));
    EXPECT_EQ(InlayPositionOfClick({5, 5}, QRect(5, 5, 0, 0)), QPoint(0, 0));
}

// Top rows green, bottom rows blue, red between: a crop instead of a stretch
// would lose the bands.
QImage bandedFrame(int w, int h)
{
    QImage frame(w, h, QImage::Format_RGB32);
    frame.fill(Qt::red);
    QPainter p(&frame);
    p.fillRect(0, 0, w, 40, Qt::green);
    p.fillRect(0, h - 40, w, 40, Qt::blue);
    return frame;
}

TEST(Capture, FitsAndStretches)
{
    TGrabber grabber;
    const QImage frame = bandedFrame(720, 576);
    TFrameRecord record;
    record.position = 123;

    const TCapture wide = grabber.Capture(frame, record, {false, {16, 9}});
    ASSERT_FALSE(wide.isNull());
    EXPECT_EQ(wide.image.size(), QSize(720, 405));
    EXPECT_EQ(wide.image.format(), QImage::Format_RGB32);
    EXPECT_EQ(wide.frame.size(), QSize(720, 576)); // what the copy puts on the clipboard
    EXPECT_EQ(wide.record.position, 123);
    EXPECT_EQ(wide.image.pixelColor(360, 0), QColor(Qt::green));
    EXPECT_EQ(wide.image.pixelColor(360, 202), QColor(Qt::red));
    EXPECT_EQ(wide.image.pixelColor(360, 404), QColor(Qt::blue));

    EXPECT_EQ(grabber.Capture(frame, record, {false, {4, 3}}).image.size(), QSize(720, 540));
    const TCapture native = grabber.Capture(frame, record, {false, {720, 576}});
    EXPECT_EQ(native.image, frame);
}

TEST(Capture, NoPictureMeansNoCaptureAndAReason)
{
    TGrabber grabber;
    QString why;
    EXPECT_TRUE(grabber.Capture(QImage(), {}, {}, &why).isNull());
    EXPECT_FALSE(why.isEmpty());
    why.clear();
    EXPECT_TRUE(
        grabber.Capture(QImage(1, 1, QImage::Format_RGB32), {}, {false, {16, 9}}, &why).isNull());
    EXPECT_FALSE(why.isEmpty());
}

TEST(Capture, CopyPutsTheCapturedSizeOnTheClipboard)
{
    TGrabber grabber;
    const TCapture capture = grabber.Capture(bandedFrame(720, 576), {}, {false, {16, 9}});
    CopyToClipboard(capture);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(720, 576));
}

// Deinterlacer

QImage filled(int w, int h, QRgb colour, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(w, h, format);
    image.fill(colour);
    return image;
}

void fillRow(QImage &image, int y, QRgb colour)
{
    for (int x = 0; x < image.width(); ++x)
        image.setPixel(x, y, colour);
}

TEST(Deinterlace, StillPictureComesOutIdentical)
{
    // Every column constant: odd rows equal their neighbours.
    QImage image(64, 48, QImage::Format_RGB32);
    for (int x = 0; x < image.width(); ++x) {
        const QRgb colour = QRandomGenerator::global()->generate() | 0xFF000000;
        for (int y = 0; y < image.height(); ++y)
            image.setPixel(x, y, colour);
    }
    TDeinterlacer deinterlacer;
    EXPECT_EQ(deinterlacer.Deinterlace(image), image);
}

TEST(Deinterlace, StripeOnAnOddRowBecomesTheAverage)
{
    QImage argb = filled(16, 10, qRgb(10, 20, 30), QImage::Format_ARGB32);
    fillRow(argb, 6, qRgb(30, 40, 51));
    fillRow(argb, 5, qRgba(250, 250, 250, 0x80)); // odd: corrected, fourth byte kept
    fillRow(argb, 2, qRgb(250, 250, 250));        // even: never changed
    fillRow(argb, 9, qRgb(250, 250, 250));        // last row, odd: never changed

    TDeinterlacer deinterlacer;
    const QImage out = deinterlacer.Deinterlace(argb);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const QRgb expected = y == 5 ? qRgba(20, 30, 40, 0x80) : argb.pixel(x, y);
            ASSERT_EQ(out.pixel(x, y), expected) << x << "," << y;
        }
}

TEST(Deinterlace, LonePixelIsDetectedButNotCorrected)
{
    QImage image = filled(8, 8, qRgb(0, 0, 0));
    image.setPixel(4, 3, qRgb(255, 255, 255));
    image.setPixel(1, 5, qRgb(255, 255, 255));
    image.setPixel(2, 5, qRgb(255, 255, 255)); // a pair: both corrected
    TDeinterlacer deinterlacer;
    const QImage out = deinterlacer.Deinterlace(image);
    EXPECT_EQ(deinterlacer.CombMask()[3 * 8 + 4], 1);
    EXPECT_EQ(deinterlacer.FilteredMask()[3 * 8 + 4], 0);
    EXPECT_EQ(out.pixel(4, 3), qRgb(255, 255, 255));
    EXPECT_EQ(out.pixel(1, 5), qRgb(0, 0, 0));
    EXPECT_EQ(out.pixel(2, 5), qRgb(0, 0, 0));
}

TEST(Deinterlace, ThresholdIsStrict)
{
    // Equal differences d in every channel give D = 10 d^2: 14 -> 1960, 15 -> 2250.
    for (const int d : {14, 15}) {
        QImage image = filled(4, 3, qRgb(100, 100, 100));
        fillRow(image, 1, qRgb(100 + d, 100 + d, 100 + d));
        TDeinterlacer deinterlacer;
        const bool corrected = deinterlacer.Deinterlace(image).pixel(0, 1) == qRgb(100, 100, 100);
        EXPECT_EQ(corrected, d == 15) << d;
    }
}

TEST(Deinterlace, OtherFormatsAndShortFramesComeBackUnchanged)
{
    QImage striped = filled(8, 6, qRgb(0, 0, 0));
    fillRow(striped, 1, qRgb(255, 255, 255));
    fillRow(striped, 3, qRgb(255, 255, 255));
    TDeinterlacer deinterlacer;
    const QImage rgb24 = striped.convertToFormat(QImage::Format_RGB888);
    EXPECT_EQ(deinterlacer.Deinterlace(rgb24), rgb24);
    const QImage two = striped.copy(0, 0, 8, 2);
    EXPECT_EQ(deinterlacer.Deinterlace(two), two);
    // and the masks, reused at another size, still correct a real stripe
    EXPECT_EQ(deinterlacer.Deinterlace(striped).pixel(0, 1), qRgb(0, 0, 0));
}

TEST(Capture, DeinterlacesWhenAsked)
{
    QImage frame = filled(8, 6, qRgb(0, 0, 0));
    fillRow(frame, 3, qRgb(255, 255, 255));
    TGrabber grabber;
    EXPECT_EQ(grabber.Capture(frame, {}, {true, {}}).frame.pixel(0, 3), qRgb(0, 0, 0));
    EXPECT_EQ(grabber.Capture(frame, {}, {false, {}}).frame.pixel(0, 3), qRgb(255, 255, 255));
}

} // namespace
