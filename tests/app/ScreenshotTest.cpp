// scripts/screenshot on a wide clip: the PNG shows the clip's picture fitted
// in the video panel, not a blank or black window.
#include "TestSupport.h"

#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

bool isClipGreen(QRgb p)
{
    return qGreen(p) > 150 && qRed(p) < 70 && qBlue(p) < 70;
}

// The bounding box of the clip's green in the picture.
QRect greenBox(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (isClipGreen(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

TEST(Screenshot, ShowsTheWideClipFittedInTheVideoPanel)
{
    for (const char *tool : {"Xvfb", "xwininfo", "gst-launch-1.0", "ffmpeg"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " is not installed";

    QTemporaryDir dir;
    const QString clip = dir.filePath("wide.mkv"), png = dir.filePath("shot.png");
    QString output;
    ASSERT_EQ(testsupport::runProgram(
                  "ffmpeg", {"-nostdin",  "-loglevel",
                             "error",     "-y",
                             "-f",        "lavfi",
                             "-i",        "color=c=0x00C000:size=640x360:rate=25:duration=2",
                             "-f",        "lavfi",
                             "-i",        "sine=frequency=440:sample_rate=48000:duration=2",
                             "-c:v",      "libx264",
                             "-pix_fmt",  "yuv420p",
                             "-c:a",      "libvorbis",
                             "-shortest", clip},
                  &output, 60000),
              0)
        << output.toStdString();

    qputenv("KADREX_BIN", (testsupport::buildBinDir() + "/kadrex").toUtf8());
    ASSERT_EQ(testsupport::runProgram(QStringLiteral(KADREX_SOURCE_DIR "/scripts/screenshot"),
                                      {clip, png}, &output, 90000),
              0)
        << output.toStdString();

    const QImage shot(png);
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), QSize(1025, 644)); // the whole window at its designed size
    const QRect box = greenBox(shot);
    ASSERT_FALSE(box.isEmpty()) << "the clip's picture is not in the window";
    // Fitted: 16:9 and most of the panel's width, solid inside.
    EXPECT_NEAR(double(box.width()) / box.height(), 16.0 / 9.0, 0.04)
        << box.width() << "x" << box.height();
    EXPECT_GT(box.width(), shot.width() / 2);
    EXPECT_TRUE(isClipGreen(shot.pixel(box.center())));
    // Beside the picture: the border, then the panel's black background.
    const int y = box.center().y();
    EXPECT_FALSE(isClipGreen(shot.pixel(box.left() - 2, y)));
    bool black = false;
    for (int x = box.left() - 1; x > box.left() - 60 && x >= 0 && !black; --x)
        black = qGray(shot.pixel(x, y)) < 16;
    EXPECT_TRUE(black) << "no panel background beside the picture";
    // The stream labels above the panel carry text (dark pixels on the grey).
    int dark = 0;
    for (int yy = qMax(0, box.top() - 32); yy < box.top() - 8; ++yy)
        for (int x = box.left(); x <= box.right(); ++x)
            dark += qGray(shot.pixel(x, yy)) < 80;
    EXPECT_GT(dark, 100) << "the format and decoder labels are empty";
}
