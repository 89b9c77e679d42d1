#pragma once
// Action lists: they find their actions by InternalId, declare them to the
// script host when a script compiles, enter them in the command-line switch
// table, and load and save them through the preference store as a whole.
// A manager component is itself a list that creates and owns its actions and
// receives private messages from the streaming threads.

#include "uActionStore.h"
#include "uNvSwitch.h"
#include "uScriptHost.h"

#include <QEvent>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QVariant>

#include <functional>

class TCustomAbstractAction;

class TCustomNvActionList : public QObject
{
    Q_OBJECT
public:
    using TPrefsHandler = std::function<bool(TActionStore &store)>;

    explicit TCustomNvActionList(QObject *owner = nullptr);
    ~TCustomNvActionList() override;

    // The actions in insertion order: the order of every loop over the list.
    const QList<TCustomAbstractAction *> &Actions() const { return m_actions; }
    void AddAction(TCustomAbstractAction *action);
    void RemoveAction(TCustomAbstractAction *action);

    // Images of the list's actions, by ImageIndex.
    QList<QIcon> Images;

    // The first action whose InternalId equals id exactly (case-sensitive).
    TCustomAbstractAction *FindByInternalId(const QString &id) const;
    template <typename A> A *Find(const QString &id) const
    {
        return dynamic_cast<A *>(FindByInternalId(id));
    }

    // Load or save every action with IncludePrefs, then the list's own handler.
    bool LoadAll(TActionStore &store);
    bool SaveAll(TActionStore &store);
    TPrefsHandler OnLoadFromPrefs, OnSaveToPrefs;

    TScriptHost *PascalScript() const { return m_host; }
    void SetPascalScript(TScriptHost *host);
    TNvSwitch *Switch() const { return m_switch; }
    void SetSwitch(TNvSwitch *processor);

private:
    void HostDestroyed();
    void RegisterAll(TScriptHost *host);

    QList<TCustomAbstractAction *> m_actions;
    QPointer<TScriptHost> m_host;
    std::function<void(TScriptHost *)> m_savedCompile;
    QMetaObject::Connection m_hostWatch;
    QPointer<TNvSwitch> m_switch;
};

// A plain list held by a window (the main window's settings, the script window's).
class TNvActionList : public TCustomNvActionList
{
    Q_OBJECT
public:
    using TCustomNvActionList::TCustomNvActionList;
};

// A private message posted to a component's message sink. Parameters are
// copies: a streaming thread never hands out pointers into its live state.
struct TNvMessage {
    quint32 msg = 0;
    qint64 wParam = 0;
    qint64 lParam = 0;
    QVariant data; // a copied record, when the message carries one
};

class TNvMessageEvent : public QEvent
{
public:
    static QEvent::Type eventType();
    explicit TNvMessageEvent(TNvMessage message) : QEvent(eventType()), message(std::move(message))
    {
    }
    TNvMessage message;
};

// Base of the manager components. Its message sink is the component itself:
// PostMessage may be called from any thread and WndProc runs on the thread
// the component lives on (the UI thread).
class TNvActionComponent : public TCustomNvActionList
{
    Q_OBJECT
public:
    using TCustomNvActionList::TCustomNvActionList;

    // A component created in code: CreateActions, InitActions, AssignHandlers.
    void CreateFresh();
    // A component whose actions already exist: LinkActions, AssignHandlers.
    void RestoreExisting();

    // Thread-safe: queues the message for WndProc.
    void PostMessage(const TNvMessage &message);
    // UI thread only: handles the message at once.
    void SendMessage(const TNvMessage &message) { WndProc(message); }

protected:
    virtual void WndProc(const TNvMessage &message);
    virtual void AssignHandlers() {}
    virtual void CreateActions() {}
    virtual void LinkActions() {}
    virtual void InitActions() {}

    bool event(QEvent *event) override;
};
