#include "uPositionText.h"

#include <cstdint>

namespace {

// numerator / denominator rounded to the nearest integer, ties to even.
qint64 divideRoundHalfEven(qint64 numerator, qint64 denominator)
{
    qint64 quotient = numerator / denominator;
    const qint64 remainder = numerator - quotient * denominator;
    if (remainder == 0)
        return quotient;
    const quint64 absRemainder = remainder < 0 ? 0 - quint64(remainder) : quint64(remainder);
    const quint64 absDenominator =
        denominator < 0 ? 0 - quint64(denominator) : quint64(denominator);
    const quint64 rest = absDenominator - absRemainder; // distance to the next multiple
    const bool awayFromZero = absRemainder > rest || (absRemainder == rest && (quotient & 1));
    if (awayFromZero)
        quotient += ((numerator < 0) != (denominator < 0)) ? -1 : 1;
    return quotient;
}

// The characters at 1-based places index .. index + count - 1 that lie inside
// the text: places before its start hold nothing.
QString copyField(const QString &text, qsizetype index, qsizetype count)
{
    const qsizetype first = qMax<qsizetype>(index, 1);
    const qsizetype last = qMin<qsizetype>(index + count - 1, text.size());
    return last < first ? QString() : text.mid(first - 1, last - first + 1);
}

qint32 fieldValue(const QString &field)
{
    bool ok = false;
    const int value = field.toInt(&ok, 10);
    return ok ? value : 0;
}

} // namespace

QString PositionToText(qint64 frameDuration, qint64 position)
{
    const qint64 f = frameDuration == 0 ? 10'000 : frameDuration;
    qint64 s = position / kRefTimePerSecond;
    qint64 r = position % kRefTimePerSecond;
    if (kRefTimePerSecond - r < f / 2) {
        r = 0;
        ++s;
    }
    const qint64 frames = divideRoundHalfEven(r, f);
    const qint64 hours = (s / 60) / 60;
    const qint64 minutes = (s / 60) % 60;
    const qint64 seconds = s % 60;
    return QString::asprintf("%lld:%.2lld:%.2lld:%.2lld", static_cast<long long>(hours),
                             static_cast<long long>(minutes), static_cast<long long>(seconds),
                             static_cast<long long>(frames));
}

qint64 TextToPosition(const QString &text, qint64 frameDuration)
{
    const qsizetype n = text.size();
    const qint32 hours = fieldValue(copyField(text, 1, n - 9));
    const qint32 minutes = fieldValue(copyField(text, n - 7, 2));
    const qint32 seconds = fieldValue(copyField(text, n - 4, 2));
    const qint32 frames = fieldValue(copyField(text, n - 1, 2));
    // The seconds sum is a 32-bit quantity (wrapping), widened afterwards.
    const auto secondsSum = static_cast<qint32>(static_cast<std::uint32_t>(hours) * 3600u +
                                                static_cast<std::uint32_t>(minutes) * 60u +
                                                static_cast<std::uint32_t>(seconds));
    return qint64(secondsSum) * kRefTimePerSecond + qint64(frames) * frameDuration;
}
