#include "uFrameBindings.h"

#include "actions/uScriptAction.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>

namespace {

template <typename F> void chain(TCheckAction::TEvent &event, F fn)
{
    auto previous = event;
    event = [previous, fn] {
        if (previous)
            previous();
        fn();
    };
}

QString withTrailingSlash(const QString &folder)
{
    return folder.isEmpty() || folder.endsWith(u'/') ? folder : folder + u'/';
}

} // namespace

namespace bindings {

void Text(TWidestringAction *a, QLineEdit *edit, bool trailingSlash)
{
    if (trailingSlash)
        QObject::connect(edit, &QLineEdit::editingFinished, edit, [a, edit] {
            const QString folder = withTrailingSlash(edit->text());
            if (a->Value() != folder)
                a->SetValue(folder);
        });
    else
        QObject::connect(edit, &QLineEdit::textEdited, edit,
                         [a](const QString &t) { a->SetValue(t); });
    AfterApply(a, [edit](const QString &v) {
        if (edit->text() != v)
            edit->setText(v);
    });
}

namespace {

// The widget's change sets the action when it differs; the action's apply
// sets the widget without its change signal.
template <typename A, typename W, typename Changed, typename Set>
void bothWays(A *a, W *widget, Changed changed, Set set)
{
    QObject::connect(widget, changed, widget, [a](auto v) {
        if (a->Value() != v)
            a->SetValue(v);
    });
    AfterApply(a, [widget, set](const auto &v) {
        const QSignalBlocker block(widget);
        (widget->*set)(v);
    });
}

} // namespace

void Spin(TIntegerAction *a, QSpinBox *spin)
{
    bothWays(a, spin, &QSpinBox::valueChanged, &QSpinBox::setValue);
}

void Check(TBooleanAction *a, QAbstractButton *box)
{
    bothWays(a, box, &QAbstractButton::toggled, &QAbstractButton::setChecked);
}

void Check(TCheckAction *a, QAbstractButton *box)
{
    QObject::connect(box, &QAbstractButton::toggled, box, [a](bool on) {
        if (a->Checked() != on)
            a->SetChecked(on);
    });
    const auto follow = [a, box] {
        const QSignalBlocker block(box);
        box->setChecked(a->Checked());
    };
    chain(a->OnAfterTrueApply, follow);
    chain(a->OnAfterFalseApply, follow);
}

void Pair(TIntegerAction *a, QRadioButton *zero, QRadioButton *other, int otherValue)
{
    QObject::connect(zero, &QRadioButton::toggled, zero, [a](bool on) {
        if (on && a->Value() != 0)
            a->SetValue(0);
    });
    QObject::connect(other, &QRadioButton::toggled, other, [a, otherValue](bool on) {
        if (on && a->Value() == 0)
            a->SetValue(otherValue);
    });
    AfterApply(a, [zero, other](const qint32 &v) {
        const QSignalBlocker b1(zero), b2(other);
        (v == 0 ? zero : other)->setChecked(true);
    });
}

} // namespace bindings
