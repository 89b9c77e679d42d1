#include "uShowFormToolbar.h"

#include "controls/uNvControls.h"

#include <QAction>
#include <QIcon>

namespace {

struct TButtonDef {
    const char *action; // "" for a separator
    const char *icon;
};

constexpr TButtonDef kButtons[] = {
    {"waOpenFile", "open"},
    {"naPasteFile", "paste"},
    {"naCloseFile", "close"},
    {"", ""},
    {"naGrab", "grab"},
    {"naCopy", "copy"},
    {"caIntervalloShow", "interval"},
    {"", ""},
    {"caFullscreen", "fullscreen"},
    {"caMute", "mute"},
    {"caInsertTextOn", "inlay"},
    {"caFlipVertical", "vflip"},
    {"caFlipHorizontal", "hflip"},
    {"", ""},
    {"naShowImagette", "thumbnail"},
    {"naShowSaveImages", "imagesettings"},
    {"naShowDVIncrust", "dv"},
    {"naShowIncrust", "inlaysettings"},
    {"", ""},
    {"caHelp", "help"},
    {"caScript", "script"},
    {"caOptions", "settings"},
    {"caAbout", "about"},
    {"naQuit", "quit"},
};

} // namespace

void BuildToolbar(TNvBar &bar, const std::function<QAction *(const QString &)> &lookup)
{
    bar.SetButtonHeight(26);
    bar.SetButtonTop(1);
    bar.SetAutoSeparation(true);
    int left = 0;
    for (const TButtonDef &def : kButtons) {
        QWidget *control = nullptr;
        if (!*def.action) {
            control = new TNvSeparator(&bar);
        } else if (QAction *action = lookup(QString::fromLatin1(def.action))) {
            action->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(def.icon)));
            auto *button = new TNvImgSpeedButton(&bar);
            button->SetAction(action);
            button->setIconSize(QSize(20, 20));
            button->resize(26, 26);
            control = button;
        }
        if (control) {
            control->move(left, 0); // the bar keeps its children in left order
            left += 30;
        }
    }
    bar.Realign();
}
