#pragma once
// The settings page shown by the application manager (F10): where the
// preferences are kept, the image and navigation options, and the scripts
// and private decoder folders. The main window binds each control to its
// action both ways, and the storage-mode group to the preference component.

#include <QFrame>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QToolButton;
class TNavMan;
class TNorvanePreferences;
class TNvActionList;

class TOptionsFrame : public QFrame
{
    Q_OBJECT
public:
    explicit TOptionsFrame(QWidget *parent = nullptr);

    QGroupBox *rgPrefs = nullptr;
    QButtonGroup *prefsModes = nullptr; // ids 0 registry, 1 ini file, 2 none
    QCheckBox *cbRAZwhenOpenFile = nullptr, *cbSauverQuandClic = nullptr,
              *cbConfirmerImage = nullptr, *cbConserverScripts = nullptr,
              *cbUsePrivateFilters = nullptr, *cbNavPrecise = nullptr;
    QLineEdit *deDossierScripts = nullptr, *dePrivateFolder = nullptr;
    QToolButton *bDossierScripts = nullptr, *bPrivateFolder = nullptr;
    QSpinBox *seSeekPrepos = nullptr;

    // gpal: the window's settings; nav: the navigation manager; gp: the
    // preference component, whose mode changes come back through OnChangeMode.
    void Bind(TNvActionList &gpal, TNavMan &nav, TNorvanePreferences &gp);
};
