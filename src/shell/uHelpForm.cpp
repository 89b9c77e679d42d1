#include "uHelpForm.h"

#include "actions/uActionList.h"
#include "actions/uScriptAction.h"
#include "controls/uLinkEdit.h"
#include "prefs/uProductInfo.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int kActionRole = Qt::UserRole;

QString shortcutText(const TCustomAbstractAction &action)
{
    return action.shortcut().toString(QKeySequence::PortableText);
}

TLinkEdit *field(QWidget *parent, const QColor &background, int height)
{
    auto *edit = new TLinkEdit(parent);
    edit->setAutoFillBackground(true);
    edit->viewport()->setAutoFillBackground(true);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, background);
    edit->setPalette(palette);
    edit->setFixedHeight(height);
    return edit;
}

} // namespace

// ---------------------------------------------------------------------------

TObjetListBox::TObjetListBox(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(this, &QListWidget::itemSelectionChanged, this, &TObjetListBox::UpdateHint);
}

QString TObjetListBox::SortKey(const TCustomAbstractAction &action, THelpSort order)
{
    const auto orZzz = [](const QString &text) {
        return text.isEmpty() ? QStringLiteral("zzz") : text;
    };
    switch (order) {
    case THelpSort::Alpha:
        break;
    case THelpSort::Shortcut:
        return orZzz(shortcutText(action)) + action.ScriptName;
    case THelpSort::Switch:
        return orZzz(action.Switch) + action.ScriptName;
    }
    return action.ScriptName;
}

void TObjetListBox::Add(TCustomAbstractAction *action)
{
    m_entries << action;
    Place(action);
}

void TObjetListBox::Place(TCustomAbstractAction *action)
{
    const QString key = SortKey(*action, m_order);
    int row = 0; // the first place whose key is not below: before an equal key
    while (row < count() && SortKey(*ActionAt(row), m_order).compare(key, Qt::CaseInsensitive) < 0)
        ++row;
    auto *item = new QListWidgetItem(action->ScriptName);
    item->setData(kActionRole, QVariant::fromValue<QObject *>(action));
    insertItem(row, item);
    UpdateHint();
}

TCustomAbstractAction *TObjetListBox::ActionAt(int row) const
{
    const QListWidgetItem *it = item(row);
    return it ? qobject_cast<TCustomAbstractAction *>(it->data(kActionRole).value<QObject *>())
              : nullptr;
}

void TObjetListBox::Resort(THelpSort order)
{
    TCustomAbstractAction *selected = Current();
    clear();
    m_order = order;
    for (const QPointer<TCustomAbstractAction> &action : std::as_const(m_entries))
        if (action)
            Place(action);
    for (int row = 0; row < count(); ++row)
        if (ActionAt(row) == selected)
            setCurrentRow(row);
}

void TObjetListBox::UpdateHint()
{
    const int selected = int(selectedItems().size());
    setToolTip(selected <= 1
                   ? QStringLiteral("one item seleteced on %1").arg(count())
                   : QStringLiteral("%1 items selected on %2").arg(selected).arg(count()));
}

// ---------------------------------------------------------------------------

