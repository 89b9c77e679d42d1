#pragma once
// The per-user key tree that stands for the Windows registry: one SQLite
// database ($XDG_CONFIG_HOME/Norvane/registry.sqlite3) holding keys addressed
// by paths such as "Software\Norvane\Kadrex\ShowForm" and typed values. Key
// and value names compare without regard to letter case, as in the registry.
// Several programs may use the database at once: SQLite locks it, and every
// connection waits a bounded time for a lock held by another.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

struct sqlite3;

// Value types, numbered as in the registry.
enum TRegType : quint32 {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_MULTI_SZ = 7,
    REG_QWORD = 11,
};

// A value as the registry holds it: its type and its raw bytes (a string is
// UTF-16 little-endian with its terminating null, a DWORD four bytes
// little-endian).
struct TRegValue {
    quint32 type = REG_NONE;
    QByteArray data;

    static TRegValue fromString(const QString &text, quint32 type = REG_SZ);
    static TRegValue fromDword(quint32 value);
    static TRegValue fromBinary(const QByteArray &bytes, quint32 type = REG_BINARY);

    // The text of a string value, with or without its terminating null.
    std::optional<QString> toString() const;
    std::optional<quint32> toDword() const;

    friend bool operator==(const TRegValue &, const TRegValue &) = default;
};

class TRegistryDb
{
public:
    // $XDG_CONFIG_HOME/Norvane/registry.sqlite3, XDG_CONFIG_HOME defaulting to ~/.config.
    static QString defaultPath();

    // Opens the database; with createIfMissing false a missing file stays
    // missing (and the tree reads as empty), so looking never creates it.
    explicit TRegistryDb(const QString &file, bool createIfMissing = true,
                         int busyTimeoutMs = 5000);
    ~TRegistryDb();
    TRegistryDb(const TRegistryDb &) = delete;
    TRegistryDb &operator=(const TRegistryDb &) = delete;

    bool isOpen() const { return m_db != nullptr; }
    QString lastError() const { return m_error; }

    // The empty path is the root, which always exists.
    bool keyExists(const QString &path);
    // Creates the key and every missing key above it.
    bool createKey(const QString &path);
    // Deletes the key, its values and every key below it.
    bool deleteKeyTree(const QString &path);
    // Names of the immediate sub-keys, in their stored letter case.
    std::optional<QStringList> subKeyNames(const QString &path);
    std::optional<QStringList> valueNames(const QString &path);

    // Writes replace any earlier value of that name; the key must exist.
    bool setValue(const QString &path, const QString &name, const TRegValue &value);
    std::optional<TRegValue> value(const QString &path, const QString &name);
    bool deleteValue(const QString &path, const QString &name);

    // One transaction around many writes (a save): all of them land or none.
    bool begin();
    bool commit();
    void rollback();
    bool inTransaction() const;

    // Runs a statement list; used inside the class and by the transaction guard.
    bool exec(const char *sql);

private:
    bool open(const QString &file, bool createIfMissing, int busyTimeoutMs);
    bool fail(const char *what);
    // The first column of a query on one key path; nullopt when the key is missing.
    std::optional<QStringList> names(const char *sql, const QString &path);

    sqlite3 *m_db = nullptr;
    bool m_missing = false; // not opened because the file does not exist
    QString m_error;
};

// Normalised key path: separators trimmed at both ends.
QString regNormalisePath(const QString &path);
