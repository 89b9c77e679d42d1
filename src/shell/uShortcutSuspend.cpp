#include "uShortcutSuspend.h"

#include "actions/uScriptAction.h"
#include "media/uAudioMan.h"
#include "navigation/uNavMan.h"

#include <QEvent>
#include <QLineEdit>
#include <QPointer>

void shortcutsOff(TAudioMan *audman, TNavMan *navMan)
{
    if (audman && audman->naIncVolume) {
        audman->naIncVolume->SetShortCut({});
        audman->naIncVolume->SetSecondaryShortcuts({});
    }
    if (audman && audman->naDecVolume)
        audman->naDecVolume->SetShortCut({});
    if (navMan && navMan->caPlay)
        navMan->caPlay->SetShortCut({});
}

void shortcutsOn(TAudioMan *audman, TNavMan *navMan)
{
    if (audman && audman->naIncVolume) {
        audman->naIncVolume->SetShortCut(QKeySequence(Qt::KeypadModifier | Qt::Key_Plus));
        audman->naIncVolume->SetSecondaryShortcuts({QKeySequence(QStringLiteral("Alt+P"))});
    }
    if (audman && audman->naDecVolume)
        audman->naDecVolume->SetShortCut(QKeySequence(Qt::KeypadModifier | Qt::Key_Minus));
    if (navMan && navMan->caPlay)
        navMan->caPlay->SetShortCut(QKeySequence(Qt::ControlModifier | Qt::Key_Space));
}

namespace {

class TShortcutSuspender : public QObject
{
public:
    TShortcutSuspender(QLineEdit *edit, TAudioMan *audman, TNavMan *navMan)
        : QObject(edit), m_audman(audman), m_navMan(navMan)
    {
        edit->installEventFilter(this);
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn)
            shortcutsOff(m_audman, m_navMan);
        else if (event->type() == QEvent::FocusOut)
            shortcutsOn(m_audman, m_navMan);
        return false;
    }

private:
    // The managers may go before the page that holds the edit.
    QPointer<TAudioMan> m_audman;
    QPointer<TNavMan> m_navMan;
};

} // namespace

void SuspendShortcutsWhileTyping(QLineEdit *edit, TAudioMan *audman, TNavMan *navMan)
{
    if (edit)
        new TShortcutSuspender(edit, audman, navMan);
}
