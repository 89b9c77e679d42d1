#include "shell/uShowFormActions.h"

#include "actions/uActionList.h"
#include "actions/uActionTypes.h"
#include "actions/uScriptAction.h"

#include <QKeySequence>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

namespace {

// The command line of the application as users know it: switch, then the
// action of the main window's list that it drives.
const std::pair<const char *, const char *> kSwitches[] = {
    {"da", "caDecalageAvance"},
    {"dh", "daDecalageHoraire"},
    {"lf", "iaLeftFrame"},
    {"ci", "baConfirmerImage"},
    {"si", "caIntervalloShow"},
    {"di", "baImageDeinterlacer"},
    {"sq", "baSauverQuandClic"},
    {"dig", "iaDigits"},
    {"iex", "iaImageExtension"},
    {"qual", "iaJpegCompressionQuality"},
    {"addi", "iaImageAjouter"},
    {"ap", "iaPanneauActif"},
    {"idelai", "iaIntervalloDelai"},
    {"iunit", "iaIntervalloUnit"},
    {"far", "iaForcerAspectRatio"},
    {"savfold", "waDossierSave"},
    {"fname", "iaNomFichierImage"},
    {"limit", "baLimiterLongueur"},
    {"rootlen", "iaRacineLength"},
    {"root", "waDefaultRacine"},
    {"shSav", "naShowSaveImages"},
    {"shExtr", "naShowImagette"},
    {"ShIn", "naShowIncrust"},
    {"g", "naGrab"},
    {"n", "iaNextNum"},
    {"ej", "naJpegExtension"},
    {"eb", "naBmpExtension"},
    {"as", "naAjouterTimeStamp"},
    {"an", "naAjouterNumero"},
    {"c", "naCopy"},
    {"is", "naInsertTimestamp"},
    {"it", "naInsertTimecode"},
    {"ip", "naInsertPerso"},
    {"in", "naInsertNumero"},
    {"id", "naInsertDatecode"},
    {"ir", "naInsertSysdateTime"},
    {"raz", "baRAZWhenOpenFile"},
    {"p1", "waInsertPerso1"},
    {"p2", "waInsertPerso2"},
    {"fd1", "waFormatDatecode1"},
    {"fd2", "waFormatDatecode2"},
    {"isl", "caSliders"},
    {"sub", "naSoustitres"},
    {"ipat1", "waIncrustPattern1"},
    {"ipat2", "waIncrustPattern2"},
    {"shDV", "naShowDVIncrust"},
    {"auto", "baInsertAutoSize"},
    {"arN", "naForcerNormal"},
    {"ar43", "naForcer4x3"},
    {"ar169", "naForcer16x9"},
    {"arNat", "naForcerNative"},
    {"bw", "caBasculerVue"},
    {"a", "naAbort"},
    {"privf", "waPrivateFolder"},
    {"ifname", "waInsertFontName"},
    {"priv", "baUsePrivateFilters"},
    {"ifCol", "laInsertFontColor"},
    {"ifSize", "iaInsertFontSize"},
    {"inter", "naIntervalloStart"},
    {"br", "naIntervalloBreak"},
    {"exec", "naExecuteScript"},
};

// Settings whose default the window computes at run time (folders).
const QSet<QString> kRunTimeDefaults = {"waDossierSave", "waDossierScripts", "waPrivateFolder"};

std::span<const TActionDef> table()
{
    return ShowFormActionTable();
}

int indexOf(const char *name)
{
    const auto rows = table();
    for (size_t i = 0; i < rows.size(); ++i) {
        if (QLatin1String(rows[i].name) == QLatin1String(name))
            return int(i);
    }
    return -1;
}

QString key(const char *text)
{
    return QString::fromUtf8(text).toLower();
}

TEST(ShowFormActionTable, HoldsEachActionOfTheMainWindowOnce)
{
    EXPECT_EQ(table().size(), 68u);
    QSet<QString> names, scriptNames;
    for (const TActionDef &row : table()) {
        SCOPED_TRACE(row.name);
        EXPECT_FALSE(names.contains(row.name)) << "duplicate name";
        names.insert(row.name);
        // Every action of this list is scriptable, and script identifiers
        // ignore letter case: a second declaration of a name would fail.
        ASSERT_NE(row.scriptName, nullptr);
        EXPECT_STRNE(row.scriptName, "");
        EXPECT_FALSE(scriptNames.contains(key(row.scriptName))) << "duplicate script name";
        scriptNames.insert(key(row.scriptName));
    }
}

TEST(ShowFormActionTable, SwitchesAreThoseOfTheCommandLine)
{
    for (const auto &[switchText, name] : kSwitches) {
        SCOPED_TRACE(name);
        const int i = indexOf(name);
        ASSERT_GE(i, 0) << "missing action";
        EXPECT_STREQ(table()[i].switchText, switchText);
    }
    QSet<QString> switches;
    for (const TActionDef &row : table()) {
        SCOPED_TRACE(row.name);
        ASSERT_NE(row.switchText, nullptr);
        if (*row.switchText == '\0')
            continue;
        // Look-up ignores case; "quit" is taken by the switch processor itself.
        EXPECT_FALSE(switches.contains(key(row.switchText))) << "duplicate switch";
        EXPECT_NE(key(row.switchText), "quit");
        switches.insert(key(row.switchText));
    }
    EXPECT_EQ(switches.size(), qsizetype(std::size(kSwitches)));
}

TEST(ShowFormActionTable, PrefixTellsTheClass)
{
    using enum TActionClass;
    struct Prefix {
        const char *text;
        TActionClass cls, alsoCls; // integer actions also hold some colours
    };
    const Prefix prefixes[] = {
        {"na", Nope, Nope},
        {"ca", Check, Check},
        {"ba", Boolean, Boolean},
        {"ia", Integer, Color},
        {"la", Color, Color},
        {"da", Double, Double},
        {"wa", Widestring, Widestring},
        {"fa", Font, Font},
        {"pa", Point, Point},
        {"ra", Rect, Rect},
    };
    for (const TActionDef &row : table()) {
        SCOPED_TRACE(row.name);
        const auto prefix =
            std::find_if(std::begin(prefixes), std::end(prefixes),
                         [&](const Prefix &p) { return QString(row.name).startsWith(p.text); });
        ASSERT_NE(prefix, std::end(prefixes)) << "unknown prefix";
        EXPECT_TRUE(row.cls == prefix->cls || row.cls == prefix->alsoCls);
    }
}

TEST(ShowFormActionTable, ScriptNameIsTheNameWithoutPrefix)
{
    for (const TActionDef &row : table()) {
        SCOPED_TRACE(row.name);
        // The folder of the private packages keeps the script name it was first stored under.
        const QString expected = QLatin1String(row.name) == QLatin1String("waPrivateFolder")
                                     ? "waLAVFolder"
                                     : QString(row.name).mid(2);
        EXPECT_EQ(QString(row.scriptName), expected);
    }
}

// Whether text reads as a value of the class by the class's own text rule.
bool readsAs(TActionClass cls, const QString &text)
{
    bool ok = false;
    switch (cls) {
    case TActionClass::Widestring:
        return true;
    case TActionClass::Integer:
        text.toInt(&ok);
        return ok && text == text.trimmed();
    case TActionClass::Double:
        QLocale::c().toDouble(text, &ok);
        return ok;
    case TActionClass::Boolean:
    case TActionClass::Check:
        return text == "True" || text == "False";
    case TActionClass::Color:
        if (text.startsWith('$'))
            return text.mid(1).toUInt(&ok, 16), ok;
        return QRegularExpression("^cl(Black|Maroon|Green|Olive|Navy|Purple|Teal|Gray|Silver|Red|"
                                  "Lime|Yellow|Blue|Fuchsia|Aqua|White)$")
                   .match(text)
                   .hasMatch() ||
               (text.toInt(&ok), ok);
    default:
        return false; // no point, rectangle or font setting in this list
    }
}

TEST(ShowFormActionTable, DefaultsReadWithTheirClassRule)
{
    for (const TActionDef &row : table()) {
        SCOPED_TRACE(row.name);
        if (row.cls == TActionClass::Nope) {
            EXPECT_EQ(row.defaultValue, nullptr) << "a command has no value";
        } else if (row.defaultValue == nullptr) {
            EXPECT_TRUE(kRunTimeDefaults.contains(row.name)) << "default missing";
        } else {
            EXPECT_FALSE(kRunTimeDefaults.contains(row.name)) << "computed at run time";
            EXPECT_TRUE(readsAs(row.cls, row.defaultValue)) << row.defaultValue;
        }
    }
}

TEST(ShowFormActionTable, ShortcutsAreSingleDistinctKeys)
{
    QList<QKeySequence> seen;
    for (const TActionDef &row : table()) {
        SCOPED_TRACE(row.name);
        ASSERT_NE(row.shortcut, nullptr);
        if (*row.shortcut == '\0')
            continue;
        const QKeySequence keys =
            QKeySequence::fromString(row.shortcut, QKeySequence::PortableText);
        ASSERT_EQ(keys.count(), 1) << row.shortcut;
        EXPECT_NE(keys[0].key(), Qt::Key_unknown) << row.shortcut;
        EXPECT_FALSE(seen.contains(keys)) << "shortcut used twice: " << row.shortcut;
        seen.append(keys);
    }
    const auto shortcutOf = [](const char *name) {
        return QKeySequence::fromString(table()[indexOf(name)].shortcut);
    };
    EXPECT_EQ(shortcutOf("naIntervalloBreak"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_J));
    EXPECT_EQ(shortcutOf("baInsertAutoSize"), QKeySequence(Qt::CTRL | Qt::Key_Backslash));
    EXPECT_EQ(shortcutOf("naAbort"), QKeySequence(Qt::Key_Escape));
}

TEST(ShowFormActionTable, FlagsAndTextsFitTheClass)
{
    for (const TActionDef &row : table()) {
        SCOPED_TRACE(row.name);
        // LoadAll skips what is not stored, so it could never be applied on load.
        EXPECT_TRUE(row.includePrefs || !row.applyWhenLoad);
        // A command applied on load would run at every start.
        EXPECT_FALSE(row.cls == TActionClass::Nope && row.applyWhenLoad);
        if (row.cls != TActionClass::Check) {
            EXPECT_EQ(row.trueCaption, nullptr);
            EXPECT_EQ(row.falseCaption, nullptr);
            EXPECT_EQ(row.trueHint, nullptr);
            EXPECT_EQ(row.falseHint, nullptr);
        }
        ASSERT_NE(row.caption, nullptr);
        ASSERT_NE(row.hint, nullptr);
        EXPECT_STRNE(row.caption, "");
        EXPECT_TRUE(QString(row.category).startsWith("cat_")) << row.category;
    }
}

TEST(ShowFormActionTable, LoadOrderAppliesDependenciesFirst)
{
    const std::pair<const char *, const char *> beforeAfter[] = {
        // the insert mode rebuilds the templates, from the custom texts in mode 4
        {"waIncrustPattern1", "iaInsertMode"},
        {"waIncrustPattern2", "iaInsertMode"},
        {"waInsertPerso1", "iaInsertMode"},
        {"waInsertPerso2", "iaInsertMode"},
        // templates, then styles, then automatic size, then the insert mode
        {"waIncrustPattern2", "caIncrustBold"},
        {"caIncrustBold", "baInsertAutoSize"},
        {"caIncrustItalic", "baInsertAutoSize"},
        {"caIncrustUnderline", "baInsertAutoSize"},
        {"caIncrustStrikeOut", "baInsertAutoSize"},
        {"waInsertFontName", "baInsertAutoSize"},
        {"laInsertFontColor", "baInsertAutoSize"},
        {"iaInsertFontSize", "baInsertAutoSize"},
        {"baInsertAutoSize", "iaInsertMode"},
        // the packages are installed before they are switched on
        {"waPrivateFolder", "baUsePrivateFilters"},
        // the mode decides how the time difference is shown
        {"caDecalageAvance", "daDecalageHoraire"},
    };
    for (const auto &[before, after] : beforeAfter) {
        SCOPED_TRACE(std::string(before) + " before " + after);
        ASSERT_GE(indexOf(before), 0);
        ASSERT_GE(indexOf(after), 0);
        EXPECT_LT(indexOf(before), indexOf(after));
    }
}

// The framework's own text readers accept every default: a text they refuse
// would leave the class default in place without a word.
bool frameworkReads(TActionClass cls, const QString &text)
{
    switch (cls) {
    case TActionClass::Integer:
        return actiontext::parseInteger(text).has_value();
    case TActionClass::Color:
        return colors::colorFromText(text).has_value();
    case TActionClass::Double:
        return actiontext::parseDouble(text, QLocale::c()).has_value();
    default:
        return true;
    }
}

TEST(ShowFormActionTable, BuildsTheMainWindowListInRowOrder)
{
    TNvActionList list;
    QObject owner; // owns the actions; goes before the list
    const QList<TCustomAbstractAction *> created =
        CreateActionsFromTable(ShowFormActionTable(), list, &owner);
    ASSERT_EQ(created.size(), qsizetype(table().size()));
    EXPECT_EQ(list.Actions(), created);
    for (size_t i = 0; i < table().size(); ++i) {
        const TActionDef &row = table()[i];
        SCOPED_TRACE(row.name);
        EXPECT_EQ(list.FindByInternalId(row.name), created[qsizetype(i)]);
        EXPECT_EQ(created[qsizetype(i)]->objectName(), QString(row.name)) << "renamed";
        if (row.defaultValue) {
            EXPECT_TRUE(frameworkReads(row.cls, row.defaultValue)) << row.defaultValue;
        }
    }
}

} // namespace
