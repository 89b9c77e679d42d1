#pragma once
// Registry mode: the preferences live in the per-user key tree under
// "Software\Norvane\" + title. Booleans and integers are DWORDs, floats
// 8-byte little-endian doubles in a binary value, texts strings.

#include "uPreferencesMan.h"
#include "uRegistry.h"

class TRegPreferencesMan : public TPreferencesMan
{
public:
    // Opens (creating it when missing) rootKey in the database file and makes
    // it the current section.
    TRegPreferencesMan(const QString &dbFile, const QString &rootKey);

    bool IsOpen() { return m_db.isOpen() && m_db.keyExists(m_root); }
    QString LastError() const override { return m_db.lastError(); }

    bool GetValueNames(QStringList &list) override;
    bool GetKeyNames(QStringList &list) override;
    bool OpenKey(const QString &name, bool create) override;
    bool CloseKey() override;
    bool DeleteKey(const QString &name) override;
    bool WriteString(const QString &name, const QString &text) override;
    bool ReadString(const QString &name, QString &text) override;
    bool DeleteValue(const QString &name) override;
    bool WriteBool(const QString &name, bool value) override;
    bool ReadBool(const QString &name, bool &value) override;
    bool WriteInteger(const QString &name, qint32 value) override;
    bool ReadInteger(const QString &name, qint32 &value) override;
    bool WriteFloat(const QString &name, double value) override;
    bool ReadFloat(const QString &name, double &value) override;
    QString CurrentPath() const override { return m_path; }
    bool OpenRoot() override;

    // A save is one transaction.
    bool BeginSave() override;
    bool EndSave(QString *error = nullptr) override;

private:
    QString keyOf(const QString &path) const { return prefspath::child(m_root, path); }
    QString currentKey() const { return m_path.isEmpty() ? m_root : keyOf(m_path); }
    bool write(const QString &name, const TRegValue &value);
    std::optional<TRegValue> read(const QString &name);

    TRegistryDb m_db;
    QString m_root;
    QString m_path; // current section below the root
};
