#include "TestSupport.h"
// The video window on real frames: the captured picture (flips, inlay,
// native size), the position that comes with it while a clip plays, the
// frames painted, the separate window and the full-screen hint.
#include "FrameIndex.h"
#include "MediaFixtures.h"
#include "actions/uNvSwitch.h"
#include "actions/uScriptAction.h"
#include "filters/uFilterElements.h"
#include "filters/uFramesNotifier.h"
#include "filters/uVideoSink.h"
#include "media/uWindowLessMan.h"

#include <gst/check/gstharness.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QScreen>
#include <QTimer>

namespace {

using testsupport::waitFor;

class VideoWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        panel.resize(400, 300);
        man.SetWindow(&panel);
        panel.show();
    }
    void TearDown() override
    {
        if (h)
            gst_harness_teardown(h);
    }

    // Hands a frame straight to the window's sink.
    void push(const QImage &frame, const TFramePosition &position = {},
              const TFrameDVCodes &codes = {})
    {
        const QImage bgrx = frame.convertToFormat(QImage::Format_RGB32);
        if (!h) {
            h = gst_harness_new_with_element(man.Renderer(), "sink", nullptr);
            g_object_set(h->element, "sync", FALSE, nullptr);
        }
        gst_harness_set_src_caps_str(h, QStringLiteral("video/x-raw,format=BGRx,width=%1,height=%2,"
                                                       "framerate=25/1")
                                            .arg(bgrx.width())
                                            .arg(bgrx.height())
                                            .toUtf8()
                                            .constData());
        GstBuffer *buffer = gst_buffer_new_memdup(bgrx.constBits(), bgrx.sizeInBytes());
        SetFramePosition(buffer, position);
        if (codes.present)
            SetFrameDVCodes(buffer, codes);
        ASSERT_EQ(gst_harness_push(h, buffer), GST_FLOW_OK);
    }

    QWidget panel;
    TWindowLessMan man;
    GstHarness *h = nullptr;
};

// Four distinct corners, so every flip shows.
QImage asymmetricFrame()
{
    QImage image(4, 2, QImage::Format_RGB32);
    const QRgb colors[] = {0xFF100000, 0xFF200000, 0xFF300000, 0xFF400000,
                           0xFF000010, 0xFF000020, 0xFF000030, 0xFF000040};
    for (int i = 0; i < 8; ++i)
        image.setPixel(i % 4, i / 4, colors[i]);
    return image;
}

TEST_F(VideoWindow, CaptureIsFlippedAsDisplayedAndMixedWithTheInlay)
{
    QImage captured;
    EXPECT_FALSE(man.CaptureCurrentImage(captured)) << "no frame yet";
    const QImage frame = asymmetricFrame();
    push(frame);
    struct FlipCase {
        bool vertical, horizontal;
    };
    for (const FlipCase c : {FlipCase{false, false}, FlipCase{true, false}, FlipCase{false, true},
                             FlipCase{true, true}}) {
        man.caFlipVertical->SetChecked(c.vertical);
        man.caFlipHorizontal->SetChecked(c.horizontal);
        ASSERT_TRUE(man.CaptureCurrentImage(captured));
        EXPECT_EQ(captured.format(), QImage::Format_RGB32);
        EXPECT_EQ(captured, frame.mirrored(c.horizontal, c.vertical))
            << "vertical " << c.vertical << " horizontal " << c.horizontal;
    }
    EXPECT_EQ(man.OutputRect(), (TOutputRect{1, 1, 0, 0}));

    // The overlay is not flipped: its one non-key pixel lands top left, half
    // opaque; key-coloured pixels leave the video as it is.
    QImage overlay(4, 2, QImage::Format_RGB32);
    overlay.fill(QColor(255, 0, 255));
    overlay.setPixel(0, 0, qRgb(0, 0xFE, 0));
    man.SetOverlay(overlay);
    man.SetOverlayOpacity(0.5);
    ASSERT_TRUE(man.CaptureCurrentImage(captured));
    const QImage flipped = frame.mirrored(true, true);
    const QRgb mixed = captured.pixel(0, 0);
    EXPECT_NEAR(qGreen(mixed), 0x7F, 1);
    EXPECT_NEAR(qBlue(mixed), qBlue(flipped.pixel(0, 0)) / 2, 1);
    EXPECT_EQ(captured.pixel(1, 0), flipped.pixel(1, 0));
    EXPECT_EQ(captured.pixel(3, 1), flipped.pixel(3, 1));
    man.caInsertTextOn->SetChecked(false);
    ASSERT_TRUE(man.CaptureCurrentImage(captured));
    EXPECT_EQ(captured, flipped) << "inlay off";
    man.caInsertTextOn->SetChecked(true);
    ASSERT_TRUE(man.CaptureCurrentImage(captured));
    EXPECT_NEAR(qGreen(captured.pixel(0, 0)), 0x7F, 1) << "inlay on again, overlay kept";
}

