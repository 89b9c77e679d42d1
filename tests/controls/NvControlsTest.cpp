#include "actions/uScriptAction.h"
#include "controls/uNvControls.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>

namespace {

class NvBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bar.resize(400, 40);
        first->setGeometry(0, 0, 32, 10);
        sep->setGeometry(50, 0, 5, 10);
        second->setGeometry(100, 0, 32, 10);
        QCoreApplication::sendPostedEvents(&bar);
        bar.SetButtonMargin(4);
        bar.SetButtonSpacing(8);
    }

    QList<int> lefts() { return {first->x(), sep->x(), second->x()}; }

    TNvBar bar;
    TNvImgSpeedButton *first = new TNvImgSpeedButton(&bar);
    TNvSeparator *sep = new TNvSeparator(&bar);
    TNvImgSpeedButton *second = new TNvImgSpeedButton(&bar);
};

TEST_F(NvBarTest, SeparatorSpreadsTheButtonsOverTheBar)
{
    bar.SetAutoSeparation(true);
    EXPECT_EQ(sep->width(), 320);
    EXPECT_EQ(lefts(), (QList<int>{4, 44, 372}));
    EXPECT_EQ(first->geometry(), QRect(4, 4, 32, 28));

    bar.show(); // laid out again when shown: same place
    EXPECT_EQ(lefts(), (QList<int>{4, 44, 372}));
    bar.resize(300, 40);
    EXPECT_EQ(sep->width(), 220);
}

TEST_F(NvBarTest, HidingAndMovingChildrenRedoTheRow)
{
    bar.show();
    EXPECT_EQ(lefts(), (QList<int>{4, 44, 57}));
    sep->hide();
    EXPECT_EQ(lefts(), (QList<int>{4, 44, 44}));
    sep->show();
    second->move(-10, 0); // now first in the row
    EXPECT_EQ(lefts(), (QList<int>{44, 84, 4}));
    EXPECT_EQ(bar.Controls(), (QList<QWidget *>{second, first, sep}));
}

TEST_F(NvBarTest, ChildAddedLaterJoinsTheRowAndAutosizeFits)
{
    auto *third = new TNvImgSpeedButton(&bar);
    third->setGeometry(200, 0, 20, 10);
    bar.SetButtonMinWidth(30);
    QCoreApplication::sendPostedEvents(&bar);
    // The separator is raised to the minimum width too: 4 + 40 + 38 + 40.
    EXPECT_EQ(third->geometry(), QRect(122, 4, 30, 28));

    bar.SetAutosize(true);
    EXPECT_EQ(bar.size(), QSize(122 + 30 + 8 + 4, 36));
    bar.SetAlignment(TNvBarAlignment::Center);
    EXPECT_EQ(bar.size(), QSize(164, 36)); // centred in its own width: unchanged
    EXPECT_EQ(first->x(), 4);
}

TEST(NvImgSpeedButton, OwnCaptionOrTheActionsCaption)
{
    QAction action("Grab");
    TNvImgSpeedButton button;
    button.SetCaption("Mine");
    button.SetAction(&action);
    EXPECT_EQ(button.Caption(), "Mine");

    action.setText("Snap"); // the action does not overwrite an own caption
    EXPECT_EQ(button.Caption(), "Mine");
    EXPECT_EQ(button.toolTip(), "Snap");

    button.SetLinkCaption(true);
    EXPECT_EQ(button.Caption(), "Snap");
    action.setText("Shot");
    EXPECT_EQ(button.Caption(), "Shot");
    button.SetLinkCaption(false);
    EXPECT_EQ(button.Caption(), "Mine");

    int triggered = 0;
    QObject::connect(&action, &QAction::triggered, [&] { ++triggered; });
    button.click();
    EXPECT_EQ(triggered, 1);
}

TEST(NvImgSpeedButton, FirstActionRemembersTheButtonCaption)
{
    QAction one("One"), two("Two");
    TNvImgSpeedButton button;
    button.setText("Own");
    button.SetLinkCaption(true);
    button.SetAction(&one);
    EXPECT_EQ(button.Caption(), "One");
    button.SetAction(&two);
    EXPECT_EQ(button.Caption(), "Two");
    button.SetLinkCaption(false);
    EXPECT_EQ(button.Caption(), "Own");
}

TEST(NvImgSpeedButton, FollowsATwoStateAction)
{
    QObject owner;
    auto *action = new TCheckAction(&owner);
    action->SetFalseCaption("Play");
    action->SetTrueCaption("Pause");
    int applied = 0;
    action->OnAfterTrueApply = [&] { ++applied; };
    TNvImgSpeedButton linked, own;
    own.SetCaption("Go");
    linked.SetLinkCaption(true);
    linked.SetAction(action);
    own.SetAction(action);
    EXPECT_EQ(linked.Caption(), "Play");

    linked.click();
    EXPECT_EQ(applied, 1);
    EXPECT_TRUE(action->Checked());
    EXPECT_TRUE(linked.isChecked());
    EXPECT_TRUE(own.isChecked());
    EXPECT_EQ(linked.Caption(), "Pause");
    EXPECT_EQ(own.Caption(), "Go");
}

} // namespace
