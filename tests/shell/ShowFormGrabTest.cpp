// The grab in the window: clicks on the video and on the thumbnail, the
// thumbnail's states, the next-name label and the number after opening.
#include "FrameIndex.h"
#include "MediaFixtures.h"
#include "TestSupport.h"
#include "actions/uActionList.h"
#include "media/uVideoMan.h"
#include "shell/main.h"
#include "shell/uImagetteFrame.h"
#include "shell/uShowFormView.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void click(QWidget *widget, Qt::MouseButton button)
{
    const QPointF at = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(at);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, global, button,
                          type == QEvent::MouseButtonPress ? button : Qt::NoButton, {});
        QApplication::sendEvent(widget, &event);
    }
}

} // namespace

TEST(ShowFormGrab, ClicksThumbnailStatesAndNumber)
{
    QTemporaryDir dir;
    TShowForm form;
    form.show();
    TNvActionList &gpal = *form.gpal();
    gpal.Find<TWidestringAction>("waDossierSave")->SetValue(dir.path());
    gpal.Find<TIntegerAction>("iaImageAjouter")->SetValue(1);
    gpal.Find<TIntegerAction>("iaImageExtension")->SetValue(0);
    gpal.Find<TIntegerAction>("iaNextNum")->SetValue(7);
    gpal.Find<TBooleanAction>("baSauverQuandClic")->SetValue(false);
    ASSERT_TRUE(form.openfile(fixtures::mediaFixture("indexed.mkv")));
    ASSERT_TRUE(testsupport::waitFor([&] { return form.vidman()->FramesDrawn() > 0; }));
    // Opening resets the number.
    EXPECT_EQ(form.NextImageName(), dir.filePath("Kadrex_001.bmp"));
    EXPECT_EQ(form.view()->ImageLab->text(), dir.filePath("Kadrex_001.bmp"));
    EXPECT_EQ(form.view()->ImageLab->palette().color(QPalette::WindowText), QColor(128, 0, 0));

    QWidget *video = form.view()->videoPanel;
    TImagetteFrame &thumb = *form.ImagetteFrame();
    click(video, Qt::RightButton);
    EXPECT_TRUE(thumb.labsnapname->text().isEmpty()); // neither grab nor copy

    // Saving off: a left click copies at the captured size, and saves nothing.
    click(video, Qt::LeftButton);
    EXPECT_EQ(thumb.labsnapname->text(), "Kadrex_001.bmp");
    EXPECT_EQ(thumb.SnapLab->text(), "0:00:00:00");
    EXPECT_EQ(fixtures::frameIndexOf(QApplication::clipboard()->image()), 0);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_NE(thumb.labsnapname->palette().color(QPalette::Window), QColor(192, 220, 192));

    // A click on the name saves it and marks it saved; the number moves on.
    click(thumb.labsnapname, Qt::LeftButton);
    EXPECT_TRUE(QFile::exists(dir.filePath("Kadrex_001.bmp")));
    EXPECT_EQ(thumb.labsnapname->palette().color(QPalette::Window), QColor(192, 220, 192));
    EXPECT_EQ(gpal.Find<TIntegerAction>("iaNextNum")->Value(), 2);
    EXPECT_EQ(form.NextImageName(), dir.filePath("Kadrex_002.bmp"));

    // Saving on: the click grabs. The file exists now, so the label is green.
    gpal.Find<TBooleanAction>("baSauverQuandClic")->SetValue(true);
    gpal.Find<TIntegerAction>("iaNextNum")->SetValue(1);
    EXPECT_EQ(form.view()->ImageLab->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    gpal.Find<TIntegerAction>("iaNextNum")->SetValue(2);
    click(video, Qt::LeftButton);
    EXPECT_TRUE(QFile::exists(dir.filePath("Kadrex_002.bmp")));

    form.closefile();
    EXPECT_TRUE(thumb.labsnapname->text().isEmpty());
    EXPECT_TRUE(thumb.SnapLab->text().isEmpty());
    EXPECT_TRUE(thumb.Bevel3->isVisible());
}
