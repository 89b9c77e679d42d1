#include "uRegImport.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {

const QString kRegedit4 = QStringLiteral("REGEDIT4");
const QString kRegedit5 = QStringLiteral("Windows Registry Editor Version 5.00");

// Splits "HKEY_CURRENT_USER\A\B" into the path below the per-user root;
// nullopt for another hive.
std::optional<QString> userPath(const QString &key)
{
    const QString path = regNormalisePath(key.trimmed());
    const qsizetype cut = path.indexOf(QLatin1Char('\\'));
    const QString hive = cut < 0 ? path : path.left(cut);
    if (hive.compare(QLatin1String("HKEY_CURRENT_USER"), Qt::CaseInsensitive) != 0 &&
        hive.compare(QLatin1String("HKCU"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return cut < 0 ? QString() : path.mid(cut + 1);
}

QString decode(const QByteArray &bytes)
{
    const auto encoding = QStringConverter::encodingForData(bytes);
    QStringDecoder decoder(encoding.value_or(QStringConverter::System));
    QString text = decoder.decode(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

// A line of the file after joining the continuation lines of hex values.
struct TLogicalLine {
    int number = 0; // first physical line, from 1
    QString text;
};

QList<TLogicalLine> logicalLines(const QString &text)
{
    QList<TLogicalLine> lines;
    const QStringList physical = text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    bool continuing = false;
    for (int i = 0; i < physical.size(); ++i) {
        QString line = continuing ? physical[i].trimmed() : physical[i];
        while (line.endsWith(QChar::Space) || line.endsWith(QChar::Tabulation))
            line.chop(1);
        if (continuing)
            lines.last().text += line;
        else
            lines.append({i + 1, line});
        continuing = lines.last().text.endsWith(QLatin1Char('\\'));
        if (continuing)
            lines.last().text.chop(1);
    }
    return lines;
}

// Reads a quoted string with \\ and \" escapes starting at pos (on the quote);
// pos ends after the closing quote.
std::optional<QString> quoted(const QString &line, qsizetype &pos)
{
    if (pos >= line.size() || line.at(pos) != QLatin1Char('"'))
        return std::nullopt;
    QString text;
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line.at(pos);
        if (c == QLatin1Char('"')) {
            ++pos;
            return text;
        }
        if (c == QLatin1Char('\\') && pos + 1 < line.size())
            text.append(line.at(++pos));
        else
            text.append(c);
    }
    return std::nullopt; // no closing quote
}

std::optional<QByteArray> hexBytes(const QString &list)
{
    QByteArray bytes;
    const QString compact = QString(list).remove(QRegularExpression(QStringLiteral("\\s")));
    if (compact.isEmpty())
        return bytes;
    for (const QString &item : compact.split(QLatin1Char(','))) {
        bool ok = false;
        const uint byte = item.toUInt(&ok, 16);
        if (!ok || item.size() > 2)
            return std::nullopt;
        bytes.append(char(byte));
    }
    return bytes;
}

// Strings in hex form are 8-bit in REGEDIT4 files and UTF-16 in version 5.
QByteArray hexStringToUtf16(const QByteArray &bytes, quint32 type)
{
    QStringDecoder decoder(QStringConverter::System);
    QString text = decoder.decode(bytes);
    while (text.endsWith(QChar(0)))
        text.chop(1);
    return TRegValue::fromString(text, type).data;
}

// The data after "=": nullopt when malformed; a value of type REG_NONE with
// the marker below when the line deletes the value.
constexpr quint32 kDeleteMarker = 0xFFFFFFFF;

std::optional<TRegValue> parseData(const QString &data, bool version4)
{
    if (data == QLatin1String("-"))
        return TRegValue{kDeleteMarker, {}};
    if (data.startsWith(QLatin1Char('"'))) {
        qsizetype pos = 0;
        const auto text = quoted(data, pos);
        if (!text || pos != data.size())
            return std::nullopt;
        return TRegValue::fromString(*text);
    }
    if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        const QString digits = data.mid(6);
        bool ok = false;
        const uint value = digits.toUInt(&ok, 16);
        if (!ok || digits.isEmpty() || digits.size() > 8 || digits.startsWith(QLatin1Char('+')))
            return std::nullopt;
        return TRegValue::fromDword(value);
    }
    static const QRegularExpression hex(QStringLiteral("^hex(?:\\(([0-9a-fA-F]{1,8})\\))?:(.*)$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const auto match = hex.match(data);
    if (!match.hasMatch())
        return std::nullopt;
    const quint32 type =
        match.captured(1).isEmpty() ? REG_BINARY : match.captured(1).toUInt(nullptr, 16);
    const auto bytes = hexBytes(match.captured(2));
    if (!bytes || type == kDeleteMarker)
        return std::nullopt;
    const bool text = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
    return TRegValue{type, version4 && text ? hexStringToUtf16(*bytes, type) : *bytes};
}

class TImporter
{
public:
    TImporter(TRegistryDb &db, TRegImportReport &report, bool version4)
        : m_db(db), m_report(report), m_version4(version4)
    {
    }

    void line(const TLogicalLine &line)
    {
        const QString text = line.text.trimmed();
        if (text.isEmpty() || text.startsWith(QLatin1Char(';')))
            return;
        const QString problem = text.startsWith(QLatin1Char('[')) ? keyLine(text) : valueLine(text);
        if (!problem.isEmpty())
            m_report.problems << QStringLiteral("line %1: %2").arg(line.number).arg(problem);
    }

private:
    QString keyLine(const QString &text)
    {
        m_key.reset();
        if (!text.endsWith(QLatin1Char(']')))
            return QStringLiteral("key line without closing bracket");
        QString inner = text.mid(1, text.size() - 2);
        const bool remove = inner.startsWith(QLatin1Char('-'));
        if (remove)
            inner.remove(0, 1);
        const auto path = userPath(inner);
        if (!path || path->isEmpty())
            return QStringLiteral("key outside HKEY_CURRENT_USER skipped: %1").arg(inner);
        if (remove) {
            if (!m_db.deleteKeyTree(*path))
                return m_db.lastError();
            ++m_report.deletions;
            return {};
        }
        if (!m_db.createKey(*path))
            return m_db.lastError();
        m_key = *path;
        ++m_report.keys;
        return {};
    }

    QString valueLine(const QString &text)
    {
        qsizetype pos = 0;
        QString name;
        if (text.startsWith(QLatin1Char('@'))) {
            pos = 1;
        } else {
            const auto quotedName = quoted(text, pos);
            if (!quotedName)
                return QStringLiteral("malformed value name");
            name = *quotedName;
        }
        while (pos < text.size() && text.at(pos).isSpace())
            ++pos;
        if (pos >= text.size() || text.at(pos) != QLatin1Char('='))
            return QStringLiteral("missing \"=\"");
        const auto value = parseData(text.mid(pos + 1).trimmed(), m_version4);
        if (!value)
            return QStringLiteral("malformed value data");
        if (!m_key)
            return QStringLiteral("value outside a key");
        if (value->type == kDeleteMarker) {
            if (m_db.deleteValue(*m_key, name))
                ++m_report.deletions;
            return {};
        }
        if (!m_db.setValue(*m_key, name, *value))
            return m_db.lastError();
        ++m_report.values;
        return {};
    }

    TRegistryDb &m_db;
    TRegImportReport &m_report;
    bool m_version4;
    std::optional<QString> m_key; // current key below the user root
};

} // namespace

TRegImportReport regImportText(TRegistryDb &db, const QString &text)
{
    TRegImportReport report;
    const QList<TLogicalLine> lines = logicalLines(text);
    qsizetype first = 0;
    while (first < lines.size() && lines[first].text.trimmed().isEmpty())
        ++first;
    const QString header = first < lines.size() ? lines[first].text.trimmed() : QString();
    if (header != kRegedit4 && header != kRegedit5) {
        report.problems
            << QStringLiteral("not a registry file: the first line is \"%1\"").arg(header);
        return report;
    }
    const bool ownTransaction = !db.inTransaction();
    if (ownTransaction && !db.begin()) {
        report.problems << db.lastError();
        return report;
    }
    TImporter importer(db, report, header == kRegedit4);
    for (qsizetype i = first + 1; i < lines.size(); ++i)
        importer.line(lines[i]);
    report.ok = !ownTransaction || db.commit();
    if (!report.ok) {
        report.problems << db.lastError();
        db.rollback();
    }
    return report;
}

TRegImportReport regImportFile(TRegistryDb &db, const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        TRegImportReport report;
        report.problems << QStringLiteral("%1: %2").arg(fileName, file.errorString());
        return report;
    }
    return regImportText(db, decode(file.readAll()));
}

bool regDeleteKey(TRegistryDb &db, const QString &key)
{
    const bool hiveNamed = key.trimmed().startsWith(QLatin1String("HKEY_"), Qt::CaseInsensitive) ||
                           key.trimmed().startsWith(QLatin1String("HKCU"), Qt::CaseInsensitive);
    const auto path = hiveNamed ? userPath(key) : regNormalisePath(key);
    if (!path || path->isEmpty())
        return false; // another hive, or the whole tree
    return db.deleteKeyTree(*path);
}
