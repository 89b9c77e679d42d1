#pragma once
// Typed actions: every command and setting of the program is one of these.
// Each is a QAction (so menus, buttons and shortcuts drive it directly) with a
// typed value, a default, a script name, a command-line switch, and events
// through which its owner does the real work. The published events (On...)
// belong to the window that uses an action; the Internal... slots belong to
// the manager component that created it.
//
// The menu/button side: triggered() runs DoExecute(). A TCheckAction keeps its
// own checked state; the QAction is checkable only to show a check mark, and a
// click that Qt toggles by itself is put back before DoExecute decides.

#include "uActionStore.h"
#include "uActionTypes.h"

#include <QAction>
#include <QKeySequence>
#include <QStringList>

#include <functional>
#include <optional>

class TCustomNvActionList;
class TScriptHost;

// Macro recording state shared by every action: the lines being recorded (or
// none), and the flag set while an action records and applies, so that the
// actions its handlers change in turn record nothing.
extern QStringList *MacroTarget;
extern bool MacroNesting;

// True when a macro is being recorded and no action is already recording.
bool MacroRecordingLive();

class TCustomAbstractAction : public QAction
{
    Q_OBJECT
public:
    using TImageChanged = std::function<void(QObject *images, int imageIndex)>;

    // Created by a form: owner is the object the action belongs to.
    explicit TCustomAbstractAction(QObject *owner);
    // Created by a manager component: joins the list, Category "internal".
    TCustomAbstractAction(const QString &internalId, TCustomNvActionList *list);
    ~TCustomAbstractAction() override;

    // Name: unique within the owner (Name, Name2, Name3...; see SetName).
    QString Name() const { return objectName(); }
    void SetName(const QString &name);

    QString Caption() const { return text(); }
    void SetCaption(const QString &caption) { setText(caption); }
    QString Hint() const { return m_hint; }
    void SetHint(const QString &hint);
    QKeySequence ShortCut() const { return m_shortCut; }
    void SetShortCut(const QKeySequence &shortCut);
    QList<QKeySequence> SecondaryShortcuts() const { return m_secondary; }
    void SetSecondaryShortcuts(const QList<QKeySequence> &shortcuts);
    bool AutoCheck() const { return m_autoCheck; }
    virtual void SetAutoCheck(bool on) { m_autoCheck = on; }
    int ImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int index);

    QString Category;
    QString ScriptName;
    QString Switch;
    bool ApplyWhenLoad = false;
    bool IncludePrefs = true;
    QStringList Comments;
    QString Variables;
    QString InternalId;
    TImageChanged OnImageChanged;

    TCustomNvActionList *ActionList() const { return m_list; }
    void SetActionList(TCustomNvActionList *list);

    // The nine operations, in their slot order.
    virtual bool RegisterInScript(TScriptHost *host) = 0;
    virtual void DoExecute() = 0;
    virtual QString GetScriptDeclaration() = 0;
    virtual QString GetSwitchSyntax() = 0;
    virtual void ClearBindings();
    virtual void SetValueFromText(const QString &text) = 0;
    virtual void Apply() = 0;
    virtual bool LoadFromPrefs(TActionStore &store) = 0;
    virtual bool SaveToPrefs(TActionStore &store) = 0;

protected:
    // Variables, set to the operation's class default first when empty.
    QString VariablesOr(const QString &classDefault);
    // Appends a recorded line when recording is live; returns whether it did
    // (and so set MacroNesting, which the caller clears after applying).
    static bool RecordLine(const QString &line);
    void UpdateQtShortcuts();

private:
    void Init();

    TCustomNvActionList *m_list = nullptr;
    QString m_hint;
    QKeySequence m_shortCut;
    QList<QKeySequence> m_secondary;
    bool m_autoCheck = false;
    int m_imageIndex = -1;
};

// Publishes the common properties; base of the value classes.
class TAbstractAction : public TCustomAbstractAction
{
    Q_OBJECT
public:
    using TCustomAbstractAction::TCustomAbstractAction;
};

