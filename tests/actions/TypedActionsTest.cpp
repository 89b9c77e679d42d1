#include "ActionTestSupport.h"

#include "actions/uActionList.h"
#include "actions/uRunStatus.h"
#include "actions/uScriptAction.h"

#include <gtest/gtest.h>

#include <QIcon>
#include <QObject>
#include <QPixmap>

namespace {

// Records every event an action fires, in order.
struct EventLog {
    QStringList events;
    template <typename A> void watch(A &action)
    {
        action.OnBeforeApply = [this](const auto &) { events << "before"; };
        action.InternalApply = [this](const auto &) { events << "internal"; };
        action.OnAfterApply = [this](const auto &) { events << "after"; };
    }
};

// Starts and stops macro recording around a test.
struct Recording {
    QStringList lines;
    Recording() { MacroTarget = &lines; }
    ~Recording()
    {
        MacroTarget = nullptr;
        MacroNesting = false;
    }
};

} // namespace

TEST(TypedActions, BooleanSetToCurrentValueDoesNothingElseAppliesInOrder)
{
    QObject owner;
    TBooleanAction action(&owner);
    action.ScriptName = "ConfirmerImage";
    EventLog log;
    log.watch(action);
    Recording rec;

    action.SetValue(false);
    EXPECT_TRUE(log.events.isEmpty());
    EXPECT_TRUE(rec.lines.isEmpty());

    action.SetValue(true);
    EXPECT_EQ(log.events, (QStringList{"before", "internal", "after"}));
    EXPECT_EQ(rec.lines, QStringList{"    ConfirmerImage(True);"});
    EXPECT_FALSE(MacroNesting);
}

TEST(TypedActions, MacroLinesOfEveryClass)
{
    QObject owner;
    Recording rec;
    TWidestringAction text(&owner);
    text.ScriptName = "InsertPerso1";
    text.SetValue("it's");
    TIntegerAction integer(&owner);
    integer.ScriptName = "Digits";
    integer.SetValue(-5);
    TColorAction color(&owner);
    color.ScriptName = "InsertFontColor";
    color.SetValue(colors::clRed);
    color.SetValue(colors::clBtnFace);
    TDoubleAction real(&owner);
    real.ScriptName = "Ratio";
    real.SetValue(0.5);
    TPointAction point(&owner);
    point.ScriptName = "Where";
    point.SetValue(10, -4);
    TRectAction rect(&owner);
    rect.ScriptName = "Bounds";
    rect.SetValue(1, 2, 3, 4);
    TFontAction font(&owner);
    font.ScriptName = "InsertFont";
    font.SetValue("Arial", 24, colors::clYellow, true, false, false, false);
    TNopeAction command(&owner);
    command.ScriptName = "Grab";
    command.Apply();
    TCheckAction check(&owner);
    check.ScriptName = "Sliders";
    check.Toggle();

    const QString half = QLocale().toString(0.5);
    EXPECT_EQ(rec.lines, (QStringList{
                             "    InsertPerso1('it''s');",
                             "    Digits(-5);",
                             "    InsertFontColor($0000FF);",
                             "    InsertFontColor($FF00000F);",
                             "    Ratio(" + half + ");",
                             "    Where(10,-4);",
                             "    Bounds(1,3,2,4);", // the procedure's order: left,right,top,bottom
                             "    InsertFont('Arial', 24, $00FFFF, True, False, False, False);",
                             "    Grab;",
                             "    setSliders(True);",
                         }));
}

TEST(TypedActions, CommandRecordsOnlyItsOwnLineWhateverItsHandlersChange)
{
    QObject owner;
    TIntegerAction a(&owner), b(&owner);
    TBooleanAction c(&owner);
    a.ScriptName = "A";
    b.ScriptName = "B";
    c.ScriptName = "C";
    TNopeAction command(&owner);
    command.ScriptName = "ShowSaveImages";
    command.InternalApply = [&] {
        a.SetValue(1);
        b.SetValue(2);
        c.SetValue(true);
    };
    Recording rec;
    command.DoExecute();
    EXPECT_EQ(rec.lines, QStringList{"    ShowSaveImages;"});
    EXPECT_EQ(b.Value(), 2);
}

TEST(TypedActions, ScriptCheckActionRecordsNothing)
{
    QObject owner;
    TCheckAction script(&owner);
    script.ScriptName = "Script";
    Recording rec;
    script.Toggle();
    EXPECT_TRUE(script.Checked());
    EXPECT_TRUE(rec.lines.isEmpty());
}

