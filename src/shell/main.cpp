#include "main.h"

#include "actions/uActionList.h"
#include "actions/uActionTable.h"
#include "actions/uNvSwitch.h"
#include "media/uAudioMan.h"
#include "media/uVideoMan.h"
#include "navigation/uNavMan.h"
#include "prefs/uPreferences.h"
#include "prefs/uProductInfo.h"
#include "prefs/uSavePrefs.h"
#include "uAboutFrame.h"
#include "uDefaultFolders.h"
#include "uDropSourceW.h"
#include "uFichierDialogs.h"
#include "uFichierMan.h"
#include "uHelpForm.h"
#include "uNvAppliMan.h"
#include "uOptionsFrame.h"
#include "uShortcutSuspend.h"
#include "uShowFormActions.h"
#include "uShowFormMenus.h"
#include "uShowFormToolbar.h"
#include "uShowFormView.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSlider>
#include <QTimer>

TShowForm::TShowForm(QWidget *parent, const TPrefsLocations &where) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("ShowForm"));
    resize(kInitialSize);
    setMinimumSize(kMinimumSize);

    m_view = new TShowFormView(this);
    setCentralWidget(m_view);

    CreateAppliMan();
    m_gpal = new TNvActionList(this);
    m_gpal->setObjectName(QStringLiteral("gpal"));
    CreateActionsFromTable(ShowFormActionTable(), *m_gpal, this);
    defaultfolders::InstallDefaults(*m_gpal, QCoreApplication::applicationDirPath());
    CreateFileManager();
    CreateMediaComponents();
    for (TCustomNvActionList *list : Lists()) {
        const QList<TCustomAbstractAction *> &own = list->Actions();
        addActions({own.begin(), own.end()}); // their shortcuts work in the window
    }

    // The application manager owns the switch processor; it runs the command
    // line when the application becomes active.
    m_switch = m_am->SwitchProcessor();
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        if (s == Qt::ApplicationActive && m_shown)
            m_switch->ApplicationActivated();
    });

    CreatePreferences(where);
    TntFormCreate();
}

void TShowForm::CreatePreferences(const TPrefsLocations &where)
{
    // The preference component watches this window: at the first show it
    // detects the storage mode and loads the lists (after showEvent, before
    // the queued command line); at close it asks for a mode and saves.
    m_gp = new TNorvanePreferences(this, where);
    InstallSavePrefsDialog(*m_gp, this);
    // Load order; saving runs backwards. The other lists join here as they
    // come: ScriptForm's list and file manager first, then in ShowForm am,
    // vidman, audman, NavMan, gpal, ficman.
    for (TCustomNvActionList *list : Lists())
        m_gp->AddList(objectName(), list);
}

QList<TCustomNvActionList *> TShowForm::Lists() const
{
    // Load order in section ShowForm: am, vidman, audman, NavMan, gpal, ficman.
    return {m_am, m_vidman, m_audman, m_navMan, m_gpal, m_ficman};
}

QAction *TShowForm::FindAction(const QString &internalId) const
{
    for (TCustomNvActionList *list : Lists())
        if (QAction *action = list->FindByInternalId(internalId))
            return action;
    return nullptr;
}

void TShowForm::CreateFileManager()
{
    m_ficman = new TFichierMan(this);
    m_ficman->setObjectName(QStringLiteral("ficman"));
    m_ficman->ConfigureForVideo();
    m_ficman->DeleteExisting = TConfirmType::ctAskif;
    m_ficman->SetRecentLength(50);
    m_ficman->OnTestExtension = [](const QString &extension, const QString &) {
        return IsVideoExtension(extension);
    };
    m_ficman->Platform = DesktopFichierPlatform(this);
    m_ficman->OnOpenFile = [this](const QString &path) {
        UncheckQuietly(m_am->caAbout); // the video comes to the front
        UncheckQuietly(m_am->caOptions);
        return openfile(path);
    };
    m_ficman->OnCloseFile = [this](const QString &) { closefile(); };
    m_ficman->OnRefused = [this](const QString &path, const QString &reason) {
        ReportOpenFailure(path, reason);
    };
    auto *drag = new TFileDragControl(m_ficman);
    drag->SetDragControl(m_view->videoPanel);
}

