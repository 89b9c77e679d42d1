#include "uIniPreferences.h"

#include "actions/uRunStatus.h"

#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <optional>

namespace {

const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

QString header(const QString &path)
{
    return QLatin1Char('[') + path + QLatin1Char(']');
}

// Escaped values: "Name*=text" instead of "Name=text". Files without the
// star read exactly as they always did (a backslash in a folder stays a
// backslash); only a text that the plain form cannot hold is written escaped.
constexpr QChar kEscapedMark = u'*';
constexpr QChar kEscape = u'\\';

bool isLineSeparator(char16_t c)
{
    return c == u'\r' || c == u'\n' || c == 0x85 || c == 0x2028 || c == 0x2029;
}

// Line breaks (ours and those of other editors), control characters but the
// tab, and surrogates that are not part of a pair.
bool needsEscape(const QString &text, qsizetype i)
{
    const char16_t c = text.at(i).unicode();
    if (QChar::isHighSurrogate(c))
        return i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate();
    if (QChar::isLowSurrogate(c))
        return i == 0 || !text.at(i - 1).isHighSurrogate();
    return (c < 0x20 && c != u'\t') || isLineSeparator(c);
}

bool needsEscapedForm(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (needsEscape(text, i))
            return true;
    return false;
}

// "\\" a backslash, "\r" and "\n" the breaks, "\uXXXX" any other.
QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == kEscape)
            out += QLatin1String("\\\\");
        else if (c == u'\r')
            out += QLatin1String("\\r");
        else if (c == u'\n')
            out += QLatin1String("\\n");
        else if (needsEscape(text, i))
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

// Four hexadecimal digits at text[at], or nothing.
std::optional<char16_t> hexUnit(QStringView text, qsizetype at)
{
    if (at + 4 > text.size())
        return std::nullopt;
    char16_t code = 0;
    for (const QChar c : text.sliced(at, 4)) {
        const int digit = QStringLiteral("0123456789abcdef").indexOf(c.toLower());
        if (digit < 0)
            return std::nullopt;
        code = char16_t(code << 4 | digit);
    }
    return code;
}

// The inverse of escaped(); a backslash before anything else stays as it is.
QString unescaped(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const QChar next = i + 1 < text.size() ? text.at(i + 1) : QChar();
        if (c != kEscape) {
            out += c;
        } else if (next == kEscape) {
            out += kEscape;
            ++i;
        } else if (next == u'r' || next == u'n') {
            out += next == u'r' ? QChar(u'\r') : QChar(u'\n');
            ++i;
        } else if (const auto code = next == u'u' ? hexUnit(text, i + 2) : std::nullopt) {
            out += QChar(*code);
            i += 5;
        } else {
            out += c;
        }
    }
    return out;
}

qsizetype codeUnitSize(QStringConverter::Encoding encoding)
{
    switch (encoding) {
    case QStringConverter::Utf16:
    case QStringConverter::Utf16LE:
    case QStringConverter::Utf16BE:
        return 2;
    case QStringConverter::Utf32:
    case QStringConverter::Utf32LE:
    case QStringConverter::Utf32BE:
        return 4;
    default:
        return 1;
    }
}

QList<QByteArrayView> splitLines(QByteArrayView bytes, QStringConverter::Encoding encoding)
{
    const qsizetype unit = codeUnitSize(encoding);
    const bool bigEndian =
        encoding == QStringConverter::Utf16BE || encoding == QStringConverter::Utf32BE;
    const auto codeAt = [&](qsizetype at) -> quint32 {
        quint32 code = 0;
        for (qsizetype k = 0; k < unit; ++k) {
            const quint32 byte = quint8(bytes[at + (bigEndian ? k : unit - 1 - k)]);
            code = code << 8 | byte;
        }
        return code;
    };
    QList<QByteArrayView> lines;
    qsizetype start = 0, at = 0;
    for (; at + unit <= bytes.size(); at += unit) {
        const quint32 code = codeAt(at);
        if (code != u'\r' && code != u'\n')
            continue;
        lines << bytes.sliced(start, at - start);
        if (code == u'\r' && at + 2 * unit <= bytes.size() && codeAt(at + unit) == u'\n')
            at += unit;
        start = at + unit;
    }
    if (start < bytes.size())
        lines << bytes.sliced(start); // no break after the last line (maybe a broken unit)
    return lines;
}

// The user's number format without group separators, so that the text reads back.
QLocale numberLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

} // namespace

