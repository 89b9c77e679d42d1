#pragma once
// The storage-mode dialog asked at close when no mode is set, and the wiring
// that lets the preference component ask it and report failed saves.

#include "uPreferences.h"

#include <QDialog>

class QPushButton;
class TLinkEdit;

class TSavePrefsForm : public QDialog
{
    Q_OBJECT
public:
    explicit TSavePrefsForm(QWidget *parent = nullptr);

    // The marked-up text of the upper part.
    static QString MessageText();

    // Shows the dialog modally under the given caption; Cancelled when it is
    // closed by its frame.
    TModeAnswer Ask(const QString &caption);
    TModeAnswer Choice() const { return m_choice; }

    TLinkEdit *Message = nullptr;
    QPushButton *bNormal = nullptr;
    QPushButton *bPortable = nullptr;
    QPushButton *bNone = nullptr;

private:
    QPushButton *addChoice(const QString &caption, const QString &hint, TModeAnswer choice);

    TModeAnswer m_choice = TModeAnswer::Cancelled;
};

// True when the program runs without a screen (QT_QPA_PLATFORM=offscreen or
// minimal): nobody can answer a question then.
bool RunsWithoutScreen();

// Lets gp ask the storage mode with a TSavePrefsForm owned by parent (without
// a screen the question has no answer), and show failed saves in a message
// box (on standard error without a screen).
void InstallSavePrefsDialog(TNorvanePreferences &gp, QWidget *parent);
