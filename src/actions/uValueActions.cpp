// The value classes: one template over per-class traits.
#include "uActionImpl.h"
#include "uRunStatus.h"
#include "uScriptAction.h"
#include "uScriptHost.h"

#include <QPointer>

using namespace actionimpl;

// ---------------------------------------------------------------------------
// TValueAction

template <typename Traits> void TValueAction<Traits>::SetValue(const T &value)
{
    m_value = value;
    const bool recorded =
        MacroRecordingLive() &&
        RecordLine(QStringLiteral("    %1(%2);").arg(ScriptName, Traits::macroArguments(m_value)));
    const NestingGuard guard(recorded);
    Apply();
}

template <typename Traits> bool TValueAction<Traits>::RegisterInScript(TScriptHost *host)
{
    if (!host)
        return false;
    // A destroyed action ignores late calls.
    QPointer<TValueAction> self(this);
    return host->DeclareProcedure(GetScriptDeclaration(), [self](const QVariantList &args) {
        if (self)
            self->SetValue(Traits::fromScript(args));
    });
}

template <typename Traits> void TValueAction<Traits>::DoExecute()
{
    if (!OnPrepare && !InternalPrepare)
        return;
    T local{};
    if (OnPrepare && !OnPrepare(local))
        return;
    if (InternalPrepare && !InternalPrepare(local))
        return;
    SetValue(local);
}

template <typename Traits> QString TValueAction<Traits>::GetScriptDeclaration()
{
    return QStringLiteral("procedure %1(const %2:%3);")
        .arg(ScriptName, VariablesOr(QLatin1String(Traits::declarationVariables)),
             QLatin1String(Traits::declarationType));
}

template <typename Traits> QString TValueAction<Traits>::GetSwitchSyntax()
{
    return QStringLiteral("/%1=%2").arg(Switch,
                                        VariablesOr(QLatin1String(Traits::switchVariables)));
}

template <typename Traits> void TValueAction<Traits>::ClearBindings()
{
    TAbstractAction::ClearBindings();
    InternalPrepare = nullptr;
    InternalDefault = nullptr;
    InternalBeforeSave = nullptr;
    InternalApply = nullptr;
}

// Numbers refuse a text they cannot read and say so; the other classes that
// cannot read a text ignore it silently.
template <typename Traits> constexpr const char *kNumberForm = nullptr;
template <> constexpr const char *kNumberForm<TIntegerTraits> = "an integer such as 42 or $2A";
template <> constexpr const char *kNumberForm<TDoubleTraits> = "a number such as %1";

template <typename Traits> void TValueAction<Traits>::SetValueFromText(const QString &text)
{
    if (const auto value = Traits::fromText(text)) {
        SetValue(*value);
        return;
    }
    if constexpr (kNumberForm<Traits> != nullptr) {
        const QString form =
            QString::fromLatin1(kNumberForm<Traits>)
                .replace(QLatin1String("%1"), actiontext::userLocale().toString(1234.5, 'g', 15));
        TRunStatus::ReportFailure(
            QStringLiteral("kadrex: /%1=%2 refused: the value must be %3; %4 keeps %5")
                .arg(Switch.isEmpty() ? ScriptName : Switch, text, form, ScriptName,
                     Traits::macroArguments(m_value)));
    }
}

template <typename Traits> void TValueAction<Traits>::Apply()
{
    // Handlers get a copy: one of them may set the action again.
    const T value = m_value;
    if (OnBeforeApply)
        OnBeforeApply(value);
    if (InternalApply)
        InternalApply(value);
    if (OnAfterApply)
        OnAfterApply(value);
}

template <typename Traits> bool TValueAction<Traits>::LoadFromPrefs(TActionStore &store)
{
    try {
        if (OnDefault)
            OnDefault(m_default);
        if (InternalDefault)
            InternalDefault(m_default);
        m_value = ReadStored(store);
        if (ApplyWhenLoad)
            Apply();
        return true;
    } catch (...) {
        return false;
    }
}

template <typename Traits>
typename TValueAction<Traits>::T TValueAction<Traits>::ReadStored(TActionStore &store)
{
    return Traits::read(store, ScriptName, m_default);
}

template <typename Traits> bool TValueAction<Traits>::SaveToPrefs(TActionStore &store)
{
    try {
        if (BeforeSave)
            BeforeSave(m_value);
        if (InternalBeforeSave)
            InternalBeforeSave(m_value);
        return Traits::write(store, ScriptName, m_value);
    } catch (...) {
        return false;
    }
}

