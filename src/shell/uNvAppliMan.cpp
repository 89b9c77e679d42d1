#include "uNvAppliMan.h"

#include "actions/uActionTable.h"
#include "actions/uScriptAction.h"
#include "controls/uLinkEdit.h"
#include "prefs/uProductInfo.h"
#include "uAboutFrame.h"
#include "uHelpForm.h"

#include <QDesktopServices>
#include <QEvent>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QWidget>

namespace {

using enum TActionClass;

constexpr bool kStored = true, kOnLoad = true, kNotOnLoad = false;

constexpr TActionDef kAppliActions[] = {
    {"caScript", Check, "Script", "", "False", "F12", "internal", "Script", "", kStored, kNotOnLoad,
     "Script", "Script", "Click to close the Script Page", "Click to Show the Script Page"},
    {"caHelp", Check, "Help", "", "False", "F1", "internal", "Help", "", kStored, kNotOnLoad,
     "Help", "Help", "Click to close the Help Page", "Click to display the Help page"},
    {"caAbout", Check, "About", "", "False", "F11", "internal", "About", "", kStored, kNotOnLoad,
     "About", "About", "Click to close the About page", "Click to display the About Page..."},
    {"caOptions", Check, "Options", "", "False", "F10", "internal", "Settings", "", kStored,
     kNotOnLoad, "Settings", "Settings", "Click to close the Settings Page",
     "Click to display the Settings Page"},
    {"caCustom", Check, "Custom", "", "False", "Alt+F10", "internal", "Custom Frame", "", kStored,
     kNotOnLoad, "Custom Frame", "Custom Frame", "Click to close the page Custom",
     "Click to open the page Custom"},
    {"naQuit", Nope, "Quit", "", nullptr, "Alt+F4", "internal", "Quit", "Quit Kadrex", kStored,
     kNotOnLoad},
    {"naEMail", Nope, "EMail", "", nullptr, "Alt+F5", "internal", "E-mail",
     "Send an e-mail to Norvane", kStored, kNotOnLoad},
    {"naHomePage", Nope, "HomePage", "", nullptr, "Alt+F6", "internal", "Homepage",
     "Open the homepage of Kadrex", kStored, kNotOnLoad},
    {"raFormSave", Rect, "FormSave", "", nullptr /* the window centred */, "", "internal", "", "",
     kStored, kOnLoad},
};

const QString kCloseHint =
    QStringLiteral("Click to close that page\nand return to the application");

// The client area the pages cover: a main window's central widget.
QWidget *pageHost(QWidget *window)
{
    auto *main = qobject_cast<QMainWindow *>(window);
    return main && main->centralWidget() ? main->centralWidget() : window;
}

bool onSomeScreen(const QRect &bounds)
{
    for (const QScreen *screen : QGuiApplication::screens())
        if (screen->geometry().intersects(bounds))
            return true;
    return false;
}

} // namespace

namespace appliman {

QString LastUpdate()
{
    return QString::asprintf("%.2d/%.2d/%.4d", 8, 2, 2020);
}

QUrl MailToMaker()
{
    QUrl url(QStringLiteral("mailto:") + QLatin1String(kContactAddress));
    url.setQuery(QStringLiteral("subject=About %1&body=").arg(product::fullName()));
    return url;
}

QUrl WebAddress(const QString &address)
{
    QString text = address.trimmed();
    if (text.endsWith(QChar(0x00A9)))
        text.chop(1);
    return QUrl(text.trimmed());
}

TNvRect Centred(const QRect &screen, const QSize &size)
{
    // Division rounds toward zero, also for a window wider than the screen.
    const int left = screen.left() + (screen.width() - size.width()) / 2;
    const int top = screen.top() + (screen.height() - size.height()) / 2;
    return {left, top, left + size.width(), top + size.height()};
}

} // namespace appliman

void UncheckQuietly(TCheckAction *action)
{
    if (!action || !action->Checked())
        return;
    const bool nesting = MacroNesting;
    MacroNesting = true; // another action's handler: no macro line of its own
    action->SetChecked(false);
    MacroNesting = nesting;
}

TNvAppliMan::TNvAppliMan(QObject *owner) : TNvActionComponent(owner)
{
    setObjectName(QStringLiteral("am"));
    OpenUrl = [](const QUrl &url) { QDesktopServices::openUrl(url); };
    m_switch = new TNvSwitch(this);
    m_switch->OnCloseMainWindow = [this] {
        if (m_winControl)
            m_winControl->close();
    };
    CreateFresh();
    SetSwitch(m_switch); // the application's own commands come first
    if (auto *window = qobject_cast<QWidget *>(owner))
        CreateWindows(window);
}

TNvAppliMan::~TNvAppliMan()
{
    // The windows beside the main window are the manager's, not the owner's.
    delete m_helpWindow;
    delete m_scriptWindow;
}

void TNvAppliMan::CreateActions()
{
    CreateActionsFromTable(kAppliActions, *this, this);
}