// A command without a value.
class TNopeAction : public TAbstractAction
{
    Q_OBJECT
public:
    using TPrepare = std::function<bool()>;
    using TEvent = std::function<void()>;

    using TAbstractAction::TAbstractAction;

    TPrepare OnPrepare, InternalPrepare, BeforeSave, InternalBeforeSave;
    TEvent OnBeforeApply, InternalApply, OnAfterApply;

    bool RegisterInScript(TScriptHost *host) override;
    void DoExecute() override;
    QString GetScriptDeclaration() override;
    QString GetSwitchSyntax() override;
    void ClearBindings() override;
    void SetValueFromText(const QString &text) override;
    void Apply() override;
    bool LoadFromPrefs(TActionStore &store) override;
    bool SaveToPrefs(TActionStore &store) override;
};

// What distinguishes one value class from another: its value type, the names
// in its script declaration and switch syntax, its store calls, its text forms
// and how a script call's arguments become a value. Defined in the .cpp.
#define KADREX_VALUE_TRAITS(Traits, T)                                                             \
    struct Traits {                                                                                \
        using Type = T;                                                                            \
        static const char *const declarationType;                                                  \
        static const char *const declarationVariables;                                             \
        static const char *const switchVariables;                                                  \
        static Type read(TActionStore &store, const QString &name, const Type &def);               \
        static bool write(TActionStore &store, const QString &name, const Type &value);            \
        static QString macroArguments(const Type &value);                                          \
        static std::optional<Type> fromText(const QString &text);                                  \
        static Type fromScript(const QVariantList &args);                                          \
    };
KADREX_VALUE_TRAITS(TWidestringTraits, QString)
KADREX_VALUE_TRAITS(TIntegerTraits, qint32)
KADREX_VALUE_TRAITS(TColorTraits, TColor)
KADREX_VALUE_TRAITS(TDoubleTraits, double)
KADREX_VALUE_TRAITS(TPointTraits, QPoint)
KADREX_VALUE_TRAITS(TRectTraits, TNvRect)
KADREX_VALUE_TRAITS(TFontTraits, TNvFont)
KADREX_VALUE_TRAITS(TBooleanTraits, bool)
#undef KADREX_VALUE_TRAITS

// The shared machinery of the value classes: value, default, the events and
// the order in which SetValue, Apply, load and save run them.
template <typename Traits> class TValueAction : public TAbstractAction
{
public:
    using T = typename Traits::Type;
    using TVar = std::function<bool(T &)>;
    using TConst = std::function<void(const T &)>;

    using TAbstractAction::TAbstractAction;

    TVar OnPrepare, InternalPrepare, OnDefault, InternalDefault, BeforeSave, InternalBeforeSave;
    TConst OnBeforeApply, InternalApply, OnAfterApply;

    const T &Value() const { return m_value; }
    const T &DefaultValue() const { return m_default; }
    void SetDefaultValue(const T &value) { m_default = value; }

    virtual void SetValue(const T &value);

    bool RegisterInScript(TScriptHost *host) override;
    void DoExecute() override;
    QString GetScriptDeclaration() override;
    QString GetSwitchSyntax() override;
    void ClearBindings() override;
    // A text the class cannot read is ignored (colour, point, rectangle,
    // font), refused with a line on stderr that marks the run as failed
    // (integer, float: the value stays), or reads as false (boolean).
    void SetValueFromText(const QString &text) override;
    void Apply() override;
    bool LoadFromPrefs(TActionStore &store) override;
    bool SaveToPrefs(TActionStore &store) override;

protected:
    // The value LoadFromPrefs takes: the stored one, or the default.
    virtual T ReadStored(TActionStore &store);

    T m_value{};
    T m_default{};
};

class TWidestringAction : public TValueAction<TWidestringTraits>
{
    Q_OBJECT
public:
    using TValueAction::TValueAction;

    // A stored empty text counts as no stored value: loading gives the
    // default (folders whose default is computed at run time).
    bool EmptyIsUnset = false;

protected:
    QString ReadStored(TActionStore &store) override;
};

