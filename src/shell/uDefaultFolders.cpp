#include "uDefaultFolders.h"

#include "actions/uActionList.h"
#include "actions/uScriptAction.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <functional>
#include <initializer_list>

namespace defaultfolders {
namespace {

// The first of the user folders that exists, else the home folder.
QString firstExisting(std::initializer_list<QStandardPaths::StandardLocation> locations)
{
    for (const auto location : locations) {
        const QString folder = QStandardPaths::writableLocation(location);
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    }
    return QDir::homePath();
}

void setDefaultHandler(TCustomNvActionList &list, const char *name,
                       std::function<QString()> compute)
{
    auto *action = list.Find<TWidestringAction>(QLatin1String(name));
    if (!action)
        return;
    action->EmptyIsUnset = true;
    action->OnDefault = [compute = std::move(compute)](QString &value) {
        value = compute();
        return true;
    };
}

} // namespace

QString SaveFolder()
{
    return firstExisting({QStandardPaths::PicturesLocation, QStandardPaths::DocumentsLocation});
}

QString ScriptsFolder()
{
    return firstExisting({QStandardPaths::DocumentsLocation});
}

QString PrivateFolder(const QString &exeFolder)
{
    return exeFolder.endsWith(QLatin1Char('/')) ? exeFolder : exeFolder + QLatin1Char('/');
}

void InstallDefaults(TCustomNvActionList &list, const QString &exeFolder)
{
    setDefaultHandler(list, "waDossierSave", SaveFolder);
    setDefaultHandler(list, "waDossierScripts", ScriptsFolder);
    setDefaultHandler(list, "waPrivateFolder", [exeFolder] { return PrivateFolder(exeFolder); });
}

} // namespace defaultfolders
