#pragma once
// The main window: owns every manager component and carries the glue between
// them (start-up, shut-down, opening a video, settings pages).
//
// Start-up: the constructor builds the window's own action list `gpal` from
// its catalogue and hands it the switch processor. At the first show (after
// the preference component, which watches the window's events, has loaded the
// lists) the application counts as activated once: the command line runs from
// the event loop, so it sees a shown window and loaded settings. Later
// activations come from the platform.

#include <QMainWindow>

class TNvActionList;
class TNvSwitch;

class TShowForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TShowForm(QWidget *parent = nullptr);
    ~TShowForm() override;

    static constexpr QSize kInitialSize{1025, 644};
    static constexpr QSize kMinimumSize{708, 522};

    TNvActionList *gpal() const { return m_gpal; }
    TNvSwitch *switchProcessor() const { return m_switch; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void TntFormCreate();

    TNvActionList *m_gpal = nullptr;
    TNvSwitch *m_switch = nullptr;
    bool m_shown = false;
};
