#pragma once
// The application manager: the main window's application-level commands and
// pages. The settings, about and custom pages are shown over the window's
// client area and exclude one another; the help browser and the script
// window stand beside it; it quits through the window's normal close path
// (so the preferences are saved), writes to the maker, opens the home page,
// and keeps the window's position and size (raFormSave).
//
// It also owns the command-line switch processor that the window hands to
// every action list; its own list is entered first.

#include "actions/uActionList.h"

#include <QFrame>
#include <QPointer>
#include <QStringList>
#include <QUrl>

#include <functional>

class QWidget;
class TAboutFrame;
class TCheckAction;
class TLinkEdit;
class TNopeAction;
class TRectAction;
struct TNvRect;

namespace appliman {

inline constexpr const char *kContactAddress = "kadrex@norvane.org";
inline constexpr const char *kHomePage = "https://www.norvane.org/kadrex/";
inline constexpr const char *kDocumentation = "https://www.norvane.org/kadrex/manual/";
inline constexpr const char *kForum = "https://forum.norvane.org/kadrex/";
// The date of the last update, "dd/mm/yyyy".
QString LastUpdate();
// "mailto:" the maker with the subject "About Kadrex 6.2.1 en" and an empty body.
QUrl MailToMaker();
// An address as given, less a trailing copyright sign.
QUrl WebAddress(const QString &address);
// The rectangle of a window of the given size centred on the screen.
TNvRect Centred(const QRect &screen, const QSize &size);

} // namespace appliman

class TNvAppliMan : public TNvActionComponent
{
    Q_OBJECT
public:
    // On a widget owner the help browser and the script window are created
    // (hidden, as windows of their own beside the owner).
    explicit TNvAppliMan(QObject *owner = nullptr);
    ~TNvAppliMan() override;

    // The window whose client area holds the pages, whose bounds raFormSave
    // keeps and which naQuit closes. The pages fill its central widget (its
    // own area when it has none), below the first PageTop pixels.
    QWidget *WinControl() const { return m_winControl; }
    void SetWinControl(QWidget *window, int pageTop = 0);
    QWidget *OptionsFrame() const { return m_frames[pgOptions]; }
    void SetOptionsFrame(QWidget *frame) { SetFrame(pgOptions, frame); }
    QWidget *CustomFrame() const { return m_frames[pgCustom]; }
    void SetCustomFrame(QWidget *frame) { SetFrame(pgCustom, frame); }
    TAboutFrame *AboutFrame() const;
    void SetAboutFrame(TAboutFrame *frame);

    bool OptionsCloseVisible() const { return m_optionsCloseVisible; }
    void SetOptionsCloseVisible(bool visible);
    // Components to credit on the about page: titles and their addresses.
    QStringList TitreUses, UrlUses;

    // The switch processor the window hands to its lists.
    TNvSwitch *SwitchProcessor() const { return m_switch; }
    QWidget *HelpWindow() const { return m_helpWindow; }
    QWidget *ScriptWindow() const { return m_scriptWindow; }
    // The page that holds a frame (settings 0, about 1, custom 2).
    QFrame *Page(int index) const { return m_pages[index]; }
    TLinkEdit *OptionsCloseLine() const { return m_optionsClose; }

    // Opens an address with the desktop's handler (mail or web).
    std::function<void(const QUrl &)> OpenUrl;

    TCheckAction *caScript = nullptr, *caHelp = nullptr, *caAbout = nullptr, *caOptions = nullptr,
                 *caCustom = nullptr;
    TNopeAction *naQuit = nullptr, *naEMail = nullptr, *naHomePage = nullptr;
    TRectAction *raFormSave = nullptr;

protected:
    void CreateActions() override;
    void AssignHandlers() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum { pgOptions = 0, pgAbout = 1, pgCustom = 2, kPageCount = 3 };

    void CreateWindows(QWidget *owner);
    void SetFrame(int index, QWidget *frame);
    void ShowPage(int index, bool shown);
    void PlacePages();
    void CentreFrame(int index);
    void ShowWindow(QWidget *window, bool shown);
    TNvRect WindowBounds() const;
    void SetWindowBounds(const TNvRect &bounds);
    // The window's size centred on its screen.
    TNvRect DefaultBounds() const;

    QPointer<QWidget> m_winControl;
    int m_pageTop = 0;
    QPointer<QWidget> m_frames[kPageCount];
    QPointer<QFrame> m_pages[kPageCount];
    QPointer<QWidget> m_helpWindow, m_scriptWindow;
    QPointer<TLinkEdit> m_optionsClose;
    bool m_optionsCloseVisible = true;
    TNvSwitch *m_switch = nullptr;
};

// Unchecks a page action and applies it, recording no macro line.
void UncheckQuietly(TCheckAction *action);
