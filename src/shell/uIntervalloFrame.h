#pragma once
// The intervalometer frame under the video, in the navigation frame's place:
// the count still to take, the delay, the unit and the on/off switch. The
// window binds the controls to its intervalometer actions.

#include <QGroupBox>

class QComboBox;
class QLabel;
class QSpinBox;
class QToolButton;

class Tintervalloframe : public QGroupBox
{
    Q_OBJECT
public:
    explicit Tintervalloframe(QWidget *parent = nullptr);

    QLabel *chronolab = nullptr;
    QSpinBox *seIntervallo = nullptr;
    QComboBox *cboxIntervallo = nullptr;
    QToolButton *RxSwitch1 = nullptr;

    // Running: the switch on, the delay and the unit locked.
    void SetRunning(bool running);
};
