#include "uInlayText.h"

#include "mf/uPositionText.h"
#include "uDVDateInlay.h"
#include "uDateTimeFormat.h"

namespace {

void replaceCode(QString &text, const char *code, const QString &value)
{
    text.replace(QLatin1String(code), value, Qt::CaseInsensitive);
}

qsizetype lastSeparator(const QString &path)
{
    return path.lastIndexOf(QLatin1Char('/'));
}

qsizetype extensionDot(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > lastSeparator(path) ? dot : -1;
}

bool uses(const QString &upperText, const char *code)
{
    return upperText.contains(QLatin1String(code));
}

constexpr std::array<TInsertCommand, 6> kInsertCommands{{
    {"naInsertTimestamp", TInsertMode::Timestamp, "%S", "", false},
    {"naInsertNumero", TInsertMode::Numero, "%N", "", false},
    {"naInsertTimecode", TInsertMode::Timecode, "%T", "", true},
    {"naInsertDatecode", TInsertMode::Datecode, "%D", "%D", true},
    {"naInsertPerso", TInsertMode::Perso, nullptr, nullptr, false},
    {"naInsertSysdateTime", TInsertMode::SysdateTime, "%R", "", false},
}};

} // namespace

TInlayLines InitialInlayLines()
{
    TInlayLines lines;
    lines[0].text = QStringLiteral("Write an inlay");
    lines[0].enabled = true;
    lines[0].relative = false;
    return lines;
}

QString FileNamePart(const QString &path)
{
    const qsizetype start = lastSeparator(path) + 1;
    const qsizetype dot = extensionDot(path);
    return path.mid(start, (dot < 0 ? path.size() : dot) - start);
}

QString FolderPart(const QString &path)
{
    return path.left(lastSeparator(path) + 1);
}

QString ExtensionPart(const QString &path)
{
    const qsizetype dot = extensionDot(path);
    return dot < 0 ? QString() : path.mid(dot);
}

QString ExpandInlayTemplate(int line, const TInlayTemplates &templates, const TInlayValues &values,
                            const TInlayFrameRecord &frame)
{
    QString text = templates.pattern[line];
    const std::optional<TDVCodeEntry> &dv = frame.dvCodes;

    replaceCode(text, "%D",
                dv && dv->dateValid
                    ? FormatDateTime(templates.dateFormat[line],
                                     ShiftedDVDate(dv->recDateTime, values.timeDifference))
                    : templates.dateFallback[line]);
    replaceCode(text, "%T",
                dv && dv->timecodeValid ? dv->timecodeText : templates.timecodeFallback);
    replaceCode(text, "%S", frame.timeStamp.value_or(templates.timestampFallback));
    replaceCode(text, "%R",
                values.realDateTime
                    ? FormatDateTime(templates.realDateFormat[line], *values.realDateTime)
                    : templates.realDateFallback[line]);
    replaceCode(text, "%N", values.number.value_or(QString()));
    const QString path = values.fileName.value_or(QString());
    replaceCode(text, "%F", FileNamePart(path));
    replaceCode(text, "%P", FolderPart(path));
    replaceCode(text, "%E", ExtensionPart(path));
    return text;
}

void ExpandInlayLines(TInlayLines &lines, TInlayAlign align, const TInlayTemplates &templates,
                      const TInlayValues &values, const TInlayFrameRecord &frame)
{
    for (int i = 0; i < kInlayLineCount; ++i) {
        TInlayLine &line = lines[i];
        line.align = align;
        line.enabled = !templates.pattern[i].isEmpty();
        line.text = line.enabled ? ExpandInlayTemplate(i, templates, values, frame) : QString();
    }
}

TInlaySources AnalyseInlaySources(bool inlayOn, const QString &pattern1, const QString &pattern2,
                                  bool hasDVSource)
{
    if (!inlayOn)
        return {};
    const QString u = (pattern1 + QLatin1Char('\r') + pattern2).toUpper();
    TInlaySources s;
    s.dvCodes = hasDVSource && (uses(u, "%D") || uses(u, "%T"));
    s.realDate = uses(u, "%R");
    s.fileName = uses(u, "%F");
    s.number = uses(u, "%N");
    return s;
}

TInlaySourceSwitch::TChange TInlaySourceSwitch::Analyse(bool inlayOn, const QString &pattern1,
                                                        const QString &pattern2, bool hasDVSource)
{
    TChange change;
    change.sources = AnalyseInlaySources(inlayOn, pattern1, pattern2, hasDVSource);
    change.sendFileNameNow = change.sources.fileName && !m_sources.fileName;
    change.sendNumberNow = change.sources.number && !m_sources.number;
    change.sendDVCodesNow = change.sources.dvCodes && !m_sources.dvCodes;
    m_sources = change.sources;
    return change;
}

const std::array<TInsertCommand, 6> &InsertCommands()
{
    return kInsertCommands;
}

const TInsertCommand *InsertCommandOf(TInsertMode mode)
{
    for (const TInsertCommand &c : kInsertCommands)
        if (c.mode == mode)
            return &c;
    return nullptr;
}

const TInsertCommand *InsertCommandNamed(const QString &action)
{
    for (const TInsertCommand &c : kInsertCommands)
        if (action == QLatin1String(c.action))
            return &c;
    return nullptr;
}

std::optional<TInsertPatterns> InsertPatterns(TInsertMode mode, const QString &perso1,
                                              const QString &perso2)
{
    const TInsertCommand *command = InsertCommandOf(mode);
    if (!command)
        return std::nullopt;
    if (!command->pattern1)
        return TInsertPatterns{perso1, perso2};
    return TInsertPatterns{QLatin1String(command->pattern1), QLatin1String(command->pattern2)};
}

std::optional<double> SysDateTick(bool timerOn, const QDateTime &now)
{
    if (!timerOn)
        return std::nullopt;
    return DateTimeToNumber(now.toLocalTime());
}
