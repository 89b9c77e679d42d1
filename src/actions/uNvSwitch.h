#pragma once
// The command-line switch processor: holds the table of switch names, parses
// the program's arguments into entries once the application first becomes
// active, and runs them in order as if the user had done the same by hand.

#include "uScriptAction.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TCustomNvActionList;

// One parsed argument.
struct TActionEx {
    enum EntryKind { Plus = 0, Minus = 1, Slash = 2, Bare = 3 };
    QPointer<TCustomAbstractAction> action;
    QString value;
    EntryKind kind = Bare;
};

// A list of owned objects; clearing it frees them from the last to the first.
template <typename T> class TSuperList : public std::vector<std::unique_ptr<T>>
{
public:
    void Clear()
    {
        while (!this->empty())
            this->pop_back();
    }
};

class TNvSwitch : public QObject
{
    Q_OBJECT
public:
    using TNotify = std::function<void(QObject *sender)>;

    explicit TNvSwitch(QObject *owner = nullptr);
    ~TNvSwitch() override;

    // Called by action lists when they attach or detach.
    void EnterList(const TCustomNvActionList &list);
    void RemoveList(const TCustomNvActionList &list);

    // The arguments to run (the program path excluded); by default the
    // application's own.
    void SetArguments(const QStringList &arguments) { m_arguments = arguments; }

    // The application became active: the first call parses and runs the
    // command line; later calls only run OnActivate.
    void ApplicationActivated();
    bool Processed() const { return m_processed; }

    TCustomAbstractAction *DefaultAction = nullptr;
    bool QuitRequested = false;
    bool Executing() const { return m_executing; }
    TNotify OnActivate, OnNoCommandLine;
    // Asks the main window to close (its normal close path).
    std::function<void()> OnCloseMainWindow;

    // Parsing and look-up, exposed for the tests.
    std::unique_ptr<TActionEx> Parse(const QString &argument);
    TCustomAbstractAction *Lookup(const QString &name);
    const TSuperList<TActionEx> &Entries() const { return m_entries; }

private:
    void ProcessCommandLine();
    void ExecuteEntries();
    void ExecuteEntry(const TActionEx &entry);

    QList<QPair<QString, QPointer<TCustomAbstractAction>>> m_table;
    TSuperList<TActionEx> m_entries;
    std::optional<QStringList> m_arguments;
    bool m_executing = false;
    bool m_processed = false;
};
