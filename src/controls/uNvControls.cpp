#include "uNvControls.h"

#include <QActionEvent>
#include <QChildEvent>
#include <QCoreApplication>

#include <algorithm>

TNvBar::TNvBar(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::NoFrame);
}

template <typename T> void TNvBar::Change(T &field, T value)
{
    field = value;
    Realign();
}

void TNvBar::SetButtonHeight(int value)
{
    Change(m_settings.ButtonHeight, value);
}
void TNvBar::SetButtonWidth(int value)
{
    Change(m_buttonWidth, value);
}
void TNvBar::SetButtonMargin(int value)
{
    Change(m_settings.ButtonMargin, value);
}
void TNvBar::SetButtonTop(int value)
{
    Change(m_settings.ButtonTop, value);
}
void TNvBar::SetButtonSpacing(int value)
{
    Change(m_settings.ButtonSpacing, value);
}
void TNvBar::SetButtonMinWidth(int value)
{
    Change(m_settings.ButtonMinWidth, value);
}
void TNvBar::SetAlignment(TNvBarAlignment value)
{
    Change(m_settings.Alignment, value);
}
void TNvBar::SetAutosize(bool value)
{
    Change(m_settings.Autosize, value);
}
void TNvBar::SetAutoSeparation(bool value)
{
    Change(m_settings.AutoSeparation, value);
}

QList<QWidget *> TNvBar::Controls() const
{
    QList<QWidget *> controls;
    for (const QPointer<QWidget> &control : m_list) {
        if (control)
            controls.append(control);
    }
    return controls;
}

void TNvBar::Realign()
{
    if (m_aligning)
        return;
    m_aligning = true;
    PlaceChildren();
    m_aligning = false;
}

void TNvBar::PlaceChildren()
{
    const QList<QWidget *> controls = Controls();
    QList<TNvBarItem> items;
    for (QWidget *control : controls) {
        const bool onBar = control->parentWidget() == this;
        items.append({control->x(), control->y(), control->width(), control->height(),
                      onBar && control->isVisibleTo(this),
                      qobject_cast<TNvSeparator *>(control) != nullptr, onBar});
    }
    const TNvBarLayoutResult layout = NvBarLayout(m_settings, width(), items);

    m_list.clear();
    for (const int index : layout.order) {
        QWidget *control = controls[index];
        m_list.append(control);
        const TNvBarItem &item = layout.items[index];
        if (item.onBar)
            control->setGeometry(item.left, item.top, item.width, item.height);
    }
    if (layout.resized)
        resize(layout.barWidth, layout.barHeight);
}

void TNvBar::RequestRealign()
{
    // Posted: a child announced by ChildAdded is still being constructed.
    // Qt folds pending layout requests into one.
    QCoreApplication::postEvent(this, new QEvent(QEvent::LayoutRequest));
}

void TNvBar::childEvent(QChildEvent *event)
{
    QFrame::childEvent(event);
    QObject *child = event->child();
    if (!child->isWidgetType())
        return;
    auto *control = static_cast<QWidget *>(child);
    if (event->added()) {
        if (!m_list.contains(control))
            m_list.append(control);
        control->installEventFilter(this);
        RequestRealign();
    } else if (event->removed()) {
        m_list.removeAll(control);
        control->removeEventFilter(this);
        RequestRealign();
    }
}

bool TNvBar::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        Realign();
        break;
    default:
        break;
    }
    return QFrame::eventFilter(watched, event);
}

bool TNvBar::event(QEvent *event)
{
    if (event->type() == QEvent::LayoutRequest) {
        Realign();
        return true;
    }
    return QFrame::event(event);
}

void TNvBar::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    Realign();
}

void TNvBar::showEvent(QShowEvent *event)
{
    QFrame::showEvent(event);
    Realign();
}

TNvSeparator::TNvSeparator(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(false);
}

TNvImgSpeedButton::TNvImgSpeedButton(QWidget *parent) : QToolButton(parent)
{
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
}

void TNvImgSpeedButton::SetAction(QAction *action)
{
    if (!m_actionAssigned) {
        m_ownCaption = text();
        m_actionAssigned = true;
    }
    if (action)
        setDefaultAction(action);
    ApplyCaption();
}

void TNvImgSpeedButton::SetCaption(const QString &caption)
{
    m_ownCaption = caption;
    setText(caption);
    ApplyCaption();
}

void TNvImgSpeedButton::SetLinkCaption(bool on)
{
    m_linkCaption = on;
    ApplyCaption();
}

void TNvImgSpeedButton::ApplyCaption()
{
    QAction *action = defaultAction();
    if (!action)
        return;
    if (m_linkCaption)
        setDefaultAction(action); // takes the caption (and the rest) from the action again
    else
        setText(m_ownCaption);
}

void TNvImgSpeedButton::actionEvent(QActionEvent *event)
{
    // The toolkit copies the action's caption with everything else; an own
    // caption is put back.
    QToolButton::actionEvent(event);
    if (event->type() == QEvent::ActionChanged && event->action() == defaultAction())
        ApplyCaption();
}
