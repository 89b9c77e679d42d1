// The program keeps its settings in a portable ini file from one run to the
// next: kadrex is copied beside a Kadrex.ini in a temporary folder and run
// without a screen, driven by its command line.

#include "PrefsTestSupport.h"
#include "TestSupport.h"
#include "prefs/uProductInfo.h"
#include "prefs/uRegistry.h"

#include <QProcessEnvironment>

namespace {

class KadrexRun : public ::testing::Test
{
protected:
    TempStores stores;
    QString exe;

    void SetUp() override
    {
        exe = stores.exeFolder() + QStringLiteral("/kadrex");
        ASSERT_TRUE(QFile::copy(testsupport::buildBinDir() + QStringLiteral("/kadrex"), exe));
        qputenv("XDG_CONFIG_HOME", stores.dir.filePath(QStringLiteral("config")).toUtf8());
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    void run(const QStringList &arguments)
    {
        QString output;
        ASSERT_EQ(testsupport::runProgram(exe, arguments, &output, 60000), 0)
            << output.toStdString();
    }
    QStringList section(const QStringList &lines, const QString &header)
    {
        const qsizetype at = lines.indexOf(header);
        QStringList values;
        for (qsizetype i = at + 1; at >= 0 && i < lines.size() && !lines[i].startsWith('['); ++i)
            values << lines[i];
        return values;
    }
};

TEST_F(KadrexRun, SettingsSurviveInThePortableIniFile)
{
    stores.writeFile(stores.iniFile(), "[]\r\n");
    run({QStringLiteral("/p1=hello world"), QStringLiteral("/dig=5"), QStringLiteral("/ci=false"),
         QStringLiteral("/quit")});

    const QByteArray bytes = stores.readFile(stores.iniFile());
    ASSERT_TRUE(bytes.startsWith("\xFF\xFE[\0]\0\r\0\n\0")); // UTF-16LE, BOM, CR LF
    ASSERT_TRUE(bytes.endsWith(QByteArray("\r\0\n\0", 4)));
    const QStringList lines = TIniPreferencesMan::Decode(bytes);
    EXPECT_FALSE(QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData() + 2),
                                    (bytes.size() - 2) / 2)
                     .remove(QStringLiteral("\r\n"))
                     .contains(QLatin1Char('\n'))); // no bare line feeds
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("[]"));
    EXPECT_EQ(lines[1], QStringLiteral("Version=Kadrex 6.2.1 en by Norvane"));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("Last saving=")));
    EXPECT_EQ(lines[3], QStringLiteral("ExeName=") + exe);
    const QStringList showForm = section(lines, QStringLiteral("[ShowForm]"));
    EXPECT_TRUE(showForm.contains(QStringLiteral("InsertPerso1=hello world")));
    EXPECT_TRUE(showForm.contains(QStringLiteral("Digits=5")));
    EXPECT_TRUE(showForm.contains(QStringLiteral("ConfirmerImage=False")));

    run({QStringLiteral("/n=7"), QStringLiteral("/quit")});
    const QStringList again = section(stores.iniLines(), QStringLiteral("[ShowForm]"));
    EXPECT_TRUE(again.contains(QStringLiteral("Digits=5")));
    EXPECT_TRUE(again.contains(QStringLiteral("NextNum=7")));
    EXPECT_TRUE(again.contains(QStringLiteral("InsertPerso1=hello world")));
}

TEST_F(KadrexRun, SettingsSurviveInTheRegistryStore)
{
    const QString key = QStringLiteral("Software\\Norvane\\Kadrex");
    TRegistryDb(stores.dbFile()).createKey(key);
    run({QStringLiteral("/dig=5"), QStringLiteral("/quit")});
    run({QStringLiteral("/n=7"), QStringLiteral("/quit")});
    TRegistryDb db(stores.dbFile());
    EXPECT_EQ(db.value(key, QStringLiteral("Version"))->toString(), product::versionText());
    EXPECT_EQ(db.value(key + QStringLiteral("\\ShowForm"), QStringLiteral("Digits")),
              TRegValue::fromDword(5));
    EXPECT_EQ(db.value(key + QStringLiteral("\\ShowForm"), QStringLiteral("NextNum")),
              TRegValue::fromDword(7));
    EXPECT_FALSE(QFile::exists(stores.iniFile()));
}

TEST_F(KadrexRun, WithoutAStoreNothingIsWrittenAndStderrSaysSo)
{
    QString output;
    ASSERT_EQ(testsupport::runProgram(exe, {QStringLiteral("/dig=5"), QStringLiteral("/quit")},
                                      &output, 60000),
              0);
    EXPECT_TRUE(output.contains(QStringLiteral("nothing was saved or deleted")))
        << output.toStdString();
    EXPECT_FALSE(QFile::exists(stores.iniFile()));
    EXPECT_FALSE(QFile::exists(stores.dbFile()));
}

} // namespace
