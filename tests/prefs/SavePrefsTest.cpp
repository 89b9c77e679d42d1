// The storage-mode dialog, and the preference component hooked on a window.

#include "PrefsTestSupport.h"
#include "controls/uLinkEdit.h"
#include "prefs/uSavePrefs.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>

namespace {

TEST(SavePrefsForm, TextsButtonsAndHints)
{
    TSavePrefsForm form;
    form.show(); // laid out: the whole message fits without scrolling
    const QString shown = form.Message->toPlainText();
    EXPECT_TRUE(shown.startsWith(
        QStringLiteral("Do you want to save your preferences and find them again on next start?")));
    EXPECT_TRUE(shown.contains(QStringLiteral("Click on your choice:")));
    EXPECT_TRUE(
        shown.contains(QStringLiteral("either to save them in an ini-file (portable mode).")));
    EXPECT_LE(form.Message->document()->size().height(), form.Message->viewport()->height());
    EXPECT_EQ(form.bNormal->text(), QStringLiteral("Normal"));
    EXPECT_EQ(form.bPortable->text(), QStringLiteral("Portable"));
    EXPECT_EQ(form.bNone->text(), QStringLiteral("None"));
    EXPECT_EQ(form.bNone->toolTip(),
              QStringLiteral("Exit without saving the preferences.\nIf they existed in an ini-file "
                             "or in the registry,\nthey will be deleted."));
    EXPECT_EQ(form.bNormal->toolTip(), QStringLiteral("Save the Preferences in the registry.\nIf "
                                                      "an ini file existed, it will be deleted."));
}

TEST(SavePrefsForm, EachButtonGivesItsChoiceAndTheFrameNone)
{
    TSavePrefsForm form;
    const auto askClicking = [&](QPushButton *button) {
        QTimer::singleShot(0, &form, [&form, button] {
            if (button)
                button->click();
            else
                form.close();
        });
        return form.Ask(QStringLiteral("Saving the preferences of Kadrex"));
    };
    EXPECT_EQ(askClicking(form.bNormal), TModeAnswer::Registre);
    EXPECT_EQ(askClicking(form.bPortable), TModeAnswer::Portable);
    EXPECT_EQ(askClicking(form.bNone), TModeAnswer::None);
    EXPECT_EQ(askClicking(nullptr), TModeAnswer::Cancelled);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Saving the preferences of Kadrex"));
}

// A window that logs its own show and close handlers.
class LoggingWindow : public QWidget
{
public:
    QStringList *log = nullptr;
    bool refuseClose = false;

protected:
    void showEvent(QShowEvent *) override { *log << "window show"; }
    void closeEvent(QCloseEvent *event) override
    {
        *log << "window close";
        event->setAccepted(!refuseClose);
    }
};

// A logging window with the preference component on it.
struct WindowWithPrefs {
    TempStores stores;
    QStringList log;
    LoggingWindow window;
    TNorvanePreferences *gp = nullptr;

    WindowWithPrefs()
    {
        window.log = &log;
        gp = new TNorvanePreferences(&window, stores.locations());
    }
};

TEST(NorvanePreferencesOnWindow, ShowLoadsAfterTheWindowAndCloseSavesOnce)
{
    WindowWithPrefs w;
    w.stores.writeFile(w.stores.iniFile(), TIniPreferencesMan::Encode({"[]"}));
    auto &[stores, log, window, gp] = w;
    gp->OnChangeMode = [&](TSavePreferences) { log << "mode"; };
    gp->OnLoadPrefs = [&](TNorvanePreferences &) { return log << "load", true; };
    gp->OnSavePrefs = [&](TNorvanePreferences &) { return log << "save", true; };

    window.show();
    window.hide();
    window.show(); // the first show only
    EXPECT_EQ(log, QStringList({"mode", "window show", "load", "window show"}));
    log.clear();
    EXPECT_TRUE(window.close());
    EXPECT_EQ(log, QStringList({"window close", "save"}));
    log.clear();
    window.show();
    window.close(); // the hooks are gone: the window's own handler alone
    EXPECT_EQ(log, QStringList({"window show", "window close"}));
}

TEST(NorvanePreferencesOnWindow, CancellingTheQuestionKeepsTheWindowOpen)
{
    WindowWithPrefs w;
    auto &[stores, log, window, gp] = w;
    QList<TModeAnswer> answers = {TModeAnswer::Cancelled, TModeAnswer::Portable};
    gp->OnAskMode = [&](const QString &) { return answers.takeFirst(); };
    window.show();
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(QFileInfo::exists(stores.iniFile()));
    EXPECT_TRUE(window.close());
    EXPECT_EQ(stores.iniLines().value(1), QStringLiteral("Version=Kadrex 6.2.1 en by Norvane"));
}

TEST(NorvanePreferencesOnWindow, WithoutAScreenNothingIsAskedSavedOrDeleted)
{
    WindowWithPrefs w;
    auto &[stores, log, window, gp] = w;
    InstallSavePrefsDialog(*gp, &window);
    window.show();
    ASSERT_TRUE(RunsWithoutScreen());
    stores.writeFile(stores.iniFile(), "[]\r\n"); // appears while running, mode stays none
    EXPECT_TRUE(window.close());
    EXPECT_EQ(stores.readFile(stores.iniFile()), QByteArray("[]\r\n"));
}

} // namespace