void TNvAppliMan::AssignHandlers()
{
    caScript = Find<TCheckAction>(QStringLiteral("caScript"));
    caHelp = Find<TCheckAction>(QStringLiteral("caHelp"));
    caAbout = Find<TCheckAction>(QStringLiteral("caAbout"));
    caOptions = Find<TCheckAction>(QStringLiteral("caOptions"));
    caCustom = Find<TCheckAction>(QStringLiteral("caCustom"));
    naQuit = Find<TNopeAction>(QStringLiteral("naQuit"));
    naEMail = Find<TNopeAction>(QStringLiteral("naEMail"));
    naHomePage = Find<TNopeAction>(QStringLiteral("naHomePage"));
    raFormSave = Find<TRectAction>(QStringLiteral("raFormSave"));

    // The three pages exclude one another: the others close before one opens.
    const struct {
        TCheckAction *action;
        int page;
        TCheckAction *others[2];
    } pages[] = {{caOptions, pgOptions, {caAbout, caCustom}},
                 {caAbout, pgAbout, {caOptions, caCustom}},
                 {caCustom, pgCustom, {caAbout, caOptions}}};
    for (const auto &row : pages) {
        const int page = row.page;
        TCheckAction *first = row.others[0], *second = row.others[1];
        row.action->InternalTrueApply = [this, page, first, second] {
            UncheckQuietly(first);
            UncheckQuietly(second);
            ShowPage(page, true);
        };
        row.action->InternalFalseApply = [this, page] { ShowPage(page, false); };
    }
    caScript->InternalTrueApply = [this] { ShowWindow(m_scriptWindow, true); };
    caScript->InternalFalseApply = [this] { ShowWindow(m_scriptWindow, false); };
    caHelp->InternalTrueApply = [this] { ShowWindow(m_helpWindow, true); };
    caHelp->InternalFalseApply = [this] { ShowWindow(m_helpWindow, false); };
    // A page or window open at quit is not open at the next start.
    for (TCheckAction *check : {caScript, caHelp, caAbout, caOptions, caCustom})
        check->InternalBeforeSave = [](bool &checked) {
            checked = false;
            return true;
        };

    naQuit->InternalApply = [this] {
        if (m_winControl)
            m_winControl->close(); // the close path saves the preferences
    };
    naEMail->InternalApply = [this] { OpenUrl(appliman::MailToMaker()); };
    naHomePage->InternalApply = [this] {
        OpenUrl(appliman::WebAddress(QLatin1String(appliman::kHomePage)));
    };

    raFormSave->InternalDefault = [this](TNvRect &bounds) {
        if (m_winControl)
            bounds = DefaultBounds();
        return true;
    };
    raFormSave->InternalApply = [this](const TNvRect &bounds) { SetWindowBounds(bounds); };
    raFormSave->InternalBeforeSave = [this](TNvRect &bounds) {
        if (m_winControl)
            bounds = WindowBounds();
        return true;
    };
}

void TNvAppliMan::CreateWindows(QWidget *owner)
{
    auto *help = new THelpForm(owner);
    m_helpWindow = help;
    m_scriptWindow = CreateScriptPlaceholder(owner);
    for (QWidget *window : {m_helpWindow.data(), m_scriptWindow.data()}) {
        window->installEventFilter(this);
        // F1 and F12 work from these windows too.
        window->addActions({caHelp, caScript});
    }
}

void TNvAppliMan::SetWinControl(QWidget *window, int pageTop)
{
    if (m_winControl)
        pageHost(m_winControl)->removeEventFilter(this);
    m_winControl = window;
    m_pageTop = pageTop;
    if (!window)
        return;
    QWidget *host = pageHost(window);
    host->installEventFilter(this);
    for (int i = 0; i < kPageCount; ++i) {
        if (!m_pages[i]) {
            m_pages[i] = new QFrame(host);
            m_pages[i]->setObjectName(QStringLiteral("AppliPage%1").arg(i));
            m_pages[i]->setAutoFillBackground(true);
            QPalette palette = m_pages[i]->palette();
            // The about page in the workspace colour, the others silver.
            palette.setColor(QPalette::Window, i == pgAbout ? palette.color(QPalette::Dark)
                                                            : QColor(0xC0, 0xC0, 0xC0));
            m_pages[i]->setPalette(palette);
            m_pages[i]->installEventFilter(this);
            m_pages[i]->hide();
        }
        if (m_frames[i])
            m_frames[i]->setParent(m_pages[i]);
    }
    PlacePages();
}

void TNvAppliMan::SetFrame(int index, QWidget *frame)
{
    m_frames[index] = frame;
    if (!frame)
        return;
    if (m_pages[index])
        frame->setParent(m_pages[index]);
    frame->hide();
    if (index != pgOptions)
        return;
    // The settings page's close line sits in the frame's bottom-right corner.
    delete m_optionsClose;
    m_optionsClose = new TLinkEdit(frame);
    m_optionsClose->setObjectName(QStringLiteral("OptionsCloseLine"));
    m_optionsClose->SetFontColor(0x000080); // maroon
    QFont font = m_optionsClose->font();
    font.setPointSize(8);
    font.setBold(true);
    font.setItalic(true);
    m_optionsClose->setFont(font);
    m_optionsClose->SetRichText(
        CloseLineText(QStringLiteral("F10"), QStringLiteral("closeOptions")));
    m_optionsClose->OnCustomLinkHint = [](const QString &, QString &hint) { hint = kCloseHint; };
    m_optionsClose->OnCustomLinkClick = [this](const QString &link) {
        if (link == QLatin1String("closeOptions"))
            UncheckQuietly(caOptions);
    };
    m_optionsClose->setGeometry(frame->width() - 16 - 180, frame->height() - 16 - 40, 180, 40);
    m_optionsClose->setVisible(m_optionsCloseVisible);
    frame->installEventFilter(this);
}