// The overlay provider draws from the position and DV codes that came with
// the frame shown, once per frame: a still picture captured or painted again
// does not ask again, a change of the inlay does.
TEST_F(VideoWindow, OverlayProviderFollowsTheFrameItMixesOver)
{
    struct Call {
        TFramePosition position;
        TFrameDVCodes codes;
        QSize size;
    };
    QList<Call> calls;
    man.SetOverlayProvider([&](const TFramePosition &at, const TFrameDVCodes &codes, QSize size) {
        calls.append({at, codes, size});
        QImage overlay(size, QImage::Format_RGB32);
        overlay.fill(QColor(255, 0, 255));
        overlay.setPixel(0, 0, qRgb(0, int(at.number) * 10, 0)); // tells which frame it was for
        return overlay;
    });
    man.caInsertTextOn->SetChecked(true);
    QImage frame(4, 2, QImage::Format_RGB32);
    frame.fill(Qt::black);
    QImage captured;
    TFrameDVCodes codes;
    codes.present = codes.dateValid = true;
    for (qint64 n : {3, 4, 7}) {
        codes.recDateTime = 40000 + n;
        push(frame, {n * 400000, n}, codes);
        for (int again = 0; again < 2; ++again) {
            ASSERT_TRUE(man.CaptureCurrentImage(captured));
            EXPECT_EQ(qGreen(captured.pixel(0, 0)), n * 10) << "frame " << n;
        }
        ASSERT_FALSE(calls.isEmpty());
        EXPECT_EQ(calls.last().position, (TFramePosition{n * 400000, n}));
        EXPECT_EQ(calls.last().codes, codes);
        EXPECT_EQ(calls.last().size, frame.size());
    }
    EXPECT_EQ(calls.size(), 3) << "one overlay per frame";
    man.InvalidateOverlay();
    ASSERT_TRUE(man.CaptureCurrentImage(captured));
    EXPECT_EQ(calls.size(), 4) << "asked again after a change";
    EXPECT_EQ(man.FramesDrawnAtInlayRefresh(), man.FramesDrawn());
    man.caInsertTextOn->SetChecked(false);
    ASSERT_TRUE(man.CaptureCurrentImage(captured));
    EXPECT_EQ(captured, frame) << "inlay off";
}

// What the view paints: the window colour outside the ring, the ring, the
// picture fitted (and flipped, and letterboxed when the aspect is kept).
TEST_F(VideoWindow, PaintsRingAndFittedPicture)
{
    QImage frame(4, 2, QImage::Format_RGB32);
    frame.fill(qRgb(200, 0, 0));
    frame.setPixel(0, 0, qRgb(0, 0, 200)); // left half of the top row blue
    frame.setPixel(1, 0, qRgb(0, 0, 200));
    push(frame);
    man.Find<TColorAction>("iaBorderColor")->SetValue(colors::clLime);
    man.SetAspect(1, 1); // a square 284 x 284 at (58, 8)
    ASSERT_EQ(man.WindowDestination(), (TNvRect{58, 8, 342, 292}));
    const QColor window = panel.palette().color(QPalette::Window);

    QImage shown = man.View()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(20, 150), window);
    EXPECT_EQ(shown.pixelColor(54, 150), QColor(Qt::green));
    EXPECT_EQ(shown.pixelColor(70, 20), QColor(0, 0, 200)) << "top left of the frame";
    EXPECT_EQ(shown.pixelColor(330, 20), QColor(200, 0, 0));
    EXPECT_GE(man.FramesDrawn(), 1);

    man.caFlipHorizontal->SetChecked(true);
    shown = man.View()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(70, 20), QColor(200, 0, 0));
    EXPECT_EQ(shown.pixelColor(330, 20), QColor(0, 0, 200)) << "mirrored on screen too";

    man.caKeepAspectratio->SetChecked(true); // a 2:1 picture in the square: bars
    shown = man.View()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(200, 20), QColor(Qt::black));
    EXPECT_EQ(shown.pixelColor(200, 210), QColor(200, 0, 0)) << "bottom row";
}

