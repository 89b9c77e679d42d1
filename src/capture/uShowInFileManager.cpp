#include "uShowInFileManager.h"

#include "uImageNaming.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {

constexpr int kDBusTimeoutMs = 5000;

} // namespace

void ShowInFileManager(const QString &path)
{
    const QFileInfo info(path);
    const QUrl entry = QUrl::fromLocalFile(info.absoluteFilePath());
    const QUrl folder =
        QUrl::fromLocalFile(info.isDir() ? info.absoluteFilePath() : info.absolutePath());
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        QDesktopServices::openUrl(folder);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"),
        info.isDir() ? QStringLiteral("ShowFolders") : QStringLiteral("ShowItems"));
    call << QStringList{entry.toString()} << QString();
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kDBusTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished,
                     [folder](QDBusPendingCallWatcher *w) {
                         if (w->isError())
                             QDesktopServices::openUrl(folder);
                         w->deleteLater();
                     });
}

void OpenSaveFolder(const QString &nextImageName, const QString &folder, const QString &root)
{
    const QString entry = EntryToShow(nextImageName, folder, root);
    if (!entry.isEmpty())
        ShowInFileManager(entry);
}
