#include "uIniPreferences.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

QString header(const QString &path)
{
    return QLatin1Char('[') + path + QLatin1Char(']');
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
    if (file.open(QIODevice::ReadOnly))
        m_lines = Decode(file.readAll());
    // Values above the first header belong to the root: give them its header.
    if (findHeader(QString()) < 0)
        m_lines.prepend(header(QString()));
}

TIniPreferencesMan::~TIniPreferencesMan()
{
    QString error;
    if (!Flush(&error))
        std::fprintf(stderr, "Kadrex: the preferences were not saved to %s: %s\n",
                     qPrintable(m_fileName), qPrintable(error));
}

QStringList TIniPreferencesMan::Decode(const QByteArray &bytes)
{
    const auto encoding = QStringConverter::encodingForData(bytes);
    QStringDecoder decoder(encoding.value_or(QStringConverter::System));
    QString text = decoder.decode(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    static const QRegularExpression breaks(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = text.split(breaks);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the break after the last line
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
        m_changed = false;
        return true;
    }
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
    const QString prefix = name + QLatin1Char('=');
    for (qsizetype i = head + 1, end = sectionEnd(head); i < end; ++i)
        if (m_lines[i].startsWith(prefix, Qt::CaseInsensitive))
            return i;
    return -1;
}

bool TIniPreferencesMan::GetValueNames(QStringList &list)
{
    const qsizetype head = findHeader(m_path);
    if (head < 0)
        return true;
    for (qsizetype i = head + 1, end = sectionEnd(head); i < end; ++i) {
        const qsizetype eq = m_lines[i].indexOf(QLatin1Char('='));
        if (eq >= 0)
            list << m_lines[i].left(eq);
    }
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
    const QString line = name + QLatin1Char('=') + text;
    const qsizetype existing = findValue(name);
    if (existing >= 0) {
        if (m_lines[existing] != line) {
            m_lines[existing] = line;
            m_changed = true;
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
    return true;
}

bool TIniPreferencesMan::ReadString(const QString &name, QString &text)
{
    const qsizetype at = findValue(name);
    if (at < 0)
        return false;
    text = m_lines[at].mid(name.size() + 1);
    return true;
}

bool TIniPreferencesMan::DeleteValue(const QString &name)
{
    const qsizetype at = findValue(name);
    if (at < 0)
        return false;
    m_lines.removeAt(at);
    m_changed = true;
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
    if (!ok)
        value = 0; // present but no number
    return true;
}
