#include "uActionTypes.h"

#include <QStringList>

#include <array>
#include <cmath>
#include <utility>

namespace colors {
namespace {

struct NamedColor {
    const char *name;
    TColor value;
};

// The toolkit's colour constants: fixed colours, then the system colour codes
// by their index.
constexpr std::array kNamedColors{
    NamedColor{"clBlack", clBlack},
    NamedColor{"clMaroon", clMaroon},
    NamedColor{"clGreen", clGreen},
    NamedColor{"clOlive", clOlive},
    NamedColor{"clNavy", clNavy},
    NamedColor{"clPurple", clPurple},
    NamedColor{"clTeal", clTeal},
    NamedColor{"clGray", clGray},
    NamedColor{"clSilver", clSilver},
    NamedColor{"clRed", clRed},
    NamedColor{"clLime", clLime},
    NamedColor{"clYellow", clYellow},
    NamedColor{"clBlue", clBlue},
    NamedColor{"clFuchsia", clFuchsia},
    NamedColor{"clAqua", clAqua},
    NamedColor{"clWhite", clWhite},
    NamedColor{"clMoneyGreen", 0xC0DCC0},
    NamedColor{"clSkyBlue", 0xF0CAA6},
    NamedColor{"clCream", 0xF0FBFF},
    NamedColor{"clMedGray", 0xA4A0A0},
    NamedColor{"clNone", 0x1FFFFFFF},
    NamedColor{"clDefault", 0x20000000},
    NamedColor{"clScrollBar", kSystem | 0},
    NamedColor{"clBackground", kSystem | 1},
    NamedColor{"clActiveCaption", kSystem | 2},
    NamedColor{"clInactiveCaption", kSystem | 3},
    NamedColor{"clMenu", kSystem | 4},
    NamedColor{"clWindow", kSystem | 5},
    NamedColor{"clWindowFrame", kSystem | 6},
    NamedColor{"clMenuText", kSystem | 7},
    NamedColor{"clWindowText", kSystem | 8},
    NamedColor{"clCaptionText", kSystem | 9},
    NamedColor{"clActiveBorder", kSystem | 10},
    NamedColor{"clInactiveBorder", kSystem | 11},
    NamedColor{"clAppWorkSpace", kSystem | 12},
    NamedColor{"clHighlight", kSystem | 13},
    NamedColor{"clHighlightText", kSystem | 14},
    NamedColor{"clBtnFace", kSystem | 15},
    NamedColor{"clBtnShadow", kSystem | 16},
    NamedColor{"clGrayText", kSystem | 17},
    NamedColor{"clBtnText", kSystem | 18},
    NamedColor{"clInactiveCaptionText", kSystem | 19},
    NamedColor{"clBtnHighlight", kSystem | 20},
    NamedColor{"cl3DDkShadow", kSystem | 21},
    NamedColor{"cl3DLight", kSystem | 22},
    NamedColor{"clInfoText", kSystem | 23},
    NamedColor{"clInfoBk", kSystem | 24},
    NamedColor{"clHotLight", kSystem | 26},
    NamedColor{"clGradientActiveCaption", kSystem | 27},
    NamedColor{"clGradientInactiveCaption", kSystem | 28},
    NamedColor{"clMenuHighlight", kSystem | 29},
    NamedColor{"clMenuBar", kSystem | 30},
};

} // namespace

std::optional<TColor> colorFromIdent(const QString &ident)
{
    for (const auto &c : kNamedColors) {
        if (ident.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
            return c.value;
    }
    return std::nullopt;
}

QString colorToIdent(TColor color)
{
    for (const auto &c : kNamedColors) {
        if (c.value == color)
            return QLatin1String(c.name);
    }
    return {};
}

std::optional<TColor> colorFromText(const QString &text)
{
    if (auto named = colorFromIdent(text))
        return named;
    return actiontext::parseInteger(text);
}

QString colorToHex(TColor color)
{
    return QStringLiteral("%1").arg(quint32(color), 6, 16, QLatin1Char('0')).toUpper();
}

} // namespace colors

namespace actiontext {

std::optional<qint32> parseInteger(const QString &text)
{
    const QString t = text.trimmed();
    bool ok = false;
    qint64 value = 0;
    if (t.startsWith(QLatin1Char('$'))) {
        // Hexadecimal is read as the 32 bits it spells: $FF00000F is a system colour.
        const quint64 bits = t.mid(1).toULongLong(&ok, 16);
        ok = ok && bits <= 0xFFFFFFFFull;
        value = qint32(quint32(bits));
    } else {
        value = t.toLongLong(&ok, 10);
        ok = ok && value >= INT32_MIN && value <= INT32_MAX;
    }
    if (!ok)
        return std::nullopt;
    return qint32(value);
}

bool textToBool(const QString &text)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("true") || t == QLatin1String("vrai") || t == QLatin1String("t") ||
        t == QLatin1String("v"))
        return true;
    const auto number = parseInteger(t);
    return number && *number != 0;
}

