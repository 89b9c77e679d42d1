#include "uInlayPageRules.h"

#include "mf/uPositionText.h"

#include <cmath>

QStringList InlaySizeEntries()
{
    return {QStringLiteral("auto"),
            "8",
            "9",
            "10",
            "11",
            "12",
            "14",
            "16",
            "18",
            "20",
            "22",
            "24",
            "26",
            "28",
            "36",
            "48",
            "72"};
}

TInlaySizeChoice InlaySizeChoice(const QString &text)
{
    if (text == QLatin1String("auto"))
        return {};
    bool ok = false;
    const int size = text.trimmed().toInt(&ok);
    return {false, ok ? size : 14};
}

QStringList InlayBorderEntries()
{
    return {QStringLiteral("No border"), "1 pixel", "2 pixels", "3 pixels", "4 pixels", "5 pixels"};
}

double OpacityFromBox(int value)
{
    return value / 100.0;
}

int BoxFromOpacity(double opacity)
{
    return int(std::lround(opacity * 100));
}

TInlayAlign AlignFromValue(int value)
{
    switch (value) {
    case 1:
        return TInlayAlign::Right;
    case 2:
        return TInlayAlign::Centre;
    default:
        return TInlayAlign::Left;
    }
}

std::optional<QPoint> InlayPositionFromClick(QPoint click, const QRect &destination)
{
    if (destination.width() <= 0 || destination.height() <= 0)
        return std::nullopt;
    return QPoint(int(qint64(click.x() - destination.left()) * 10000 / destination.width()),
                  int(qint64(click.y() - destination.top()) * 10000 / destination.height()));
}

QPoint InlayPositionFromSliders(int horizontal, int vertical)
{
    return {horizontal, 10000 - vertical};
}

QStringList DatecodeFormatEntries()
{
    return {QStringLiteral("ddddd"),
            "tt",
            "dddddd",
            "ddddd tt",
            "dddddd tt",
            "d mmm yyyy",
            "dd",
            "dddd",
            "hh:mm",
            "hh:mm:ss"};
}

TInlayFrameRecord InlayFrameRecord(qint64 position, qint64 frameDuration,
                                   std::optional<TDVCodeEntry> dvCodes)
{
    return {PositionToText(frameDuration, position), std::move(dvCodes)};
}
