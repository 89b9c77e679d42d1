// The per-user key tree in SQLite and the registry backend on it.

#include "PrefsTestSupport.h"
#include "prefs/uRegPreferences.h"
#include "prefs/uRegistry.h"

#include <QFileInfo>

#include <atomic>
#include <thread>

namespace {

const QString kRoot = QStringLiteral("Software\\Norvane\\Kadrex");

TEST(RegistryDb, KeyTreeIsCaseInsensitiveAndDeletesOnlyItsSubtree)
{
    TempStores stores;
    TRegistryDb db(stores.dbFile());
    ASSERT_TRUE(db.isOpen()) << db.lastError().toStdString();
    ASSERT_TRUE(db.createKey(kRoot + QStringLiteral("\\ShowForm\\FormSave")));
    ASSERT_TRUE(db.createKey(QStringLiteral("Software\\Norvane\\Kadrex2")));
    ASSERT_TRUE(db.setValue(kRoot, QStringLiteral("Version"), TRegValue::fromString("v")));
    ASSERT_TRUE(db.setValue(QStringLiteral("Software\\Norvane\\Kadrex2"), QStringLiteral("Keep"),
                            TRegValue::fromDword(1)));

    EXPECT_TRUE(db.keyExists(QStringLiteral("SOFTWARE\\norvane\\KADREX\\showform")));
    EXPECT_EQ(db.subKeyNames(QStringLiteral("software\\norvane")),
              QStringList({"Kadrex", "Kadrex2"})); // immediate sub-keys only
    EXPECT_TRUE(db.value(kRoot, QStringLiteral("VERSION")).has_value());
    EXPECT_FALSE(db.subKeyNames(QStringLiteral("Software\\Missing")).has_value());

    ASSERT_TRUE(db.deleteKeyTree(QStringLiteral("software\\NORVANE\\kadrex")));
    EXPECT_FALSE(db.keyExists(kRoot));
    EXPECT_FALSE(db.keyExists(kRoot + QStringLiteral("\\ShowForm")));
    EXPECT_FALSE(db.value(kRoot, QStringLiteral("Version")).has_value());
    // A sibling whose name starts with the deleted one's stays.
    EXPECT_TRUE(db.value(QStringLiteral("Software\\Norvane\\Kadrex2"), QStringLiteral("Keep")));
}

TEST(RegistryDb, LookingAtAMissingDatabaseCreatesNothing)
{
    TempStores stores;
    TRegistryDb db(stores.dbFile(), false);
    EXPECT_FALSE(db.keyExists(kRoot));
    EXPECT_TRUE(db.deleteKeyTree(kRoot));
    EXPECT_FALSE(QFileInfo::exists(stores.dbFile()));
}

TEST(RegPreferences, ValueEncodingsAndReadingRules)
{
    TempStores stores;
    {
        TRegPreferencesMan reg(stores.dbFile(), kRoot);
        ASSERT_TRUE(reg.IsOpen());
        ASSERT_TRUE(reg.OpenKey(QStringLiteral("ShowForm"), true));
        EXPECT_TRUE(reg.WriteBool(QStringLiteral("On"), true));
        EXPECT_TRUE(
            reg.WriteInteger(QStringLiteral("Colour"), qint32(0xFF00000F))); // system colour
        EXPECT_TRUE(reg.WriteFloat(QStringLiteral("Ratio"), 1.0 / 3.0));
        EXPECT_TRUE(reg.WriteString(QStringLiteral("Empty"), QString()));
        EXPECT_TRUE(reg.WriteString(QStringLiteral("Text"), QStringLiteral("é ü 日本")));
    }
    TRegistryDb db(stores.dbFile());
    const QString key = kRoot + QStringLiteral("\\ShowForm");
    EXPECT_EQ(db.value(key, "On"), TRegValue::fromDword(1));
    EXPECT_EQ(db.value(key, "Colour"), TRegValue::fromDword(0xFF00000F));
    EXPECT_EQ(db.value(key, "Ratio")->type, quint32(REG_BINARY));
    EXPECT_EQ(db.value(key, "Ratio")->data.size(), 8);
    EXPECT_EQ(db.value(key, "Empty"), TRegValue::fromString(QString())); // just the null
    // Values written by others: a boolean of 2, a string without its null,
    // an integer stored as a string.
    db.setValue(key, "Two", TRegValue::fromDword(2));
    db.setValue(key, "NoNull", TRegValue::fromBinary(QByteArray("a\0b\0", 4), REG_SZ));
    db.setValue(key, "NotDword", TRegValue::fromString("12"));

    TRegPreferencesMan reg(stores.dbFile(), kRoot);
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("showform"), false));
    bool b = false;
    qint32 i = 0;
    double d = 0;
    QString s = QStringLiteral("default");
    EXPECT_TRUE(reg.ReadBool("ON", b));
    EXPECT_TRUE(b);
    EXPECT_TRUE(reg.ReadInteger("Colour", i));
    EXPECT_EQ(i, qint32(0xFF00000F));
    EXPECT_TRUE(reg.ReadFloat("Ratio", d));
    EXPECT_EQ(d, 1.0 / 3.0);
    EXPECT_TRUE(reg.ReadString("Empty", s));
    EXPECT_EQ(s, QString());
    EXPECT_TRUE(reg.ReadString("Text", s));
    EXPECT_EQ(s, QStringLiteral("é ü 日本"));
    EXPECT_TRUE(reg.ReadString("NoNull", s));
    EXPECT_EQ(s, QStringLiteral("ab"));
    EXPECT_FALSE(reg.ReadBool("Two", b));
    EXPECT_FALSE(reg.ReadInteger("NotDword", i));
    EXPECT_FALSE(reg.ReadFloat("On", d));
    EXPECT_FALSE(reg.ReadString("Missing", s));
    EXPECT_FALSE(reg.OpenKey(QStringLiteral("Missing"), false));
    EXPECT_EQ(reg.CurrentPath(), QStringLiteral("showform"));
    EXPECT_TRUE(reg.CloseKey());
    QStringList keys;
    EXPECT_TRUE(reg.GetKeyNames(keys));
    EXPECT_EQ(keys, QStringList({"ShowForm"}));
}

