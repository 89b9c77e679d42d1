#pragma once
// The inlay page: the six insert buttons, the two custom templates, the font,
// its size and styles, the text and border colours, the border width, the
// alignment, the sliders and subtitle buttons and the opacity. Each control
// sets its action when the user changes it; applying the action sets the
// control. The rules (size entries, border entries, opacity scale) are
// those of uInlayPageRules.

#include "actions/uActionTypes.h"

#include <QFrame>

#include <array>
#include <functional>
#include <optional>

class QButtonGroup;
class QComboBox;
class QFontComboBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QToolButton;
class TCustomNvActionList;

class TIncrustFrame : public QFrame
{
public:
    explicit TIncrustFrame(QWidget *parent = nullptr);

    // By insert mode: time stamp, number, time code, date code, custom, real date.
    std::array<QRadioButton *, 6> rbInsert{};
    QLineEdit *edPerso1 = nullptr, *edPerso2 = nullptr;
    QFontComboBox *FontComboBox = nullptr;
    QComboBox *cbSize = nullptr;
    QToolButton *tbBold = nullptr, *tbItalic = nullptr, *tbUnderline = nullptr,
                *tbStrikeOut = nullptr;
    QToolButton *tbFontColor = nullptr, *tbBorder = nullptr, *tbBorderColor = nullptr;
    QToolButton *tbLeft = nullptr, *tbCentre = nullptr, *tbRight = nullptr;
    QToolButton *tbSliders = nullptr, *tbSoustitres = nullptr;
    QSpinBox *seTransparency = nullptr;

    // Asks for a colour starting from `current`; nothing when cancelled. A
    // colour dialog unless replaced.
    std::function<std::optional<QColor>(const QColor &current)> AskColour;

    // Binds the controls to the window's list and the video manager's.
    void Bind(TCustomNvActionList &gpal, TCustomNvActionList &vidman);
    // Presses the insert button of a mode (0 to 5); another value releases all.
    void PressInsert(int mode);
    // The mode of the button pressed, or -1.
    int PressedInsert() const;

private:
    void BindInsert(TCustomNvActionList &gpal);
    void BindFont(TCustomNvActionList &gpal, TCustomNvActionList &vidman);
    void BindBorderAndLayout(TCustomNvActionList &gpal, TCustomNvActionList &vidman);
    QButtonGroup *m_insert = nullptr;
};
