#pragma once
// Value types carried by typed actions and the preference store: colours in the
// toolkit's 0x00BBGGRR form (negative values are system colour codes),
// rectangles by their four edges, and fonts with every stored attribute.

#include <QFont>
#include <QLocale>
#include <QPoint>
#include <QString>
#include <QtGlobal>

#include <optional>

using TColor = qint32;

namespace colors {
// System colour codes: 0xFF000000 | the system colour index.
inline constexpr TColor kSystem = TColor(0xFF000000u);
inline constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000,
                        clOlive = 0x008080, clNavy = 0x800000, clPurple = 0x800080,
                        clTeal = 0x808000, clGray = 0x808080, clSilver = 0xC0C0C0, clRed = 0x0000FF,
                        clLime = 0x00FF00, clYellow = 0x00FFFF, clBlue = 0xFF0000,
                        clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;
inline constexpr TColor clWindowText = kSystem | 8, clAppWorkSpace = kSystem | 12,
                        clBtnFace = kSystem | 15;

// The toolkit's colour constant names ("clRed", "clBtnFace"...), ignoring case.
std::optional<TColor> colorFromIdent(const QString &ident);
// "clRed" for 0x0000FF; empty when the value has no name.
QString colorToIdent(TColor color);
// Reads a colour name or an integer (decimal, or hexadecimal after "$").
std::optional<TColor> colorFromText(const QString &text);
// Upper-case hexadecimal with at least six digits (eight for a negative code).
QString colorToHex(TColor color);
} // namespace colors

// A rectangle by its edges (right and bottom are exclusive, as on Windows).
struct TNvRect {
    qint32 left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const TNvRect &, const TNvRect &) = default;
};

// A font as the toolkit stores it: name, size in points, colour, charset,
// pitch (0 default, 1 variable, 2 fixed), pixels per inch and four styles.
struct TNvFont {
    QString name = QStringLiteral("Tahoma");
    qint32 size = 8;
    TColor color = colors::clWindowText;
    qint32 charset = 1; // DEFAULT_CHARSET
    qint32 pitch = 0;
    qint32 pixelsPerInch = 96;
    bool bold = false, italic = false, underline = false, strikeOut = false;

    friend bool operator==(const TNvFont &, const TNvFont &) = default;

    // The Qt font for drawing (family, point size, styles).
    QFont toQFont() const;
    // "Arial,24,$00FFFF,BIUS": name, size, colour, then the letters of the
    // styles that are on; the form used by the action tables for defaults.
    static std::optional<TNvFont> fromSpec(const QString &spec);
};

// The text forms that the command line and the action tables use.
namespace actiontext {
// A decimal integer, or hexadecimal after "$"; nothing when it is neither.
std::optional<qint32> parseInteger(const QString &text);
// Trimmed and lower-cased: "true", "vrai", "t", "v", or an integer other than 0.
bool textToBool(const QString &text);
// A finite number in the locale's notation, without group separators; nothing
// for any other text ("1,500" in English, "nan", "inf", "1e999").
std::optional<double> parseDouble(const QString &text, const QLocale &locale);
// "(x,y)" with blanks allowed around each part; a part that is not a number is 0.
std::optional<QPoint> parsePoint(const QString &text);
// "(left,top,right,bottom)" likewise.
std::optional<TNvRect> parseRect(const QString &text);
// The user's locale, without group separators (for numbers shown and read).
QLocale userLocale();
} // namespace actiontext
