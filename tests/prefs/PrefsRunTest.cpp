// The program keeps its settings in a portable ini file from one run to the
// next: kadrex is copied beside a Kadrex.ini in a temporary folder and run
// without a screen, driven by its command line.

#include "MediaFixtures.h"
#include "PrefsTestSupport.h"
#include "TestSupport.h"
#include "prefs/uProductInfo.h"
#include "prefs/uRegistry.h"

#include <QDirIterator>
#include <QProcessEnvironment>

#include <unistd.h>

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
    // The exit status; stdout and stderr in *output.
    int runStatus(const QStringList &arguments, QString *output)
    {
        return testsupport::runProgram(exe, arguments, output, 60000);
    }
    // The values of [ShowForm] as the ini backend reads them.
    QString iniValue(const QString &name)
    {
        TIniPreferencesMan ini(stores.iniFile());
        ini.OpenKey(QStringLiteral("ShowForm"), false);
        QString text = QStringLiteral("<missing>");
        ini.ReadString(name, text);
        return text;
    }
    // The program as a user who cannot write write-protected files: root
    // writes them anyway, so as root it runs as nobody.
    int runAsUser(const QStringList &arguments, QString *output)
    {
        if (geteuid() != 0)
            return runStatus(arguments, output);
        for (QDirIterator it(stores.dir.path(), QDir::AllEntries | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString path = it.next();
            if (QFileInfo(path).isDir())
                QFile::setPermissions(path, QFileDevice::Permissions(0x7777));
        }
        QFile::setPermissions(stores.dir.path(), QFileDevice::Permissions(0x7777));
        qputenv("XDG_CACHE_HOME", stores.dir.filePath(QStringLiteral("cache")).toUtf8());
        const int status = testsupport::runProgram(
            QStringLiteral("setpriv"),
            QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", exe} + arguments,
            output, 60000);
        qunsetenv("XDG_CACHE_HOME");
        return status;
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

// A line break in a text must not cut the file: every setting written by
// three runs comes back, in both stores.
TEST_F(KadrexRun, TextsWithLineBreaksKeepEverySetting)
{
    const QString key = QStringLiteral("Software\\Norvane\\Kadrex");
    for (const bool portable : {true, false}) {
        SCOPED_TRACE(portable ? "ini" : "registry");
        if (portable)
            stores.writeFile(stores.iniFile(), "[]\r\n");
        else
            TRegistryDb(stores.dbFile()).createKey(key);
        run({"/p2=keep", "+isl", "/idelai=42", "/quit"});
        run({"/p1=a\n[X]\r\nDigits=9", "/quit"});
        run({"/dig=6", "/quit"});
        const std::pair<QString, QString> expected[] = {{"InsertPerso1", "a\n[X]\r\nDigits=9"},
                                                        {"InsertPerso2", "keep"},
                                                        {"Sliders", "True"},
                                                        {"IntervalloDelai", "42"},
                                                        {"Digits", "6"}};
        for (const auto &[name, value] : expected) {
            if (portable) {
                EXPECT_EQ(iniValue(name), value) << name.toStdString();
            } else {
                const auto stored =
                    TRegistryDb(stores.dbFile()).value(key + QStringLiteral("\\ShowForm"), name);
                ASSERT_TRUE(stored) << name.toStdString();
                const QString text = stored->toString().value_or(
                    QString::number(qint32(stored->toDword().value_or(0))));
                EXPECT_EQ(text, name == "Sliders" ? "1" : value) << name.toStdString();
            }
        }
        if (portable) {
            EXPECT_FALSE(stores.iniLines().contains(QStringLiteral("[X]")));
            QFile::remove(stores.iniFile());
        }
    }
}

TEST_F(KadrexRun, ADamagedIniLineIsSkippedAndTheRestKept)
{
    QByteArray bytes = TIniPreferencesMan::Encode({"[]", "[ShowForm]", "Digits=7"});
    bytes += QByteArray("B\0a\0d\0=\0\x00\xD8\r\0\n\0", 14); // half a surrogate pair
    bytes += TIniPreferencesMan::Encode({"NextNum=40"}).mid(2);
    stores.writeFile(stores.iniFile(), bytes);
    QString output;
    EXPECT_EQ(runStatus({"/lf=0", "/quit"}, &output), 1); // a switch, so that /quit counts
    EXPECT_TRUE(output.contains(QStringLiteral("line 4 of %1").arg(stores.iniFile())))
        << output.toStdString();
    EXPECT_EQ(iniValue("Digits"), "7");
    EXPECT_EQ(iniValue("NextNum"), "40");
    const qint64 size = QFileInfo(stores.iniFile()).size();
    run({"/lf=0", "/quit"}); // nothing damaged any more: no message, no growth
    EXPECT_EQ(QFileInfo(stores.iniFile()).size(), size);
    EXPECT_EQ(stores.iniLines().count(QStringLiteral("[ShowForm]")), 1);
    EXPECT_EQ(iniValue("NextNum"), "40");
}

TEST_F(KadrexRun, AReadOnlyRegistryStoreIsReportedAndFailsTheRun)
{
    const QString key = QStringLiteral("Software\\Norvane\\Kadrex");
    TRegistryDb(stores.dbFile()).createKey(key);
    run({"/dig=4", "/quit"});
    ASSERT_TRUE(QFile::setPermissions(
        stores.dbFile(), QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    QString output;
    EXPECT_EQ(runAsUser({"/dig=3", "/quit"}, &output), 1) << output.toStdString();
    EXPECT_EQ(output.count(QStringLiteral("could not be saved")), 1) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("read-only"))) << output.toStdString();
    EXPECT_EQ(TRegistryDb(stores.dbFile(), false)
                  .value(key + QStringLiteral("\\ShowForm"), QStringLiteral("Digits")),
              TRegValue::fromDword(4));
}

// A file size limit of zero stands for a full disk.
TEST_F(KadrexRun, AFailedIniSaveIsReportedOnceAndFailsTheRun)
{
    stores.writeFile(stores.iniFile(), TIniPreferencesMan::Encode({"[]"}));
    const QByteArray before = stores.readFile(stores.iniFile());
    QString output;
    const int status = testsupport::runProgram(
        QStringLiteral("sh"),
        {"-c", "trap '' XFSZ; ulimit -f 0; exec \"$0\" \"$@\"", exe, "/dig=5", "/quit"}, &output,
        60000);
    EXPECT_EQ(status, 1) << output.toStdString();
    EXPECT_EQ(output.count(QStringLiteral("could not be saved")), 1) << output.toStdString();
    EXPECT_EQ(stores.readFile(stores.iniFile()), before);
}

TEST_F(KadrexRun, NumbersOutsideTheNotationAreRefusedAndTheSettingKept)
{
    stores.writeFile(stores.iniFile(), "[]\r\n");
    run({"/dh=2.5", "/quit"});
    QString output;
    EXPECT_EQ(runStatus({"/dh=1,500", "/dh=nan", "/dh=inf", "/dig=1,5", "/quit"}, &output), 1);
    for (const char *refused : {"/dh=1,500", "/dh=nan", "/dh=inf", "/dig=1,5"})
        EXPECT_TRUE(output.contains(QStringLiteral("%1 refused").arg(refused)))
            << output.toStdString();
    EXPECT_EQ(iniValue("DecalageHoraire"), "2.5");
    EXPECT_EQ(iniValue("Digits"), "3");
}

// The folders default to the user's pictures and documents folders and to
// the executable's own; a folder stored empty counts as none.
TEST_F(KadrexRun, FolderDefaultsAreComputedWhenNoneIsStored)
{
    const QString home = stores.dir.filePath(QStringLiteral("home"));
    QDir().mkpath(home + QStringLiteral("/Pictures"));
    QDir().mkpath(home + QStringLiteral("/Documents"));
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", home.toUtf8());
    stores.writeFile(stores.iniFile(),
                     TIniPreferencesMan::Encode({"[]", "[ShowForm]", "DossierSave=", "waLAVFolder=",
                                                 "DossierScripts=/my/scripts"}));
    run({"/lf=0", "/quit"});
    qputenv("HOME", savedHome);
    EXPECT_EQ(iniValue("DossierSave"), home + QStringLiteral("/Pictures"));
    EXPECT_EQ(iniValue("DossierScripts"), QStringLiteral("/my/scripts"));
    EXPECT_EQ(iniValue("waLAVFolder"), stores.exeFolder() + QStringLiteral("/"));
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

TEST_F(KadrexRun, OpenedVideosAreRecentAndReopenWhileFailedOnesFailTheRun)
{
    stores.writeFile(stores.iniFile(), "[]\r\n");
    const QString clip = fixtures::mediaFixture(QStringLiteral("indexed.mkv"));
    run({QStringLiteral("/o=") + clip, QStringLiteral("/quit")});
    EXPECT_EQ(iniValue(QStringLiteral("RecentFilename1")), clip);
    EXPECT_EQ(iniValue(QStringLiteral("CurrentFileName")), clip);
    // Reopened at start: still the current file when the next run saves.
    run({QStringLiteral("/quit")});
    EXPECT_EQ(iniValue(QStringLiteral("CurrentFileName")), clip);

    for (const QString &bad : {stores.dir.filePath(QStringLiteral("missing.avi")),
                               fixtures::mediaFixture(QStringLiteral("random.avi"))}) {
        QString output;
        EXPECT_EQ(runStatus({QStringLiteral("/o=") + bad, QStringLiteral("/quit")}, &output), 1);
        EXPECT_EQ(output.count(QStringLiteral("Cannot open ")), 1) << output.toStdString();
        EXPECT_TRUE(output.contains(bad)) << output.toStdString();
        EXPECT_EQ(iniValue(QStringLiteral("RecentFilename1")), clip)
            << "a failed file is not recent";
    }
}
