// The preference component over real stores: mode detection and the deletion
// of the other stores, typed values, the close flow and the action lists.

#include "PrefsTestSupport.h"
#include "actions/uActionList.h"
#include "actions/uRunStatus.h"
#include "actions/uScriptAction.h"
#include "prefs/uProductInfo.h"
#include "prefs/uRegistry.h"

#include <QFileInfo>

#include <iterator>

namespace {

const QString kKey = QStringLiteral("Software\\Norvane\\Kadrex");
const QString kMaker = QStringLiteral("Software\\Norvane");
using M = TSavePreferences;

struct Fixture {
    TempStores stores;

    std::unique_ptr<TNorvanePreferences> prefs(M mode)
    {
        auto gp = std::make_unique<TNorvanePreferences>(nullptr, stores.locations());
        gp->DetectMode();
        gp->SetMode(mode);
        return gp;
    }
    std::unique_ptr<TNorvanePreferences> detected()
    {
        auto gp = std::make_unique<TNorvanePreferences>(nullptr, stores.locations());
        gp->DetectMode();
        return gp;
    }
    void makeIni() { stores.writeFile(stores.iniFile(), TIniPreferencesMan::Encode({"[]"})); }
    void makeKey(const QString &key = kKey) { TRegistryDb(stores.dbFile()).createKey(key); }
    bool iniExists() const { return QFileInfo::exists(stores.iniFile()); }
    bool keyExists(const QString &key = kKey) const
    {
        return TRegistryDb(stores.dbFile(), false).keyExists(key);
    }
};

TEST(NorvanePreferences, DetectionPicksAModeAndDeletesTheOtherStores)
{
    struct Case {
        bool ini, key, otherMakerKey;
        M mode;
        bool iniAfter, keyAfter, makerAfter;
    };
    const Case cases[] = {
        {true, true, false, M::spPortable, true, false, false}, // the ini file wins
        {false, true, false, M::spRegistre, false, true, true},
        {false, false, false, M::spNone, false, false, false},
        {true, true, true, M::spPortable, true, false,
         true}, // Software\Norvane keeps its other key
        {false, true, true, M::spRegistre, false, true, true},
    };
    for (const Case &c : cases) {
        Fixture f;
        if (c.ini)
            f.makeIni();
        if (c.key)
            f.makeKey(kKey + QStringLiteral("\\ShowForm"));
        if (c.otherMakerKey)
            f.makeKey(kMaker + QStringLiteral("\\Other"));
        QList<M> changes;
        TNorvanePreferences gp(nullptr, f.stores.locations());
        gp.OnChangeMode = [&](M mode) { changes << mode; };
        gp.DetectMode();
        EXPECT_EQ(gp.StorageMode(), c.mode);
        EXPECT_EQ(changes, QList<M>({c.mode}));
        EXPECT_EQ(f.iniExists(), c.iniAfter);
        EXPECT_EQ(f.keyExists(), c.keyAfter);
        EXPECT_EQ(f.keyExists(kMaker), c.makerAfter);
    }
}

TEST(NorvanePreferences, ChangingTheModeDeletesTheStoresItLeaves)
{
    Fixture f;
    auto gp = f.prefs(M::spRegistre);
    EXPECT_TRUE(f.keyExists());
    gp->SetMode(M::spPortable);
    EXPECT_FALSE(f.keyExists(kMaker));
    gp->WriteInteger(QStringLiteral("X"), 1);
    gp->SetMode(M::spPortable); // unchanged: nothing happens
    EXPECT_EQ(gp->ReadInteger(QStringLiteral("X"), 0), 1);
    ASSERT_TRUE(gp->Save());
    EXPECT_TRUE(f.iniExists());
    gp->SetMode(M::spRegistre);
    EXPECT_FALSE(f.iniExists());
    EXPECT_TRUE(f.keyExists());
    gp->SetMode(M::spPortable);
    ASSERT_TRUE(gp->Save());
    QFile(f.stores.iniFile()).setPermissions(QFileDevice::ReadOwner);
    gp->SetMode(M::spNone);
    EXPECT_FALSE(f.iniExists()); // read-only or not
    EXPECT_FALSE(f.keyExists(kMaker));
}

TEST(NorvanePreferences, TypedValuesRoundTripInBothStores)
{
    const TNvFont font{
        QStringLiteral("DejaVu Sans"), 24, 0x00FFFF, 0, 2, 120, true, false, true, false};
    const TNvRect rect{-5, 10, 800, 600};
    for (M mode : {M::spRegistre, M::spPortable}) {
        Fixture f;
        {
            auto gp = f.prefs(mode);
            ASSERT_TRUE(gp->OpenSection(QStringLiteral("ShowForm")));
            EXPECT_TRUE(gp->WriteBool(QStringLiteral("Bool"), true));
            EXPECT_TRUE(gp->WriteInteger(QStringLiteral("Colour"), qint32(0xFF00000F)));
            EXPECT_TRUE(gp->WriteFloat(QStringLiteral("Float"), 0.1));
            EXPECT_TRUE(gp->WriteString(QStringLiteral("Text"), QStringLiteral("a=b é")));
            EXPECT_TRUE(gp->WritePoint(QStringLiteral("Pos"), QPoint(-3, 7)));
            EXPECT_TRUE(gp->WriteRect(QStringLiteral("FormSave"), rect));
            EXPECT_TRUE(gp->WriteFont(QStringLiteral("InsertFont"), font));
            EXPECT_TRUE(gp->CloseSection());
        }
        auto gp = f.detected();
        ASSERT_EQ(gp->StorageMode(), mode);
        gp->OpenSection(QStringLiteral("ShowForm"));
        EXPECT_TRUE(gp->ReadBool(QStringLiteral("Bool"), false));
        EXPECT_EQ(gp->ReadInteger(QStringLiteral("Colour"), 0), qint32(0xFF00000F));
        EXPECT_EQ(gp->ReadFloat(QStringLiteral("Float"), 0), 0.1);
        EXPECT_EQ(gp->ReadString(QStringLiteral("Text"), {}), QStringLiteral("a=b é"));
        EXPECT_EQ(gp->ReadPoint(QStringLiteral("Pos"), {}), QPoint(-3, 7));
        EXPECT_EQ(gp->ReadRect(QStringLiteral("FormSave"), {}), rect);
        TNvFont read;
        gp->ReadFont(QStringLiteral("InsertFont"), TNvFont{}, read);
        EXPECT_EQ(read, font);
        QStringList sections;
        gp->GetSectionNames(sections);
        EXPECT_EQ(sections.size(), 2) << sections.join(',').toStdString();
    }
}

// Whatever a text action holds comes back as it was, and the values after it
// too: line breaks must not cut the ini file into stray lines or sections.
TEST(NorvanePreferences, EveryKindOfTextReadsBackExactly)
{
    const QString texts[] = {
        QString(),
        QStringLiteral("plain = text "),
        QStringLiteral(" C:\\new\\dir\\ and \\n \\\\ \\u0041 "), // backslashes as typed
        QStringLiteral("a\nb"),
        QStringLiteral("a\r\n[X]\r\nDigits=1"),
        QStringLiteral("\r"),
        QStringLiteral("\n\n"),
        QStringLiteral("tab\there"),
        QString(QChar(0)) + QStringLiteral("nul inside") + QChar(0) + QChar(0),
        QStringLiteral("\u0001\u001b\u007f\u0085\u2028\u2029"),
        QStringLiteral("[Section]"),
        QStringLiteral("*=star"),
        QStringLiteral("Käthe 日本 \U0001F600 \uFFFD \uFEFF"),
        QString(QChar(0xD800)) + QStringLiteral("half pairs") + QChar(0xDC00) + QChar(0xDBFF),
    };
    for (M mode : {M::spRegistre, M::spPortable}) {
        SCOPED_TRACE(int(mode));
        Fixture f;
        {
            auto gp = f.prefs(mode);
            ASSERT_TRUE(gp->OpenSection(QStringLiteral("ShowForm")));
            for (int i = 0; i < int(std::size(texts)); ++i)
                EXPECT_TRUE(gp->WriteString(QStringLiteral("Text%1").arg(i), texts[i]));
            EXPECT_TRUE(gp->WriteInteger(QStringLiteral("After"), 42));
            gp->CloseSection();
            EXPECT_TRUE(gp->Save());
        }
        auto gp = f.detected();
        ASSERT_EQ(gp->StorageMode(), mode);
        gp->OpenSection(QStringLiteral("ShowForm"));
        for (int i = 0; i < int(std::size(texts)); ++i)
            EXPECT_EQ(gp->ReadString(QStringLiteral("Text%1").arg(i), QStringLiteral("default")),
                      texts[i])
                << i;
        EXPECT_EQ(gp->ReadInteger(QStringLiteral("After"), 0), 42);
        gp->CloseSection();
        QStringList sections;
        gp->GetSectionNames(sections);
        EXPECT_EQ(sections, QStringList({"ShowForm"}));
    }
}

TEST(NorvanePreferences, IncompleteCompoundValuesGiveTheirDefaults)
{
    Fixture f;
    f.stores.writeFile(f.stores.iniFile(),
                       TIniPreferencesMan::Encode(
                           {"[]", "[ShowForm]", "Pos.X=4", "[ShowForm\\Half]", "Left=1", "Top=2",
                            "Right=3", "[ShowForm\\Font]", "Charset=0", "Color=0", "Name=Arial",
                            "Pitch=0", "PixelsperInch=96", "Size=12", "Bold=true", "Italic=False",
                            "StrikeOut=False", "Underline=False"}));
    const TNvRect defRect{1, 1, 2, 2};
    const TNvFont defFont;
    {
        auto gp = f.detected();
        gp->OpenSection(QStringLiteral("ShowForm"));
        EXPECT_EQ(gp->ReadPoint(QStringLiteral("Pos"), QPoint(9, 9)), QPoint(9, 9));
        EXPECT_EQ(gp->ReadRect(QStringLiteral("Half"), defRect), defRect);
        EXPECT_EQ(gp->ReadRect(QStringLiteral("Missing"), defRect), defRect);
        TNvFont font;
        font.name = QStringLiteral("Changed");
        gp->ReadFont(QStringLiteral("Font"), defFont, font); // "true" is no boolean here
        EXPECT_EQ(font, defFont);
        gp->CloseSection();
        gp->Save();
    }
    // Reading the missing rectangle left its empty section in the file.
    const QStringList lines = f.stores.iniLines();
    const qsizetype header = lines.indexOf(QStringLiteral("[ShowForm\\Missing]"));
    ASSERT_GE(header, 0);
    EXPECT_EQ(header, lines.size() - 1);

    // The registry backend does not create what it only reads.
    Fixture r;
    auto gp = r.prefs(M::spRegistre);
    gp->OpenSection(QStringLiteral("ShowForm"));
    EXPECT_EQ(gp->ReadRect(QStringLiteral("Missing"), defRect), defRect);
    EXPECT_FALSE(r.keyExists(kKey + QStringLiteral("\\ShowForm\\Missing")));
    EXPECT_EQ(gp->Backend().CurrentPath(), QStringLiteral("ShowForm"));
}

TEST(NorvanePreferences, ModeNoneStoresNothingAndReadsDefaults)
{
    Fixture f;
    auto gp = f.detected();
    EXPECT_FALSE(gp->OpenSection(QStringLiteral("ShowForm")));
    EXPECT_FALSE(gp->WriteInteger(QStringLiteral("X"), 1));
    EXPECT_FALSE(gp->WriteRect(QStringLiteral("R"), {}));
    EXPECT_FALSE(gp->WriteFont(QStringLiteral("F"), {}));
    EXPECT_EQ(gp->ReadInteger(QStringLiteral("X"), 5), 5);
    TNvFont def, font;
    def.size = 30;
    gp->ReadFont(QStringLiteral("F"), def, font);
    EXPECT_EQ(font, def);
    EXPECT_FALSE(gp->CloseSection());
    EXPECT_FALSE(gp->Save());
    EXPECT_FALSE(f.iniExists());
    EXPECT_FALSE(QFileInfo::exists(f.stores.dbFile()));
}

TEST(NorvanePreferences, CloseFlowFollowsTheAnswer)
{
    struct Case {
        TModeAnswer answer;
        bool closes;
        M mode;
        bool iniAfter, keyAfter; // both stores appear after detection
    };
    const Case cases[] = {
        {TModeAnswer::Cancelled, false, M::spNone, true, true},
        {TModeAnswer::Unanswerable, true, M::spNone, true, true}, // deletes nothing
        {TModeAnswer::None, true, M::spNone, false, false},
        {TModeAnswer::Portable, true, M::spPortable, true, false},
        {TModeAnswer::Registre, true, M::spRegistre, false, true},
    };
    for (const Case &c : cases) {
        Fixture f;
        auto gp = f.detected();
        f.stores.writeFile(f.stores.iniFile(), "[]\r\nOld=1\r\n");
        f.makeKey();
        QString caption;
        int saves = 0;
        gp->OnAskMode = [&](const QString &text) {
            caption = text;
            return c.answer;
        };
        gp->OnSavePrefs = [&](TNorvanePreferences &) { return ++saves, true; };
        EXPECT_EQ(gp->CloseQuery(), c.closes);
        EXPECT_EQ(caption, QStringLiteral("Saving the preferences of Kadrex"));
        EXPECT_EQ(gp->StorageMode(), c.mode);
        EXPECT_EQ(saves, c.mode == M::spNone ? 0 : 1);
        EXPECT_EQ(f.iniExists(), c.iniAfter);
        EXPECT_EQ(f.keyExists(), c.keyAfter);
    }
}

TEST(NorvanePreferences, SaveWritesTheBookkeepingFirst)
{
    for (M mode : {M::spPortable, M::spRegistre}) {
        Fixture f;
        auto gp = f.prefs(mode);
        gp->OnSavePrefs = [](TNorvanePreferences &p) {
            p.OpenSection(QStringLiteral("ShowForm"));
            p.WriteInteger(QStringLiteral("Digits"), 5);
            return p.CloseSection();
        };
        EXPECT_TRUE(gp->Save());
        EXPECT_EQ(gp->ReadString(QStringLiteral("Version"), {}), product::versionText());
        EXPECT_EQ(gp->ReadString(QStringLiteral("ExeName"), {}), f.stores.locations().exePath);
        EXPECT_TRUE(QDateTime::fromString(gp->ReadString(QStringLiteral("Last saving"), {}),
                                          QStringLiteral("yyyy/MM/dd hh:mm:ss"))
                        .isValid());
        if (mode == M::spPortable) {
            const QStringList lines = f.stores.iniLines();
            ASSERT_GE(lines.size(), 7);
            EXPECT_EQ(lines[0], QStringLiteral("[]"));
            EXPECT_EQ(lines[1], QStringLiteral("Version=Kadrex 6.2.1 en by Norvane"));
            EXPECT_TRUE(lines[2].startsWith(QStringLiteral("Last saving=")));
            EXPECT_TRUE(lines[3].startsWith(QStringLiteral("ExeName=")));
            EXPECT_EQ(lines.mid(4, 3), QStringList({"", "[ShowForm]", "Digits=5"}));
        }
    }
}

TEST(NorvanePreferences, AnIniFileThatCannotBeWrittenIsReported)
{
    Fixture f;
    auto gp = f.prefs(M::spPortable);
    QString told;
    gp->OnSaveError = [&](const QString &message) { told = message; };
    QDir(f.stores.exeFolder()).removeRecursively();
    EXPECT_FALSE(gp->Save());
    EXPECT_TRUE(told.contains(f.stores.iniFile())) << told.toStdString();
}

// A save whose ini file cannot be written says so once, not again when the
// backend goes or the component ends.
TEST(NorvanePreferences, AFailedIniSaveIsReportedOnce)
{
    Fixture f;
    int told = 0;
    testing::internal::CaptureStderr();
    {
        auto gp = f.prefs(M::spPortable);
        gp->OnSaveError = [&](const QString &) { ++told; };
        QDir(f.stores.exeFolder()).removeRecursively();
        TRunStatus::Reset();
        EXPECT_FALSE(gp->Save());
        EXPECT_TRUE(TRunStatus::Failed());
    }
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(told, 1);
    EXPECT_EQ(printed, "");
    TRunStatus::Reset();
}

// Each action saves on its own: when some writes fail (a store that refuses
// them), the others land and the save reports the failure instead of success.
TEST(NorvanePreferences, WritesThatFailMakeTheSaveFail)
{
    Fixture f;
    f.makeKey();
    TRegistryDb(f.stores.dbFile())
        .exec("CREATE TRIGGER refuse BEFORE INSERT ON regvalues WHEN NEW.name = 'Digits' "
              "BEGIN SELECT RAISE(ABORT, 'Digits refused'); END");
    auto gp = f.detected();
    ASSERT_EQ(gp->StorageMode(), M::spRegistre);
    gp->OnSavePrefs = [](TNorvanePreferences &store) {
        store.OpenSection(QStringLiteral("ShowForm"));
        const bool digits = store.WriteInteger(QStringLiteral("Digits"), 4);
        const bool next = store.WriteInteger(QStringLiteral("NextNum"), 9);
        store.CloseSection();
        return digits && next;
    };
    QString told;
    gp->OnSaveError = [&](const QString &message) { told = message; };
    TRunStatus::Reset();
    EXPECT_FALSE(gp->Save());
    EXPECT_TRUE(TRunStatus::Failed());
    EXPECT_TRUE(told.contains(QStringLiteral("Digits refused"))) << told.toStdString();
    TRegistryDb db(f.stores.dbFile());
    EXPECT_EQ(db.value(kKey + QStringLiteral("\\ShowForm"), QStringLiteral("NextNum")),
              TRegValue::fromDword(9));
    EXPECT_FALSE(db.value(kKey + QStringLiteral("\\ShowForm"), QStringLiteral("Digits")));
    TRunStatus::Reset();
}

TEST(NorvanePreferences, ARegistryThatCannotBeCreatedIsReported)
{
    TempStores stores;
    stores.writeFile(stores.dir.filePath(QStringLiteral("blocker")), "a file, not a folder");
    TPrefsLocations where = stores.locations();
    where.registryFile = stores.dir.filePath(QStringLiteral("blocker/Norvane/registry.sqlite3"));
    TNorvanePreferences gp(nullptr, where);
    gp.SetMode(M::spRegistre);
    QString told;
    gp.OnSaveError = [&](const QString &message) { told = message; };
    EXPECT_FALSE(gp.Save());
    EXPECT_TRUE(told.contains(QStringLiteral("blocker"))) << told.toStdString();
    EXPECT_FALSE(gp.WriteInteger(QStringLiteral("X"), 1));
}

// Lists run in the given order to load and in the opposite order to save,
// each inside its section; real actions travel through the store.
TEST(NorvanePreferences, ListsLoadInOrderAndSaveInReverse)
{
    Fixture f;
    QStringList log;
    auto gp = f.prefs(M::spPortable);
    std::vector<std::unique_ptr<TNvActionList>> lists;
    const auto add = [&](const QString &section, const QString &name) {
        auto list = std::make_unique<TNvActionList>();
        list->OnLoadFromPrefs = [&log, name, &gp](TActionStore &) {
            return log << "load " + name + " in " + gp->Backend().CurrentPath(), true;
        };
        list->OnSaveToPrefs = [&log, name, &gp](TActionStore &) {
            return log << "save " + name + " in " + gp->Backend().CurrentPath(), true;
        };
        gp->AddList(section, list.get());
        lists.push_back(std::move(list));
    };
    add(QStringLiteral("ScriptForm"), QStringLiteral("script list"));
    add(QStringLiteral("ScriptForm"), QStringLiteral("script files"));
    add(QStringLiteral("ShowForm"), QStringLiteral("am"));
    add(QStringLiteral("ShowForm"), QStringLiteral("gpal"));
    auto *digits = new TIntegerAction(QStringLiteral("iaDigits"), lists.back().get());
    digits->ScriptName = QStringLiteral("Digits");
    digits->SetValue(5);

    EXPECT_TRUE(gp->Save());
    digits->SetValue(0);
    EXPECT_TRUE(gp->LoadLists());
    EXPECT_EQ(digits->Value(), 5);
    EXPECT_EQ(log, QStringList({"save gpal in ShowForm", "save am in ShowForm",
                                "save script files in ScriptForm", "save script list in ScriptForm",
                                "load script list in ScriptForm", "load script files in ScriptForm",
                                "load am in ShowForm", "load gpal in ShowForm"}));
    EXPECT_EQ(gp->Backend().CurrentPath(), QString());
}

} // namespace
