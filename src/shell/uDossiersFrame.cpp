#include "uDossiersFrame.h"

#include "actions/uActionList.h"
#include "actions/uScriptAction.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

namespace {

// Runs fn after whatever else is bound to the action's apply.
template <typename A, typename F> void afterApply(A *a, F fn)
{
    auto previous = a->OnAfterApply;
    a->OnAfterApply = [previous, fn](const auto &value) {
        if (previous)
            previous(value);
        fn(value);
    };
}

// A pair of radio buttons for an integer setting: `zero` stands for 0, `other` for the rest.
void bindPair(TIntegerAction *a, QRadioButton *zero, QRadioButton *other, int otherValue)
{
    QObject::connect(zero, &QRadioButton::toggled, zero, [a](bool on) {
        if (on && a->Value() != 0)
            a->SetValue(0);
    });
    QObject::connect(other, &QRadioButton::toggled, other, [a, otherValue](bool on) {
        if (on && a->Value() == 0)
            a->SetValue(otherValue);
    });
    afterApply(a, [zero, other](const qint32 &v) {
        const QSignalBlocker b1(zero), b2(other);
        (v == 0 ? zero : other)->setChecked(true);
    });
}

void bindText(TWidestringAction *a, QLineEdit *edit)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit, [a](const QString &t) { a->SetValue(t); });
    afterApply(a, [edit](const QString &v) {
        if (edit->text() != v)
            edit->setText(v);
    });
}

void bindSpin(TIntegerAction *a, QSpinBox *spin)
{
    QObject::connect(spin, &QSpinBox::valueChanged, spin, [a](int v) {
        if (a->Value() != v)
            a->SetValue(v);
    });
    afterApply(a, [spin](const qint32 &v) {
        const QSignalBlocker block(spin);
        spin->setValue(v);
    });
}

} // namespace

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
    bindText(g.Find<TWidestringAction>(QStringLiteral("waDossierSave")), deDossierSave);
    bindText(g.Find<TWidestringAction>(QStringLiteral("waDefaultRacine")), NomRacineEdit);
    bindPair(g.Find<TIntegerAction>(QStringLiteral("iaNomFichierImage")), rbUtiliserRacine,
             rbUtiliserNomVideo, 1);
    bindPair(g.Find<TIntegerAction>(QStringLiteral("iaImageAjouter")), rbTimestamp, rbNumero, 1);
    bindPair(g.Find<TIntegerAction>(QStringLiteral("iaImageExtension")), rbBmp, rbJpeg, 1);
    bindSpin(g.Find<TIntegerAction>(QStringLiteral("iaNextNum")), seNextNum);
    bindSpin(g.Find<TIntegerAction>(QStringLiteral("iaDigits")), DigitsEdit);

    auto *limit = g.Find<TBooleanAction>(QStringLiteral("baLimiterLongueur"));
    connect(cbLimiterLongueur, &QCheckBox::toggled, this, [limit](bool on) {
        if (limit->Value() != on)
            limit->SetValue(on);
    });
    afterApply(limit, [this](const bool &v) {
        const QSignalBlocker block(cbLimiterLongueur);
        cbLimiterLongueur->setChecked(v);
    });
    // Text that is not a number reads as 0.
    auto *length = g.Find<TIntegerAction>(QStringLiteral("iaRacineLength"));
    connect(RacineLengthEdit, &QLineEdit::textEdited, this,
            [length](const QString &t) { length->SetValue(t.toInt()); });
    afterApply(length, [this](const qint32 &v) {
        if (RacineLengthEdit->text().toInt() != v || RacineLengthEdit->text().isEmpty())
            RacineLengthEdit->setText(QString::number(v));
    });
    auto *quality = g.Find<TIntegerAction>(QStringLiteral("iaJpegCompressionQuality"));
    connect(tbQuality, &QSlider::valueChanged, this, [quality](int v) {
        if (quality->Value() != v)
            quality->SetValue(v);
    });
    afterApply(quality, [this](const qint32 &v) {
        const QSignalBlocker block(tbQuality);
        tbQuality->setValue(v);
        labQuality->setText(QString::number(v));
    });
}
