#pragma once
// The main window's toolbar as data: the action behind each button and the
// icon (drawn for this program, in the resources) it shows; "" separates
// groups with a stretchable spacer.

#include <QString>

#include <functional>

class QAction;
class TNvBar;

// Fills the bar; buttons whose action no list has (yet) are left out.
void BuildToolbar(TNvBar &bar, const std::function<QAction *(const QString &)> &lookup);
