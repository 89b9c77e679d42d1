#pragma once
// The main window: owns every manager component and carries the glue between
// them (start-up, shut-down, opening a video, settings pages).

#include <QMainWindow>

class TShowForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TShowForm(QWidget *parent = nullptr);
    ~TShowForm() override;

    static constexpr QSize kInitialSize{1025, 644};
    static constexpr QSize kMinimumSize{708, 522};
};
