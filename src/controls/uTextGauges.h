#pragma once
// TTextGauge: a painted gauge that shows a value between a minimum and a
// maximum as a bar, a pie or a needle with a text written over it in inverted
// colours (uTextGaugePaint draws it). The audio manager drives the navigation
// bar's volume needle through the Q_PROPERTYs below.

#include "uTextGaugePaint.h"

#include <QWidget>

#include <stdexcept>

// Raised by MinValue / MaxValue when the range would be inverted.
class EInvalidOperation : public std::logic_error
{
public:
    using std::logic_error::logic_error;
};

class TTextGauge : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(int Progress READ Progress WRITE SetProgress)
    Q_PROPERTY(int AlertValue READ AlertValue WRITE SetAlertValue)
public:
    explicit TTextGauge(QWidget *parent = nullptr);

    const TGaugeLook &Look() const { return m_look; }

    int MinValue() const { return m_look.MinValue; }
    int MaxValue() const { return m_look.MaxValue; }
    int Progress() const { return m_look.Progress; }
    int AlertValue() const { return m_look.AlertValue; }
    int PercentDone() const { return GaugePercent(m_look); }
    TGaugeKind GaugeKind() const { return m_look.GaugeKind; }
    TTextKind TextKind() const { return m_look.TextKind; }
    bool ShowText() const { return m_look.ShowText; }
    bool customText() const { return m_look.customText; }
    QString Caption() const { return m_look.Caption; }
    QColor ForeColor() const { return m_look.ForeColor; }
    QColor BackColor() const { return m_look.BackColor; }
    QColor Color() const { return m_look.Color; }
    bool SingleBorder() const { return m_look.SingleBorder; }

    // Above MaxValue raises EInvalidOperation; Progress is raised to it when below.
    void SetMinValue(int value);
    // Below MinValue raises EInvalidOperation; Progress is lowered to it when above.
    void SetMaxValue(int value);
    // Clamped to the range; repaints only when the percent done changes.
    void SetProgress(int value);
    void SetAlertValue(int value);
    void SetGaugeKind(TGaugeKind value);
    void SetTextKind(TTextKind value);
    void SetShowText(bool value);
    void SetCustomText(bool value);
    void SetCaption(const QString &value);
    void SetForeColor(const QColor &value);
    void SetBackColor(const QColor &value);
    void SetColor(const QColor &value);
    void SetSingleBorder(bool value);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    template <typename T> void change(T &field, const T &value);

    TGaugeLook m_look;
};
