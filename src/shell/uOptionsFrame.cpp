#include "uOptionsFrame.h"

#include "actions/uActionList.h"
#include "actions/uScriptAction.h"
#include "navigation/uNavMan.h"
#include "prefs/uPreferences.h"
#include "uFrameBindings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A folder edit with its browse button on one row.
QWidget *folderRow(QWidget *parent, QLineEdit *&edit, QToolButton *&browse)
{
    auto *row = new QWidget(parent);
    edit = new QLineEdit(row);
    browse = new QToolButton(row);
    browse->setText(QStringLiteral("..."));
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit, 1);
    layout->addWidget(browse);
    QObject::connect(browse, &QToolButton::clicked, edit, [edit] {
        const QString folder = QFileDialog::getExistingDirectory(
            edit->window(), QStringLiteral("Select a folder"), edit->text());
        if (folder.isEmpty())
            return;
        edit->setText(folder);
        emit edit->textEdited(folder);
        emit edit->editingFinished();
    });
    return row;
}

} // namespace

TOptionsFrame::TOptionsFrame(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("OptionsFrame"));
    setFrameShape(QFrame::StyledPanel);
    resize(560, 470);

    rgPrefs = new QGroupBox(QStringLiteral("Save the preferences when quit"), this);
    prefsModes = new QButtonGroup(this);
    auto *modes = new QVBoxLayout(rgPrefs);
    const char *captions[] = {"Normal Mode (registry)", "Portable Mode (USB key)",
                              "Do not save when quit"};
    for (int i = 0; i < 3; ++i) {
        auto *mode = new QRadioButton(QString::fromLatin1(captions[i]), rgPrefs);
        prefsModes->addButton(mode, i);
        modes->addWidget(mode);
    }

    const auto box = [this](const char *caption) {
        return new QCheckBox(QString::fromLatin1(caption), this);
    };
    cbRAZwhenOpenFile = box("Reset the numbers to 1 when you open a video");
    cbSauverQuandClic = box("Save the image when click on the video");
    cbConfirmerImage = box("Confirm before replacing an existing image");
    cbConserverScripts = box("Save the script file when exit");
    cbUsePrivateFilters = box("Use private filters");
    cbNavPrecise = box("Accurate Navigation");
    seSeekPrepos = new QSpinBox(this);
    seSeekPrepos->setRange(0, 1000000);

    auto *form = new QFormLayout;
    form->addRow(cbRAZwhenOpenFile);
    form->addRow(cbSauverQuandClic);
    form->addRow(cbConfirmerImage);
    form->addRow(QStringLiteral("Scripts Folder"),
                 folderRow(this, deDossierScripts, bDossierScripts));
    form->addRow(cbConserverScripts);
    form->addRow(cbUsePrivateFilters);
    form->addRow(QStringLiteral("Folder for private filters"),
                 folderRow(this, dePrivateFolder, bPrivateFolder));
    form->addRow(cbNavPrecise);
    form->addRow(QStringLiteral("Offset for precise Navigation"), seSeekPrepos);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(rgPrefs);
    layout->addLayout(form);
    layout->addStretch(1);
    layout->addSpacing(48); // the close line's corner
}

void TOptionsFrame::Bind(TNvActionList &g, TNavMan &nav, TNorvanePreferences &gp)
{
    using namespace bindings;
    Check(g.Find<TBooleanAction>(QStringLiteral("baRAZWhenOpenFile")), cbRAZwhenOpenFile);
    Check(g.Find<TBooleanAction>(QStringLiteral("baSauverQuandClic")), cbSauverQuandClic);
    Check(g.Find<TBooleanAction>(QStringLiteral("baConfirmerImage")), cbConfirmerImage);
    Text(g.Find<TWidestringAction>(QStringLiteral("waDossierScripts")), deDossierScripts);
    Check(g.Find<TCheckAction>(QStringLiteral("caConserverScript")), cbConserverScripts);
    Check(g.Find<TBooleanAction>(QStringLiteral("baUsePrivateFilters")), cbUsePrivateFilters);
    Text(g.Find<TWidestringAction>(QStringLiteral("waPrivateFolder")), dePrivateFolder, true);
    Check(nav.caSeekPrecision, cbNavPrecise);
    Spin(nav.iaSeekPrepos, seSeekPrepos);

    const auto showMode = [this](TSavePreferences mode) {
        const QSignalBlocker block(prefsModes);
        prefsModes->button(int(mode))->setChecked(true);
    };
    showMode(gp.StorageMode());
    auto previous = gp.OnChangeMode;
    gp.OnChangeMode = [previous, showMode](TSavePreferences mode) {
        if (previous)
            previous(mode);
        showMode(mode);
    };
    connect(prefsModes, &QButtonGroup::idClicked, this,
            [&gp](int id) { gp.SetMode(TSavePreferences(id)); });
}
