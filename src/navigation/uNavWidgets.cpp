#include "uNavWidgets.h"

#include "uNavMan.h"

#include <QAbstractSlider>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

TNavPositionEditBinding::TNavPositionEditBinding(TNavMan *nav, QLineEdit *edit)
    : QObject(edit), m_nav(nav), m_edit(edit)
{
    edit->installEventFilter(this);
}

TNavPositionEditBinding::~TNavPositionEditBinding()
{
    if (attached())
        m_nav->SetPositionEdit(nullptr);
}

bool TNavPositionEditBinding::attached() const
{
    return m_nav && m_nav->PositionEdit() == this;
}

QString TNavPositionEditBinding::Text() const
{
    return m_edit->text();
}

void TNavPositionEditBinding::SetText(const QString &text)
{
    m_edit->setText(text);
}

void TNavPositionEditBinding::SetSeekLook(bool seeking)
{
    QFont font = m_edit->font();
    font.setItalic(seeking);
    m_edit->setFont(font);
    QPalette palette = m_edit->palette();
    palette.setColor(QPalette::Text, seeking ? QColor(0xC0, 0xC0, 0xC0) : QColor(Qt::black));
    m_edit->setPalette(palette);
}

void TNavPositionEditBinding::FocusNext()
{
    // After the key has been handled, as a posted message would.
    QPointer<QLineEdit> edit = m_edit;
    QTimer::singleShot(0, edit, [edit] {
        if (QWidget *next = edit->nextInFocusChain(); next && next != edit)
            next->setFocus(Qt::TabFocusReason);
    });
}

bool TNavPositionEditBinding::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_edit || !attached())
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_nav->PositionEditKeyPress(13);
            return true;
        }
        return false;
    }
    case QEvent::FocusIn:
        m_nav->PositionEditFocus(true);
        return false;
    case QEvent::FocusOut:
        m_nav->PositionEditFocus(false);
        return false;
    default:
        return false;
    }
}

TNavSliderBinding::TNavSliderBinding(TNavMan *nav, QAbstractSlider *slider)
    : QObject(slider), m_nav(nav), m_slider(slider)
{
    connect(slider, &QAbstractSlider::sliderPressed, this, [this] {
        if (attached())
            m_nav->SliderMouse(true);
    });
    connect(slider, &QAbstractSlider::sliderReleased, this, [this] {
        if (attached())
            m_nav->SliderMouse(false);
    });
    connect(slider, &QAbstractSlider::valueChanged, this, [this](int value) {
        if (!m_setting && attached())
            m_nav->SliderChanged(value);
    });
}

TNavSliderBinding::~TNavSliderBinding()
{
    if (attached())
        m_nav->SetSlider(nullptr);
}

bool TNavSliderBinding::attached() const
{
    return m_nav && m_nav->Slider() == this;
}

void TNavSliderBinding::SetValue(int value)
{
    m_setting = true;
    m_slider->setValue(value);
    m_setting = false;
}

void TNavSliderBinding::SetRange(int minimum, int maximum)
{
    m_setting = true;
    m_slider->setRange(minimum, maximum);
    m_setting = false;
}

TNavPositionEditBinding *BindPositionEdit(TNavMan &nav, QLineEdit *edit)
{
    auto *binding = new TNavPositionEditBinding(&nav, edit);
    nav.SetPositionEdit(binding);
    return binding;
}

TNavSliderBinding *BindSlider(TNavMan &nav, QAbstractSlider *slider)
{
    auto *binding = new TNavSliderBinding(&nav, slider);
    nav.SetSlider(binding);
    return binding;
}
