#include "uFichierDialogs.h"

#include "capture/uShowInFileManager.h"
#include "prefs/uSavePrefs.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>

#include <cstdio>

namespace {

void sayOnStderr(const QString &line)
{
    std::fprintf(stderr, "kadrex: %s\n", qPrintable(line));
}

} // namespace

QStringList QtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        if (patterns == QLatin1String("*.*"))
            patterns = QStringLiteral("*");
        QString description = parts[i];
        const qsizetype bracket = description.indexOf(QLatin1String(" ("));
        if (bracket >= 0)
            description.truncate(bracket);
        filters << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return filters;
}

TFichierPlatform DesktopFichierPlatform(QWidget *window)
{
    TFichierPlatform p;
    p.ChooseOpenFile = [window](const QString &title, const QString &folder,
                                const QString &filter) -> std::optional<QString> {
        if (RunsWithoutScreen())
            return std::nullopt;
        QFileDialog dialog(window, title, folder);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters(QtNameFilters(filter));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().first();
    };
    p.ChooseSaveFile = [window](const QString &title, const QString &folder, const QString &filter,
                                const QString &suffix,
                                const QString &suggestion) -> std::optional<QString> {
        if (RunsWithoutScreen())
            return std::nullopt;
        QFileDialog dialog(window, title, folder);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // The file manager asks about an existing file itself.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setNameFilters(QtNameFilters(filter));
        dialog.setDefaultSuffix(suffix);
        dialog.selectFile(suggestion);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().first();
    };
    p.ChooseFolder = [window](const QString &title,
                              const QString &start) -> std::optional<QString> {
        if (RunsWithoutScreen())
            return std::nullopt;
        const QString folder = QFileDialog::getExistingDirectory(window, title, start);
        if (folder.isEmpty())
            return std::nullopt;
        return folder;
    };
    p.AskYesNo = [window](const QString &question, bool safeAnswer) {
        if (RunsWithoutScreen()) {
            sayOnStderr(QStringLiteral("%1 -> %2 (no screen to ask)")
                            .arg(QString(question).replace(u'\n', u' '),
                                 safeAnswer ? QStringLiteral("Yes") : QStringLiteral("No")));
            return safeAnswer;
        }
        return QMessageBox::warning(window, QApplication::applicationName(), question,
                                    QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    p.ClipboardFiles = [] {
        QStringList files;
        if (const QMimeData *data = QGuiApplication::clipboard()->mimeData())
            for (const QUrl &url : data->urls())
                if (url.isLocalFile())
                    files << url.toLocalFile();
        return files;
    };
    p.ShowInFileBrowser = ShowInFileManager;
    return p;
}