THelpForm::THelpForm(QWidget *owner) : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("HelpForm"));
    setWindowTitle(QStringLiteral("Help for Shortcuts, Scripts and Macros"));
    Tabs = new QTabWidget(this);
    Tabs->setUsesScrollButtons(false);
    NameLine = field(this, QColor(0xCC, 0xFF, 0xCC), 40);
    NameLine->SetFontColor(0xFF0000); // blue
    QFont arial(QStringLiteral("Arial"));
    arial.setBold(true);
    NameLine->setFont(arial);
    HintText = field(this, palette().color(QPalette::ToolTipBase), 70);
    Syntax = new QPlainTextEdit(this);
    Syntax->setReadOnly(true);
    Syntax->setFont(QFont(QStringLiteral("Courier New")));
    Syntax->setFixedHeight(60);
    SwitchLine = field(this, QColor(0xC0, 0xC0, 0xC0), 32);
    CommentText = field(this, palette().color(QPalette::Window), 80);
    QFont italic = CommentText->font();
    italic.setItalic(true);
    CommentText->setFont(italic);

    auto *right = new QVBoxLayout;
    for (QWidget *w : {static_cast<QWidget *>(NameLine), static_cast<QWidget *>(HintText),
                       static_cast<QWidget *>(Syntax), static_cast<QWidget *>(SwitchLine)})
        right->addWidget(w);
    right->addWidget(CommentText, 1);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(Tabs, 1);
    layout->addLayout(right, 1);

    SortMenu = new QMenu(this);
    const std::pair<const char *, THelpSort> orders[] = {{"Alphabetical order", THelpSort::Alpha},
                                                         {"Sort by Shortcuts", THelpSort::Shortcut},
                                                         {"Sort by Switch", THelpSort::Switch}};
    for (const auto &[caption, order] : orders)
        connect(SortMenu->addAction(QString::fromLatin1(caption)), &QAction::triggered, this,
                [this, order] { SortAll(order); });
    connect(Tabs, &QTabWidget::currentChanged, this, &THelpForm::ShowCurrent);
    resize(780, 500);
}

void THelpForm::AddPage(const QString &name, const TCustomNvActionList &list)
{
    TObjetListBox *box = nullptr;
    for (int i = 0; i < Tabs->count() && !box; ++i)
        if (Tabs->tabText(i) == name)
            box = qobject_cast<TObjetListBox *>(Tabs->widget(i));
    if (!box) {
        box = new TObjetListBox(Tabs);
        box->setObjectName(QStringLiteral("lb%1").arg(Tabs->count() + 1));
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(box, &QWidget::customContextMenuRequested, this,
                [this, box](const QPoint &at) { SortMenu->popup(box->mapToGlobal(at)); });
        connect(box, &QListWidget::currentRowChanged, this, &THelpForm::ShowCurrent);
        connect(box, &QListWidget::itemDoubleClicked, this, [box](QListWidgetItem *item) {
            if (TCustomAbstractAction *action = box->ActionAt(box->row(item)))
                action->DoExecute();
        });
        Tabs->addTab(box, name);
    }
    for (TCustomAbstractAction *action : list.Actions())
        box->Add(action);
    if (box->count() == 0)
        return;
    box->Resort(THelpSort::Alpha);
    box->setCurrentRow(0);
    ShowCurrent();
}

void THelpForm::SortAll(THelpSort order)
{
    for (int i = 0; i < Tabs->count(); ++i)
        if (auto *box = qobject_cast<TObjetListBox *>(Tabs->widget(i)))
            box->Resort(order);
    ShowCurrent();
}

TObjetListBox *THelpForm::CurrentList() const
{
    return qobject_cast<TObjetListBox *>(Tabs->currentWidget());
}

void THelpForm::ShowCurrent()
{
    const TObjetListBox *box = CurrentList();
    TCustomAbstractAction *action = box ? box->Current() : nullptr;
    if (!action)
        return;
    NameLine->SetRichText(
        action->ScriptName +
        QStringLiteral("    <size 12><color Black>%1</color></size>").arg(shortcutText(*action)));
    HintText->SetRichText(action->Hint());
    Syntax->setPlainText(action->GetScriptDeclaration());
    const QString syntax =
        action->Switch.isEmpty() ? QStringLiteral("N/A") : action->GetSwitchSyntax();
    SwitchLine->SetRichText(
        QStringLiteral("<i>Switch:    </i><B><color Navy><size 10>%1</size></color></B>")
            .arg(syntax));
    CommentText->SetRichText(action->Comments.join(QStringLiteral("<br>")));
}

bool THelpForm::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        ShowCurrent();
    return QWidget::event(event);
}

// ---------------------------------------------------------------------------

QWidget *CreateScriptPlaceholder(QWidget *owner)
{
    auto *window = new QWidget(owner, Qt::Window);
    window->setObjectName(QStringLiteral("ScriptForm"));
    window->setWindowTitle(QStringLiteral("Scripts for ") + product::fullName());
    auto *text = new QLabel(QStringLiteral("Scripts are not available in this build."), window);
    text->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(window);
    layout->addWidget(text);
    window->resize(420, 160);
    return window;
}