void TShowForm::CreateMenus()
{
    const TActionLookup lookup = [this](const QString &id) { return FindAction(id); };
    QList<QAction *> ordered = BuildMainMenu(*menuBar(), lookup);
    m_videoMenu = new QMenu(this);
    BuildMenu(*m_videoMenu, VideoContextMenuTable(), lookup);
    m_view->videoPanel->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view->videoPanel, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { m_videoMenu->popup(m_view->videoPanel->mapToGlobal(at)); });
    // The main menu's actions keep their keys; a list action sharing one loses it.
    for (TCustomNvActionList *list : Lists())
        for (TCustomAbstractAction *action : list->Actions())
            ordered << action;
    ResolveShortcutClashes(ordered);
    BuildToolbar(*m_view->barUnique, lookup);
}

void TShowForm::BindPages()
{
    auto *page = m_gpal->Find<TIntegerAction>(QStringLiteral("iaPanneauActif"));
    page->OnAfterApply = [this](const qint32 &index) { m_view->ShowPage(index); };
    page->BeforeSave = [this](qint32 &index) {
        index = m_view->ShownPage();
        return true;
    };
    const char *commands[] = {"naShowImagette", "naShowSaveImages", "naShowDVIncrust",
                              "naShowIncrust"};
    for (int i = 0; i < TShowFormView::kPageCount; ++i)
        m_gpal->Find<TNopeAction>(QString::fromLatin1(commands[i]))->OnAfterApply = [page, i] {
            page->SetValue(i);
        };
}

void TShowForm::BindLayoutActions()
{
    auto *side = m_gpal->Find<TCheckAction>(QStringLiteral("caBasculerVue"));
    auto *left = m_gpal->Find<TIntegerAction>(QStringLiteral("iaLeftFrame"));
    const auto relayout = [this, side, left] {
        m_view->VideoOnLeft = side->Checked();
        m_view->Relayout();
        left->SetValue(m_view->Layout().pagesLeft);
    };
    side->OnAfterTrueApply = relayout;
    side->OnAfterFalseApply = relayout;
    auto *sliders = m_gpal->Find<TCheckAction>(QStringLiteral("caSliders"));
    const auto showSliders = [this, sliders] {
        m_view->SlidersShown = sliders->Checked();
        m_view->Xslider->setVisible(sliders->Checked());
        m_view->Yslider->setVisible(sliders->Checked());
        m_view->Relayout();
    };
    sliders->OnAfterTrueApply = showSliders;
    sliders->OnAfterFalseApply = showSliders;
}

void TShowForm::CreateAppliMan()
{
    m_am = new TNvAppliMan(this);
}

void TShowForm::BindAppliPages()
{
    // The pages cover the client area below the toolbar, which stays usable.
    m_am->SetWinControl(this, kTitleTop);
    m_options = new TOptionsFrame(this);
    m_options->Bind(*m_gpal, *m_navMan, *m_gp);
    m_am->SetOptionsFrame(m_options);
    m_about = new TAboutFrame(this);
    m_am->SetAboutFrame(m_about);
    if (auto *help = qobject_cast<THelpForm *>(m_am->HelpWindow()))
        for (TCustomNvActionList *list : Lists())
            help->AddPage(QLatin1String(product::kTitle), *list);
}

TShowForm::~TShowForm() = default;

void TShowForm::TntFormCreate()
{
    setWindowTitle(QStringLiteral("%1 by %2").arg(product::fullName(), product::kMaker));
    for (TCustomNvActionList *list : Lists())
        list->SetSwitch(m_switch);
    // A bare argument ("kadrex clip.mkv", as file managers pass it) opens it.
    m_switch->DefaultAction = m_ficman->FindByInternalId(QStringLiteral("waOpenFile"));
    CreateMenus();
    BindPages();
    BindAppliPages();
    BindLayoutActions();
    WireGrab();
    WireEffects();
    WireIntervallo();
    WireInlay();
    m_gp->titre = QLatin1String(product::kTitle);
    m_gp->version = product::versionText();
}

void TShowForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    shortcutsOn(m_audman, m_navMan); // the volume's Alt+P comes in here
    applyeffects();
    m_screenSaver.Inhibit();
    // Queued: whoever handles the first show (the preference load) goes first,
    // and the command line runs from the event loop.
    QTimer::singleShot(0, this, &TShowForm::ActivateOnceLoaded);
}

void TShowForm::ActivateOnceLoaded()
{
    // A load that reopens the previous video handles pending events: the
    // command line waits until the load is over.
    if (m_gp->Loading()) {
        QTimer::singleShot(10, this, &TShowForm::ActivateOnceLoaded);
        return;
    }
    m_switch->ApplicationActivated();
}