std::optional<double> parseDouble(const QString &text, const QLocale &locale)
{
    // Group separators are refused: "1,500" is no number where the comma
    // groups digits, rather than a silent 1500.
    QLocale strict = locale;
    strict.setNumberOptions(locale.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = strict.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value)) // "nan", "inf" and overflows
        return std::nullopt;
    return value;
}

// "( a , b , ... )" -> the trimmed fields, split at the first count-1 commas;
// nothing when the parentheses or enough commas are missing.
static std::optional<QStringList> parenthesisedFields(const QString &text, int count)
{
    const QString t = text.trimmed();
    if (!t.startsWith(QLatin1Char('(')) || !t.endsWith(QLatin1Char(')')) || t.size() < 2)
        return std::nullopt;
    QString rest = t.mid(1, t.size() - 2);
    QStringList fields;
    for (int i = 0; i < count - 1; ++i) {
        const int comma = rest.indexOf(QLatin1Char(','));
        if (comma < 0)
            return std::nullopt;
        fields << rest.left(comma).trimmed();
        rest = rest.mid(comma + 1);
    }
    fields << rest.trimmed();
    return fields;
}

static qint32 intOrZero(const QString &field)
{
    return parseInteger(field).value_or(0);
}

std::optional<QPoint> parsePoint(const QString &text)
{
    const auto f = parenthesisedFields(text, 2);
    if (!f)
        return std::nullopt;
    return QPoint(intOrZero(f->at(0)), intOrZero(f->at(1)));
}

std::optional<TNvRect> parseRect(const QString &text)
{
    const auto f = parenthesisedFields(text, 4);
    if (!f)
        return std::nullopt;
    return TNvRect{intOrZero(f->at(0)), intOrZero(f->at(1)), intOrZero(f->at(2)),
                   intOrZero(f->at(3))};
}

QLocale userLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

} // namespace actiontext

QFont TNvFont::toQFont() const
{
    QFont font(name);
    if (size > 0)
        font.setPointSize(size);
    else if (size < 0)
        font.setPixelSize(-size);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikeOut);
    if (pitch == 2)
        font.setFixedPitch(true);
    return font;
}

std::optional<TNvFont> TNvFont::fromSpec(const QString &spec)
{
    const QStringList parts = spec.split(QLatin1Char(','));
    if (parts.size() < 3 || parts[0].trimmed().isEmpty())
        return std::nullopt;
    const auto size = actiontext::parseInteger(parts[1]);
    const auto color = colors::colorFromText(parts[2].trimmed());
    if (!size || !color)
        return std::nullopt;
    TNvFont font;
    font.name = parts[0].trimmed();
    font.size = *size;
    font.color = *color;
    const QString styles = parts.size() > 3 ? parts[3].trimmed().toUpper() : QString();
    for (const QChar c : styles) {
        switch (c.unicode()) {
        case 'B':
            font.bold = true;
            break;
        case 'I':
            font.italic = true;
            break;
        case 'U':
            font.underline = true;
            break;
        case 'S':
            font.strikeOut = true;
            break;
        default:
            return std::nullopt;
        }
    }
    return font;
}
