#pragma once
// Two-way bindings between a settings page's controls and their actions:
// the control sets its action when the user changes it, and applying the
// action (from a script, a switch, the preferences) sets the control.

class QAbstractButton;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class TBooleanAction;
class TCheckAction;
class TIntegerAction;
class TWidestringAction;

namespace bindings {

// Runs fn(value) after whatever else is bound to the action's apply.
template <typename A, typename F> void AfterApply(A *a, F fn)
{
    auto previous = a->OnAfterApply;
    a->OnAfterApply = [previous, fn](const auto &value) {
        if (previous)
            previous(value);
        fn(value);
    };
}

// Text typed in the edit; a folder edit (trailingSlash) gives its action the
// folder with a trailing "/".
void Text(TWidestringAction *action, QLineEdit *edit, bool trailingSlash = false);
void Spin(TIntegerAction *action, QSpinBox *spin);
void Check(TBooleanAction *action, QAbstractButton *box);
void Check(TCheckAction *action, QAbstractButton *box);
// A pair of radio buttons for an integer: `zero` stands for 0, `other` for the rest.
void Pair(TIntegerAction *action, QRadioButton *zero, QRadioButton *other, int otherValue);

} // namespace bindings
