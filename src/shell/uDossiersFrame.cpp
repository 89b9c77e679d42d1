#include "uDossiersFrame.h"

#include "actions/uActionList.h"
#include "actions/uScriptAction.h"
#include "uFrameBindings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

using namespace bindings;

TDossiersFrame::TDossiersFrame(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("SaveImagesFrame"));
    auto *form = new QFormLayout(this);
    deDossierSave = new QLineEdit(this);
    form->addRow(new QLabel(QStringLiteral("Folder where to save the pictures"), this));
    form->addRow(deDossierSave);
    rbUtiliserRacine = new QRadioButton(QStringLiteral("Use the following root:"), this);
    NomRacineEdit = new QLineEdit(this);
    form->addRow(rbUtiliserRacine, NomRacineEdit);
    rbUtiliserNomVideo = new QRadioButton(QStringLiteral("Use the names of video files"), this);
    form->addRow(rbUtiliserNomVideo);
    cbLimiterLongueur =
        new QCheckBox(QStringLiteral("Set a maximum length for the root name"), this);
    form->addRow(cbLimiterLongueur);
    RacineLengthEdit = new QLineEdit(this);
    form->addRow(QStringLiteral("Maximum length:"), RacineLengthEdit);
    rbTimestamp = new QRadioButton(QStringLiteral("Add timestamp"), this);
    form->addRow(rbTimestamp);
    rbNumero = new QRadioButton(QStringLiteral("Number from"), this);
    seNextNum = new QSpinBox(this);
    seNextNum->setRange(0, 999999);
    form->addRow(rbNumero, seNextNum);
    DigitsEdit = new QSpinBox(this);
    DigitsEdit->setRange(1, 16);
    form->addRow(QStringLiteral("Number of digits:"), DigitsEdit);
    // Each pair of radio buttons is its own group: one widget parent each.
    auto *formats = new QWidget(this);
    rbBmp = new QRadioButton(QStringLiteral("bmp"), formats);
    rbJpeg = new QRadioButton(QStringLiteral("jpeg"), formats);
    auto *row = new QHBoxLayout(formats);
    row->addWidget(rbBmp);
    row->addWidget(rbJpeg);
    form->addRow(formats);
    tbQuality = new QSlider(Qt::Horizontal, this);
    tbQuality->setRange(1, 100);
    tbQuality->setValue(50);
    labQuality = new QLabel(QStringLiteral("50"), this);
    form->addRow(QStringLiteral("Jpeg quality"), labQuality);
    form->addRow(tbQuality);
    // A group per pair: the root pair and the suffix pair share a parent.
    const std::pair<QRadioButton *, QRadioButton *> pairs[] = {
        {rbUtiliserRacine, rbUtiliserNomVideo}, {rbTimestamp, rbNumero}};
    for (const auto &[first, second] : pairs) {
        auto *group = new QButtonGroup(this);
        group->addButton(first);
        group->addButton(second);
    }
}

void TDossiersFrame::Bind(TNvActionList &g)
{
    Text(g.Find<TWidestringAction>(QStringLiteral("waDossierSave")), deDossierSave);
    Text(g.Find<TWidestringAction>(QStringLiteral("waDefaultRacine")), NomRacineEdit);
    Pair(g.Find<TIntegerAction>(QStringLiteral("iaNomFichierImage")), rbUtiliserRacine,
         rbUtiliserNomVideo, 1);
    Pair(g.Find<TIntegerAction>(QStringLiteral("iaImageAjouter")), rbTimestamp, rbNumero, 1);
    Pair(g.Find<TIntegerAction>(QStringLiteral("iaImageExtension")), rbBmp, rbJpeg, 1);
    Spin(g.Find<TIntegerAction>(QStringLiteral("iaNextNum")), seNextNum);
    Spin(g.Find<TIntegerAction>(QStringLiteral("iaDigits")), DigitsEdit);

    Check(g.Find<TBooleanAction>(QStringLiteral("baLimiterLongueur")), cbLimiterLongueur);
    // Text that is not a number reads as 0.
    auto *length = g.Find<TIntegerAction>(QStringLiteral("iaRacineLength"));
    connect(RacineLengthEdit, &QLineEdit::textEdited, this,
            [length](const QString &t) { length->SetValue(t.toInt()); });
    AfterApply(length, [this](const qint32 &v) {
        if (RacineLengthEdit->text().toInt() != v || RacineLengthEdit->text().isEmpty())
            RacineLengthEdit->setText(QString::number(v));
    });
    auto *quality = g.Find<TIntegerAction>(QStringLiteral("iaJpegCompressionQuality"));
    connect(tbQuality, &QSlider::valueChanged, this, [quality](int v) {
        if (quality->Value() != v)
            quality->SetValue(v);
    });
    AfterApply(quality, [this](const qint32 &v) {
        const QSignalBlocker block(tbQuality);
        tbQuality->setValue(v);
        labQuality->setText(QString::number(v));
    });
}
