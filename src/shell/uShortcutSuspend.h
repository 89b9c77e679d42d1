#pragma once
// Single-key shortcuts (+ and - for the volume, Ctrl+Space for play) would
// swallow those keys while the user types a text; the text fields of the
// settings pages switch them off while they hold the focus.

class QLineEdit;
class TAudioMan;
class TNavMan;

// Clears the shortcuts of the volume steps and of play.
void shortcutsOff(TAudioMan *audman, TNavMan *navMan);
// Restores keypad plus (with Alt+P), keypad minus and Ctrl+Space.
void shortcutsOn(TAudioMan *audman, TNavMan *navMan);

// Calls shortcutsOff when `edit` gets the focus and shortcutsOn when it loses
// it. The watcher is owned by the edit.
void SuspendShortcutsWhileTyping(QLineEdit *edit, TAudioMan *audman, TNavMan *navMan);
