#pragma once
// The DV page: the recording date of the frame on display (or a fictitious
// one), the time difference added to it as text, the simple (whole hours)
// and advanced (displayed date to the second) ways of setting it, Reset, and
// the %D format of each inlay line. The page shows what TDVTimeShift says;
// each control sets its action, and applying the action updates the page.

#include <QFrame>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QSpinBox;
class TCustomNvActionList;
class TDVTimeShift;

class TDVIncrustFrame : public QFrame
{
public:
    explicit TDVIncrustFrame(QWidget *parent = nullptr);

    QLabel *labVideodate = nullptr, *labDecalageHoraire = nullptr;
    QCheckBox *cbAdvanced = nullptr;
    QWidget *panelSimple = nullptr, *panelAdvanced = nullptr;
    QSpinBox *seDecalerHeures = nullptr;
    QDateEdit *DateEdit1 = nullptr;
    QSpinBox *seHeure = nullptr, *seMinute = nullptr, *seSeconde = nullptr;
    QPushButton *resetBtn = nullptr;
    QComboBox *cbDatecode1 = nullptr, *cbDatecode2 = nullptr;

    // Binds the controls to the window's list; the shift is the window's and
    // outlives the page's use of it.
    void Bind(TCustomNvActionList &gpal, const TDVTimeShift &shift);
    // Shows the shift's state (after a refresh or a change of the difference).
    void ShowShift();

private:
    void BindDifference(TCustomNvActionList &gpal);
    void BindFormats(TCustomNvActionList &gpal);
    const TDVTimeShift *m_shift = nullptr;
};
