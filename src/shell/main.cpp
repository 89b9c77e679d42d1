#include "main.h"

#include "actions/uActionList.h"
#include "actions/uActionTable.h"
#include "actions/uNvSwitch.h"
#include "prefs/uPreferences.h"
#include "prefs/uProductInfo.h"
#include "prefs/uSavePrefs.h"
#include "uDefaultFolders.h"
#include "uShowFormActions.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>

TShowForm::TShowForm(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("ShowForm"));
    resize(kInitialSize);
    setMinimumSize(kMinimumSize);

    m_gpal = new TNvActionList(this);
    m_gpal->setObjectName(QStringLiteral("gpal"));
    const auto actions = CreateActionsFromTable(ShowFormActionTable(), *m_gpal, this);
    addActions({actions.begin(), actions.end()}); // their shortcuts work in the window
    defaultfolders::InstallDefaults(*m_gpal, QCoreApplication::applicationDirPath());

    // The application manager will own the switch processor; until it exists
    // the window keeps it.
    m_switch = new TNvSwitch(this);
    m_switch->OnCloseMainWindow = [this] { close(); };
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        if (s == Qt::ApplicationActive && m_shown)
            m_switch->ApplicationActivated();
    });

    CreatePreferences();
    TntFormCreate();
}

void TShowForm::CreatePreferences()
{
    // The preference component watches this window: at the first show it
    // detects the storage mode and loads the lists (after showEvent, before
    // the queued command line); at close it asks for a mode and saves.
    m_gp = new TNorvanePreferences(this);
    InstallSavePrefsDialog(*m_gp, this);
    // Load order; saving runs backwards. The other lists join here as they
    // come: ScriptForm's list and file manager first, then in ShowForm am,
    // vidman, audman, NavMan, gpal, ficman.
    m_gp->AddList(objectName(), m_gpal);
}

TShowForm::~TShowForm() = default;

void TShowForm::TntFormCreate()
{
    setWindowTitle(QStringLiteral("%1 by %2").arg(product::fullName(), product::kMaker));
    m_gpal->SetSwitch(m_switch);
    m_gp->titre = QLatin1String(product::kTitle);
    m_gp->version = product::versionText();
}

void TShowForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // Queued: whoever handles the first show (the preference load) goes first,
    // and the command line runs from the event loop.
    QTimer::singleShot(0, m_switch, &TNvSwitch::ApplicationActivated);
}
