#include "FlushCount.h"
#include "FrameIndex.h"
#include "MediaFixtures.h"
#include "TestSupport.h"
#include "actions/uActionList.h"
#include "actions/uNvSwitch.h"
#include "filters/uFrameMeta.h"
#include "media/uVideoMan.h"
#include "navigation/uNavMan.h"
#include "shell/main.h"
#include "shell/uShowFormView.h"

#include <QLabel>

#include <gtest/gtest.h>

TEST(ShowForm, WindowGeometryAndTitle)
{
    TShowForm form;
    EXPECT_EQ(form.size(), TShowForm::kInitialSize);
    EXPECT_EQ(form.minimumSize(), QSize(708, 522));
    EXPECT_EQ(form.windowTitle(), "Kadrex 6.2.1 en by Norvane");
    EXPECT_EQ(form.gpal()->Actions().size(), 68);
}

TEST(ShowForm, CommandLineRunsOnceAfterTheFirstShowAndQuits)
{
    TShowForm form;
    form.switchProcessor()->SetArguments({"/p1=a=b", "/DIG=5", "-bw", "+bw", "/ci=vrai", "/quit"});
    EXPECT_FALSE(form.switchProcessor()->Processed()); // nothing before the window shows
    form.show();
    testsupport::waitFor([&] { return !form.isVisible(); });

    EXPECT_FALSE(form.isVisible());
    const TNvActionList &gpal = *form.gpal();
    EXPECT_EQ(gpal.Find<TWidestringAction>("waInsertPerso1")->Value(), "a=b");
    EXPECT_EQ(gpal.Find<TIntegerAction>("iaDigits")->Value(), 5);
    EXPECT_TRUE(gpal.Find<TCheckAction>("caBasculerVue")->Checked());
    EXPECT_TRUE(gpal.Find<TBooleanAction>("baConfirmerImage")->Value());
}

TEST(ShowForm, OpeningAVideoShowsItsFirstFramePausedWithItsLabels)
{
    TShowForm form;
    form.show();
    const QString clip = fixtures::mediaFixture("indexed.mkv");
    // The first frame is decoded once: no seek flushes the renderer on the
    // way (neither back to the start nor to a remembered place).
    bool opened = false;
    EXPECT_EQ(testsupport::flushesDuring(form.vidman()->Renderer(),
                                         [&] { opened = form.openfile(clip); }),
              0);
    ASSERT_TRUE(opened);
    EXPECT_EQ(form.CurrentVideo(), clip);
    EXPECT_FALSE(form.NavMan()->caPlay->Checked());
    testsupport::waitFor([&] { return form.vidman()->FramesDrawn() > 0; });
    QImage picture;
    TFramePosition position;
    ASSERT_TRUE(form.vidman()->CaptureCurrentImage(picture, &position));
    EXPECT_EQ(fixtures::frameIndexOf(picture), 0);
    TShowFormView &view = *form.view();
    EXPECT_FALSE(view.labFormatVideo->text().isEmpty());
    EXPECT_FALSE(view.labDecoderVideo->text().isEmpty());
    EXPECT_FALSE(view.labDecoderAudio->text().isEmpty());
    EXPECT_TRUE(view.EnCoursLab->text().endsWith("indexed.mkv"));
    EXPECT_TRUE(view.PanelHaut->isVisible());
    EXPECT_TRUE(form.FindAction("naGrab")->isEnabled());

    // A stop and a pause come back to the frame that was on show; at the
    // start, where the preroll lands anyway, without a seek.
    const auto shownAfterStopAndPause = [&](int *flushes) {
        *flushes = testsupport::flushesDuring(form.vidman()->Renderer(), [&] {
            form.NavMan()->Stop();
            form.NavMan()->Pause();
        });
        EXPECT_TRUE(form.vidman()->CaptureCurrentImage(picture, &position));
        return fixtures::frameIndexOf(picture);
    };
    int flushes = 0;
    ASSERT_TRUE(form.openfile(fixtures::mediaFixture("indexed.mp4")));
    form.NavMan()->SetPosition(true, 15 * form.NavMan()->FrameDuration());
    EXPECT_EQ(shownAfterStopAndPause(&flushes), 15);
    form.NavMan()->GoToStart();
    EXPECT_EQ(shownAfterStopAndPause(&flushes), 0);
    EXPECT_EQ(flushes, 0);

    // A file that cannot be played leaves the window closed, not half set.
    EXPECT_FALSE(form.openfile(fixtures::mediaFixture("random.avi")));
    EXPECT_TRUE(form.CurrentVideo().isEmpty());
    EXPECT_FALSE(view.PanelHaut->isVisible());
    EXPECT_FALSE(form.FindAction("naGrab")->isEnabled());
    EXPECT_TRUE(view.EnCoursLab->text().isEmpty());
}
