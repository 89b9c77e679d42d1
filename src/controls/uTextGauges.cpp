#include "uTextGauges.h"

#include <QEvent>
#include <QPainter>

#include <limits>

namespace {

[[noreturn]] void rangeError(qint64 low, qint64 high)
{
    throw EInvalidOperation(QStringLiteral("La valeur doit être comprise entre %1 et %2")
                                .arg(low)
                                .arg(high)
                                .toStdString());
}

constexpr qint64 kLowest = -std::numeric_limits<qint32>::max(), // -2147483647
    kHighest = std::numeric_limits<qint32>::max();

} // namespace

TTextGauge::TTextGauge(QWidget *parent) : QWidget(parent)
{
    m_look.Font = font();
    m_look.Color = palette().color(QPalette::Window);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

template <typename T> void TTextGauge::change(T &field, const T &value)
{
    if (field == value)
        return;
    field = value;
    update();
}

void TTextGauge::SetMinValue(int value)
{
    if (value > m_look.MaxValue)
        rangeError(kLowest, qint64(m_look.MaxValue) - 1);
    change(m_look.MinValue, value);
    if (m_look.Progress < value)
        change(m_look.Progress, value);
}

void TTextGauge::SetMaxValue(int value)
{
    if (value < m_look.MinValue)
        rangeError(qint64(m_look.MinValue) + 1, kHighest);
    change(m_look.MaxValue, value);
    if (m_look.Progress > value)
        change(m_look.Progress, value);
}

void TTextGauge::SetProgress(int value)
{
    const int before = PercentDone();
    m_look.Progress = qBound(m_look.MinValue, value, m_look.MaxValue);
    if (PercentDone() != before)
        update();
}

void TTextGauge::SetAlertValue(int value)
{
    change(m_look.AlertValue, value);
}
void TTextGauge::SetGaugeKind(TGaugeKind value)
{
    change(m_look.GaugeKind, value);
}
void TTextGauge::SetTextKind(TTextKind value)
{
    change(m_look.TextKind, value);
}
void TTextGauge::SetShowText(bool value)
{
    change(m_look.ShowText, value);
}
void TTextGauge::SetCustomText(bool value)
{
    change(m_look.customText, value);
}
void TTextGauge::SetCaption(const QString &value)
{
    change(m_look.Caption, value);
}
void TTextGauge::SetForeColor(const QColor &value)
{
    change(m_look.ForeColor, value);
}
void TTextGauge::SetBackColor(const QColor &value)
{
    change(m_look.BackColor, value);
}
void TTextGauge::SetColor(const QColor &value)
{
    change(m_look.Color, value);
}
void TTextGauge::SetSingleBorder(bool value)
{
    change(m_look.SingleBorder, value);
}

void TTextGauge::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        change(m_look.Font, font());
    QWidget::changeEvent(event);
}

void TTextGauge::paintEvent(QPaintEvent *)
{
    QPainter(this).drawImage(0, 0, PaintGauge(m_look, size()));
}
