#include "uScriptAction.h"

#include "uActionList.h"
#include "uScriptHost.h"

#include <QPointer>

QStringList *MacroTarget = nullptr;
bool MacroNesting = false;

bool MacroRecordingLive()
{
    return MacroTarget && !MacroNesting;
}

namespace
{

// Clears MacroNesting on the way out when this action set it, also when a
// handler throws.
class NestingGuard
{
public:
    explicit NestingGuard(bool set) : m_set(set) {}
    ~NestingGuard()
    {
        if (m_set)
            MacroNesting = false;
    }
    NestingGuard(const NestingGuard &) = delete;
    NestingGuard &operator=(const NestingGuard &) = delete;

private:
    bool m_set;
};

QString trueFalse(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// Pascal string literal body: a quote inside the text is doubled, so that a
// recorded line always compiles.
QString pascalQuoted(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return quoted;
}

// The form, frame or window an action is named in: the nearest window up the
// owner chain, else an object marked as a naming scope, else the topmost owner.
QObject *namingOwner(QObject *start)
{
    QObject *top = start;
    for (QObject *o = start; o; o = o->parent()) {
        // A top-level widget (the core sees widgets only as QObjects).
        if (o->isWidgetType() && !(o->parent() && o->parent()->isWidgetType()))
            return o;
        if (o->property("kadrexNameScope").toBool())
            return o;
        top = o;
    }
    return top;
}

bool nameTaken(QObject *owner, const QObject *self, const QString &name)
{
    if (!owner)
        return false;
    if (owner != self && owner->objectName() == name)
        return true;
    const auto children = owner->findChildren<QObject *>(name);
    for (QObject *child : children) {
        if (child != self)
            return true;
    }
    return false;
}

} // namespace

// ---------------------------------------------------------------------------
// TCustomAbstractAction

TCustomAbstractAction::TCustomAbstractAction(QObject *owner) : QAction(owner)
{
    Init();
}

TCustomAbstractAction::TCustomAbstractAction(const QString &internalId, TCustomNvActionList *list)
    : QAction(list)
{
    Init();
    InternalId = internalId;
    if (list)
        list->AddAction(this);
    Category = QStringLiteral("internal");
}

TCustomAbstractAction::~TCustomAbstractAction()
{
    if (m_list)
        m_list->RemoveAction(this);
}

void TCustomAbstractAction::Init()
{
    connect(this, &QAction::triggered, this, [this] {
        // Qt toggles a checkable action by itself before triggered(); the
        // action's own state decides, so put the mark back first.
        if (isCheckable()) {
            const QSignalBlocker blocker(this);
            setChecked(!isChecked());
        }
        DoExecute();
    });
}

void TCustomAbstractAction::SetName(const QString &name)
{
    QObject *owner = namingOwner(parent());
    QString candidate = name;
    for (int n = 2;
         nameTaken(owner, this, candidate) || nameTaken(owner, this, candidate + QLatin1Char('_'));
         ++n)
        candidate = name + QString::number(n);
    setObjectName(candidate);
}

void TCustomAbstractAction::SetHint(const QString &hint)
{
    m_hint = hint;
    setToolTip(hint);
    setStatusTip(hint);
}

void TCustomAbstractAction::SetShortCut(const QKeySequence &shortCut)
{
    m_shortCut = shortCut;
    UpdateQtShortcuts();
}

void TCustomAbstractAction::SetSecondaryShortcuts(const QList<QKeySequence> &shortcuts)
{
    m_secondary = shortcuts;
    UpdateQtShortcuts();
}

void TCustomAbstractAction::UpdateQtShortcuts()
{
    QList<QKeySequence> all;
    if (!m_shortCut.isEmpty())
        all << m_shortCut;
    all << m_secondary;
    setShortcuts(all);
}

void TCustomAbstractAction::SetImageIndex(int index)
{
    if (index == m_imageIndex)
        return;
    m_imageIndex = index;
    if (m_list && index >= 0 && index < m_list->Images.size())
        setIcon(m_list->Images.at(index));
    else
        setIcon(QIcon());
    if (OnImageChanged && m_list)
        OnImageChanged(m_list, index);
}

void TCustomAbstractAction::SetActionList(TCustomNvActionList *list)
{
    m_list = list;
}

void TCustomAbstractAction::ClearBindings()
{
    Category.clear();
    ScriptName.clear();
    SetShortCut(QKeySequence());
    SetSecondaryShortcuts({});
}

QString TCustomAbstractAction::VariablesOr(const QString &classDefault)
{
    if (Variables.isEmpty())
        Variables = classDefault;
    return Variables;
}

bool TCustomAbstractAction::RecordLine(const QString &line)
{
    if (!MacroRecordingLive())
        return false;
    MacroTarget->append(line);
    MacroNesting = true;
    return true;
}

// ---------------------------------------------------------------------------
// TNopeAction

bool TNopeAction::RegisterInScript(TScriptHost *host)
{
    if (!host || ScriptName.isEmpty())
        return false;
    QPointer<TNopeAction> self(this);
    return host->DeclareProcedure(GetScriptDeclaration(), [self](const QVariantList &) {
        if (self)
            self->Apply();
    });
}

void TNopeAction::DoExecute()
{
    if (OnPrepare && !OnPrepare())
        return;
    if (InternalPrepare && !InternalPrepare())
        return;
    Apply();
}

QString TNopeAction::GetScriptDeclaration()
{
    return QStringLiteral("procedure %1;").arg(ScriptName);
}

QString TNopeAction::GetSwitchSyntax()
{
    return QLatin1Char('/') + Switch;
}

void TNopeAction::ClearBindings()
{
    TAbstractAction::ClearBindings();
    InternalPrepare = nullptr;
    InternalBeforeSave = nullptr;
    InternalApply = nullptr;
}

void TNopeAction::SetValueFromText(const QString &)
{
    Apply();
}

void TNopeAction::Apply()
{
    const bool recorded =
        !ScriptName.isEmpty() && RecordLine(QStringLiteral("    %1;").arg(ScriptName));
    const NestingGuard guard(recorded);
    if (OnBeforeApply)
        OnBeforeApply();
    if (InternalApply)
        InternalApply();
    if (OnAfterApply)
        OnAfterApply();
}

bool TNopeAction::LoadFromPrefs(TActionStore &)
{
    try {
        if (ApplyWhenLoad)
            Apply();
        return true;
    } catch (...) {
        return false;
    }
}

bool TNopeAction::SaveToPrefs(TActionStore &)
{
    try {
        if (BeforeSave)
            BeforeSave();
        if (InternalBeforeSave)
            InternalBeforeSave();
        return true;
    } catch (...) {
        return false;
    }
}

// ---------------------------------------------------------------------------
// TValueAction<T>

template <typename T> void TValueAction<T>::SetValue(const T &value)
{
    m_value = value;
    const bool recorded = MacroRecordingLive() && RecordLine(MacroLine());
    const NestingGuard guard(recorded);
    Apply();
}

template <typename T> void TValueAction<T>::DoExecute()
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

template <typename T> void TValueAction<T>::Apply()
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

template <typename T> void TValueAction<T>::ClearBindings()
{
    TAbstractAction::ClearBindings();
    InternalPrepare = nullptr;
    InternalDefault = nullptr;
    InternalBeforeSave = nullptr;
    InternalApply = nullptr;
}

template <typename T> bool TValueAction<T>::LoadFromPrefs(TActionStore &store)
{
    try {
        if (OnDefault)
            OnDefault(m_default);
        if (InternalDefault)
            InternalDefault(m_default);
        m_value = ReadFrom(store, m_default);
        if (ApplyWhenLoad)
            Apply();
        return true;
    } catch (...) {
        return false;
    }
}

template <typename T> bool TValueAction<T>::SaveToPrefs(TActionStore &store)
{
    try {
        if (BeforeSave)
            BeforeSave(m_value);
        if (InternalBeforeSave)
            InternalBeforeSave(m_value);
        return WriteTo(store, m_value);
    } catch (...) {
        return false;
    }
}

template <typename T> QString TValueAction<T>::GetScriptDeclaration()
{
    return QStringLiteral("procedure %1(const %2:%3);")
        .arg(ScriptName, VariablesOr(DeclarationVariables()), DeclarationType());
}

template <typename T> QString TValueAction<T>::GetSwitchSyntax()
{
    return QStringLiteral("/%1=%2").arg(Switch, VariablesOr(SwitchVariables()));
}

template class TValueAction<QString>;
template class TValueAction<qint32>;
template class TValueAction<double>;
template class TValueAction<QPoint>;
template class TValueAction<TNvRect>;
template class TValueAction<TNvFont>;
template class TValueAction<bool>;

// Declares the action's procedure bound to a call that converts the script's
// arguments; a destroyed action ignores late calls.
template <typename A, typename F> static bool declareBound(TScriptHost *host, A *action, F call)
{
    if (!host)
        return false;
    QPointer<A> self(action);
    return host->DeclareProcedure(action->GetScriptDeclaration(),
                                  [self, call](const QVariantList &args) {
                                      if (self)
                                          call(*self, args);
                                  });
}

static QVariant arg(const QVariantList &args, int i)
{
    return i < args.size() ? args.at(i) : QVariant();
}

// ---------------------------------------------------------------------------
// TWidestringAction

bool TWidestringAction::RegisterInScript(TScriptHost *host)
{
    return declareBound(host, this, [](TWidestringAction &a, const QVariantList &args) {
        a.SetValue(arg(args, 0).toString());
    });
}

void TWidestringAction::SetValueFromText(const QString &text)
{
    SetValue(text);
}

QString TWidestringAction::MacroLine() const
{
    return QStringLiteral("    %1('%2');").arg(ScriptName, pascalQuoted(m_value));
}

QString TWidestringAction::ReadFrom(TActionStore &store, const QString &def)
{
    return store.ReadString(ScriptName, def);
}

bool TWidestringAction::WriteTo(TActionStore &store, const QString &value)
{
    return store.WriteString(ScriptName, value);
}

// ---------------------------------------------------------------------------
// TIntegerAction

bool TIntegerAction::RegisterInScript(TScriptHost *host)
{
    return declareBound(host, this, [](TIntegerAction &a, const QVariantList &args) {
        a.SetValue(arg(args, 0).toInt());
    });
}

void TIntegerAction::SetValueFromText(const QString &text)
{
    SetValue(actiontext::parseInteger(text).value_or(-1));
}

QString TIntegerAction::MacroLine() const
{
    return QStringLiteral("    %1(%2);").arg(ScriptName).arg(m_value);
}

qint32 TIntegerAction::ReadFrom(TActionStore &store, const qint32 &def)
{
    return store.ReadInteger(ScriptName, def);
}

bool TIntegerAction::WriteTo(TActionStore &store, const qint32 &value)
{
    return store.WriteInteger(ScriptName, value);
}

// ---------------------------------------------------------------------------
// TColorAction

bool TColorAction::RegisterInScript(TScriptHost *host)
{
    return declareBound(host, this, [](TColorAction &a, const QVariantList &args) {
        a.SetValue(arg(args, 0).toInt());
    });
}

void TColorAction::SetValueFromText(const QString &text)
{
    if (const auto color = colors::colorFromText(text))
        SetValue(*color);
}

QString TColorAction::MacroLine() const
{
    return QStringLiteral("    %1($%2);").arg(ScriptName, colors::colorToHex(m_value));
}

TColor TColorAction::ReadFrom(TActionStore &store, const TColor &def)
{
    return store.ReadInteger(ScriptName, def);
}

bool TColorAction::WriteTo(TActionStore &store, const TColor &value)
{
    return store.WriteInteger(ScriptName, value);
}

// ---------------------------------------------------------------------------
// TDoubleAction

bool TDoubleAction::RegisterInScript(TScriptHost *host)
{
    return declareBound(host, this, [](TDoubleAction &a, const QVariantList &args) {
        a.SetValue(arg(args, 0).toDouble());
    });
}

void TDoubleAction::SetValueFromText(const QString &text)
{
    SetValue(actiontext::parseDouble(text, actiontext::userLocale()).value_or(-1.0));
}

QString TDoubleAction::MacroLine() const
{
    return QStringLiteral("    %1(%2);")
        .arg(ScriptName, actiontext::userLocale().toString(m_value, 'g', 15));
}

double TDoubleAction::ReadFrom(TActionStore &store, const double &def)
{
    return store.ReadFloat(ScriptName, def);
}

bool TDoubleAction::WriteTo(TActionStore &store, const double &value)
{
    return store.WriteFloat(ScriptName, value);
}

// ---------------------------------------------------------------------------
// TPointAction

bool TPointAction::RegisterInScript(TScriptHost *host)
{
    return declareBound(host, this, [](TPointAction &a, const QVariantList &args) {
        a.SetValue(arg(args, 0).toInt(), arg(args, 1).toInt());
    });
}

void TPointAction::SetValueFromText(const QString &text)
{
    if (const auto point = actiontext::parsePoint(text))
        SetValue(*point);
}

QString TPointAction::MacroLine() const
{
    return QStringLiteral("    %1(%2,%3);").arg(ScriptName).arg(m_value.x()).arg(m_value.y());
}

QPoint TPointAction::ReadFrom(TActionStore &store, const QPoint &def)
{
    return store.ReadPoint(ScriptName, def);
}

bool TPointAction::WriteTo(TActionStore &store, const QPoint &value)
{
    return store.WritePoint(ScriptName, value);
}

// ---------------------------------------------------------------------------
// TRectAction
//
// The script procedure declares its parameters as left, right, top, bottom.
// A recorded line follows that same order, so that replaying it gives back the
// rectangle that was set; the switch text keeps left, top, right, bottom.

bool TRectAction::RegisterInScript(TScriptHost *host)
{
    return declareBound(host, this, [](TRectAction &a, const QVariantList &args) {
        a.SetValue(TNvRect{arg(args, 0).toInt(), arg(args, 2).toInt(), arg(args, 1).toInt(),
                           arg(args, 3).toInt()});
    });
}

void TRectAction::SetValueFromText(const QString &text)
{
    if (const auto rect = actiontext::parseRect(text))
        SetValue(*rect);
}

QString TRectAction::MacroLine() const
{
    return QStringLiteral("    %1(%2,%3,%4,%5);")
        .arg(ScriptName)
        .arg(m_value.left)
        .arg(m_value.right)
        .arg(m_value.top)
        .arg(m_value.bottom);
}

TNvRect TRectAction::ReadFrom(TActionStore &store, const TNvRect &def)
{
    return store.ReadRect(ScriptName, def);
}

bool TRectAction::WriteTo(TActionStore &store, const TNvRect &value)
{
    return store.WriteRect(ScriptName, value);
}

// ---------------------------------------------------------------------------
// TFontAction

void TFontAction::SetValue(const QString &name, qint32 size, TColor color, bool bold, bool italic,
                           bool underline, bool strikeOut)
{
    TNvFont font;
    font.name = name;
    font.size = size;
    font.color = color;
    font.bold = bold;
    font.italic = italic;
    font.underline = underline;
    font.strikeOut = strikeOut;
    SetValue(font);
}

bool TFontAction::RegisterInScript(TScriptHost *host)
{
    return declareBound(host, this, [](TFontAction &a, const QVariantList &args) {
        a.SetValue(arg(args, 0).toString(), arg(args, 1).toInt(), arg(args, 2).toInt(),
                   arg(args, 3).toBool(), arg(args, 4).toBool(), arg(args, 5).toBool(),
                   arg(args, 6).toBool());
    });
}

void TFontAction::SetValueFromText(const QString &)
{
    // A font has no text form.
}

QString TFontAction::GetScriptDeclaration()
{
    return QStringLiteral("procedure %1(aName:widestring;aSize:integer;aColor:TColor;"
                          "isBold:Boolean;isItalic:Boolean;isUnderline:Boolean;"
                          "isStrikeOut:Boolean);")
        .arg(ScriptName);
}

QString TFontAction::MacroLine() const
{
    return QStringLiteral("    %1('%2', %3, $%4, %5, %6, %7, %8);")
        .arg(ScriptName, pascalQuoted(m_value.name), QString::number(m_value.size),
             colors::colorToHex(m_value.color), trueFalse(m_value.bold), trueFalse(m_value.italic),
             trueFalse(m_value.underline), trueFalse(m_value.strikeOut));
}

TNvFont TFontAction::ReadFrom(TActionStore &store, const TNvFont &def)
{
    TNvFont font = m_value;
    store.ReadFont(ScriptName, def, font);
    return font;
}

bool TFontAction::WriteTo(TActionStore &store, const TNvFont &value)
{
    return store.WriteFont(ScriptName, value);
}

// ---------------------------------------------------------------------------
// TBooleanAction

void TBooleanAction::SetValue(const bool &value)
{
    if (value == m_value)
        return;
    TValueAction::SetValue(value);
}

bool TBooleanAction::RegisterInScript(TScriptHost *host)
{
    return declareBound(host, this, [](TBooleanAction &a, const QVariantList &args) {
        a.SetValue(arg(args, 0).toBool());
    });
}

void TBooleanAction::SetValueFromText(const QString &text)
{
    SetValue(actiontext::textToBool(text));
}

QString TBooleanAction::MacroLine() const
{
    return QStringLiteral("    %1(%2);").arg(ScriptName, trueFalse(m_value));
}

bool TBooleanAction::ReadFrom(TActionStore &store, const bool &def)
{
    return store.ReadBool(ScriptName, def);
}

bool TBooleanAction::WriteTo(TActionStore &store, const bool &value)
{
    return store.WriteBool(ScriptName, value);
}

// ---------------------------------------------------------------------------
// TCheckAction

TCheckAction::TCheckAction(QObject *owner) : TCustomAbstractAction(owner)
{
    InitCheck();
}

TCheckAction::TCheckAction(const QString &internalId, TCustomNvActionList *list)
    : TCustomAbstractAction(internalId, list)
{
    InitCheck();
}

void TCheckAction::InitCheck()
{
    setCheckable(true);
    setChecked(false);
}

void TCheckAction::SetDefaultValue(bool value)
{
    m_default = value;
    SetCheckedState(value);
}

void TCheckAction::SetCheckedState(bool value)
{
    m_checked = value;
    setChecked(value);
    ShowState();
}

// The visible caption, hint and image follow the state. An action that has no
// state variants of one of them (all empty, or both images -1) keeps its own.
void TCheckAction::ShowState()
{
    if (!m_trueCaption.isEmpty() || !m_falseCaption.isEmpty())
        SetCaption(m_checked ? m_trueCaption : m_falseCaption);
    if (!m_trueHint.isEmpty() || !m_falseHint.isEmpty())
        SetHint(m_checked ? m_trueHint : m_falseHint);
    if (m_trueImage != -1 || m_falseImage != -1)
        SetImageIndex(m_checked ? m_trueImage : m_falseImage);
}

void TCheckAction::SetTrueCaption(const QString &text)
{
    m_trueCaption = text;
    if (m_checked)
        SetCaption(text);
}

void TCheckAction::SetFalseCaption(const QString &text)
{
    m_falseCaption = text;
    if (!m_checked)
        SetCaption(text);
}

void TCheckAction::SetTrueHint(const QString &text)
{
    m_trueHint = text;
    if (m_checked)
        SetHint(text);
}

void TCheckAction::SetFalseHint(const QString &text)
{
    m_falseHint = text;
    if (!m_checked)
        SetHint(text);
}

void TCheckAction::SetTrueImageIndex(int index)
{
    m_trueImage = index;
    if (m_checked)
        SetImageIndex(index);
}

void TCheckAction::SetFalseImageIndex(int index)
{
    m_falseImage = index;
    if (!m_checked)
        SetImageIndex(index);
}

void TCheckAction::SetChecked(bool value)
{
    m_checked = value;
    setChecked(value);
    const bool recorded =
        !ScriptName.isEmpty() && ScriptName != QLatin1String("Script") &&
        RecordLine(QStringLiteral("    set%1(%2);").arg(ScriptName, trueFalse(value)));
    const NestingGuard guard(recorded);
    Apply();
}

bool TCheckAction::RegisterInScript(TScriptHost *host)
{
    if (!host)
        return false;
    QPointer<TCheckAction> self(this);
    const QString setter = QStringLiteral("procedure set%1(const %2:Boolean);")
                               .arg(ScriptName, VariablesOr(QStringLiteral("fisTrue")));
    if (!host->DeclareProcedure(setter, [self](const QVariantList &args) {
            if (self)
                self->SetChecked(arg(args, 0).toBool());
        }))
        return false;
    return host->DeclareProcedure(QStringLiteral("procedure %1;").arg(ScriptName),
                                  [self](const QVariantList &) {
                                      if (self)
                                          self->Toggle();
                                  });
}

void TCheckAction::DoExecute()
{
    if (OnPrepare && !OnPrepare())
        return;
    if (InternalPrepare && !InternalPrepare())
        return;
    SetChecked(!m_checked);
}

QString TCheckAction::GetScriptDeclaration()
{
    return QStringLiteral("procedure set%1(const %2:Boolean);\r\nprocedure %1;")
        .arg(ScriptName, VariablesOr(QStringLiteral("fisTrue")));
}

QString TCheckAction::GetSwitchSyntax()
{
    return QStringLiteral("/%1 +%1 -%1").arg(Switch);
}

void TCheckAction::ClearBindings()
{
    TCustomAbstractAction::ClearBindings();
    InternalPrepare = nullptr;
    InternalDefault = nullptr;
    InternalBeforeSave = nullptr;
    InternalTrueApply = nullptr;
    InternalFalseApply = nullptr;
}

void TCheckAction::SetValueFromText(const QString &text)
{
    SetChecked(actiontext::textToBool(text));
}

void TCheckAction::Apply()
{
    const auto run = [](const TEvent &event) {
        if (event)
            event();
    };
    if (m_checked) {
        run(OnBeforeTrueApply);
        run(InternalTrueApply);
        run(OnAfterTrueApply);
    } else {
        run(OnBeforeFalseApply);
        run(InternalFalseApply);
        run(OnAfterFalseApply);
    }
    ShowState();
}

bool TCheckAction::LoadFromPrefs(TActionStore &store)
{
    try {
        if (OnDefault)
            OnDefault(m_default);
        if (InternalDefault)
            InternalDefault(m_default);
        SetCheckedState(store.ReadBool(ScriptName, m_default));
        if (ApplyWhenLoad)
            Apply();
        return true;
    } catch (...) {
        return false;
    }
}

bool TCheckAction::SaveToPrefs(TActionStore &store)
{
    try {
        bool value = m_checked;
        if (BeforeSave)
            BeforeSave(value);
        if (InternalBeforeSave)
            InternalBeforeSave(value);
        return store.WriteBool(ScriptName, value);
    } catch (...) {
        return false;
    }
}
