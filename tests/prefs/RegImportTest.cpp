// Importing .reg files into the per-user key tree, and deleting key trees.

#include "PrefsTestSupport.h"
#include "prefs/uRegImport.h"

#include <QStringEncoder>

namespace {

const QString kLav = QStringLiteral("Software\\LAV\\Video");

QByteArray utf16leWithBom(const QString &text)
{
    QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

TEST(RegImport, WellFormedVersion5File)
{
    TempStores stores;
    TRegistryDb db(stores.dbFile());
    db.createKey(QStringLiteral("Software\\LAV\\Old\\Deep"));
    db.createKey(kLav);
    db.setValue(kLav, QStringLiteral("Stale"), TRegValue::fromDword(9));
    const QString text = QStringLiteral("Windows Registry Editor Version 5.00\r\n"
                                        "\r\n"
                                        "; settings of the private video decoder\r\n"
                                        "[-HKEY_CURRENT_USER\\Software\\LAV\\Old]\r\n"
                                        "\r\n"
                                        "[HKEY_CURRENT_USER\\Software\\LAV\\Video]\r\n"
                                        "@=\"default\"\r\n"
                                        "\"Path\"=\"C:\\\\Program Files\\\\LAV \\\"quoted\\\"\"\r\n"
                                        "\"Threads\"=dword:0000001f\r\n"
                                        "\"Blob\"=hex:01,02,\\\r\n"
                                        "  ff,  00\r\n"
                                        "\"Expand\"=hex(2):25,00,41,00,00,00\r\n"
                                        "\"Stale\"=-\r\n"
                                        "[HKCU\\Software\\LAV\\Audio]\r\n"
                                        "\"Mixing\"=dword:00000000\r\n");
    stores.writeFile(stores.dir.filePath("lav.reg"), utf16leWithBom(text));

    const TRegImportReport report = regImportFile(db, stores.dir.filePath("lav.reg"));
    EXPECT_TRUE(report.ok);
    EXPECT_TRUE(report.problems.isEmpty()) << report.problems.join('\n').toStdString();
    EXPECT_EQ(report.keys, 2);
    EXPECT_EQ(report.values, 6);
    EXPECT_EQ(report.deletions, 2); // the Old tree and the Stale value

    EXPECT_FALSE(db.keyExists(QStringLiteral("Software\\LAV\\Old")));
    EXPECT_FALSE(db.keyExists(QStringLiteral("Software\\LAV\\Old\\Deep")));
    EXPECT_EQ(db.value(kLav, QString())->toString(), QStringLiteral("default"));
    EXPECT_EQ(db.value(kLav, "Path")->toString(),
              QStringLiteral("C:\\Program Files\\LAV \"quoted\""));
    EXPECT_EQ(db.value(kLav, "Threads"), TRegValue::fromDword(0x1F));
    EXPECT_EQ(db.value(kLav, "Blob"), TRegValue::fromBinary(QByteArray("\x01\x02\xff\x00", 4)));
    EXPECT_EQ(db.value(kLav, "Expand")->toString(), QStringLiteral("%A"));
    EXPECT_FALSE(db.value(kLav, "Stale").has_value());
    EXPECT_EQ(db.value("Software\\LAV\\Audio", "Mixing"), TRegValue::fromDword(0));
}

TEST(RegImport, Regedit4FileWithEightBitStrings)
{
    TempStores stores;
    TRegistryDb db(stores.dbFile());
    const TRegImportReport report =
        regImportText(db, QStringLiteral("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\ffdshow]\n"
                                         "\"lang\"=\"en\"\n\"dir\"=hex(2):41,42,00\n"));
    EXPECT_TRUE(report.ok);
    EXPECT_EQ(db.value("Software\\ffdshow", "lang")->toString(), QStringLiteral("en"));
    EXPECT_EQ(db.value("Software\\ffdshow", "dir"), TRegValue::fromString("AB", REG_EXPAND_SZ));
}

TEST(RegImport, MalformedLinesAreSkippedAndReportedWithTheirNumbers)
{
    TempStores stores;
    TRegistryDb db(stores.dbFile());
    const TRegImportReport report =
        regImportText(db, QStringLiteral("Windows Registry Editor Version 5.00\n"
                                         "\"Orphan\"=dword:1\n"                // 2: before any key
                                         "[HKEY_CURRENT_USER\\Software\\Pkg\n" // 3: no bracket
                                         "[HKEY_LOCAL_MACHINE\\Software\\Pkg]\n" // 4: other hive
                                         "\"Skipped\"=dword:1\n"                 // 5: under it
                                         "[HKEY_CURRENT_USER\\Software\\Pkg]\n"
                                         "\"Good\"=dword:00000002\n"
                                         "\"Dword\"=dword:123456789\n" // 8: nine digits
                                         "\"Hex\"=hex:01,zz\n"         // 9
                                         "\"Open=\"text\"\n"           // 10
                                         "\"NoEquals\" dword:1\n"      // 11
                                         "\"Str\"=\"unterminated\n"    // 12
                                         "\"Type\"=strange:1\n"        // 13
                                         "\"Last\"=\"ok\"\n"));
    EXPECT_TRUE(report.ok);
    EXPECT_EQ(report.values, 2);
    EXPECT_EQ(db.value("Software\\Pkg", "Good"), TRegValue::fromDword(2));
    EXPECT_EQ(db.value("Software\\Pkg", "Last")->toString(), QStringLiteral("ok"));
    QStringList lines;
    for (const QString &problem : report.problems)
        lines << problem.section(QLatin1Char(':'), 0, 0);
    EXPECT_EQ(lines, QStringList({"line 2", "line 3", "line 4", "line 5", "line 8", "line 9",
                                  "line 10", "line 11", "line 12", "line 13"}));
}

TEST(RegImport, FileWithoutHeaderImportsNothing)
{
    TempStores stores;
    TRegistryDb db(stores.dbFile());
    for (const QString &text :
         {QStringLiteral("[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=dword:1\n"), QString()}) {
        const TRegImportReport report = regImportText(db, text);
        EXPECT_FALSE(report.ok);
        EXPECT_EQ(report.problems.size(), 1);
    }
    EXPECT_FALSE(db.keyExists(QStringLiteral("Software\\X")));
    EXPECT_FALSE(regImportFile(db, stores.dir.filePath("missing.reg")).ok);
}

TEST(RegImport, DeleteKeyAcceptsTheHivePrefixAndRefusesOtherHives)
{
    TempStores stores;
    TRegistryDb db(stores.dbFile());
    db.createKey(QStringLiteral("Software\\Pkg\\Sub"));
    EXPECT_FALSE(regDeleteKey(db, QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Pkg")));
    EXPECT_FALSE(regDeleteKey(db, QStringLiteral("HKEY_CURRENT_USER")));
    EXPECT_TRUE(db.keyExists(QStringLiteral("Software\\Pkg\\Sub")));
    EXPECT_TRUE(regDeleteKey(db, QStringLiteral("HKEY_CURRENT_USER\\Software\\Pkg")));
    EXPECT_FALSE(db.keyExists(QStringLiteral("Software\\Pkg")));
    EXPECT_TRUE(db.keyExists(QStringLiteral("Software")));
    EXPECT_TRUE(regDeleteKey(db, QStringLiteral("Software\\Never")));
}

} // namespace
