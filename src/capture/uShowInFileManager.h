#pragma once
// Opens the desktop's file manager at an entry: a file is shown selected in
// its folder, a folder is opened (org.freedesktop.FileManager1 over D-Bus,
// else the folder through the desktop's URL handler). Returns at once; the
// file manager answers later.

#include <QString>

void ShowInFileManager(const QString &path);

// The click on the next-name label: shows EntryToShow(...) when there is one.
void OpenSaveFolder(const QString &nextImageName, const QString &folder, const QString &root);
