#pragma once
// The catalogue of the video window's inlay settings: the rows that the video
// manager's own action list (category "internal", no switches, all stored)
// holds for the inlay. The video window creates them with
// CreateActionsFromTable(InlayActionTable(), list, owner) among its other
// rows, and applies each to its TInlay (uInlayOverlay.h). The main window's
// inlay templates, insert commands and styles are rows of its own catalogue.

#include "actions/uActionTable.h"

#include <span>

// The rows in list order (the order they load and apply at start-up).
std::span<const TActionDef> InlayActionTable();
