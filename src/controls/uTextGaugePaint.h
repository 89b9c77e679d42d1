#pragma once
// What a text gauge shows and how it is drawn, without a widget: the value
// between a minimum and a maximum as a bar, a pie or a needle, the text over
// it in the inverse of what lies below (XOR), and the alert colour once the
// value passes its threshold. TTextGauge (uTextGauges) is the widget on top.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>

enum TGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };
enum TTextKind { tkPercentDone, tkValueDone, tkValueRemaining, tkPercentRemaining };

// The fill colour once the alert threshold is passed.
inline const QColor kGaugeAlertColor{0xEE, 0xA2, 0xA2};

struct TGaugeLook {
    int MinValue = 0;
    int MaxValue = 100;
    int Progress = 0;
    int AlertValue = 80;
    TGaugeKind GaugeKind = gkHorizontalBar;
    TTextKind TextKind = tkValueDone;
    bool ShowText = true;
    bool customText = false;
    QString Caption = QStringLiteral("%d");
    QColor ForeColor{0xC0, 0xDC, 0xC0};
    QColor BackColor = Qt::white;
    QColor Color = Qt::lightGray; // outside the pie and needle shapes
    bool SingleBorder = true;
    QFont Font;
};

// Trunc((Progress - MinValue) * 100 / (MaxValue - MinValue)); 0 for an empty range.
int GaugePercent(const TGaugeLook &look);
// The alert colour past the threshold (above it for the "done" kinds, below
// it for the "remaining" kinds), else ForeColor.
QColor GaugeFillColor(const TGaugeLook &look);
// The text written over the gauge.
QString GaugeText(const TGaugeLook &look);
// Caption with every "%d" replaced by the value and "%%" by "%". Anything
// else is kept as written: a caption is never used as a printf format.
QString FormatGaugeCaption(const QString &caption, int value);

// The whole control drawn at the given size (32-bit RGB).
QImage PaintGauge(const TGaugeLook &look, QSize size);
