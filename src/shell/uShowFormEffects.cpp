// The window's side of the picture effects: a flip, the separate window or
// the inlay's smoothing changed while paused shows at once.

#include "main.h"

#include "actions/uScriptAction.h"
#include "media/uVideoMan.h"
#include "navigation/uNavMan.h"

void TShowForm::applyeffects()
{
    if (m_navMan)
        m_navMan->RefreshFrame(); // does nothing unless paused on a frame
}

void TShowForm::WireEffects()
{
    for (TCheckAction *action : {m_vidman->caFlipVertical, m_vidman->caFlipHorizontal,
                                 m_vidman->caPreviewform, m_vidman->caInsertAntiAliasing}) {
        if (!action)
            continue;
        action->OnAfterTrueApply = [this] { applyeffects(); };
        action->OnAfterFalseApply = [this] { applyeffects(); };
    }
}