TIniPreferencesMan::TIniPreferencesMan(const QString &fileName) : m_fileName(fileName)
{
    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly)) {
        QList<qsizetype> damaged;
        m_lines = Decode(file.readAll(), &damaged);
        for (const qsizetype line : std::as_const(damaged))
            TRunStatus::ReportFailure(
                QStringLiteral("Kadrex: line %1 of %2 is not valid text and was skipped")
                    .arg(line)
                    .arg(fileName));
    }
    // Values above the first header belong to the root: give them its header.
    if (findHeader(QString()) < 0)
        m_lines.prepend(header(QString()));
}

TIniPreferencesMan::~TIniPreferencesMan()
{
    // A failure that Flush already told its caller about is not told twice.
    QString error;
    if (!m_flushFailed && !Flush(&error))
        TRunStatus::ReportFailure(QStringLiteral("Kadrex: the preferences were not saved to %1: %2")
                                      .arg(m_fileName, error));
}

QStringList TIniPreferencesMan::Decode(const QByteArray &bytes, QList<qsizetype> *damaged)
{
    const auto encoding =
        QStringConverter::encodingForData(bytes).value_or(QStringConverter::System);
    QStringList lines;
    qsizetype number = 0;
    for (const QByteArrayView raw : splitLines(bytes, encoding)) {
        // Each line decodes on its own, so that a damaged one costs only itself;
        // stateless, so that a character cut at the line's end is an error too.
        QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
        QString line = decoder.decode(raw);
        if (++number == 1 && line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        if (decoder.hasError() || raw.size() % codeUnitSize(encoding) != 0 ||
            !QStringView(line).isValidUtf16()) {
            if (damaged)
                damaged->append(number);
            continue;
        }
        lines << line;
    }
    return lines;
}

QByteArray TIniPreferencesMan::Encode(const QStringList &lines)
{
    QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    QString text;
    for (const QString &line : lines)
        text += line + QLatin1String("\r\n");
    return encoder.encode(text);
}

bool TIniPreferencesMan::Flush(QString *error)
{
    if (!m_changed)
        return true;
    // Unbuffered, so that a short write (a full disk) shows in write()'s
    // count instead of vanishing in a buffer flush that reports success.
    QSaveFile file(m_fileName);
    const QByteArray bytes = Encode(m_lines);
    errno = 0;
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
        file.write(bytes) == bytes.size() && file.commit()) {
        m_changed = m_flushFailed = false;
        return true;
    }
    m_flushFailed = true;
    const int code = errno;
    if (error)
        *error = QStringLiteral("%1: %2").arg(m_fileName,
                                              file.error() != QFileDevice::NoError || code == 0
                                                  ? file.errorString()
                                                  : QString::fromLocal8Bit(std::strerror(code)));
    file.cancelWriting();
    return false;
}

bool TIniPreferencesMan::isHeader(const QString &line)
{
    return line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'));
}

