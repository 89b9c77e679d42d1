#pragma once
// The main window's menus and the video's context menu as data: each entry
// names an action by its InternalId, looked up across every action list of
// the window, so an entry shows its action's caption, hint, shortcut and
// state. "-" is a separator, a name ending in ">" opens a submenu that runs
// to the next "<".

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <span>

class QAction;
class QMenu;
class QMenuBar;
class QKeySequence;

struct TMenuDef {
    const char *title;
    std::span<const char *const> entries;
};

std::span<const TMenuDef> MainMenuTable();
std::span<const char *const> VideoContextMenuTable();

// Finds an action by InternalId; nullptr when no list (yet) has it.
using TActionLookup = std::function<QAction *(const QString &internalId)>;

// Fills the bar and returns its actions in menu order (the shortcut order).
QList<QAction *> BuildMainMenu(QMenuBar &bar, const TActionLookup &lookup);
void BuildMenu(QMenu &menu, std::span<const char *const> entries, const TActionLookup &lookup);

// Shortcuts that two actions share go to the first one in order (the main
// menu's, then the lists'): the others lose their key, so that the key
// never becomes ambiguous and dead. Returns the actions that lost a key.
QList<QAction *> ResolveShortcutClashes(const QList<QAction *> &ordered);
