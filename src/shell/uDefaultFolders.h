#pragma once
// The folders whose default the main window computes at run time, when the
// setting has no stored value (a stored empty folder counts as none):
// - waDossierSave: the user's pictures folder, else documents, else home;
// - waDossierScripts: the user's documents folder, else home;
// - waPrivateFolder: the executable's folder, with a trailing separator.
// The pictures and documents folders are the XDG user folders and count only
// when they exist.

#include <QString>

class TCustomNvActionList;

namespace defaultfolders {
QString SaveFolder();
QString ScriptsFolder();
// exeFolder without a trailing separator gets one.
QString PrivateFolder(const QString &exeFolder);

// Gives the three actions of list (the main window's gpal) their default
// handlers; exeFolder is the executable's folder.
void InstallDefaults(TCustomNvActionList &list, const QString &exeFolder);
} // namespace defaultfolders