TEST(TypedActions, DoExecuteGates)
{
    QObject owner;
    TIntegerAction value(&owner);
    int applied = 0;
    value.InternalApply = [&](qint32) { ++applied; };
    value.SetValue(7);
    value.DoExecute(); // no prepare handler: nothing happens
    EXPECT_EQ(value.Value(), 7);
    EXPECT_EQ(applied, 1);

    value.OnPrepare = [](qint32 &v) {
        v = 3;
        return true;
    };
    value.InternalPrepare = [](qint32 &v) { return v == 3; };
    value.DoExecute();
    EXPECT_EQ(value.Value(), 3);
    value.InternalPrepare = [](qint32 &) { return false; };
    value.OnPrepare = [](qint32 &v) {
        v = 9;
        return true;
    };
    value.DoExecute();
    EXPECT_EQ(value.Value(), 3);

    TNopeAction command(&owner);
    int ran = 0;
    command.InternalApply = [&] { ++ran; };
    command.DoExecute(); // no prepare handler: applies at once
    EXPECT_EQ(ran, 1);
    command.OnPrepare = [] { return false; };
    command.DoExecute();
    EXPECT_EQ(ran, 1);
    command.SetValueFromText("ignored"); // the command line skips the gates
    EXPECT_EQ(ran, 2);

    TCheckAction check(&owner);
    check.DoExecute();
    EXPECT_TRUE(check.Checked());
    check.trigger(); // a menu click goes through DoExecute too
    EXPECT_FALSE(check.Checked());
    EXPECT_FALSE(check.isChecked());
}

TEST(TypedActions, SetValueFromTextRules)
{
    QObject owner;
    TIntegerAction integer(&owner);
    TDoubleAction real(&owner);
    TBooleanAction boolean(&owner);
    TColorAction color(&owner);
    TPointAction point(&owner);
    TRectAction rect(&owner);

    // A number that does not read is refused: the value stays and the run
    // counts as failed.
    const std::vector<std::pair<QString, qint32>> integers{
        {"42", 42},  {"12a", 42},        {"$10", 16},
        {"", 16},    {" -3 ", -3},       {"1,500", -3},
        {"4.0", -3}, {"9999999999", -3}, {"$FF00000F", qint32(0xFF00000F)}};
    for (const auto &[text, expected] : integers) {
        TRunStatus::Reset();
        const qint32 before = integer.Value();
        integer.SetValueFromText(text);
        EXPECT_EQ(integer.Value(), expected) << text.toStdString();
        EXPECT_EQ(TRunStatus::Failed(), integer.Value() == before) << text.toStdString();
    }
    const QLocale locale = actiontext::userLocale();
    const std::vector<std::pair<QString, double>> reals{{locale.toString(2.25), 2.25},
                                                        {"x", 2.25},
                                                        {"nan", 2.25},
                                                        {"inf", 2.25},
                                                        {"-inf", 2.25},
                                                        {"1e999", 2.25},
                                                        {"", 2.25},
                                                        {locale.toString(-1e3), -1e3},
                                                        {"1e-3", 1e-3}};
    for (const auto &[text, expected] : reals) {
        TRunStatus::Reset();
        const double before = real.Value();
        real.SetValueFromText(text);
        EXPECT_EQ(real.Value(), expected) << text.toStdString();
        EXPECT_EQ(TRunStatus::Failed(), real.Value() == before) << text.toStdString();
    }
    // A group separator is no part of the notation: "1,500" is not 1500.
    QLocale grouping(QLocale::English);
    EXPECT_FALSE(actiontext::parseDouble("1,500", grouping));
    EXPECT_EQ(actiontext::parseDouble("1500.5", grouping), 1500.5);
    EXPECT_EQ(actiontext::parseDouble("1,5", QLocale(QLocale::French)), 1.5);
    TRunStatus::Reset();

    const std::vector<std::pair<QString, bool>> booleans{
        {"  VRAI ", true}, {"T", true},  {"2", true},   {"-1", true}, {"true", true},
        {"v", true},       {"0", false}, {"no", false}, {"", false},  {"false", false}};
    for (const auto &[text, expected] : booleans) {
        boolean.SetValueFromText(text);
        EXPECT_EQ(boolean.Value(), expected) << text.toStdString();
    }

    color.SetValueFromText("clRed");
    EXPECT_EQ(color.Value(), colors::clRed);
    color.SetValueFromText("clbtnface");
    EXPECT_EQ(color.Value(), colors::clBtnFace);
    color.SetValueFromText("$FF0000");
    EXPECT_EQ(color.Value(), colors::clBlue);
    color.SetValueFromText("not a colour"); // ignored
    EXPECT_EQ(color.Value(), colors::clBlue);

    point.SetValueFromText("  ( 10 , -4 ) ");
    EXPECT_EQ(point.Value(), QPoint(10, -4));
    point.SetValueFromText("1,2"); // no parentheses: ignored
    EXPECT_EQ(point.Value(), QPoint(10, -4));
    point.SetValueFromText("(a,3)");
    EXPECT_EQ(point.Value(), QPoint(0, 3));

    rect.SetValueFromText("(1, 2 ,3,4)");
    EXPECT_EQ(rect.Value(), (TNvRect{1, 2, 3, 4}));
    rect.SetValueFromText("(5,6,7)"); // two commas: ignored
    EXPECT_EQ(rect.Value(), (TNvRect{1, 2, 3, 4}));
}

