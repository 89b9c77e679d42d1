#include "uActionList.h"

#include "uNvSwitch.h"
#include "uScriptAction.h"
#include "uScriptHost.h"

#include <QCoreApplication>

TCustomNvActionList::TCustomNvActionList(QObject *owner) : QObject(owner) {}

TCustomNvActionList::~TCustomNvActionList()
{
    SetPascalScript(nullptr);
    SetSwitch(nullptr);
    // The actions may outlive this body (QObject frees children later): they
    // must not call back into a list that is going away.
    for (TCustomAbstractAction *action : std::as_const(m_actions))
        action->SetActionList(nullptr);
}

void TCustomNvActionList::AddAction(TCustomAbstractAction *action)
{
    if (!action || m_actions.contains(action))
        return;
    if (TCustomNvActionList *previous = action->ActionList())
        previous->RemoveAction(action);
    m_actions.append(action);
    action->SetActionList(this);
}

void TCustomNvActionList::RemoveAction(TCustomAbstractAction *action)
{
    if (m_actions.removeOne(action))
        action->SetActionList(nullptr);
}

TCustomAbstractAction *TCustomNvActionList::FindByInternalId(const QString &id) const
{
    for (TCustomAbstractAction *action : m_actions) {
        if (action->InternalId == id)
            return action;
    }
    return nullptr;
}

namespace {

// The common loop of LoadAll and SaveAll: every action with IncludePrefs, then
// the list's own handler; a failure raised on the way ends the loop with the
// result reached so far.
template <typename Each>
bool forEachStored(const QList<TCustomAbstractAction *> &actions, TActionStore &store, Each each,
                   const TCustomNvActionList::TPrefsHandler &handler)
{
    bool result = true;
    try {
        for (TCustomAbstractAction *action : actions) {
            if (action->IncludePrefs && !each(*action, store))
                result = false;
        }
        if (handler && !handler(store))
            result = false;
    } catch (...) {
    }
    return result;
}

} // namespace

bool TCustomNvActionList::LoadAll(TActionStore &store)
{
    return forEachStored(
        m_actions, store,
        [](TCustomAbstractAction &a, TActionStore &s) { return a.LoadFromPrefs(s); },
        OnLoadFromPrefs);
}

bool TCustomNvActionList::SaveAll(TActionStore &store)
{
    return forEachStored(
        m_actions, store,
        [](TCustomAbstractAction &a, TActionStore &s) { return a.SaveToPrefs(s); }, OnSaveToPrefs);
}

void TCustomNvActionList::SetPascalScript(TScriptHost *host)
{
    if (host == m_host)
        return;
    if (m_host) {
        disconnect(m_hostWatch);
        if (!host)
            m_host->OnCompile = m_savedCompile;
    }
    m_host = host;
    m_savedCompile = nullptr;
    if (!host)
        return;
    m_savedCompile = host->OnCompile;
    QPointer<TCustomNvActionList> self(this);
    auto saved = m_savedCompile;
    host->OnCompile = [self, saved](TScriptHost *h) {
        if (saved)
            saved(h);
        if (self)
            self->RegisterAll(h);
    };
    m_hostWatch = connect(host, &QObject::destroyed, this, [this] { HostDestroyed(); });
}

void TCustomNvActionList::HostDestroyed()
{
    m_host = nullptr;
    m_savedCompile = nullptr;
}

void TCustomNvActionList::RegisterAll(TScriptHost *host)
{
    for (TCustomAbstractAction *action : std::as_const(m_actions))
        action->RegisterInScript(host);
}

void TCustomNvActionList::SetSwitch(TNvSwitch *processor)
{
    if (processor == m_switch)
        return;
    if (m_switch)
        m_switch->RemoveList(*this);
    m_switch = processor;
    if (processor)
        processor->EnterList(*this);
}

// ---------------------------------------------------------------------------

QEvent::Type TNvMessageEvent::eventType()
{
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

void TNvActionComponent::CreateFresh()
{
    CreateActions();
    InitActions();
    AssignHandlers();
}

void TNvActionComponent::RestoreExisting()
{
    LinkActions();
    AssignHandlers();
}

void TNvActionComponent::PostMessage(const TNvMessage &message)
{
    QCoreApplication::postEvent(this, new TNvMessageEvent(message));
}

void TNvActionComponent::WndProc(const TNvMessage &) {}

bool TNvActionComponent::event(QEvent *event)
{
    if (event->type() == TNvMessageEvent::eventType()) {
        WndProc(static_cast<TNvMessageEvent *>(event)->message);
        return true;
    }
    return TCustomNvActionList::event(event);
}
