#include "uImageNaming.h"

#include "mf/uPositionText.h"
#include "uFrameRecord.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace {

// Longer names cannot be created anyway; the bound keeps a wild digit count
// from allocating without end.
constexpr int kMaxNameLength = 255;

QString withTrailingSlash(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// The first n UTF-16 units, without splitting a surrogate pair.
QString leftCharacters(const QString &text, int n)
{
    if (n <= 0)
        return {};
    if (n >= text.size())
        return text;
    if (text.at(n - 1).isHighSurrogate())
        --n;
    return text.left(n);
}

} // namespace

QString ImageRoot(const TImageNameSettings &settings, const QString &videoPath)
{
    if (settings.nameSource == 0)
        return settings.root;
    QString name = QFileInfo(videoPath).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    return settings.limitLength ? leftCharacters(name, settings.rootLength) : name;
}

QString NumberText(int number, int digits)
{
    return QStringLiteral("%1").arg(number, std::clamp(digits, 0, kMaxNameLength), 10,
                                    QLatin1Char('0'));
}

QString TimeStampText(qint64 frameDuration, qint64 position)
{
    return PositionToText(frameDuration, position).replace(QLatin1Char(':'), QLatin1Char('.'));
}

QString ImageExtension(int imageExtension)
{
    return imageExtension != 0 ? QStringLiteral(".jpg") : QStringLiteral(".bmp");
}

std::optional<QString> NextImageName(const TImageNameSettings &settings, const QString &videoPath,
                                     qint64 frameDuration, qint64 position)
{
    QString suffix;
    if (settings.suffixKind == 0)
        suffix = TimeStampText(frameDuration, position);
    else if (settings.suffixKind == 1)
        suffix = NumberText(settings.nextNum, settings.digits);
    else
        return std::nullopt;
    return withTrailingSlash(settings.folder) + ImageRoot(settings, videoPath) + QLatin1Char('_') +
           suffix + ImageExtension(settings.imageExtension);
}

std::optional<QString> NextImageName(const TImageNameSettings &settings, const TFrameRecord &frame)
{
    return NextImageName(settings, frame.sourceFile, frame.frameDuration, frame.position);
}

TImageNameState ImageNameState(const QString &fileName)
{
    return QFileInfo::exists(fileName) ? TImageNameState::Exists : TImageNameState::Free;
}

QColor ImageNameColor(TImageNameState state)
{
    return state == TImageNameState::Exists ? QColor(0, 128, 0) : QColor(128, 0, 0);
}

TSnapNameLook SnapNameLook(bool saved)
{
    if (saved)
        return {QColor(192, 220, 192), false,
                QStringLiteral("This picture has already been saved")};
    return {
        QColor(), true,
        QStringLiteral("This picture has not yet been saved\r\nClick on this label to save it")};
}

QString EntryToShow(const QString &nextImageName, const QString &folder, const QString &root)
{
    if (QFileInfo::exists(nextImageName))
        return nextImageName;
    const QDir dir(folder);
    if (!dir.exists())
        return {};
    // A prefix test rather than a wildcard, so that a root holding "*" or "["
    // matches only itself.
    const QString prefix = root + QLatin1Char('_');
    const QStringList entries = dir.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : entries)
        if (entry.startsWith(prefix))
            return dir.filePath(entry);
    return dir.path();
}
