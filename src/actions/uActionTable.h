#pragma once
// Catalogues of actions as data: one row per action, from which the action,
// its switch, its preference key and its script declaration all follow.
// A list's catalogue is a table of these rows; CreateActionsFromTable builds
// the actions in row order.

#include <QList>
#include <QString>

#include <span>

class QObject;
class TCustomAbstractAction;
class TCustomNvActionList;

enum class TActionClass {
    Nope,
    Widestring,
    Integer,
    Color,
    Double,
    Point,
    Font,
    Boolean,
    Rect,
    Check
};

struct TActionDef {
    const char *name; // component name and InternalId: "naGrab"
    TActionClass cls;
    const char *scriptName; // "" when not scriptable
    const char *switchText; // "" when the action has no switch
    // Default value as text, read with the class's own text rule
    // (SetValueFromText); a font as "Arial,24,$00FFFF,B" (see TNvFont::fromSpec).
    // nullptr: the class default (or a default computed at run time by OnDefault).
    const char *defaultValue;
    const char *shortcut; // "F5", "Ctrl+O", "Alt+W"; "" none
    const char *category; // "cat_ImageName"...
    const char *caption;  // for a check action: used when no state captions are given
    const char *hint;
    bool includePrefs;
    bool applyWhenLoad;
    // Check actions only.
    const char *trueCaption = nullptr;
    const char *falseCaption = nullptr;
    const char *trueHint = nullptr;
    const char *falseHint = nullptr;
};

// Builds the actions of a table in row order, owned by owner and joined to list.
QList<TCustomAbstractAction *> CreateActionsFromTable(std::span<const TActionDef> table,
                                                      TCustomNvActionList &list, QObject *owner);
