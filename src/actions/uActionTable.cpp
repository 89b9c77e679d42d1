#include "uActionTable.h"

#include "uActionList.h"
#include "uScriptAction.h"

namespace {

QString text(const char *s)
{
    return s ? QString::fromUtf8(s) : QString();
}

TCustomAbstractAction *makeAction(TActionClass cls, QObject *owner)
{
    switch (cls) {
    case TActionClass::Nope:
        return new TNopeAction(owner);
    case TActionClass::Widestring:
        return new TWidestringAction(owner);
    case TActionClass::Integer:
        return new TIntegerAction(owner);
    case TActionClass::Color:
        return new TColorAction(owner);
    case TActionClass::Double:
        return new TDoubleAction(owner);
    case TActionClass::Point:
        return new TPointAction(owner);
    case TActionClass::Font:
        return new TFontAction(owner);
    case TActionClass::Boolean:
        return new TBooleanAction(owner);
    case TActionClass::Rect:
        return new TRectAction(owner);
    case TActionClass::Check:
        return new TCheckAction(owner);
    }
    return nullptr;
}

template <typename A, typename V>
void setDefault(TCustomAbstractAction *action, const std::optional<V> &value)
{
    if (value)
        static_cast<A *>(action)->SetDefaultValue(*value);
}

// Table defaults are written with a dot, whatever the user's locale.
void applyDefault(TCustomAbstractAction *action, TActionClass cls, const QString &value)
{
    switch (cls) {
    case TActionClass::Nope:
        break;
    case TActionClass::Widestring:
        static_cast<TWidestringAction *>(action)->SetDefaultValue(value);
        break;
    case TActionClass::Integer:
        setDefault<TIntegerAction>(action, actiontext::parseInteger(value));
        break;
    case TActionClass::Color:
        setDefault<TColorAction>(action, colors::colorFromText(value));
        break;
    case TActionClass::Double:
        setDefault<TDoubleAction>(action, actiontext::parseDouble(value, QLocale::c()));
        break;
    case TActionClass::Point:
        setDefault<TPointAction>(action, actiontext::parsePoint(value));
        break;
    case TActionClass::Font:
        setDefault<TFontAction>(action, TNvFont::fromSpec(value));
        break;
    case TActionClass::Boolean:
        static_cast<TBooleanAction *>(action)->SetDefaultValue(actiontext::textToBool(value));
        break;
    case TActionClass::Rect:
        setDefault<TRectAction>(action, actiontext::parseRect(value));
        break;
    case TActionClass::Check:
        static_cast<TCheckAction *>(action)->SetDefaultValue(actiontext::textToBool(value));
        break;
    }
}

void applyCheckTexts(TCheckAction *check, const TActionDef &def)
{
    if (def.trueCaption)
        check->SetTrueCaption(text(def.trueCaption));
    if (def.falseCaption)
        check->SetFalseCaption(text(def.falseCaption));
    if (def.trueHint)
        check->SetTrueHint(text(def.trueHint));
    if (def.falseHint)
        check->SetFalseHint(text(def.falseHint));
}

} // namespace

QList<TCustomAbstractAction *> CreateActionsFromTable(std::span<const TActionDef> table,
                                                      TCustomNvActionList &list, QObject *owner)
{
    QList<TCustomAbstractAction *> created;
    for (const TActionDef &def : table) {
        TCustomAbstractAction *action = makeAction(def.cls, owner);
        action->SetName(text(def.name));
        action->InternalId = text(def.name);
        action->ScriptName = text(def.scriptName);
        action->Switch = text(def.switchText);
        action->Category = text(def.category);
        action->SetCaption(text(def.caption));
        action->SetHint(text(def.hint));
        action->SetShortCut(
            QKeySequence::fromString(text(def.shortcut), QKeySequence::PortableText));
        action->IncludePrefs = def.includePrefs;
        action->ApplyWhenLoad = def.applyWhenLoad;
        if (auto *check = qobject_cast<TCheckAction *>(action))
            applyCheckTexts(check, def);
        if (def.defaultValue)
            applyDefault(action, def.cls, text(def.defaultValue));
        list.AddAction(action);
        created << action;
    }
    return created;
}