template class TValueAction<TWidestringTraits>;
template class TValueAction<TIntegerTraits>;
template class TValueAction<TColorTraits>;
template class TValueAction<TDoubleTraits>;
template class TValueAction<TPointTraits>;
template class TValueAction<TRectTraits>;
template class TValueAction<TFontTraits>;
template class TValueAction<TBooleanTraits>;

// ---------------------------------------------------------------------------
// The value classes

const char *const TWidestringTraits::declarationType = "widestring";
const char *const TWidestringTraits::declarationVariables = "aWidestring";
const char *const TWidestringTraits::switchVariables = "aWidestring";
QString TWidestringTraits::read(TActionStore &store, const QString &name, const Type &def)
{
    return store.ReadString(name, def);
}
bool TWidestringTraits::write(TActionStore &store, const QString &name, const Type &value)
{
    return store.WriteString(name, value);
}
QString TWidestringTraits::macroArguments(const Type &value)
{
    return QLatin1Char('\'') + pascalQuoted(value) + QLatin1Char('\'');
}
std::optional<QString> TWidestringTraits::fromText(const QString &text)
{
    return text;
}
QString TWidestringTraits::fromScript(const QVariantList &args)
{
    return arg(args, 0).toString();
}

QString TWidestringAction::ReadStored(TActionStore &store)
{
    const QString stored = TValueAction::ReadStored(store);
    return EmptyIsUnset && stored.isEmpty() ? m_default : stored;
}

const char *const TIntegerTraits::declarationType = "integer";
const char *const TIntegerTraits::declarationVariables = "aInteger";
const char *const TIntegerTraits::switchVariables = "aInteger";
qint32 TIntegerTraits::read(TActionStore &store, const QString &name, const Type &def)
{
    return store.ReadInteger(name, def);
}
bool TIntegerTraits::write(TActionStore &store, const QString &name, const Type &value)
{
    return store.WriteInteger(name, value);
}
QString TIntegerTraits::macroArguments(const Type &value)
{
    return QString::number(value);
}
std::optional<qint32> TIntegerTraits::fromText(const QString &text)
{
    return actiontext::parseInteger(text);
}
qint32 TIntegerTraits::fromScript(const QVariantList &args)
{
    return arg(args, 0).toInt();
}

const char *const TColorTraits::declarationType = "TColor";
const char *const TColorTraits::declarationVariables = "aColor";
const char *const TColorTraits::switchVariables = "aColor";
TColor TColorTraits::read(TActionStore &store, const QString &name, const Type &def)
{
    return store.ReadInteger(name, def);
}
bool TColorTraits::write(TActionStore &store, const QString &name, const Type &value)
{
    return store.WriteInteger(name, value);
}
QString TColorTraits::macroArguments(const Type &value)
{
    return QLatin1Char('$') + colors::colorToHex(value);
}
std::optional<TColor> TColorTraits::fromText(const QString &text)
{
    return colors::colorFromText(text);
}
TColor TColorTraits::fromScript(const QVariantList &args)
{
    return arg(args, 0).toInt();
}

const char *const TDoubleTraits::declarationType = "Double";
const char *const TDoubleTraits::declarationVariables = "aDouble";
const char *const TDoubleTraits::switchVariables = "aDouble";
double TDoubleTraits::read(TActionStore &store, const QString &name, const Type &def)
{
    return store.ReadFloat(name, def);
}
bool TDoubleTraits::write(TActionStore &store, const QString &name, const Type &value)
{
    return store.WriteFloat(name, value);
}
QString TDoubleTraits::macroArguments(const Type &value)
{
    return actiontext::userLocale().toString(value, 'g', 15);
}
std::optional<double> TDoubleTraits::fromText(const QString &text)
{
    return actiontext::parseDouble(text, actiontext::userLocale());
}
double TDoubleTraits::fromScript(const QVariantList &args)
{
    return arg(args, 0).toDouble();
}

const char *const TPointTraits::declarationType = "integer";
const char *const TPointTraits::declarationVariables = "x,y";
const char *const TPointTraits::switchVariables = "x,y";
QPoint TPointTraits::read(TActionStore &store, const QString &name, const Type &def)
{
    return store.ReadPoint(name, def);
}
bool TPointTraits::write(TActionStore &store, const QString &name, const Type &value)
{
    return store.WritePoint(name, value);
}
QString TPointTraits::macroArguments(const Type &value)
{
    return QStringLiteral("%1,%2").arg(value.x()).arg(value.y());
}
std::optional<QPoint> TPointTraits::fromText(const QString &text)
{
    return actiontext::parsePoint(text);
}
QPoint TPointTraits::fromScript(const QVariantList &args)
{
    return QPoint(arg(args, 0).toInt(), arg(args, 1).toInt());
}

