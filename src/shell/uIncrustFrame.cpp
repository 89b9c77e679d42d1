#include "uIncrustFrame.h"

#include "capture/uInlayOverlay.h"
#include "capture/uInlayPageRules.h"
#include "uActionBinding.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QComboBox>
#include <QFontComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

TColor toTColor(const QColor &c)
{
    return TColor(c.red() | c.green() << 8 | c.blue() << 16);
}

QToolButton *toolButton(QWidget *parent, const QString &text, const QString &hint = {})
{
    auto *b = new QToolButton(parent);
    b->setText(text);
    b->setToolTip(hint);
    return b;
}

// A button that asks for a colour and sets it into the action.
void bindColour(TIncrustFrame *page, QToolButton *button, TColorAction *action)
{
    QObject::connect(button, &QToolButton::clicked, page, [page, action] {
        if (const std::optional<QColor> c = page->AskColour(InlayColor(action->Value())))
            action->SetValue(toTColor(*c));
    });
}

} // namespace

TIncrustFrame::TIncrustFrame(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("IncrustFrame"));
    AskColour = [this](const QColor &current) -> std::optional<QColor> {
        const QColor c = QColorDialog::getColor(current, this);
        return c.isValid() ? std::optional(c) : std::nullopt;
    };
    auto *page = new QVBoxLayout(this);

    auto *inserts = new QGroupBox(QStringLiteral("Inlay"), this);
    auto *insertGrid = new QGridLayout(inserts);
    m_insert = new QButtonGroup(this);
    for (int i = 0; i < int(rbInsert.size()); ++i) {
        rbInsert[i] = new QRadioButton(inserts);
        m_insert->addButton(rbInsert[i], i);
        insertGrid->addWidget(rbInsert[i], i, 0);
    }
    page->addWidget(inserts);

    auto *perso = new QGroupBox(QStringLiteral("templates of personalized inlay"), this);
    auto *persoBox = new QVBoxLayout(perso);
    edPerso1 = new QLineEdit(perso);
    edPerso2 = new QLineEdit(perso);
    persoBox->addWidget(edPerso1);
    persoBox->addWidget(edPerso2);
    page->addWidget(perso);

    auto *font = new QGroupBox(QStringLiteral("Font"), this);
    auto *fontGrid = new QGridLayout(font);
    FontComboBox = new QFontComboBox(font);
    cbSize = new QComboBox(font);
    cbSize->setEditable(true); // a size of one's own, read when Enter is pressed
    cbSize->setInsertPolicy(QComboBox::NoInsert);
    cbSize->addItems(InlaySizeEntries());
    fontGrid->addWidget(FontComboBox, 0, 0, 1, 4);
    fontGrid->addWidget(cbSize, 0, 4);
    tbBold = toolButton(font, QStringLiteral("B"));
    tbItalic = toolButton(font, QStringLiteral("I"));
    tbUnderline = toolButton(font, QStringLiteral("U"));
    tbStrikeOut = toolButton(font, QStringLiteral("S"));
    tbFontColor = toolButton(font, QStringLiteral("Colour"));
    int column = 0;
    for (QToolButton *b : {tbBold, tbItalic, tbUnderline, tbStrikeOut, tbFontColor})
        fontGrid->addWidget(b, 1, column++);
    page->addWidget(font);

    auto *look = new QGroupBox(QStringLiteral("Border and alignment"), this);
    auto *lookGrid = new QGridLayout(look);
    tbBorder = toolButton(look, QStringLiteral("0"));
    auto *borderMenu = new QMenu(tbBorder);
    const QStringList borders = InlayBorderEntries();
    for (int width = 0; width < borders.size(); ++width)
        borderMenu->addAction(borders[width])->setData(width);
    tbBorder->setMenu(borderMenu);
    tbBorder->setPopupMode(QToolButton::InstantPopup);
    tbBorderColor = toolButton(look, QStringLiteral("Border colour"));
    tbLeft = toolButton(look, QStringLiteral("Left"));
    tbCentre = toolButton(look, QStringLiteral("Centre"));
    tbRight = toolButton(look, QStringLiteral("Right"));
    auto *align = new QButtonGroup(this);
    for (QToolButton *b : {tbLeft, tbCentre, tbRight}) {
        b->setCheckable(true);
        align->addButton(b);
    }
    tbSliders = new QToolButton(look);
    tbSoustitres = new QToolButton(look);
    lookGrid->addWidget(tbBorder, 0, 0);
    lookGrid->addWidget(tbBorderColor, 0, 1, 1, 2);
    column = 0;
    for (QToolButton *b : {tbLeft, tbCentre, tbRight})
        lookGrid->addWidget(b, 1, column++);
    lookGrid->addWidget(tbSliders, 2, 0, 1, 2);
    lookGrid->addWidget(tbSoustitres, 2, 2);
    page->addWidget(look);

    auto *opacityRow = new QHBoxLayout;
    seTransparency = new QSpinBox(this);
    seTransparency->setRange(0, 100);
    seTransparency->setValue(100);
    seTransparency->setToolTip(QStringLiteral(
        "Transparency of the inlay\r\n100= opaque\r\n0= totally transparent, thus invisible"));
    opacityRow->addWidget(new QLabel(QStringLiteral("Opacity"), this));
    opacityRow->addWidget(seTransparency);
    page->addLayout(opacityRow);
    page->addStretch();
}

void TIncrustFrame::Bind(TCustomNvActionList &gpal, TCustomNvActionList &vidman)
{
    BindInsert(gpal);
    BindFont(gpal, vidman);
    BindBorderAndLayout(gpal, vidman);
}

