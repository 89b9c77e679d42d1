#include "capture/uInlayActions.h"

#include "actions/uActionList.h"
#include "actions/uScriptAction.h"

#include <gtest/gtest.h>

namespace {

TEST(InlayActions, CatalogueOfTheVideoWindowsInlaySettings)
{
    TNvActionList list;
    QObject owner;
    const auto actions = CreateActionsFromTable(InlayActionTable(), list, &owner);
    ASSERT_EQ(actions.size(), 9);
    for (const TCustomAbstractAction *a : actions) {
        EXPECT_EQ(a->Category, QStringLiteral("internal")) << a->InternalId.toStdString();
        EXPECT_TRUE(a->Switch.isEmpty());
        EXPECT_TRUE(a->IncludePrefs);
    }

    const auto *on = list.Find<TCheckAction>(QStringLiteral("caInsertTextOn"));
    ASSERT_TRUE(on);
    EXPECT_EQ(on->ScriptName, QStringLiteral("InsertTextOn"));
    EXPECT_EQ(on->shortcut(), QKeySequence(QStringLiteral("Ctrl+I")));
    EXPECT_EQ(on->TrueCaption(), QStringLiteral("Disable Inlay"));
    EXPECT_FALSE(on->DefaultValue());

    const auto *font = list.Find<TFontAction>(QStringLiteral("faInsertFont"));
    ASSERT_TRUE(font);
    const TNvFont &f = font->DefaultValue();
    EXPECT_EQ(f.name, QStringLiteral("Arial"));
    EXPECT_EQ(f.size, -33);
    EXPECT_EQ(f.color, colors::clYellow);
    EXPECT_TRUE(f.bold);

    const auto *position = list.Find<TPointAction>(QStringLiteral("paInsertPosition"));
    ASSERT_TRUE(position);
    EXPECT_EQ(position->DefaultValue(), QPoint(5000, 8200));
    EXPECT_FALSE(list.FindByInternalId(QStringLiteral("daInsertTransparency"))->ApplyWhenLoad);
    EXPECT_FALSE(list.FindByInternalId(QStringLiteral("iaInsertTransparentColor"))->ApplyWhenLoad);
    EXPECT_DOUBLE_EQ(
        list.Find<TDoubleAction>(QStringLiteral("daInsertTransparency"))->DefaultValue(), 1.0);
}

} // namespace
