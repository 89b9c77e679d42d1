// The folders whose default is computed at run time: the XDG user folders
// that exist, else home; the executable's folder; a stored empty folder is
// no stored folder.

#include "shell/uDefaultFolders.h"
#include "shell/uShowFormActions.h"

#include "actions/uActionList.h"
#include "actions/uScriptAction.h"
#include "prefs/uIniPreferences.h"
#include "prefs/uPreferences.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// HOME and XDG_CONFIG_HOME in a temporary folder for the test's lifetime.
class TempHome
{
public:
    TempHome() : m_home(qgetenv("HOME")), m_config(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("HOME", home().toUtf8());
        qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toUtf8());
    }
    ~TempHome()
    {
        qputenv("HOME", m_home);
        qputenv("XDG_CONFIG_HOME", m_config);
    }
    QString home() const { return m_dir.path(); }
    QString make(const QString &name) const
    {
        QDir().mkpath(home() + QLatin1Char('/') + name);
        return home() + QLatin1Char('/') + name;
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_home, m_config;
};

TEST(DefaultFolders, UserFoldersThatExistElseHome)
{
    struct Case {
        QStringList existing;
        QString save, scripts;
    };
    const Case cases[] = {
        {{"Pictures", "Documents"}, "Pictures", "Documents"},
        {{"Documents"}, "Documents", "Documents"},
        {{"Pictures"}, "Pictures", ""},
        {{}, "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.existing.join(',').toStdString());
        TempHome home;
        for (const QString &folder : c.existing)
            home.make(folder);
        const auto under = [&](const QString &name) {
            return name.isEmpty() ? home.home() : home.home() + QLatin1Char('/') + name;
        };
        EXPECT_EQ(defaultfolders::SaveFolder(), under(c.save));
        EXPECT_EQ(defaultfolders::ScriptsFolder(), under(c.scripts));
    }

    // The user's own names for them, from the XDG user-dirs file.
    TempHome home;
    const QString pictures = home.make(QStringLiteral("Bilder"));
    home.make(QStringLiteral("config"));
    QFile dirs(home.home() + QStringLiteral("/config/user-dirs.dirs"));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
    dirs.close();
    EXPECT_EQ(defaultfolders::SaveFolder(), pictures);

    EXPECT_EQ(defaultfolders::PrivateFolder(QStringLiteral("/opt/kadrex")), "/opt/kadrex/");
    EXPECT_EQ(defaultfolders::PrivateFolder(QStringLiteral("/opt/kadrex/")), "/opt/kadrex/");
}

TEST(DefaultFolders, AStoredEmptyFolderGetsTheDefaultAndOthersStay)
{
    TempHome home;
    const QString documents = home.make(QStringLiteral("Documents"));
    const QString exe = home.make(QStringLiteral("bin")) + QStringLiteral("/kadrex");
    QFile ini(home.home() + QStringLiteral("/bin/Kadrex.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(TIniPreferencesMan::Encode({"[]", "[ShowForm]",
                                          "DossierSave=", "DossierScripts=/my/scripts",
                                          "waLAVFolder=", "InsertPerso1="}));
    ini.close();

    TNvActionList list;
    QObject owner;
    CreateActionsFromTable(ShowFormActionTable(), list, &owner);
    defaultfolders::InstallDefaults(list, QStringLiteral("/opt/kadrex"));
    TNorvanePreferences gp(nullptr, {exe, home.home() + QStringLiteral("/registry.sqlite3")});
    gp.DetectMode();
    ASSERT_EQ(gp.StorageMode(), TSavePreferences::spPortable);
    ASSERT_TRUE(gp.OpenSection(QStringLiteral("ShowForm")));
    list.LoadAll(gp);

    const auto value = [&](const char *name) {
        return list.Find<TWidestringAction>(QLatin1String(name))->Value();
    };
    EXPECT_EQ(value("waDossierSave"), documents);
    EXPECT_EQ(value("waDossierScripts"), QStringLiteral("/my/scripts"));
    EXPECT_EQ(value("waPrivateFolder"), QStringLiteral("/opt/kadrex/"));
    EXPECT_EQ(value("waInsertPerso1"), QString()); // other texts keep a stored empty one
}

} // namespace
