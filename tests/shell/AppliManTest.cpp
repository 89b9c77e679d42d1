// The application manager in the main window: its pages, quitting through
// the close path, the window's bounds kept from one run to the next, the
// settings page's bindings, and which list keeps a shortcut two lists share.

#include "../prefs/PrefsTestSupport.h"
#include "TestSupport.h"
#include "actions/uScriptAction.h"
#include "controls/uLinkEdit.h"
#include "navigation/uNavMan.h"
#include "shell/main.h"
#include "shell/uAboutFrame.h"
#include "shell/uNvAppliMan.h"
#include "shell/uOptionsFrame.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>

#include <gtest/gtest.h>

Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject *o, ulong timestamp, int k,
                                               Qt::KeyboardModifiers mods,
                                               const QString &text = QString(),
                                               bool autorep = false, ushort count = 1);

namespace {

// A key as the platform delivers it: the shortcut map sees it first.
void press(QWidget *widget, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    if (qt_sendShortcutOverrideEvent(widget, 0, key, mods))
        return;
    for (QEvent::Type kind : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(kind, key, mods);
        QApplication::sendEvent(widget, &event);
    }
}

// A main window shown and loaded from stores of its own.
struct ShownForm {
    explicit ShownForm(const TempStores &stores) : form(nullptr, stores.locations())
    {
        form.show();
        form.activateWindow();
        testsupport::waitFor([&] { return form.isActiveWindow() && !form.gp()->Loading(); });
        QApplication::processEvents();
    }
    TShowForm form;
};

QStringList iniLines(const QStringList &values)
{
    return QStringList{"[]", "[ShowForm\\FormSave]"} + values;
}

} // namespace

TEST(AppliMan, PagesExcludeOneAnotherAndWindowsFollowTheirFrames)
{
    TempStores stores;
    ShownForm shown(stores);
    TShowForm &form = shown.form;
    TNvAppliMan &am = *form.am();
    QWidget *options = form.OptionsFrame();
    QWidget *about = form.AboutFrame();

    press(&form, Qt::Key_F10);
    EXPECT_TRUE(am.caOptions->Checked());
    EXPECT_TRUE(options->isVisible());
    EXPECT_EQ(am.OptionsCloseLine()->toPlainText(), "Type F10 to close this page or click here.");

    press(&form, Qt::Key_F11); // the about page replaces the settings page
    EXPECT_FALSE(am.caOptions->Checked());
    EXPECT_FALSE(options->isVisible());
    EXPECT_TRUE(am.caAbout->Checked());
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(form.AboutFrame()->Titre->text(), "Kadrex 6.2.1 en");
    // The frame is centred in its page, which covers the area below the toolbar.
    const QWidget *page = am.Page(1);
    EXPECT_EQ(page->geometry(), form.centralWidget()->rect().adjusted(0, 30, 0, 0));
    EXPECT_EQ(about->x(), (page->width() - about->width()) / 2);
    EXPECT_EQ(about->y(), (page->height() - about->height()) / 2);

    press(&form, Qt::Key_F11);
    EXPECT_FALSE(am.caAbout->Checked());
    EXPECT_FALSE(about->isVisible());
    EXPECT_FALSE(options->isVisible());

    // The help browser and the script window: a close by the window's frame
    // unchecks the action, so the key opens it again at once.
    const struct {
        int key;
        TCheckAction *action;
        QWidget *window;
    } windows[] = {{Qt::Key_F1, am.caHelp, am.HelpWindow()},
                   {Qt::Key_F12, am.caScript, am.ScriptWindow()}};
    const auto activateForm = [&] {
        form.activateWindow();
        ASSERT_TRUE(testsupport::waitFor([&] { return form.isActiveWindow(); }));
    };
    for (const auto &w : windows) {
        activateForm();
        press(&form, w.key);
        EXPECT_TRUE(w.action->Checked());
        EXPECT_TRUE(w.window->isVisible());
        w.window->close();
        EXPECT_FALSE(w.action->Checked());
        activateForm();
        press(&form, w.key);
        EXPECT_TRUE(w.window->isVisible());
        ASSERT_TRUE(testsupport::waitFor([&] { return w.window->isActiveWindow(); }));
        press(w.window, w.key); // the key works from the window itself
        EXPECT_FALSE(w.action->Checked());
        EXPECT_FALSE(w.window->isVisible());
    }
}