// Batch runs flip their grabs from the command line.
TEST_F(VideoWindow, FlipSwitchesFlipTheCapture)
{
    const QImage frame = asymmetricFrame();
    push(frame);
    TNvSwitch processor;
    man.SetSwitch(&processor);
    processor.SetArguments({"+fh", "+fv", "-fv"});
    processor.ApplicationActivated();
    EXPECT_TRUE(man.caFlipHorizontal->Checked());
    EXPECT_FALSE(man.caFlipVertical->Checked());
    QImage captured;
    ASSERT_TRUE(man.CaptureCurrentImage(captured));
    EXPECT_EQ(captured, frame.mirrored(true, false));
    man.SetSwitch(nullptr);
}

TEST_F(VideoWindow, CaptureKeepsTheNativeSizeAtAnyDisplaySize)
{
    QImage frame(720, 576, QImage::Format_RGB32);
    frame.fill(Qt::gray);
    push(frame);
    man.SetAspect(16, 9);
    for (const QSize size : {QSize(200, 100), QSize(1500, 1000)}) {
        panel.resize(size);
        QCoreApplication::processEvents();
        QImage captured;
        ASSERT_TRUE(man.CaptureCurrentImage(captured));
        EXPECT_EQ(captured.size(), QSize(720, 576)) << size.width();
        EXPECT_EQ(man.WindowDestination(), FitInClient(size.width(), size.height(), 8, 16, 9));
    }
    man.ClearWindow();
    QImage captured;
    EXPECT_FALSE(man.CaptureCurrentImage(captured)) << "a cleared window holds no picture";
}

