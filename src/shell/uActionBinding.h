#pragma once
// What the inlay side of the window adds to the page bindings of
// uFrameBindings: finding an action by id, and running a function after the
// apply of either state of a check action, after whatever handler it had.

#include "actions/uActionList.h"
#include "actions/uScriptAction.h"
#include "uFrameBindings.h"

// The action of that id in the list (null when there is none of that class).
template <typename A> A *actionOf(TCustomNvActionList &list, const char *id)
{
    return list.Find<A>(QLatin1String(id));
}

template <typename A> A *actionOf(TCustomNvActionList *list, const char *id)
{
    return actionOf<A>(*list, id);
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
