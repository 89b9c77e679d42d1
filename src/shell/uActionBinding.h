#pragma once
// Small helpers for binding the window's controls and parts to actions
// without taking over the events others have bound: each runs its function
// after whatever handler the action already had.

#include "actions/uActionList.h"
#include "actions/uScriptAction.h"

// The action of that id in the list (null when there is none of that class).
template <typename A> A *actionOf(TCustomNvActionList &list, const char *id)
{
    return list.Find<A>(QLatin1String(id));
}

template <typename A> A *actionOf(TCustomNvActionList *list, const char *id)
{
    return actionOf<A>(*list, id);
}

// Runs fn(value) after the action's apply.
template <typename A, typename F> void afterApply(A *a, F fn)
{
    auto previous = a->OnAfterApply;
    a->OnAfterApply = [previous, fn](const auto &value) {
        if (previous)
            previous(value);
        fn(value);
    };
}

// Runs fn(checked) after the apply of either state of a check action.
template <typename F> void afterCheck(TCheckAction *a, F fn)
{
    for (auto *event : {&a->OnAfterTrueApply, &a->OnAfterFalseApply}) {
        const bool on = event == &a->OnAfterTrueApply;
        *event = [previous = *event, fn, on] {
            if (previous)
                previous();
            fn(on);
        };
    }
}
