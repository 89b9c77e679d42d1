// The help browser lists the actions of every list it is given, sorted by
// script name, shortcut or switch, and shows the selected one.

#include "actions/uActionList.h"
#include "actions/uScriptAction.h"
#include "controls/uLinkEdit.h"
#include "shell/uHelpForm.h"

#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

TNopeAction *command(TNvActionList &list, const char *script, const char *key, const char *sw)
{
    auto *action = new TNopeAction(&list);
    action->ScriptName = QString::fromLatin1(script);
    action->SetShortCut(QKeySequence(QString::fromLatin1(key)));
    action->Switch = QString::fromLatin1(sw);
    list.AddAction(action);
    return action;
}

QStringList names(const TObjetListBox &box)
{
    QStringList out;
    for (int row = 0; row < box.count(); ++row)
        out << box.item(row)->text();
    return out;
}

} // namespace

TEST(HelpForm, ListsMergeIntoTheirTabAndSortByNameShortcutOrSwitch)
{
    TNvActionList first, second;
    command(first, "Grab", "F5", "g");
    command(first, "abort", "", "");
    TNopeAction *zoom = command(first, "Zoom", "Ctrl+Z", "");
    command(second, "Copy", "ctrl+C", "c");
    TNopeAction *earlier = command(second, "", "", "");
    TNopeAction *later = command(second, "", "", "");

    THelpForm help;
    help.AddPage("Kadrex", first);
    help.AddPage("Kadrex", second);
    help.AddPage("Scripts", first);
    ASSERT_EQ(help.Tabs->count(), 2);
    auto *box = qobject_cast<TObjetListBox *>(help.Tabs->widget(0));
    EXPECT_EQ(names(*box), QStringList({"", "", "abort", "Copy", "Grab", "Zoom"}));
    // Two equal keys: the later entry stands before the earlier one.
    EXPECT_EQ(box->ActionAt(0), later);
    EXPECT_EQ(box->ActionAt(1), earlier);
    EXPECT_EQ(box->toolTip(), "one item seleteced on 6");

    // Shortcut texts compare without letter case; those without one come last.
    help.SortAll(THelpSort::Shortcut);
    EXPECT_EQ(names(*box), QStringList({"Copy", "Zoom", "Grab", "", "", "abort"}));
    help.SortAll(THelpSort::Switch);
    EXPECT_EQ(names(*box), QStringList({"Copy", "Grab", "", "", "abort", "Zoom"}));

    box->setCurrentRow(names(*box).indexOf("Zoom"));
    EXPECT_EQ(box->Current(), zoom);
    EXPECT_EQ(help.NameLine->toPlainText(), "Zoom    Ctrl+Z");
    EXPECT_EQ(help.SwitchLine->toPlainText(), "Switch:    N/A");
    box->setCurrentRow(names(*box).indexOf("Grab"));
    EXPECT_EQ(help.SwitchLine->toPlainText(), "Switch:    /g");

    int runs = 0;
    zoom->InternalApply = [&] { ++runs; };
    const int row = names(*box).indexOf("Zoom");
    emit box->itemDoubleClicked(box->item(row));
    EXPECT_EQ(runs, 1);
}
