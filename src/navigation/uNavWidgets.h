#pragma once
// The widget half of the navigation manager's position box and slider: a
// QLineEdit and a QSlider bound to a TNavMan. Each binding lives as a child of
// its widget, so it goes with it and the manager is detached then; a binding
// the manager no longer holds (another box was attached) stays silent.

#include "uNavControls.h"

#include <QObject>
#include <QPointer>

class QLineEdit;
class QAbstractSlider;
class TNavMan;

class TNavPositionEditBinding : public QObject, public TNavPositionEdit
{
    Q_OBJECT
public:
    TNavPositionEditBinding(TNavMan *nav, QLineEdit *edit);
    ~TNavPositionEditBinding() override;

    QString Text() const override;
    void SetText(const QString &text) override;
    void SetSeekLook(bool seeking) override;
    void FocusNext() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool attached() const;
    QPointer<TNavMan> m_nav;
    QLineEdit *m_edit;
};

class TNavSliderBinding : public QObject, public TNavSlider
{
    Q_OBJECT
public:
    TNavSliderBinding(TNavMan *nav, QAbstractSlider *slider);
    ~TNavSliderBinding() override;

    void SetValue(int value) override;
    void SetRange(int minimum, int maximum) override;

private:
    bool attached() const;
    QPointer<TNavMan> m_nav;
    QAbstractSlider *m_slider;
    bool m_setting = false;
};

// Attaches the widget to the manager (replacing the one attached before).
TNavPositionEditBinding *BindPositionEdit(TNavMan &nav, QLineEdit *edit);
TNavSliderBinding *BindSlider(TNavMan &nav, QAbstractSlider *slider);
