#include "uIntervalloFrame.h"

#include "uNavFrame.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QToolButton>

Tintervalloframe::Tintervalloframe(QWidget *parent) : QGroupBox(parent)
{
    setObjectName(QStringLiteral("intervalloframe"));
    setTitle(QStringLiteral("Intervalometer"));
    setToolTip(QStringLiteral("Set the values of intervalometer"));
    chronolab = new QLabel(this);
    chronolab->setToolTip(QStringLiteral("Number of pictures still to be grabbed"));
    seIntervallo = new QSpinBox(this);
    seIntervallo->setRange(1, 999999);
    seIntervallo->setToolTip(QStringLiteral("Delay between two snapshots by the intervalometer"));
    cboxIntervallo = new QComboBox(this);
    cboxIntervallo->addItems({QStringLiteral("Frames"), QStringLiteral("Seconds"),
                              QStringLiteral("Minutes"), QString()});
    cboxIntervallo->setToolTip(QStringLiteral("Unit to calculate the interval"));
    RxSwitch1 = new QToolButton(this);
    RxSwitch1->setCheckable(true);
    RxSwitch1->setToolTip(QStringLiteral("Toggle intervalometer"));
    auto *row = new QHBoxLayout(this);
    for (QWidget *w :
         std::initializer_list<QWidget *>{chronolab, seIntervallo, cboxIntervallo, RxSwitch1})
        row->addWidget(w);
    resize(TNavFrame::kSize);
    SetRunning(false);
}

void Tintervalloframe::SetRunning(bool running)
{
    RxSwitch1->setChecked(running);
    RxSwitch1->setText(running ? QStringLiteral("On") : QStringLiteral("Off"));
    seIntervallo->setEnabled(!running);
    cboxIntervallo->setEnabled(!running);
}
