#pragma once
// The navigation frame under the video: transport buttons bound to the
// navigation manager's commands, the position box, the position slider, the
// duration and the volume gauge.

#include <QWidget>

#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QSlider;
class TNvBar;
class TTextGauge;

class TNavFrame : public QWidget
{
    Q_OBJECT
public:
    explicit TNavFrame(QWidget *parent = nullptr);

    // Buttons for the commands that lookup finds, left to right.
    void BindActions(const std::function<QAction *(const QString &)> &lookup);

    TNvBar *buttons = nullptr;
    QLineEdit *CurrentEdit = nullptr;
    QSlider *tb = nullptr;
    QLabel *DureeLab = nullptr;
    TTextGauge *gaugeVolume = nullptr;

    static constexpr QSize kSize{600, 64};
};
