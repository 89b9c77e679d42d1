#pragma once
// The platform side of the file manager on this desktop: Qt's file and folder
// dialogs, warnings with Yes and No, the clipboard's file list, and the
// freedesktop file manager for "parent folder". Without a screen no dialog
// opens: a file choice counts as cancelled and a question takes the answer
// that loses no data, said on standard error. "Parent folder" shows the file
// in the desktop's file manager.

#include "uFichierMan.h"

class QWidget;

// Dialogs are parented to window.
TFichierPlatform DesktopFichierPlatform(QWidget *window);

// "Video files (*.avi;*.mpg)|*.avi;*.mpg|All files (*.*)|*.*" as Qt's name
// filters: "Video files (*.avi *.mpg)", "All files (*)".
QStringList QtNameFilters(const QString &filter);