TAboutFrame *TNvAppliMan::AboutFrame() const
{
    return qobject_cast<TAboutFrame *>(m_frames[pgAbout]);
}

void TNvAppliMan::SetAboutFrame(TAboutFrame *frame)
{
    SetFrame(pgAbout, frame);
    if (!frame)
        return;
    frame->CloseLine->OnCustomLinkHint = [](const QString &, QString &hint) { hint = kCloseHint; };
    frame->CloseLine->OnCustomLinkClick = [this](const QString &link) {
        if (link == QLatin1String("closeAbout"))
            UncheckQuietly(caAbout);
    };
    frame->Info->OnUrlHint = [](const QString &link, QString &hint) {
        hint = QStringLiteral("Click to access the website ") + link;
    };
    frame->Info->OnUrlClick = [this](const QString &link) { OpenUrl(appliman::WebAddress(link)); };
    frame->Info->OnMailHint = [](const QString &, QString &hint) {
        hint = QStringLiteral("Click to send an email to ") + QLatin1String(product::kMaker);
    };
    frame->Info->OnMailClick = [this](const QString &) { OpenUrl(appliman::MailToMaker()); };
}

void TNvAppliMan::SetOptionsCloseVisible(bool visible)
{
    m_optionsCloseVisible = visible;
    if (m_optionsClose)
        m_optionsClose->setVisible(visible);
}

void TNvAppliMan::ShowPage(int index, bool shown)
{
    QWidget *frame = m_frames[index];
    if (!frame)
        return; // a page without a frame is neither shown nor hidden
    if (index == pgAbout && shown)
        if (TAboutFrame *about = AboutFrame())
            about->Fill(TitreUses, UrlUses);
    QFrame *page = m_pages[index];
    frame->setVisible(shown);
    if (!page)
        return;
    page->setVisible(shown);
    if (shown) {
        PlacePages();
        page->raise();
    }
}

void TNvAppliMan::PlacePages()
{
    if (!m_winControl)
        return;
    const QRect area = pageHost(m_winControl)->rect().adjusted(0, m_pageTop, 0, 0);
    for (int i = 0; i < kPageCount; ++i) {
        if (m_pages[i])
            m_pages[i]->setGeometry(area);
        CentreFrame(i);
    }
}

void TNvAppliMan::CentreFrame(int index)
{
    QFrame *page = m_pages[index];
    QWidget *frame = m_frames[index];
    if (!page || !frame)
        return;
    frame->move((page->width() - frame->width()) / 2, (page->height() - frame->height()) / 2);
}

void TNvAppliMan::ShowWindow(QWidget *window, bool shown)
{
    if (!window)
        return;
    if (!shown) {
        window->hide();
        return;
    }
    window->show();
    window->raise();
    window->activateWindow();
}

bool TNvAppliMan::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        if (m_winControl && watched == pageHost(m_winControl))
            PlacePages();
        for (int i = 0; i < kPageCount; ++i)
            if (watched == m_pages[i])
                CentreFrame(i);
        if (m_optionsClose && watched == m_frames[pgOptions]) {
            const QWidget *frame = m_frames[pgOptions];
            m_optionsClose->move(frame->width() - 16 - 180, frame->height() - 16 - 40);
        }
    } else if (event->type() == QEvent::Close) {
        // Closed by its frame: the action follows.
        if (watched == m_helpWindow)
            UncheckQuietly(caHelp);
        else if (watched == m_scriptWindow)
            UncheckQuietly(caScript);
    }
    return TNvActionComponent::eventFilter(watched, event);
}

TNvRect TNvAppliMan::WindowBounds() const
{
    const QPoint at = m_winControl->pos();
    const QSize size = m_winControl->size();
    return {at.x(), at.y(), at.x() + size.width(), at.y() + size.height()};
}

void TNvAppliMan::SetWindowBounds(const TNvRect &bounds)
{
    if (!m_winControl)
        return;
    const QRect rect(QPoint(bounds.left, bounds.top), QPoint(bounds.right - 1, bounds.bottom - 1));
    // Bounds left on a screen that is gone would lose the window: it comes
    // back centred.
    if (rect.isEmpty() || !onSomeScreen(rect)) {
        const TNvRect centred = DefaultBounds();
        m_winControl->move(centred.left, centred.top);
        return;
    }
    m_winControl->move(rect.topLeft());
    m_winControl->resize(rect.size());
}

TNvRect TNvAppliMan::DefaultBounds() const
{
    const QScreen *screen = m_winControl->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    return appliman::Centred(area, m_winControl->size());
}