// A clip whose frames show their own index plays through the frames notifier
// into the window: every capture's position names the frame in its picture,
// and the count of painted frames rises.
TEST_F(VideoWindow, CapturePositionIsThatOfTheFrameInThePicture)
{
    ASSERT_TRUE(RegisterFilterElements());
    // Intra frames only, then B-frames whose first time stamp is not 0.
    for (const char *name : {"indexed_mjpeg.avi", "indexed.mp4"}) {
        SCOPED_TRACE(name);
        const QString clip = fixtures::mediaFixture(QString::fromLatin1(name));
        ASSERT_FALSE(clip.isEmpty());
        GstElement *pipeline = gst_parse_launch(
            QStringLiteral("filesrc location=\"%1\" ! decodebin ! kadrexframesnotifier name=fn ! "
                           "videoconvert name=vc")
                .arg(clip)
                .toUtf8()
                .constData(),
            nullptr);
        ASSERT_NE(pipeline, nullptr);
        gst_bin_add(GST_BIN(pipeline), man.Renderer());
        GstElement *vc = gst_bin_get_by_name(GST_BIN(pipeline), "vc");
        ASSERT_TRUE(gst_element_link(vc, man.Renderer()));
        GstElement *fn = gst_bin_get_by_name(GST_BIN(pipeline), "fn");
        TFramesNotifier::From(fn)->SetFrameDuration(400'000);
        man.ClearWindow();
        const int drawnBefore = man.FramesDrawn();
        gst_element_set_state(pipeline, GST_STATE_PLAYING);

        int checked = 0, failures = 0;
        int lastNumber = -1;
        waitFor(
            [&] {
                QImage image;
                TFramePosition position;
                if (man.CaptureCurrentImage(image, &position) && position.number != lastNumber) {
                    lastNumber = int(position.number);
                    ++checked;
                    if (fixtures::frameIndexOf(image) != position.number ||
                        position.position != position.number * 400'000)
                        ++failures;
                }
                return lastNumber >= fixtures::kIndexedFrames - 1;
            },
            8000);
        EXPECT_GT(checked, 10);
        EXPECT_EQ(failures, 0);
        EXPECT_GT(man.FramesDrawn() - drawnBefore, 10) << "frames drawn rise while playing";
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_bin_remove(GST_BIN(pipeline), man.Renderer());
        gst_object_unref(fn);
        gst_object_unref(vc);
        gst_object_unref(pipeline);
    }
    EXPECT_LE(quint64(man.FramesDrawn()), man.Sink()->FramesReceived());
}

TEST_F(VideoWindow, ClosingTheSeparateWindowUnchecksItsAction)
{
    man.caPreviewform->SetChecked(true);
    ASSERT_TRUE(man.SeparateWindow()->isVisible());
    EXPECT_EQ(man.CurrentWindow(), man.SeparateWindow());
    EXPECT_EQ(man.View()->parentWidget(), man.SeparateWindow());

    man.SeparateWindow()->close();
    EXPECT_FALSE(man.caPreviewform->Checked());
    EXPECT_FALSE(man.SeparateWindow()->isVisible());
    EXPECT_EQ(man.CurrentWindow(), &panel);
    EXPECT_EQ(man.View()->parentWidget(), &panel);
}

TEST_F(VideoWindow, InlaySettingsAreStoredInternalRowsWithoutSwitches)
{
    const char *inlayRows[] = {
        "iaInsertAlignLines",   "caInsertTextOn",       "iaInsertBorderWidth",
        "iaInsertBorderColor",  "faInsertFont",         "iaInsertTransparentColor",
        "caInsertAntiAliasing", "daInsertTransparency", "paInsertPosition"};
    for (const char *id : inlayRows) {
        const TCustomAbstractAction *a = man.FindByInternalId(QString::fromLatin1(id));
        ASSERT_TRUE(a) << id;
        EXPECT_EQ(a->Category, QStringLiteral("internal")) << id;
        EXPECT_TRUE(a->Switch.isEmpty()) << id;
        EXPECT_TRUE(a->IncludePrefs) << id;
    }
    EXPECT_EQ(man.caInsertTextOn->ScriptName, QStringLiteral("InsertTextOn"));
    EXPECT_EQ(man.caInsertTextOn->shortcut(), QKeySequence(QStringLiteral("Ctrl+I")));
    EXPECT_EQ(man.caInsertTextOn->TrueCaption(), QStringLiteral("Disable Inlay"));
    EXPECT_FALSE(man.caInsertTextOn->DefaultValue());

    const TNvFont &font = man.Find<TFontAction>(QStringLiteral("faInsertFont"))->DefaultValue();
    EXPECT_EQ(font.name, QStringLiteral("Arial"));
    EXPECT_EQ(font.color, colors::clYellow);
    EXPECT_TRUE(font.bold);
    EXPECT_EQ(man.Find<TPointAction>(QStringLiteral("paInsertPosition"))->DefaultValue(),
              QPoint(5000, 8200));
    // Opacity and key colour start each session from the window's own values.
    EXPECT_FALSE(man.FindByInternalId(QStringLiteral("daInsertTransparency"))->ApplyWhenLoad);
    EXPECT_FALSE(man.FindByInternalId(QStringLiteral("iaInsertTransparentColor"))->ApplyWhenLoad);
    EXPECT_DOUBLE_EQ(
        man.Find<TDoubleAction>(QStringLiteral("daInsertTransparency"))->DefaultValue(), 1.0);
}

TEST_F(VideoWindow, FullScreenHintFollowsTheTimerInterval)
{
    auto *interval = man.Find<TIntegerAction>(QStringLiteral("iaTimerInterval"));
    interval->SetValue(0);
    man.caFullscreen->SetChecked(true);
    EXPECT_TRUE(man.FullScreenSurface()->isVisible());
    EXPECT_EQ(man.View()->parentWidget(), man.FullScreenSurface());
    EXPECT_FALSE(man.PanelQuit()->isVisible()) << "interval 0: never shown";
    man.caFullscreen->SetChecked(false);
    EXPECT_EQ(man.View()->parentWidget(), &panel);

    interval->SetValue(3000);
    man.caFullscreen->SetChecked(true);
    EXPECT_TRUE(man.PanelQuit()->isVisible());
    EXPECT_TRUE(man.HintTimer()->isActive());
    EXPECT_EQ(man.FullScreenSurface()->geometry(), panel.screen()->geometry());
    man.FullScreenSurface()->close();
    EXPECT_FALSE(man.caFullscreen->Checked()) << "closing the surface ends full screen";
    EXPECT_FALSE(man.FullScreenSurface()->isVisible());
    EXPECT_EQ(man.View()->parentWidget(), &panel);
}

} // namespace
