#pragma once
// A temporary place for the stores under test: an executable folder for the
// ini file and a database file for the registry, never the user's own.

#include "prefs/uIniPreferences.h"
#include "prefs/uPreferences.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

struct TempStores {
    QTemporaryDir dir;

    TempStores() { QDir(dir.path()).mkpath(QStringLiteral("bin")); }
    QString exeFolder() const { return dir.filePath(QStringLiteral("bin")); }
    QString iniFile() const { return exeFolder() + QStringLiteral("/Kadrex.ini"); }
    QString dbFile() const
    {
        return dir.filePath(QStringLiteral("config/Norvane/registry.sqlite3"));
    }
    TPrefsLocations locations() const
    {
        return {exeFolder() + QStringLiteral("/kadrex"), dbFile()};
    }

    void writeFile(const QString &path, const QByteArray &bytes) const
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readFile(const QString &path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The ini file as lines (any accepted encoding).
    QStringList iniLines() const { return TIniPreferencesMan::Decode(readFile(iniFile())); }
};
