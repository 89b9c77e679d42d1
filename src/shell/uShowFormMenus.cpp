#include "uShowFormMenus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSet>

namespace {

constexpr const char *kFiles[] = {"waOpenFile", "naPasteFile", "naCloseFile", "-",
                                  "naRecent1",  "naRecent2",   "naRecent3",   "naRecent4",
                                  "naRecent5",  "naRecent6",   "naRecent7",   "naRecent8",
                                  "naRecent9",  "naRecent10"};
constexpr const char *kVideo[] = {"caFullscreen",
                                  "caPreviewform",
                                  "caBasculerVue",
                                  "-",
                                  "caFlipVertical",
                                  "caFlipHorizontal",
                                  "-",
                                  "naForcerNormal",
                                  "naForcer4x3",
                                  "naForcer16x9",
                                  "naForcerNative",
                                  "-",
                                  "caMute"};
constexpr const char *kImages[] = {"naGrab",
                                   "naCopy",
                                   "-",
                                   "naBmpExtension",
                                   "naJpegExtension",
                                   "naAjouterTimeStamp",
                                   "naAjouterNumero",
                                   "baImageDeinterlacer",
                                   "-",
                                   "naShowImagette",
                                   "naShowSaveImages"};
constexpr const char *kInlay[] = {"caInsertTextOn",      "caSliders",        "naInsertTimestamp",
                                  "naInsertNumero",      "naInsertDatecode", "naInsertTimecode",
                                  "naInsertSysdateTime", "naInsertPerso",    "-",
                                  "naShowDVIncrust",     "naShowIncrust"};
constexpr const char *kHelp[] = {"caHelp",  "caScript",   "caOptions",
                                 "caAbout", "naHomePage", "naQuit"};

constexpr TMenuDef kMainMenu[] = {
    {"Files", kFiles}, {"Video", kVideo}, {"Images", kImages}, {"Inlay", kInlay}, {"?", kHelp}};

constexpr const char *kVideoContext[] = {"naGrab",
                                         "naCopy",
                                         "-",
                                         "caFullscreen",
                                         "-",
                                         "naForcerNormal",
                                         "naForcerNative",
                                         "naForcer4x3",
                                         "naForcer16x9",
                                         "-",
                                         "caMute",
                                         "caInsertTextOn",
                                         "caFlipVertical",
                                         "caFlipHorizontal",
                                         "-",
                                         "caSliders",
                                         "-",
                                         "Settings panel>",
                                         "naShowSaveImages",
                                         "naShowImagette",
                                         "naShowIncrust",
                                         "caOptions",
                                         "caScript",
                                         "caHelp",
                                         "caAbout",
                                         "<",
                                         "-",
                                         "naRecent1",
                                         "naRecent2",
                                         "naRecent3",
                                         "naRecent4",
                                         "-",
                                         "naQuit"};

} // namespace

std::span<const TMenuDef> MainMenuTable()
{
    return kMainMenu;
}

std::span<const char *const> VideoContextMenuTable()
{
    return kVideoContext;
}

void BuildMenu(QMenu &menu, std::span<const char *const> entries, const TActionLookup &lookup)
{
    QMenu *target = &menu;
    for (const char *entry : entries) {
        const QString name = QString::fromLatin1(entry);
        if (name == QLatin1String("-")) {
            target->addSeparator();
        } else if (name.endsWith(u'>')) {
            target = menu.addMenu(name.chopped(1));
            target->setToolTip(QStringLiteral("Display the panels to change settings"));
            target->setToolTipsVisible(true);
        } else if (name == QLatin1String("<")) {
            target = &menu;
        } else if (QAction *action = lookup(name)) {
            target->addAction(action);
        }
    }
}

QList<QAction *> BuildMainMenu(QMenuBar &bar, const TActionLookup &lookup)
{
    QList<QAction *> ordered;
    for (const TMenuDef &def : kMainMenu) {
        QMenu *menu = bar.addMenu(QString::fromLatin1(def.title));
        menu->setToolTipsVisible(true);
        BuildMenu(*menu, def.entries, lookup);
        for (QAction *action : menu->actions())
            if (!action->isSeparator() && !action->menu())
                ordered << action;
    }
    return ordered;
}

QList<QAction *> ResolveShortcutClashes(const QList<QAction *> &ordered)
{
    QSet<QString> taken;
    QSet<QAction *> seen;
    QList<QAction *> silenced;
    for (QAction *action : ordered) {
        if (!action || seen.contains(action))
            continue;
        seen.insert(action);
        const QList<QKeySequence> keys = action->shortcuts();
        QList<QKeySequence> kept;
        for (const QKeySequence &key : keys) {
            const QString text = key.toString(QKeySequence::PortableText);
            if (key.isEmpty() || taken.contains(text))
                continue;
            taken.insert(text);
            kept << key;
        }
        if (kept.size() != keys.size()) {
            action->setShortcuts(kept);
            silenced << action;
        }
    }
    return silenced;
}