void TIncrustFrame::BindInsert(TCustomNvActionList &gpal)
{
    for (const TInsertCommand &command : InsertCommands()) {
        auto *action = actionOf<TNopeAction>(gpal, command.action);
        QRadioButton *button = rbInsert[int(command.mode)];
        button->setText(action->text());
        button->setEnabled(action->isEnabled());
        connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
        connect(button, &QRadioButton::clicked, action, [action] { action->DoExecute(); });
    }
    const std::pair<const char *, QLineEdit *> persos[] = {{"waInsertPerso1", edPerso1},
                                                           {"waInsertPerso2", edPerso2}};
    for (const auto &[id, edit] : persos) {
        auto *action = actionOf<TWidestringAction>(gpal, id);
        edit->setToolTip(action->toolTip());
        bindings::Text(action, edit);
    }
}

void TIncrustFrame::BindFont(TCustomNvActionList &gpal, TCustomNvActionList &vidman)
{
    auto *font = actionOf<TFontAction>(vidman, "faInsertFont");
    auto *autoSize = actionOf<TBooleanAction>(gpal, "baInsertAutoSize");
    auto *size = actionOf<TIntegerAction>(gpal, "iaInsertFontSize");
    auto *name = actionOf<TWidestringAction>(gpal, "waInsertFontName");
    connect(FontComboBox, &QFontComboBox::currentFontChanged, name,
            [name](const QFont &f) { name->SetValue(f.family()); });
    connect(cbSize, &QComboBox::textActivated, size, [autoSize, size](const QString &text) {
        const TInlaySizeChoice choice = InlaySizeChoice(text);
        autoSize->SetValue(choice.autoSize);
        if (choice.fontSize)
            size->SetValue(*choice.fontSize);
    });
    const auto showSize = [this, autoSize](int points) {
        const QSignalBlocker block(cbSize);
        if (autoSize->Value())
            cbSize->setCurrentIndex(0);
        else if (const int at = cbSize->findText(QString::number(points)); at >= 0)
            cbSize->setCurrentIndex(at);
        else
            cbSize->setCurrentText(QString::number(points)); // not in the list
    };
    bindings::AfterApply(autoSize,
                         [showSize, font](const bool &) { showSize(font->Value().size); });
    bindings::AfterApply(size, [showSize, font](const qint32 &) { showSize(font->Value().size); });
    bindings::AfterApply(font, [this, showSize](const TNvFont &value) {
        const QSignalBlocker block(FontComboBox);
        FontComboBox->setCurrentFont(QFont(value.name));
        showSize(value.size);
    });
    const std::pair<QToolButton *, const char *> styles[] = {{tbBold, "caIncrustBold"},
                                                             {tbItalic, "caIncrustItalic"},
                                                             {tbUnderline, "caIncrustUnderline"},
                                                             {tbStrikeOut, "caIncrustStrikeOut"}};
    for (const auto &[button, id] : styles) {
        button->setCheckable(true);
        bindings::Check(actionOf<TCheckAction>(gpal, id), button);
    }
    bindColour(this, tbFontColor, actionOf<TColorAction>(gpal, "laInsertFontColor"));
}

void TIncrustFrame::BindBorderAndLayout(TCustomNvActionList &gpal, TCustomNvActionList &vidman)
{
    auto *border = actionOf<TIntegerAction>(vidman, "iaInsertBorderWidth");
    connect(tbBorder->menu(), &QMenu::triggered, border,
            [border](QAction *entry) { border->SetValue(entry->data().toInt()); });
    bindings::AfterApply(
        border, [this](const qint32 &width) { tbBorder->setText(QString::number(width)); });
    bindColour(this, tbBorderColor, actionOf<TColorAction>(vidman, "iaInsertBorderColor"));

    auto *align = actionOf<TIntegerAction>(vidman, "iaInsertAlignLines");
    const std::pair<QToolButton *, TInlayAlign> aligns[] = {{tbLeft, TInlayAlign::Left},
                                                            {tbCentre, TInlayAlign::Centre},
                                                            {tbRight, TInlayAlign::Right}};
    for (const auto &[button, value] : aligns)
        connect(button, &QToolButton::clicked, align,
                [align, value] { align->SetValue(AlignLinesValue(value)); });
    bindings::AfterApply(align, [aligns](const qint32 &value) {
        for (const auto &[button, which] : aligns)
            if (which == AlignFromValue(value))
                button->setChecked(true);
    });

    tbSliders->setDefaultAction(actionOf<TCheckAction>(gpal, "caSliders"));
    tbSoustitres->setDefaultAction(actionOf<TNopeAction>(gpal, "naSoustitres"));

    auto *opacity = actionOf<TDoubleAction>(vidman, "daInsertTransparency");
    connect(seTransparency, &QSpinBox::valueChanged, opacity, [opacity](int value) {
        if (BoxFromOpacity(opacity->Value()) != value)
            opacity->SetValue(OpacityFromBox(value));
    });
    bindings::AfterApply(opacity, [this](const double &value) {
        const QSignalBlocker block(seTransparency);
        seTransparency->setValue(BoxFromOpacity(value));
    });
}

void TIncrustFrame::PressInsert(int mode)
{
    if (mode >= 0 && mode < int(rbInsert.size())) {
        rbInsert[mode]->setChecked(true);
        return;
    }
    // An exclusive group keeps one button pressed: release them all.
    m_insert->setExclusive(false);
    for (QRadioButton *b : rbInsert)
        b->setChecked(false);
    m_insert->setExclusive(true);
}

int TIncrustFrame::PressedInsert() const
{
    return m_insert->checkedId();
}
