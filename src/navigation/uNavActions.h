#pragma once
// The navigation manager's catalogue: its actions as data (name, class,
// script name, switch, default, shortcut, captions and hints), the image each
// one shows, and what each command does, with Shift and without.

#include "actions/uActionTable.h"
#include "uNavSteps.h"

#include <QString>

#include <span>

// What a navigation command does.
enum class TNavEffect {
    None,
    GoToStart,
    GoToEnd,
    PreviousScene,
    NextScene,
    Back10Minutes,
    BackMinute,
    Back10Seconds,
    BackSecond,
    Back10Frames,
    BackFrame,
    Forward10Minutes,
    ForwardMinute,
    Forward10Seconds,
    ForwardSecond,
    Forward10Frames,
    ForwardFrame,
};

struct TNavActionRow {
    TActionDef def;
    int image = -1; // index in the navigation images; -1 none
    int trueImage = -1, falseImage = -1;
    TNavEffect plain = TNavEffect::None;
    TNavEffect shifted = TNavEffect::None; // with Shift held
};

namespace navactions {

// Every action the manager creates, in creation order.
std::span<const TNavActionRow> Rows();
// The rows of the main window's stored action set: all but the two scene
// commands, which it offers through the track commands.
bool InStoredSet(const TNavActionRow &row);
const TNavActionRow *RowOf(const QString &name);

// The effect of a command with Shift held or not.
TNavEffect EffectOf(const TNavActionRow &row, bool shift);

// A relative step: its direction and size (frame steps in frame durations).
struct TNavStep {
    bool forward = false;
    qint64 delta = 0;
};
bool IsStep(TNavEffect effect);
TNavStep StepOf(TNavEffect effect, qint64 frameDuration);

} // namespace navactions