TEST(RegPreferences, ASaveLandsWholeOrNotAtAll)
{
    TempStores stores;
    {
        TRegPreferencesMan reg(stores.dbFile(), kRoot);
        ASSERT_TRUE(reg.BeginSave());
        reg.WriteInteger(QStringLiteral("Lost"), 1);
        // destroyed in the middle of a save: nothing of it lands
    }
    {
        TRegPreferencesMan reg(stores.dbFile(), kRoot);
        qint32 value = 0;
        EXPECT_FALSE(reg.ReadInteger(QStringLiteral("Lost"), value));
        ASSERT_TRUE(reg.BeginSave());
        reg.WriteInteger(QStringLiteral("Kept"), 2);
        QString error;
        EXPECT_TRUE(reg.EndSave(&error)) << error.toStdString();
    }
    TRegPreferencesMan reg(stores.dbFile(), kRoot);
    qint32 value = 0;
    EXPECT_TRUE(reg.ReadInteger(QStringLiteral("Kept"), value));
    EXPECT_EQ(value, 2);
}

TEST(RegPreferences, ALockedStoreMakesOthersWaitThenFailWithoutDamage)
{
    TempStores stores;
    TRegPreferencesMan first(stores.dbFile(), kRoot);
    TRegistryDb second(stores.dbFile(), true, 100); // waits 100 ms for a lock
    ASSERT_TRUE(first.BeginSave());
    first.WriteInteger(QStringLiteral("First"), 1);
    EXPECT_FALSE(second.setValue(kRoot, QStringLiteral("Second"), TRegValue::fromDword(2)));
    EXPECT_FALSE(second.lastError().isEmpty());
    ASSERT_TRUE(first.EndSave());
    EXPECT_TRUE(second.setValue(kRoot, QStringLiteral("Second"), TRegValue::fromDword(2)));
    EXPECT_EQ(second.value(kRoot, QStringLiteral("First")), TRegValue::fromDword(1));
}

TEST(RegPreferences, ConcurrentSavesFromTwoConnectionsAllLand)
{
    TempStores stores;
    TRegistryDb(stores.dbFile()).createKey(kRoot);
    std::atomic<int> failures = 0;
    const auto saver = [&](const QString &prefix) {
        TRegPreferencesMan reg(stores.dbFile(), kRoot);
        for (int save = 0; save < 30; ++save) {
            bool ok = reg.BeginSave();
            for (int i = 0; i < 10; ++i)
                ok = reg.WriteInteger(prefix + QString::number(save * 10 + i), i) && ok;
            ok = reg.EndSave() && ok;
            if (!ok)
                ++failures;
        }
    };
    std::thread a(saver, QStringLiteral("A")), b(saver, QStringLiteral("B"));
    a.join();
    b.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(TRegistryDb(stores.dbFile()).valueNames(kRoot)->size(), 600);
}

} // namespace