class TIntegerAction : public TValueAction<TIntegerTraits>
{
    Q_OBJECT
public:
    using TValueAction::TValueAction;
};

class TColorAction : public TValueAction<TColorTraits>
{
    Q_OBJECT
public:
    using TValueAction::TValueAction;
};

class TDoubleAction : public TValueAction<TDoubleTraits>
{
    Q_OBJECT
public:
    using TValueAction::TValueAction;
};

class TPointAction : public TValueAction<TPointTraits>
{
    Q_OBJECT
public:
    using TValueAction::SetValue;
    using TValueAction::TValueAction;
    void SetValue(qint32 x, qint32 y) { SetValue(QPoint(x, y)); }
};

class TRectAction : public TValueAction<TRectTraits>
{
    Q_OBJECT
public:
    using TValueAction::SetValue;
    using TValueAction::TValueAction;
    void SetValue(qint32 left, qint32 top, qint32 right, qint32 bottom)
    {
        SetValue(TNvRect{left, top, right, bottom});
    }
};

class TFontAction : public TValueAction<TFontTraits>
{
    Q_OBJECT
public:
    using TValueAction::SetValue;
    using TValueAction::TValueAction;
    void SetValue(const QString &name, qint32 size, TColor color, bool bold, bool italic,
                  bool underline, bool strikeOut);
    QString GetScriptDeclaration() override;
};

class TBooleanAction : public TValueAction<TBooleanTraits>
{
    Q_OBJECT
public:
    using TValueAction::TValueAction;
    // Setting the value it already has does nothing at all.
    void SetValue(const bool &value) override;
};

// A two-state command whose value is its checked state, with a caption, hint
// and image per state.
class TCheckAction : public TCustomAbstractAction
{
    Q_OBJECT
public:
    using TPrepare = std::function<bool()>;
    using TVarBool = std::function<bool(bool &)>;
    using TEvent = std::function<void()>;

    explicit TCheckAction(QObject *owner);
    TCheckAction(const QString &internalId, TCustomNvActionList *list);

    TPrepare OnPrepare, InternalPrepare;
    TVarBool OnDefault, InternalDefault, BeforeSave, InternalBeforeSave;
    TEvent OnBeforeTrueApply, InternalTrueApply, OnAfterTrueApply;
    TEvent OnBeforeFalseApply, InternalFalseApply, OnAfterFalseApply;

    bool Checked() const { return m_checked; }
    bool DefaultValue() const { return m_default; }
    // Also sets Checked and the state's caption, hint and image.
    void SetDefaultValue(bool value);

    void SetChecked(bool value);
    void Toggle() { SetChecked(!m_checked); }

    QString TrueCaption() const { return m_trueCaption; }
    QString FalseCaption() const { return m_falseCaption; }
    QString TrueHint() const { return m_trueHint; }
    QString FalseHint() const { return m_falseHint; }
    int TrueImageIndex() const { return m_trueImage; }
    int FalseImageIndex() const { return m_falseImage; }
    void SetTrueCaption(const QString &text);
    void SetFalseCaption(const QString &text);
    void SetTrueHint(const QString &text);
    void SetFalseHint(const QString &text);
    void SetTrueImageIndex(int index);
    void SetFalseImageIndex(int index);

    void SetAutoCheck(bool) override {} // always false

    bool RegisterInScript(TScriptHost *host) override;
    void DoExecute() override;
    QString GetScriptDeclaration() override;
    QString GetSwitchSyntax() override;
    void ClearBindings() override;
    void SetValueFromText(const QString &text) override;
    void Apply() override;
    bool LoadFromPrefs(TActionStore &store) override;
    bool SaveToPrefs(TActionStore &store) override;

private:
    void InitCheck();
    // Sets the checked state without applying, and the visible presentation.
    void SetCheckedState(bool value);
    void ShowState();

    bool m_checked = false;
    bool m_default = false;
    QString m_trueCaption, m_falseCaption, m_trueHint, m_falseHint;
    int m_trueImage = -1, m_falseImage = -1;
};
