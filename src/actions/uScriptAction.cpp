#include "uScriptAction.h"

#include "uActionImpl.h"
#include "uActionList.h"
#include "uScriptHost.h"

#include <QPointer>

using namespace actionimpl;

QStringList *MacroTarget = nullptr;
bool MacroNesting = false;

bool MacroRecordingLive()
{
    return MacroTarget && !MacroNesting;
}

namespace {

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
    // A list without pictures leaves the icon to whoever set it (the toolbar
    // draws its own), so a check action keeps its icon when it changes state.
    if (m_list && !m_list->Images.isEmpty())
        setIcon(index >= 0 && index < m_list->Images.size() ? m_list->Images.at(index) : QIcon());
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
