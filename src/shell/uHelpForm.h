#pragma once
// The help browser: documents the action catalogue from the actions
// themselves. One tab per group of lists, each a list of script names that
// can be sorted alphabetically, by shortcut or by switch; for the selected
// action its shortcut, hint, script declaration, switch and comments.
// Double-clicking an entry runs the action. And the script window's stand-in
// for a build without the script language.

#include <QListWidget>
#include <QPointer>
#include <QWidget>

class QMenu;
class QPlainTextEdit;
class QTabWidget;
class TCustomAbstractAction;
class TCustomNvActionList;
class TLinkEdit;

// A sort order of the help lists.
enum class THelpSort { Alpha, Shortcut, Switch };

// The list of one tab: entries kept in the order of their sort key (letter
// case ignored); an entry whose key is already there goes before it.
class TObjetListBox : public QListWidget
{
    Q_OBJECT
public:
    explicit TObjetListBox(QWidget *parent = nullptr);

    static QString SortKey(const TCustomAbstractAction &action, THelpSort order);
    void Add(TCustomAbstractAction *action);
    TCustomAbstractAction *ActionAt(int row) const;
    TCustomAbstractAction *Current() const { return ActionAt(currentRow()); }
    THelpSort Order() const { return m_order; }
    // Sorts again under order, keeping the selected entry.
    void Resort(THelpSort order);
    // "one item seleteced on N" or "K items selected on N".
    void UpdateHint();

private:
    void Place(TCustomAbstractAction *action);

    THelpSort m_order = THelpSort::Alpha;
    QList<QPointer<TCustomAbstractAction>> m_entries; // in the order they were added
};

class THelpForm : public QWidget
{
    Q_OBJECT
public:
    explicit THelpForm(QWidget *owner = nullptr);

    // Adds the list's actions to the tab called name (made when missing).
    void AddPage(const QString &name, const TCustomNvActionList &list);
    void SortAll(THelpSort order);

    QTabWidget *Tabs = nullptr;
    TLinkEdit *NameLine = nullptr, *HintText = nullptr, *SwitchLine = nullptr,
              *CommentText = nullptr;
    QPlainTextEdit *Syntax = nullptr;
    QMenu *SortMenu = nullptr;

    TObjetListBox *CurrentList() const;
    // Shows the selected entry of the shown tab.
    void ShowCurrent();

protected:
    bool event(QEvent *event) override;
};

// A window saying that scripts are not available in this build.
QWidget *CreateScriptPlaceholder(QWidget *owner);
