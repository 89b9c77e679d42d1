#pragma once
// The image settings page: save folder, root or video name, length limit,
// time stamp or number, digits, format and JPEG quality. Each control sets
// its action when the user changes it; applying the action sets the control.

#include <QFrame>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;
class QSpinBox;
class TNvActionList;

class TDossiersFrame : public QFrame
{
public:
    explicit TDossiersFrame(QWidget *parent = nullptr);

    QLineEdit *deDossierSave = nullptr, *NomRacineEdit = nullptr, *RacineLengthEdit = nullptr;
    QRadioButton *rbUtiliserRacine = nullptr, *rbUtiliserNomVideo = nullptr, *rbTimestamp = nullptr,
                 *rbNumero = nullptr, *rbBmp = nullptr, *rbJpeg = nullptr;
    QCheckBox *cbLimiterLongueur = nullptr;
    QSpinBox *seNextNum = nullptr, *DigitsEdit = nullptr;
    QSlider *tbQuality = nullptr;
    QLabel *labQuality = nullptr;

    // Binds every control to its action of the window's list.
    void Bind(TNvActionList &gpal);
};
