#pragma once
// The catalogue of the main window's own action list (gpal): every setting
// and command that TShowForm holds itself, as opposed to the actions that its
// manager components (file, navigation, video, audio and application
// managers) create for themselves.

#include "actions/uActionTable.h"

#include <span>

// The rows in list order: the order in which the list loads (and applies)
// its settings at start-up, registers them with the script host and enters
// them in the switch table.
std::span<const TActionDef> ShowFormActionTable();
