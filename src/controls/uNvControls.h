#pragma once
// The controls of the button bars: TNvBar lines up its child buttons in a row
// by itself (see NvBarLayout), TNvSeparator is an invisible spacer that it can
// stretch, and TNvImgSpeedButton is a flat button bound to an action.

#include "uNvBarLayout.h"

#include <QFrame>
#include <QPointer>
#include <QToolButton>

// A panel without caption that lays out its children in one row whenever one
// of its properties changes, it is resized or shown, or a child is added,
// shown, hidden, moved or resized. The row follows the children's left
// positions, so moving a child reorders the row.
class TNvBar : public QFrame
{
    Q_OBJECT
public:
    explicit TNvBar(QWidget *parent = nullptr);

    int ButtonHeight() const { return m_settings.ButtonHeight; }
    int ButtonWidth() const { return m_buttonWidth; } // stored only
    int ButtonMargin() const { return m_settings.ButtonMargin; }
    int ButtonTop() const { return m_settings.ButtonTop; }
    int ButtonSpacing() const { return m_settings.ButtonSpacing; }
    int ButtonMinWidth() const { return m_settings.ButtonMinWidth; }
    TNvBarAlignment Alignment() const { return m_settings.Alignment; }
    bool Autosize() const { return m_settings.Autosize; }
    bool AutoSeparation() const { return m_settings.AutoSeparation; }

    void SetButtonHeight(int value);
    void SetButtonWidth(int value);
    void SetButtonMargin(int value);
    void SetButtonTop(int value);
    void SetButtonSpacing(int value);
    void SetButtonMinWidth(int value);
    void SetAlignment(TNvBarAlignment value);
    void SetAutosize(bool value);
    void SetAutoSeparation(bool value);

    // Lays the row out now; does nothing when called from within a layout.
    void Realign();
    // The bar's list of children, in row order after the last layout.
    QList<QWidget *> Controls() const;

protected:
    void childEvent(QChildEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    template <typename T> void Change(T &field, T value);
    void RequestRealign();
    void PlaceChildren();

    TNvBarSettings m_settings;
    int m_buttonWidth = 28;
    QList<QPointer<QWidget>> m_list;
    bool m_aligning = false;
};

// A spacer: a panel with its parent's colour, no caption, no bevel or border.
class TNvSeparator : public QFrame
{
    Q_OBJECT
public:
    explicit TNvSeparator(QWidget *parent = nullptr);
};

// A flat image button bound to an action (normally a TCustomAbstractAction):
// clicking runs the action, and the button follows the action's icon, hint,
// enabled and checked states. With LinkCaption it also shows the action's
// caption; without, it keeps a caption of its own, which the action never
// overwrites.
class TNvImgSpeedButton : public QToolButton
{
    Q_OBJECT
public:
    explicit TNvImgSpeedButton(QWidget *parent = nullptr);

    QAction *Action() const { return defaultAction(); }
    // The first action assigned remembers the caption the button had as its own.
    void SetAction(QAction *action);

    QString Caption() const { return text(); }
    // Sets the button's own caption (shown unless LinkCaption shows the action's).
    void SetCaption(const QString &caption);

    bool LinkCaption() const { return m_linkCaption; }
    void SetLinkCaption(bool on);

protected:
    void actionEvent(QActionEvent *event) override;

private:
    void ApplyCaption();

    bool m_linkCaption = false;
    bool m_actionAssigned = false;
    QString m_ownCaption;
};