TEST(TypedActions, CheckActionStatePresentation)
{
    QObject owner;
    TCheckAction check(&owner);
    check.SetTrueCaption("Put the Video to the Right");
    check.SetFalseCaption("Put the Video to the Left");
    check.SetTrueImageIndex(4);
    check.SetFalseImageIndex(5);
    EXPECT_EQ(check.Caption(), "Put the Video to the Left");
    EXPECT_EQ(check.ImageIndex(), 5);

    int applied = 0;
    check.OnBeforeTrueApply = check.InternalTrueApply = check.OnAfterTrueApply = [&] { ++applied; };
    MemoryStore store;
    store.values["BasculerVue"] = true;
    check.ScriptName = "BasculerVue";
    ASSERT_TRUE(check.LoadFromPrefs(store)); // ApplyWhenLoad false: no event
    EXPECT_TRUE(check.Checked());
    EXPECT_EQ(check.Caption(), "Put the Video to the Right");
    EXPECT_EQ(check.ImageIndex(), 4);
    EXPECT_EQ(applied, 0);

    check.ApplyWhenLoad = true;
    ASSERT_TRUE(check.LoadFromPrefs(store));
    EXPECT_EQ(applied, 3);

    // BeforeSave works on a copy: the store sees the change, the action does not.
    check.BeforeSave = [](bool &v) {
        v = false;
        return true;
    };
    ASSERT_TRUE(check.SaveToPrefs(store));
    EXPECT_FALSE(store.values["BasculerVue"].toBool());
    EXPECT_TRUE(check.Checked());
}

TEST(TypedActions, LoadAndSaveThroughTheStore)
{
    QObject owner;
    TIntegerAction digits(&owner);
    digits.ScriptName = "Digits";
    digits.SetDefaultValue(4);
    digits.ApplyWhenLoad = true;
    int applied = -1;
    digits.InternalApply = [&](qint32 v) { applied = v; };
    MemoryStore store;
    ASSERT_TRUE(digits.LoadFromPrefs(store));
    EXPECT_EQ(digits.Value(), 4);
    EXPECT_EQ(applied, 4);

    TWidestringAction folder(&owner);
    folder.ScriptName = "DossierSave";
    folder.OnDefault = [](QString &def) {
        def = "/home/user/Pictures";
        return false; // the result is ignored
    };
    ASSERT_TRUE(folder.LoadFromPrefs(store));
    EXPECT_EQ(folder.Value(), "/home/user/Pictures");

    folder.InternalBeforeSave = [](QString &v) {
        v += "/grabs";
        return true;
    };
    ASSERT_TRUE(folder.SaveToPrefs(store));
    EXPECT_EQ(store.values["DossierSave"].toString(), "/home/user/Pictures/grabs");
    EXPECT_EQ(folder.Value(), "/home/user/Pictures/grabs");

    store.failOn = "Digits";
    EXPECT_FALSE(digits.LoadFromPrefs(store));
    EXPECT_FALSE(digits.SaveToPrefs(store));
}

