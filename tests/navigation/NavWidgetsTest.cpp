// The position box and slider widgets bound to the manager.

#include "navigation/uNavMan.h"
#include "navigation/uNavWidgets.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSlider>

#include <gtest/gtest.h>

namespace {

void pressEnter(QLineEdit *edit)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(edit, &press);
}

TEST(NavWidgets, EnterSeeksAndDestroyedWidgetsDetach)
{
    TNavMan nav;
    nav.CreateFresh();
    int seeks = 0;
    nav.OnDisplaySeek = [&seeks] { ++seeks; };
    auto *edit = new QLineEdit;
    auto *slider = new QSlider;
    BindPositionEdit(nav, edit);
    BindSlider(nav, slider);
    edit->setText("0:00:01:12");
    pressEnter(edit);
    EXPECT_EQ(seeks, 0); // the Enter-key switch is off until the window is made
    nav.SetEnterKeyEnabled(true);
    pressEnter(edit);
    EXPECT_EQ(seeks, 1);
    EXPECT_FALSE(edit->font().italic()); // the seek look is gone again
    EXPECT_EQ(edit->palette().color(QPalette::Text), QColor(Qt::black));

    // The user moving the slider seeks; the manager moving it does not.
    slider->setValue(slider->maximum() / 2 + 1);
    EXPECT_EQ(seeks, 2);
    nav.Slider()->SetValue(3);
    EXPECT_EQ(slider->value(), 3);
    EXPECT_EQ(seeks, 2);

    // Another box replaces the first, which goes silent.
    auto *other = new QLineEdit;
    BindPositionEdit(nav, other);
    pressEnter(edit);
    EXPECT_EQ(seeks, 2);
    delete other;
    EXPECT_EQ(nav.PositionEdit(), nullptr);
    delete slider;
    EXPECT_EQ(nav.Slider(), nullptr);
    delete edit;
}

} // namespace
