#include "uRegPreferences.h"

#include <QtEndian>

#include <cstring>

TRegPreferencesMan::TRegPreferencesMan(const QString &dbFile, const QString &rootKey)
    : m_db(dbFile), m_root(regNormalisePath(rootKey))
{
    m_db.createKey(m_root);
}

bool TRegPreferencesMan::GetValueNames(QStringList &list)
{
    const auto names = m_db.valueNames(currentKey());
    if (names)
        list << *names;
    return names.has_value();
}

bool TRegPreferencesMan::GetKeyNames(QStringList &list)
{
    const auto names = m_db.subKeyNames(currentKey());
    if (names)
        list << *names;
    return names.has_value();
}

bool TRegPreferencesMan::OpenKey(const QString &name, bool create)
{
    const QString path = prefspath::child(m_path, regNormalisePath(name));
    const QString key = keyOf(path);
    if (!m_db.keyExists(key) && !(create && m_db.createKey(key)))
        return false;
    m_path = path;
    return true;
}

bool TRegPreferencesMan::DeleteKey(const QString &name)
{
    return m_db.deleteKeyTree(keyOf(prefspath::child(m_path, regNormalisePath(name))));
}

bool TRegPreferencesMan::CloseKey()
{
    const QString path = prefspath::parent(m_path);
    if (!m_db.keyExists(keyOf(path)))
        return false;
    m_path = path;
    return true;
}

bool TRegPreferencesMan::OpenRoot()
{
    m_path.clear();
    return m_db.keyExists(m_root);
}

bool TRegPreferencesMan::write(const QString &name, const TRegValue &value)
{
    return m_db.setValue(currentKey(), name, value);
}

std::optional<TRegValue> TRegPreferencesMan::read(const QString &name)
{
    return m_db.value(currentKey(), name);
}

bool TRegPreferencesMan::WriteString(const QString &name, const QString &text)
{
    return write(name, TRegValue::fromString(text));
}

bool TRegPreferencesMan::ReadString(const QString &name, QString &text)
{
    const auto value = read(name);
    const auto stored = value ? value->toString() : std::nullopt;
    if (stored)
        text = *stored;
    return stored.has_value();
}

bool TRegPreferencesMan::DeleteValue(const QString &name)
{
    return m_db.deleteValue(currentKey(), name);
}

bool TRegPreferencesMan::WriteBool(const QString &name, bool value)
{
    return write(name, TRegValue::fromDword(value ? 1 : 0));
}

bool TRegPreferencesMan::ReadBool(const QString &name, bool &value)
{
    const auto stored = read(name);
    const auto dword = stored ? stored->toDword() : std::nullopt;
    if (!dword || *dword > 1) // any other number keeps the default
        return false;
    value = *dword == 1;
    return true;
}

bool TRegPreferencesMan::WriteInteger(const QString &name, qint32 value)
{
    return write(name, TRegValue::fromDword(quint32(value)));
}

bool TRegPreferencesMan::ReadInteger(const QString &name, qint32 &value)
{
    const auto stored = read(name);
    const auto dword = stored ? stored->toDword() : std::nullopt;
    if (dword)
        value = qint32(*dword);
    return dword.has_value();
}

bool TRegPreferencesMan::WriteFloat(const QString &name, double value)
{
    QByteArray bytes(8, '\0');
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    qToLittleEndian(bits, bytes.data());
    return write(name, TRegValue::fromBinary(bytes));
}

bool TRegPreferencesMan::ReadFloat(const QString &name, double &value)
{
    const auto stored = read(name);
    if (!stored || stored->type != REG_BINARY || stored->data.size() != 8)
        return false;
    const quint64 bits = qFromLittleEndian<quint64>(stored->data.constData());
    std::memcpy(&value, &bits, sizeof value);
    return true;
}

bool TRegPreferencesMan::BeginSave()
{
    return m_db.begin();
}

bool TRegPreferencesMan::EndSave(QString *error)
{
    if (m_db.inTransaction() && m_db.commit())
        return true;
    if (error)
        *error = m_db.lastError();
    m_db.rollback();
    return false;
}