TEST(TypedActions, DeclarationsAndSwitchSyntax)
{
    QObject owner;
    TWidestringAction text(&owner);
    text.ScriptName = "InsertPerso1";
    text.Switch = "p1";
    EXPECT_EQ(text.GetScriptDeclaration(), "procedure InsertPerso1(const aWidestring:widestring);");
    EXPECT_EQ(text.GetSwitchSyntax(), "/p1=aWidestring");

    TRectAction rect(&owner);
    rect.ScriptName = "Bounds";
    rect.Switch = "b";
    EXPECT_EQ(rect.GetSwitchSyntax(), "/b=aRect"); // the first operation's default stays
    EXPECT_EQ(rect.GetScriptDeclaration(), "procedure Bounds(const aRect:integer);");

    TCheckAction check(&owner);
    check.ScriptName = "Sliders";
    check.Switch = "isl";
    EXPECT_EQ(check.GetScriptDeclaration(),
              "procedure setSliders(const fisTrue:Boolean);\r\nprocedure Sliders;");
    EXPECT_EQ(check.GetSwitchSyntax(), "/isl +isl -isl");

    TFontAction font(&owner);
    font.ScriptName = "InsertFont";
    EXPECT_EQ(font.GetScriptDeclaration(),
              "procedure InsertFont(aName:widestring;aSize:integer;aColor:TColor;isBold:Boolean;"
              "isItalic:Boolean;isUnderline:Boolean;isStrikeOut:Boolean);");
}

TEST(TypedActions, ScriptProceduresCallTheAction)
{
    QObject owner;
    RecordingHost host;
    TRectAction rect(&owner);
    rect.ScriptName = "Bounds";
    TCheckAction check(&owner);
    check.ScriptName = "Mute";
    TIntegerAction unnamed(&owner);
    TFontAction font(&owner);
    font.ScriptName = "InsertFont";

    EXPECT_TRUE(rect.RegisterInScript(&host));
    EXPECT_TRUE(check.RegisterInScript(&host));
    EXPECT_TRUE(font.RegisterInScript(&host));
    EXPECT_FALSE(unnamed.RegisterInScript(&host)); // no name: not scriptable

    host.procedures["Bounds"]({1, 2, 3, 4}); // left, right, top, bottom
    EXPECT_EQ(rect.Value(), (TNvRect{1, 3, 2, 4}));
    host.procedures["setMute"]({true});
    EXPECT_TRUE(check.Checked());
    host.procedures["Mute"]({});
    EXPECT_FALSE(check.Checked());
    host.procedures["InsertFont"]({"Arial", 24, colors::clYellow, true, false, true, false});
    EXPECT_EQ(font.Value().name, "Arial");
    EXPECT_TRUE(font.Value().bold && font.Value().underline);
    EXPECT_FALSE(font.Value().italic || font.Value().strikeOut);
}

TEST(TypedActions, NamesAreMadeUniqueWithinTheOwner)
{
    QObject form;
    form.setProperty("kadrexNameScope", true);
    QObject taken(&form);
    taken.setObjectName("naGrab2_");
    TNopeAction first(&form), second(&form), third(&form);
    first.SetName("naGrab");
    second.SetName("naGrab");
    third.SetName("naGrab");
    EXPECT_EQ(first.Name(), "naGrab");
    EXPECT_EQ(second.Name(), "naGrab3"); // naGrab2 is out: naGrab2_ names a component
    EXPECT_EQ(third.Name(), "naGrab4");
}

TEST(TypedActions, ImageIndexChangeReportsTheListsImages)
{
    TNvActionList list;
    TNopeAction action("naGrab", &list);
    EXPECT_EQ(action.Category, "internal");
    QObject *seenImages = nullptr;
    int seenIndex = -2, calls = 0;
    action.OnImageChanged = [&](QObject *images, int index) {
        seenImages = images;
        seenIndex = index;
        ++calls;
    };
    action.SetImageIndex(3);
    action.SetImageIndex(3); // no change, no event
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seenImages, &list);
    EXPECT_EQ(seenIndex, 3);
}

TEST(TypedActions, CheckActionKeepsAnIconItsListHasNoPictureFor)
{
    // The toolbar sets its own icons; toggling the state must not blank them.
    QPixmap red(4, 4), blue(4, 4);
    red.fill(Qt::red);
    blue.fill(Qt::blue);
    TNvActionList bare;
    TCheckAction check("caMute", &bare);
    check.SetTrueImageIndex(10);
    check.setIcon(QIcon(red));
    check.SetChecked(true);
    check.SetChecked(false);
    EXPECT_FALSE(check.icon().isNull());

    TNvActionList pictured;
    pictured.Images = {QIcon(red), QIcon(blue)};
    TCheckAction mute("caMute", &pictured);
    mute.SetFalseImageIndex(0);
    mute.SetTrueImageIndex(1);
    mute.SetChecked(true);
    EXPECT_EQ(mute.icon().pixmap(4, 4).toImage().pixelColor(0, 0), QColor(Qt::blue));
}