qsizetype TIniPreferencesMan::findHeader(const QString &path) const
{
    const QString wanted = header(path);
    for (qsizetype i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

qsizetype TIniPreferencesMan::ensureSection(const QString &path)
{
    qsizetype at = findHeader(path);
    if (at < 0) {
        m_lines << QString() << header(path);
        m_changed = true;
        at = m_lines.size() - 1;
    }
    return at;
}

qsizetype TIniPreferencesMan::sectionEnd(qsizetype header) const
{
    qsizetype end = header + 1;
    while (end < m_lines.size() && !isHeader(m_lines[end]))
        ++end;
    return end;
}

qsizetype TIniPreferencesMan::findValue(const QString &name) const
{
    const qsizetype head = findHeader(m_path);
    if (head < 0)
        return -1;
    for (qsizetype i = head + 1, end = sectionEnd(head); i < end; ++i)
        if (m_lines[i].contains(QLatin1Char('=')) &&
            valueNameOf(m_lines[i]).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QStringView TIniPreferencesMan::valueNameOf(const QString &line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return {};
    QStringView name = QStringView(line).left(eq);
    return name.endsWith(kEscapedMark) ? name.chopped(1) : name;
}

bool TIniPreferencesMan::GetValueNames(QStringList &list)
{
    const qsizetype head = findHeader(m_path);
    if (head < 0)
        return true;
    for (qsizetype i = head + 1, end = sectionEnd(head); i < end; ++i)
        if (m_lines[i].contains(QLatin1Char('=')))
            list << valueNameOf(m_lines[i]).toString();
    return true;
}

bool TIniPreferencesMan::GetKeyNames(QStringList &list)
{
    // Every section below the current one, at any depth.
    const QString prefix =
        m_path.isEmpty() ? QStringLiteral("[") : header(m_path).chopped(1) + QLatin1Char('\\');
    for (const QString &line : std::as_const(m_lines)) {
        if (!isHeader(line) || !line.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        const QString rest = line.mid(prefix.size()).chopped(1);
        if (!rest.isEmpty())
            list << rest;
    }
    return true;
}

bool TIniPreferencesMan::OpenKey(const QString &name, bool create)
{
    Q_UNUSED(create); // a missing section is always created
    m_path = prefspath::child(m_path, name);
    ensureSection(m_path);
    return true;
}

bool TIniPreferencesMan::DeleteKey(const QString &name)
{
    const QString path = prefspath::child(m_path, name);
    const QString below = header(path).chopped(1) + QLatin1Char('\\');
    for (qsizetype i = 0; i < m_lines.size();) {
        const QString &line = m_lines[i];
        if (isHeader(line) && (line.compare(header(path), Qt::CaseInsensitive) == 0 ||
                               line.startsWith(below, Qt::CaseInsensitive))) {
            m_lines.remove(i, sectionEnd(i) - i);
            m_changed = true;
        } else {
            ++i;
        }
    }
    return true;
}

bool TIniPreferencesMan::CloseKey()
{
    m_path = prefspath::parent(m_path);
    ensureSection(m_path);
    return true;
}

bool TIniPreferencesMan::OpenRoot()
{
    m_path.clear();
    ensureSection(m_path);
    return true;
}

bool TIniPreferencesMan::WriteString(const QString &name, const QString &text)
{
    const QString line = needsEscapedForm(text)
                             ? name + kEscapedMark + QLatin1Char('=') + escaped(text)
                             : name + QLatin1Char('=') + text;
    const qsizetype existing = findValue(name);
    if (existing >= 0) {
        if (m_lines[existing] != line) {
            m_lines[existing] = line;
            m_changed = true;
            m_flushFailed = false;
        }
        return true;
    }
    // A new value goes at the end of its section, before the empty lines that
    // separate it from the next header.
    const qsizetype header = ensureSection(m_path);
    qsizetype at = sectionEnd(header);
    while (at > header + 1 && m_lines[at - 1].isEmpty())
        --at;
    m_lines.insert(at, line);
    m_changed = true;
    m_flushFailed = false;
    return true;
}

bool TIniPreferencesMan::ReadString(const QString &name, QString &text)
{
    const qsizetype at = findValue(name);
    if (at < 0)
        return false;
    const QString &line = m_lines[at];
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    const bool isEscaped = eq > 0 && line.at(eq - 1) == kEscapedMark;
    text = isEscaped ? unescaped(QStringView(line).sliced(eq + 1)) : line.mid(eq + 1);
    return true;
}

bool TIniPreferencesMan::DeleteValue(const QString &name)
{
    const qsizetype at = findValue(name);
    if (at < 0)
        return false;
    m_lines.removeAt(at);
    m_changed = true;
    m_flushFailed = false;
    return true;
}

bool TIniPreferencesMan::WriteBool(const QString &name, bool value)
{
    return WriteString(name, value ? kTrue : kFalse);
}

bool TIniPreferencesMan::ReadBool(const QString &name, bool &value)
{
    QString text;
    if (!ReadString(name, text) || (text != kTrue && text != kFalse))
        return false; // letter case counts: anything else is missing
    value = text == kTrue;
    return true;
}

bool TIniPreferencesMan::WriteInteger(const QString &name, qint32 value)
{
    return WriteString(name, QString::number(value));
}

bool TIniPreferencesMan::ReadInteger(const QString &name, qint32 &value)
{
    QString text;
    if (!ReadString(name, text))
        return false;
    text = text.trimmed();
    bool ok = false;
    if (text.startsWith(QLatin1Char('$')))
        value = qint32(text.mid(1).toUInt(&ok, 16));
    else
        value = text.toInt(&ok, 10);
    if (!ok)
        value = 0; // present but no integer
    return true;
}

bool TIniPreferencesMan::WriteFloat(const QString &name, double value)
{
    return WriteString(name, numberLocale().toString(value, 'g', 15));
}

bool TIniPreferencesMan::ReadFloat(const QString &name, double &value)
{
    QString text;
    if (!ReadString(name, text))
        return false;
    bool ok = false;
    value = numberLocale().toDouble(text.trimmed(), &ok);
    if (!ok)
        value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        value = 0; // present but no number ("nan" and "inf" are none either)
    return true;
}
