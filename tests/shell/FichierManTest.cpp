// The file manager on real files: the recent list and its captions, opening,
// failed opens, save as and its suggestion, drops, and reopening at start
// through the real preference store.

#include "../prefs/PrefsTestSupport.h"
#include "actions/uScriptAction.h"
#include "shell/uFichierMan.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Files {
    QTemporaryDir dir;
    QString make(const QString &name) const
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
        return path;
    }
};

// A video instance that counts what it was asked to open.
struct VideoManager {
    TFichierMan man;
    QStringList opened, errors;
    bool accept = true;
    VideoManager()
    {
        man.ConfigureForVideo();
        man.OnOpenFile = [this](const QString &f) { return opened << f, accept; };
        man.OnErrorOpenFile = [this](const QString &f) { return errors << f, true; };
    }
    TNopeAction *recent(int i) const
    {
        return man.Find<TNopeAction>(QStringLiteral("naRecent%1").arg(i));
    }
};

} // namespace

TEST(FichierMan, RecentListMovesReopenedFilesFrontAndDropsTheOldest)
{
    Files files;
    VideoManager v;
    QStringList names;
    for (int i = 0; i < 11; ++i)
        names << files.make(QStringLiteral("clip%1.avi").arg(i));
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(v.man.OpenFile(names[i]));
    // clip7 is third: it goes first, clip9 and clip8 follow, the rest stays.
    ASSERT_TRUE(v.man.OpenFile(names[7]));
    EXPECT_EQ(v.man.RecentFiles().mid(0, 4), (QStringList{names[7], names[9], names[8], names[6]}));
    EXPECT_EQ(v.man.RecentFiles().last(), names[0]);
    // An eleventh distinct file drops the oldest.
    ASSERT_TRUE(v.man.OpenFile(names[10]));
    EXPECT_FALSE(v.man.RecentFiles().contains(names[0]));
    EXPECT_EQ(v.recent(10)->Caption(),
              QStringLiteral("10 ") + TFichierMan::ShortenPath(names[1], 50));
    // A deleted file's entry is hidden.
    QFile::remove(names[1]);
    v.man.SetRecentLength(50);
    EXPECT_FALSE(v.recent(10)->isVisible());
    EXPECT_TRUE(v.recent(1)->isVisible());
}

TEST(FichierMan, ShortenedCaptions)
{
    const QString name = QString(26, u'n') + QStringLiteral(".avi"); // 30 characters
    const QString folder = u'/' + QString(48, u'f') + u'/';          // 50 characters
    EXPECT_EQ(TFichierMan::ShortenPath(folder + name, 50), folder.left(20) + ".../" + name);
    EXPECT_EQ(TFichierMan::ShortenPath("/a/b.avi", 50), "/a/b.avi");
    // A long name is cut to the length less four; a folder that still fits stays.
    EXPECT_EQ(TFichierMan::ShortenPath("/a/" + QString(60, u'x'), 50), "/a/" + QString(46, u'x'));
    EXPECT_EQ(TFichierMan::ShortenPath("/abcdef/" + QString(60, u'x'), 50),
              "/abc.../" + QString(46, u'x'));
}

TEST(FichierMan, OpeningRefusesMissingAndRefusedFilesAndFailedOnesStayOut)
{
    Files files;
    VideoManager v;
    v.man.OnTestExtension = [](const QString &ext, const QString &) { return ext == ".avi"; };
    EXPECT_FALSE(v.man.OpenFile(files.dir.filePath("missing.avi")));
    EXPECT_FALSE(v.man.OpenFile(files.make("text.TXT")));
    EXPECT_TRUE(v.opened.isEmpty());

    const QString bad = files.make("bad.AVI"); // the extension is compared in lower case
    v.accept = false;
    EXPECT_FALSE(v.man.OpenFile(bad));
    EXPECT_EQ(v.errors, QStringList{bad});
    EXPECT_EQ(v.man.FileState(), TFichierMan::fsNone);
    EXPECT_TRUE(v.man.CurrentFileName().isEmpty());
    EXPECT_FALSE(v.man.RecentFiles().contains(bad));
}

