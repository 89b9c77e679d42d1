#pragma once
// Backends of the preference store: a tree of sections addressed by paths of
// names separated by "\", each holding named values. The registry-like SQLite
// store, the portable ini file and the "store nothing" backend all derive from
// TPreferencesMan and are interchangeable under TNorvanePreferences.

#include <QString>
#include <QStringList>

class TPreferencesMan
{
public:
    virtual ~TPreferencesMan() = default;

    // Names of the current section's values / of the sections below it.
    virtual bool GetValueNames(QStringList &list) = 0;
    virtual bool GetKeyNames(QStringList &list) = 0;

    // The current section becomes the sub-section name of the current one.
    virtual bool OpenKey(const QString &name, bool create) = 0;
    // The current section becomes the parent of the current one.
    virtual bool CloseKey() = 0;
    // Deletes the sub-section name of the current section with everything
    // below it; True when it is gone (also when it did not exist). A backend
    // that cannot delete answers False.
    virtual bool DeleteKey(const QString &name)
    {
        Q_UNUSED(name);
        return false;
    }

    virtual bool WriteString(const QString &name, const QString &text) = 0;
    virtual bool ReadString(const QString &name, QString &text) = 0;
    virtual bool DeleteValue(const QString &name) = 0;
    virtual bool WriteBool(const QString &name, bool value) = 0;
    virtual bool ReadBool(const QString &name, bool &value) = 0;
    virtual bool WriteInteger(const QString &name, qint32 value) = 0;
    virtual bool ReadInteger(const QString &name, qint32 &value) = 0;
    virtual bool WriteFloat(const QString &name, double value) = 0;
    virtual bool ReadFloat(const QString &name, double &value) = 0;

    // Path of the current section; empty at the root.
    virtual QString CurrentPath() const = 0;
    // Back to the root section.
    virtual bool OpenRoot() = 0;

    // Why the last operation failed, when the backend knows.
    virtual QString LastError() const { return {}; }

    // A save runs between BeginSave and EndSave so that it lands whole or not
    // at all; EndSave tells why when it could not make the save durable.
    virtual bool BeginSave() { return true; }
    virtual bool EndSave(QString *error = nullptr)
    {
        Q_UNUSED(error);
        return true;
    }
};

// Section paths shared by the backends.
namespace prefspath {
// "A\B" + "C" gives "A\B\C"; from the root, "C".
QString child(const QString &path, const QString &name);
// "A\B\C" gives "A\B"; "A" gives the root (empty).
QString parent(const QString &path);
} // namespace prefspath

// Mode none: opening and closing sections and every write succeed without
// storing anything; every read, DeleteValue and the name lists fail.
class TNonePreferencesMan : public TPreferencesMan
{
public:
    bool GetValueNames(QStringList &) override { return false; }
    bool GetKeyNames(QStringList &) override { return false; }
    bool OpenKey(const QString &, bool) override { return true; }
    bool CloseKey() override { return true; }
    bool DeleteKey(const QString &) override { return true; }
    bool WriteString(const QString &, const QString &) override { return true; }
    bool ReadString(const QString &, QString &) override { return false; }
    bool DeleteValue(const QString &) override { return false; }
    bool WriteBool(const QString &, bool) override { return true; }
    bool ReadBool(const QString &, bool &) override { return false; }
    bool WriteInteger(const QString &, qint32) override { return true; }
    bool ReadInteger(const QString &, qint32 &) override { return false; }
    bool WriteFloat(const QString &, double) override { return true; }
    bool ReadFloat(const QString &, double &) override { return false; }
    QString CurrentPath() const override { return {}; }
    bool OpenRoot() override { return true; }
};
