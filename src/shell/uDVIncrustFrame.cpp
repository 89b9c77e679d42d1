#include "uDVIncrustFrame.h"

#include "capture/uDVDateInlay.h"
#include "capture/uDateTimeFormat.h"
#include "capture/uInlayPageRules.h"
#include "filters/uDVDate.h"
#include "uActionBinding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace {

QSpinBox *spin(QWidget *parent, int low, int high)
{
    auto *box = new QSpinBox(parent);
    box->setRange(low, high);
    return box;
}

QComboBox *formatList(QWidget *parent)
{
    auto *list = new QComboBox(parent);
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->addItems(DatecodeFormatEntries());
    return list;
}

} // namespace

TDVIncrustFrame::TDVIncrustFrame(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("DVIncrustFrame"));
    auto *page = new QVBoxLayout(this);
    labVideodate = new QLabel(this);
    labVideodate->setToolTip(QStringLiteral("Old date, before correction."));
    page->addWidget(labVideodate);

    auto *differenceRow = new QHBoxLayout;
    differenceRow->addWidget(new QLabel(QStringLiteral("Time difference:"), this));
    labDecalageHoraire = new QLabel(this);
    QFont bold = labDecalageHoraire->font();
    bold.setBold(true);
    labDecalageHoraire->setFont(bold);
    labDecalageHoraire->setStyleSheet(QStringLiteral("color: #800000"));
    differenceRow->addWidget(labDecalageHoraire, 1);
    page->addLayout(differenceRow);

    cbAdvanced = new QCheckBox(QStringLiteral("Advanced"), this);
    page->addWidget(cbAdvanced);

    panelSimple = new QWidget(this);
    auto *simple = new QVBoxLayout(panelSimple);
    simple->setContentsMargins(0, 0, 0, 0);
    simple->addWidget(new QLabel(QStringLiteral("Adjust the time difference in hours:"), this));
    seDecalerHeures = spin(panelSimple, -24 * 36500, 24 * 36500); // a century either way
    simple->addWidget(seDecalerHeures);
    page->addWidget(panelSimple);

    panelAdvanced = new QWidget(this);
    auto *advanced = new QVBoxLayout(panelAdvanced);
    advanced->setContentsMargins(0, 0, 0, 0);
    advanced->addWidget(new QLabel(QStringLiteral("Displayed Date"), panelAdvanced));
    DateEdit1 = new QDateEdit(panelAdvanced);
    DateEdit1->setToolTip(QStringLiteral("New date after correction"));
    DateEdit1->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    advanced->addWidget(DateEdit1);
    auto *clock = new QHBoxLayout;
    seHeure = spin(panelAdvanced, 0, 23);
    seMinute = spin(panelAdvanced, 0, 59);
    seSeconde = spin(panelAdvanced, 0, 59);
    for (QSpinBox *box : {seHeure, seMinute, seSeconde})
        clock->addWidget(box);
    advanced->addLayout(clock);
    panelAdvanced->hide();
    page->addWidget(panelAdvanced);

    resetBtn = new QPushButton(QStringLiteral("Reset"), this);
    resetBtn->setToolTip(QStringLiteral("Reset the time difference."));
    page->addWidget(resetBtn);

    page->addWidget(new QLabel(QStringLiteral("format of datecode %D per line"), this));
    cbDatecode1 = formatList(this);
    cbDatecode2 = formatList(this);
    page->addWidget(cbDatecode1);
    page->addWidget(cbDatecode2);
    page->addStretch();
}

void TDVIncrustFrame::Bind(TCustomNvActionList &gpal, const TDVTimeShift &shift)
{
    m_shift = &shift;
    BindDifference(gpal);
    BindFormats(gpal);
    ShowShift();
}

void TDVIncrustFrame::BindDifference(TCustomNvActionList &gpal)
{
    auto *difference = actionOf<TDoubleAction>(gpal, "daDecalageHoraire");
    auto *advanced = actionOf<TCheckAction>(gpal, "caDecalageAvance");
    cbAdvanced->setToolTip(advanced->toolTip());
    connect(cbAdvanced, &QCheckBox::toggled, advanced, [advanced](bool on) {
        if (advanced->Checked() != on)
            advanced->SetChecked(on);
    });
    for (auto *event : {&advanced->OnAfterTrueApply, &advanced->OnAfterFalseApply})
        *event = [this, previous = *event] {
            if (previous)
                previous();
            ShowShift();
        };
    bindings::AfterApply(difference, [this](const double &) { ShowShift(); });

    connect(seDecalerHeures, &QSpinBox::valueChanged, difference, [this, difference](int hours) {
        if (!m_shift->Advanced())
            difference->SetValue(m_shift->HoursBoxChanged(hours));
    });
    const auto displayedChanged = [this, difference] {
        if (!m_shift->Advanced())
            return;
        const double date = DateTimeToNumber(QDateTime(DateEdit1->date(), QTime(0, 0)));
        difference->SetValue(m_shift->DisplayedDateChanged(
            date, {seHeure->value(), seMinute->value(), seSeconde->value()}));
    };
    connect(DateEdit1, &QDateEdit::dateChanged, difference, displayedChanged);
    for (QSpinBox *box : {seHeure, seMinute, seSeconde})
        connect(box, &QSpinBox::valueChanged, difference, displayedChanged);
    connect(resetBtn, &QPushButton::clicked, difference,
            [difference] { difference->SetValue(TDVTimeShift::Reset()); });
}

void TDVIncrustFrame::BindFormats(TCustomNvActionList &gpal)
{
    auto *format1 = actionOf<TWidestringAction>(gpal, "waFormatDatecode1");
    auto *format2 = actionOf<TWidestringAction>(gpal, "waFormatDatecode2");
    const std::pair<QComboBox *, TWidestringAction *> lists[] = {{cbDatecode1, format1},
                                                                 {cbDatecode2, format2}};
    for (const auto &[list, action] : lists) {
        list->setToolTip(action->toolTip());
        connect(list, &QComboBox::currentTextChanged, action, [action](const QString &text) {
            if (action->Value() != text)
                action->SetValue(text);
        });
    }
    bindings::AfterApply(format1, [this](const QString &format) {
        const QSignalBlocker block(cbDatecode1);
        if (cbDatecode1->currentText() != format)
            cbDatecode1->setCurrentText(format);
    });
    // The second list only selects an entry of its own: another format leaves
    // it without a selection.
    bindings::AfterApply(format2, [this](const QString &format) {
        const QSignalBlocker block(cbDatecode2);
        cbDatecode2->setCurrentIndex(cbDatecode2->findText(format));
    });
}

void TDVIncrustFrame::ShowShift()
{
    if (!m_shift)
        return;
    const TDVPageView view = m_shift->View();
    labVideodate->setText(view.videoDateText);
    labDecalageHoraire->setText(view.differenceText);
    const bool advanced = m_shift->Advanced();
    {
        const QSignalBlocker block(cbAdvanced);
        cbAdvanced->setChecked(advanced);
    }
    panelSimple->setVisible(!advanced);
    panelAdvanced->setVisible(advanced);
    const QSignalBlocker b1(seDecalerHeures), b2(DateEdit1), b3(seHeure), b4(seMinute),
        b5(seSeconde);
    seDecalerHeures->setValue(view.hoursBox);
    if (DateTimeNumberInRange(view.displayedDate))
        DateEdit1->setDate(NumberToDateTime(std::floor(view.displayedDate)).date());
    seHeure->setValue(view.displayedClock.hours);
    seMinute->setValue(view.displayedClock.minutes);
    seSeconde->setValue(view.displayedClock.seconds);
}