TEST(FichierMan, DroppingTheCurrentFileAgainDoesNotReopenIt)
{
    Files files;
    VideoManager v;
    const QString a = files.make("a.avi"), b = files.make("b.avi");
    v.man.DropFiles({a, b});
    v.man.DropFiles({QString(a).replace("a.avi", "A.AVI")}); // letter case does not count
    v.man.DropFiles({});
    EXPECT_EQ(v.opened, QStringList{a});
    v.man.DropFiles({b});
    EXPECT_EQ(v.opened, (QStringList{a, b}));
}

TEST(FichierMan, NewAndSaveAs)
{
    Files files;
    {
        VideoManager v; // only existing files
        v.man.Find<TNopeAction>("naNewFile")->Apply();
        EXPECT_EQ(v.man.FileState(), TFichierMan::fsNone);
    }
    TFichierMan man;
    man.ConfigureForScripts();
    man.NewFileName = "script.txt", man.DefaultExtension = ".pas";
    man.Find<TWidestringAction>("waInitialDir")->SetValue(files.dir.path());
    QStringList saved;
    man.OnSaveFile = [&](const QString &f) { return saved << f, true; };
    man.Find<TNopeAction>("naNewFile")->Apply();
    EXPECT_EQ(man.FileState(), TFichierMan::fsNew);
    EXPECT_EQ(man.CurrentFileName(), files.dir.path() + "/script.pas");

    // Save as onto an existing file, answered No: nothing saved, name kept.
    const QString existing = files.make("old.pas");
    man.Platform.ChooseSaveFile = [&](auto &&...) { return std::optional<QString>(existing); };
    man.Platform.AskYesNo = [](const QString &, bool) { return false; };
    man.Find<TWidestringAction>("waSaveFileAs")->DoExecute();
    EXPECT_TRUE(saved.isEmpty());
    EXPECT_EQ(man.CurrentFileName(), files.dir.path() + "/script.pas");
    // Answered Yes: saved there, now the open file.
    man.Platform.AskYesNo = [](const QString &, bool) { return true; };
    man.Find<TWidestringAction>("waSaveFileAs")->DoExecute();
    EXPECT_EQ(saved, QStringList{existing});
    EXPECT_EQ(man.FileState(), TFichierMan::fsOpen);
    EXPECT_EQ(man.RecentFiles().first(), existing);
}

TEST(FichierMan, SaveAsSuggestionCountsPastTakenNames)
{
    Files files;
    EXPECT_EQ(TFichierMan::SaveAsSuggestion(files.dir.filePath("free.txt")),
              files.dir.filePath("free.txt"));
    EXPECT_EQ(TFichierMan::SaveAsSuggestion(files.make("clip.txt")),
              files.dir.filePath("clip_001.txt"));
    files.make("clip_001.txt");
    EXPECT_EQ(TFichierMan::SaveAsSuggestion(files.dir.filePath("clip_001.txt")),
              files.dir.filePath("clip_002.txt"));
}

TEST(FichierMan, ReopensThePreviousFileThroughTheStore)
{
    Files files;
    TempStores stores;
    const QString clip = files.make("clip.avi");
    const auto run = [&](const std::function<void(VideoManager &)> &body) {
        TNorvanePreferences gp(nullptr, stores.locations());
        gp.SetMode(TSavePreferences::spPortable);
        VideoManager v;
        gp.AddList(QStringLiteral("ShowForm"), &v.man);
        gp.LoadLists();
        body(v);
        EXPECT_TRUE(gp.SaveLists());
    };
    run([&](VideoManager &v) { ASSERT_TRUE(v.man.OpenFile(clip)); });
    run([&](VideoManager &v) {
        EXPECT_EQ(v.opened, QStringList{clip});
        EXPECT_EQ(v.man.RecentFiles().first(), clip);
        v.man.Find<TBooleanAction>("baOpenLastFile")->SetValue(false);
    });
    run([&](VideoManager &v) {
        EXPECT_TRUE(v.opened.isEmpty());
        EXPECT_EQ(v.man.FileState(), TFichierMan::fsNone);
        EXPECT_EQ(v.man.RecentFiles().first(), clip);
    });
}
