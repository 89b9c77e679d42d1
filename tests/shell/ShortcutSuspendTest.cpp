#include "TestSupport.h"
#include "media/uAudioMan.h"
#include "navigation/uNavMan.h"
#include "shell/main.h"
#include "shell/uShortcutSuspend.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject *o, ulong timestamp, int k,
                                               Qt::KeyboardModifiers mods,
                                               const QString &text = QString(),
                                               bool autorep = false, ushort count = 1);

namespace {

QList<QKeySequence> keypad(Qt::Key key)
{
    return {QKeySequence(Qt::KeypadModifier | key)};
}

// A key as the platform delivers it: the shortcut map sees it first (the
// same entry point the toolkit's own test library uses).
void type(QWidget *widget, int key, Qt::KeyboardModifiers mods, const QString &text = {})
{
    if (qt_sendShortcutOverrideEvent(widget, 0, key, mods, text))
        return;
    for (QEvent::Type kind : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(kind, key, mods, text);
        QApplication::sendEvent(widget, &event);
    }
}

} // namespace

TEST(ShortcutSuspend, TypingInTheFieldKeepsItsKeysAndLeavingRestoresTheShortcuts)
{
    TShowForm form;
    auto *field = new QLineEdit(&form);
    auto *button = new QPushButton(QStringLiteral("elsewhere"), &form);
    field->move(300, 300);
    button->move(300, 340);
    button->setFocusPolicy(Qt::StrongFocus);
    SuspendShortcutsWhileTyping(field, form.audman(), form.NavMan());
    form.show();
    form.activateWindow();
    ASSERT_TRUE(testsupport::waitFor([&] { return form.isActiveWindow(); }));
    TNopeAction *inc = form.audman()->naIncVolume;
    TCheckAction *play = form.NavMan()->caPlay;
    inc->setEnabled(true); // no file is open: the volume steps are disabled
    const QList<QKeySequence> incKeys{keypad(Qt::Key_Plus).first(), QKeySequence("Alt+P")};
    const QList<QKeySequence> playKeys{QKeySequence(Qt::ControlModifier | Qt::Key_Space)};
    ASSERT_TRUE(testsupport::waitFor([&] { return inc->shortcuts() == incKeys; }));
    int incs = 0, plays = 0;
    QObject::connect(inc, &QAction::triggered, [&] { ++incs; });
    QObject::connect(play, &QAction::triggered, [&] { ++plays; });

    // Outside the field the keys are shortcuts.
    button->setFocus();
    type(button, Qt::Key_Plus, Qt::KeypadModifier, "+");
    type(button, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(incs, 1);
    EXPECT_EQ(plays, 1);

    field->setFocus();
    ASSERT_TRUE(field->hasFocus());
    EXPECT_TRUE(inc->shortcuts().isEmpty());
    EXPECT_TRUE(form.audman()->naDecVolume->shortcuts().isEmpty());
    EXPECT_TRUE(play->shortcuts().isEmpty());
    type(field, Qt::Key_Plus, Qt::KeypadModifier, "+");
    type(field, Qt::Key_Minus, Qt::KeypadModifier, "-");
    type(field, Qt::Key_P, Qt::AltModifier);
    type(field, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(field->text(), "+-");
    EXPECT_EQ(incs, 1);
    EXPECT_EQ(plays, 1);

    button->setFocus();
    EXPECT_EQ(inc->shortcuts(), incKeys);
    EXPECT_EQ(form.audman()->naDecVolume->shortcuts(), keypad(Qt::Key_Minus));
    EXPECT_EQ(play->shortcuts(), playKeys);
    type(button, Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(incs, 2);
}