// The script procedure declares its parameters as left, right, top, bottom.
// A recorded line follows that same order, so that replaying it gives back the
// rectangle that was set; the switch text keeps left, top, right, bottom.
const char *const TRectTraits::declarationType = "integer";
const char *const TRectTraits::declarationVariables = "left,right,top,bottom";
const char *const TRectTraits::switchVariables = "aRect";
TNvRect TRectTraits::read(TActionStore &store, const QString &name, const Type &def)
{
    return store.ReadRect(name, def);
}
bool TRectTraits::write(TActionStore &store, const QString &name, const Type &value)
{
    return store.WriteRect(name, value);
}
QString TRectTraits::macroArguments(const Type &value)
{
    return QStringLiteral("%1,%2,%3,%4")
        .arg(value.left)
        .arg(value.right)
        .arg(value.top)
        .arg(value.bottom);
}
std::optional<TNvRect> TRectTraits::fromText(const QString &text)
{
    return actiontext::parseRect(text);
}
TNvRect TRectTraits::fromScript(const QVariantList &args)
{
    return TNvRect{arg(args, 0).toInt(), arg(args, 2).toInt(), arg(args, 1).toInt(),
                   arg(args, 3).toInt()};
}

// A font's declaration is its own (see TFontAction::GetScriptDeclaration).
const char *const TFontTraits::declarationType = "";
const char *const TFontTraits::declarationVariables = "aFont";
const char *const TFontTraits::switchVariables = "aFont";
TNvFont TFontTraits::read(TActionStore &store, const QString &name, const Type &def)
{
    TNvFont font;
    store.ReadFont(name, def, font);
    return font;
}
bool TFontTraits::write(TActionStore &store, const QString &name, const Type &value)
{
    return store.WriteFont(name, value);
}
QString TFontTraits::macroArguments(const Type &value)
{
    return QStringLiteral("'%1', %2, $%3, %4, %5, %6, %7")
        .arg(pascalQuoted(value.name), QString::number(value.size), colors::colorToHex(value.color),
             trueFalse(value.bold), trueFalse(value.italic), trueFalse(value.underline),
             trueFalse(value.strikeOut));
}
std::optional<TNvFont> TFontTraits::fromText(const QString &)
{
    return std::nullopt; // a font has no text form
}
TNvFont TFontTraits::fromScript(const QVariantList &args)
{
    TNvFont font;
    font.name = arg(args, 0).toString();
    font.size = arg(args, 1).toInt();
    font.color = arg(args, 2).toInt();
    font.bold = arg(args, 3).toBool();
    font.italic = arg(args, 4).toBool();
    font.underline = arg(args, 5).toBool();
    font.strikeOut = arg(args, 6).toBool();
    return font;
}

void TFontAction::SetValue(const QString &name, qint32 size, TColor color, bool bold, bool italic,
                           bool underline, bool strikeOut)
{
    SetValue(TFontTraits::fromScript({name, size, color, bold, italic, underline, strikeOut}));
}

QString TFontAction::GetScriptDeclaration()
{
    return QStringLiteral("procedure %1(aName:widestring;aSize:integer;aColor:TColor;"
                          "isBold:Boolean;isItalic:Boolean;isUnderline:Boolean;"
                          "isStrikeOut:Boolean);")
        .arg(ScriptName);
}

const char *const TBooleanTraits::declarationType = "Boolean";
const char *const TBooleanTraits::declarationVariables = "aBoolean";
const char *const TBooleanTraits::switchVariables = "aBoolean";
bool TBooleanTraits::read(TActionStore &store, const QString &name, const Type &def)
{
    return store.ReadBool(name, def);
}
bool TBooleanTraits::write(TActionStore &store, const QString &name, const Type &value)
{
    return store.WriteBool(name, value);
}
QString TBooleanTraits::macroArguments(const Type &value)
{
    return trueFalse(value);
}
std::optional<bool> TBooleanTraits::fromText(const QString &text)
{
    return actiontext::textToBool(text);
}
bool TBooleanTraits::fromScript(const QVariantList &args)
{
    return arg(args, 0).toBool();
}

void TBooleanAction::SetValue(const bool &value)
{
    if (value == m_value)
        return;
    TValueAction::SetValue(value);
}