TEST(AppliMan, QuitSavesThePreferencesAndTheNextRunRestoresTheWindow)
{
    TempStores stores;
    stores.writeFile(stores.iniFile(), TIniPreferencesMan::Encode({"[]"})); // portable mode
    {
        ShownForm shown(stores);
        TShowForm &form = shown.form;
        form.am()->caOptions->SetChecked(true);
        form.gpal()->Find<TIntegerAction>("iaDigits")->SetValue(6);
        form.move(40, 30);
        form.resize(900, 600);
        form.am()->naQuit->trigger();
        ASSERT_TRUE(testsupport::waitFor([&] { return !form.isVisible(); }));
    }
    {
        ShownForm shown(stores);
        TShowForm &form = shown.form;
        EXPECT_EQ(form.pos(), QPoint(40, 30));
        EXPECT_EQ(form.size(), QSize(900, 600));
        EXPECT_EQ(form.gpal()->Find<TIntegerAction>("iaDigits")->Value(), 6);
        // A page open at quit is not open at the next start.
        EXPECT_FALSE(form.am()->caOptions->Checked());
        EXPECT_FALSE(form.OptionsFrame()->isVisible());
    }
}

TEST(AppliMan, WithoutUsableStoredBoundsTheWindowOpensCentredAtItsDesignedSize)
{
    const struct {
        const char *what;
        QStringList stored; // the ini file; none: no store at all
    } cases[] = {
        {"no store", {}},
        {"bounds on no screen", {"Left=9000", "Top=9000", "Right=9900", "Bottom=9600"}},
        {"empty bounds", {"Left=100", "Top=100", "Right=100", "Bottom=100"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TempStores stores;
        if (!c.stored.isEmpty())
            stores.writeFile(stores.iniFile(), TIniPreferencesMan::Encode(iniLines(c.stored)));
        ShownForm shown(stores);
        const QRect screen = shown.form.screen()->geometry();
        EXPECT_EQ(shown.form.size(), TShowForm::kInitialSize);
        const QPoint centred(screen.left() + (screen.width() - 1025) / 2,
                             screen.top() + (screen.height() - 644) / 2);
        // The offscreen platform's emulated frame may shift a window by its
        // 2-pixel border.
        EXPECT_LE((shown.form.pos() - centred).manhattanLength(), 2) << shown.form.x();
    }
}

TEST(AppliMan, SettingsPageControlsAndTheirActionsFollowEachOther)
{
    TempStores stores;
    ShownForm shown(stores);
    TShowForm &form = shown.form;
    TOptionsFrame &page = *form.OptionsFrame();
    TNvActionList &gpal = *form.gpal();
    const auto boolean = [&](const char *id) { return gpal.Find<TBooleanAction>(id); };

    // Each check box both ways: the action sets the box, the box the action.
    const struct {
        QCheckBox *box;
        std::function<bool()> value;
        std::function<void(bool)> set;
    } boxes[] = {
        {page.cbRAZwhenOpenFile, [&] { return boolean("baRAZWhenOpenFile")->Value(); },
         [&](bool v) { boolean("baRAZWhenOpenFile")->SetValue(v); }},
        {page.cbSauverQuandClic, [&] { return boolean("baSauverQuandClic")->Value(); },
         [&](bool v) { boolean("baSauverQuandClic")->SetValue(v); }},
        {page.cbConfirmerImage, [&] { return boolean("baConfirmerImage")->Value(); },
         [&](bool v) { boolean("baConfirmerImage")->SetValue(v); }},
        {page.cbUsePrivateFilters, [&] { return boolean("baUsePrivateFilters")->Value(); },
         [&](bool v) { boolean("baUsePrivateFilters")->SetValue(v); }},
        {page.cbConserverScripts,
         [&] { return gpal.Find<TCheckAction>("caConserverScript")->Checked(); },
         [&](bool v) { gpal.Find<TCheckAction>("caConserverScript")->SetChecked(v); }},
        {page.cbNavPrecise, [&] { return form.NavMan()->caSeekPrecision->Checked(); },
         [&](bool v) { form.NavMan()->caSeekPrecision->SetChecked(v); }},
    };
    for (const auto &b : boxes) {
        SCOPED_TRACE(b.box->text().toStdString());
        for (bool v : {true, false, true}) {
            b.set(v);
            EXPECT_EQ(b.box->isChecked(), v);
        }
        b.box->click();
        EXPECT_FALSE(b.value());
        b.box->click();
        EXPECT_TRUE(b.value());
    }

    auto *prepos = form.NavMan()->iaSeekPrepos;
    prepos->SetValue(250);
    EXPECT_EQ(page.seSeekPrepos->value(), 250);
    page.seSeekPrepos->setValue(400);
    EXPECT_EQ(prepos->Value(), 400);

    auto *scripts = gpal.Find<TWidestringAction>("waDossierScripts");
    scripts->SetValue("/tmp/scripts");
    EXPECT_EQ(page.deDossierScripts->text(), "/tmp/scripts");
    page.deDossierScripts->setText("/tmp/other");
    emit page.deDossierScripts->textEdited("/tmp/other");
    EXPECT_EQ(scripts->Value(), "/tmp/other");
    // The private folder gets its trailing separator.
    auto *privateFolder = gpal.Find<TWidestringAction>("waPrivateFolder");
    page.dePrivateFolder->setText(stores.exeFolder());
    emit page.dePrivateFolder->editingFinished();
    EXPECT_EQ(privateFolder->Value(), stores.exeFolder() + "/");
    EXPECT_EQ(page.dePrivateFolder->text(), stores.exeFolder() + "/");

    // The storage mode: a click sets it, a change from elsewhere shows.
    EXPECT_TRUE(page.prefsModes->button(2)->isChecked()); // no store yet
    page.prefsModes->button(1)->click();
    EXPECT_EQ(form.gp()->StorageMode(), TSavePreferences::spPortable);
    form.gp()->SetMode(TSavePreferences::spRegistre);
    EXPECT_TRUE(page.prefsModes->button(0)->isChecked());
}

TEST(AppliMan, TheMainMenuKeepsTheShortcutsThatTwoListsShare)
{
    TempStores stores;
    ShownForm shown(stores);
    TShowForm &form = shown.form;
    QList<QUrl> opened;
    form.am()->OpenUrl = [&](const QUrl &url) { opened << url; };
    const struct {
        const char *key, *kept, *silenced;
    } pairs[] = {
        {"Alt+F5", "naForcerNormal", "naEMail"},
        {"Alt+F6", "naForcer4x3", "naHomePage"},
        {"Ctrl+N", "naInsertNumero", "caInsertAntiAliasing"},
    };
    for (const auto &p : pairs) {
        SCOPED_TRACE(p.key);
        const QKeySequence key(QString::fromLatin1(p.key));
        QAction *kept = form.FindAction(p.kept);
        QAction *silenced = form.FindAction(p.silenced);
        ASSERT_TRUE(kept && silenced);
        EXPECT_EQ(kept->shortcuts(), QList<QKeySequence>{key});
        EXPECT_FALSE(silenced->shortcuts().contains(key));
        int keptRuns = 0, silencedRuns = 0;
        kept->setEnabled(true);
        const auto c1 = QObject::connect(kept, &QAction::triggered, [&] { ++keptRuns; });
        const auto c2 = QObject::connect(silenced, &QAction::triggered, [&] { ++silencedRuns; });
        press(&form, key[0].key(), key[0].keyboardModifiers());
        QObject::disconnect(c1);
        QObject::disconnect(c2);
        EXPECT_EQ(keptRuns, 1);
        EXPECT_EQ(silencedRuns, 0);
    }
    // The commands that lost their key still run from the menus.
    form.am()->naEMail->trigger();
    form.am()->naHomePage->trigger();
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[0].toString().toStdString(),
              "mailto:kadrex@norvane.org?subject=About Kadrex 6.2.1 en&body=");
    EXPECT_EQ(opened[1], QUrl("https://www.norvane.org/kadrex/"));
    // The about page's links: an address loses a trailing copyright sign,
    // and the mail link writes to the maker like the command.
    form.AboutFrame()->Info->OnUrlClick(QStringLiteral("https://www.norvane.org/kadrex/\u00A9"));
    EXPECT_EQ(opened.last(), QUrl("https://www.norvane.org/kadrex/"));
    form.AboutFrame()->Info->OnMailClick(QStringLiteral("kadrex@norvane.org"));
    EXPECT_EQ(opened.last(), opened[0]);
}
