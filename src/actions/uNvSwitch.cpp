#include "uNvSwitch.h"

#include "uActionList.h"
#include "uRunStatus.h"
#include "uScriptAction.h"

#include <QCoreApplication>

#include <exception>

TNvSwitch::TNvSwitch(QObject *owner) : QObject(owner) {}

TNvSwitch::~TNvSwitch()
{
    m_entries.Clear();
}

void TNvSwitch::EnterList(const TCustomNvActionList &list)
{
    for (TCustomAbstractAction *action : list.Actions())
        m_table.append({action->Switch, action});
}

void TNvSwitch::RemoveList(const TCustomNvActionList &list)
{
    m_table.removeIf([&list](const auto &entry) {
        return entry.second && list.Actions().contains(entry.second.data());
    });
}

void TNvSwitch::ApplicationActivated()
{
    if (m_processed) {
        if (OnActivate)
            OnActivate(this);
        return;
    }
    m_processed = true;
    try {
        ProcessCommandLine();
    } catch (const std::exception &e) {
        // An action failed: the rest of the command line is not run.
        TRunStatus::ReportFailure(QStringLiteral("kadrex: command line stopped: %1")
                                      .arg(QString::fromLocal8Bit(e.what())));
    } catch (...) {
        TRunStatus::ReportFailure(
            QStringLiteral("kadrex: command line stopped by a failing action"));
    }
}

void TNvSwitch::ProcessCommandLine()
{
    if (OnActivate)
        OnActivate(this);
    m_entries.Clear();
    const QStringList arguments = m_arguments ? *m_arguments : QCoreApplication::arguments().mid(1);
    for (const QString &argument : arguments) {
        if (auto entry = Parse(argument))
            m_entries.push_back(std::move(entry));
    }
    if (!m_entries.empty()) {
        ExecuteEntries();
    } else {
        if (OnNoCommandLine)
            OnNoCommandLine(this);
        // "kadrex /quit" alone makes no entry, yet must still close: a batch
        // run must never be left waiting.
        if (QuitRequested && OnCloseMainWindow)
            OnCloseMainWindow();
    }
    m_entries.Clear();
}

std::unique_ptr<TActionEx> TNvSwitch::Parse(const QString &argument)
{
    auto entry = std::make_unique<TActionEx>();
    QString name;
    const QChar first = argument.isEmpty() ? QChar() : argument.front();
    if (first == QLatin1Char('+') || first == QLatin1Char('-') || first == QLatin1Char('/')) {
        entry->kind = first == QLatin1Char('+')   ? TActionEx::Plus
                      : first == QLatin1Char('-') ? TActionEx::Minus
                                                  : TActionEx::Slash;
        const int equals = argument.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            name = argument.mid(1, equals - 1);
            entry->value = argument.mid(equals + 1);
        } else {
            name = argument.mid(1);
        }
        name = name.toLower();
    } else {
        entry->kind = TActionEx::Bare;
        entry->value = argument;
    }
    entry->action = Lookup(name);
    if (!entry->action)
        return nullptr;
    return entry;
}

TCustomAbstractAction *TNvSwitch::Lookup(const QString &name)
{
    if (m_table.isEmpty())
        return nullptr;
    if (name.isEmpty())
        return DefaultAction;
    if (name == QLatin1String("quit")) {
        QuitRequested = true;
        return nullptr;
    }
    for (const auto &[text, action] : std::as_const(m_table)) {
        if (action && text.compare(name, Qt::CaseInsensitive) == 0)
            return action;
    }
    return DefaultAction;
}

void TNvSwitch::ExecuteEntries()
{
    m_executing = true;
    const auto finish = [this] {
        if (QuitRequested && OnCloseMainWindow)
            OnCloseMainWindow();
        m_executing = false;
    };
    try {
        for (const auto &entry : m_entries) {
            QCoreApplication::processEvents();
            if (entry->action && entry->action->isEnabled())
                ExecuteEntry(*entry);
            QCoreApplication::processEvents();
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TNvSwitch::ExecuteEntry(const TActionEx &entry)
{
    if (auto *check = qobject_cast<TCheckAction *>(entry.action.data())) {
        switch (entry.kind) {
        case TActionEx::Plus:
            check->SetChecked(true);
            break;
        case TActionEx::Minus:
            check->SetChecked(false);
            break;
        case TActionEx::Slash:
            check->Toggle();
            break;
        case TActionEx::Bare:
            break;
        }
        return;
    }
    entry.action->SetValueFromText(entry.value);
}
