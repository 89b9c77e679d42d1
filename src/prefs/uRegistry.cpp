#include "uRegistry.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtEndian>

#include <sqlite3.h>

namespace {

// Keys: full path (unique, case-insensitive), parent path and own name.
// Values: key path, name, registry type and data (TEXT for strings, INTEGER
// for DWORDs, BLOB otherwise, so the file stays readable with sqlite3).
constexpr const char *kSchema = R"sql(
CREATE TABLE IF NOT EXISTS regkeys(
  path TEXT PRIMARY KEY COLLATE NOCASE,
  parent TEXT NOT NULL COLLATE NOCASE,
  name TEXT NOT NULL);
CREATE INDEX IF NOT EXISTS regkeys_parent ON regkeys(parent);
CREATE TABLE IF NOT EXISTS regvalues(
  key TEXT NOT NULL COLLATE NOCASE,
  name TEXT NOT NULL COLLATE NOCASE,
  type INTEGER NOT NULL,
  data,
  PRIMARY KEY(key, name));
)sql";

// A prepared statement with positional text parameters.
class TStatement
{
public:
    TStatement(sqlite3 *db, const char *sql)
    {
        if (db)
            sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr);
    }
    ~TStatement() { sqlite3_finalize(m_stmt); }
    TStatement(const TStatement &) = delete;
    TStatement &operator=(const TStatement &) = delete;

    bool ok() const { return m_stmt != nullptr; }
    TStatement &bind(int index, const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        return *this;
    }
    TStatement &bind(int index, qint64 value)
    {
        sqlite3_bind_int64(m_stmt, index, value);
        return *this;
    }
    TStatement &bindBlob(int index, const QByteArray &bytes)
    {
        sqlite3_bind_blob(m_stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step() { return m_stmt ? sqlite3_step(m_stmt) : SQLITE_MISUSE; }
    bool run() { return step() == SQLITE_DONE; }

    QString text(int column) const
    {
        return QString::fromUtf8(
            reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column)),
            sqlite3_column_bytes(m_stmt, column));
    }
    qint64 integer(int column) const { return sqlite3_column_int64(m_stmt, column); }
    QByteArray blob(int column) const
    {
        const void *data = sqlite3_column_blob(m_stmt, column);
        return QByteArray(static_cast<const char *>(data), sqlite3_column_bytes(m_stmt, column));
    }
    int columnType(int column) const { return sqlite3_column_type(m_stmt, column); }

private:
    sqlite3_stmt *m_stmt = nullptr;
};

// Runs several statements as one unit: a transaction of its own when none is
// open, a savepoint inside an open one (a save in progress).
class TAtomic
{
public:
    explicit TAtomic(TRegistryDb &db) : m_db(db), m_nested(db.inTransaction())
    {
        m_ok = db.exec(m_nested ? "SAVEPOINT regop" : "BEGIN IMMEDIATE");
    }
    ~TAtomic()
    {
        if (m_ok && !m_done)
            m_db.exec(m_nested ? "ROLLBACK TO regop; RELEASE regop" : "ROLLBACK");
    }
    bool ok() const { return m_ok; }
    bool commit()
    {
        m_done = true;
        return m_db.exec(m_nested ? "RELEASE regop" : "COMMIT");
    }

private:
    TRegistryDb &m_db;
    bool m_nested;
    bool m_ok = false;
    bool m_done = false;
};

bool isWellFormedUtf16(const QString &text)
{
    return QStringView(text).isValidUtf16();
}

QString parentOf(const QString &path)
{
    const qsizetype cut = path.lastIndexOf(QLatin1Char('\\'));
    return cut < 0 ? QString() : path.left(cut);
}

} // namespace

QString regNormalisePath(const QString &path)
{
    qsizetype first = 0, last = path.size();
    while (first < last && path.at(first) == QLatin1Char('\\'))
        ++first;
    while (last > first && path.at(last - 1) == QLatin1Char('\\'))
        --last;
    return path.mid(first, last - first);
}

TRegValue TRegValue::fromString(const QString &text, quint32 type)
{
    QByteArray bytes(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    if constexpr (QSysInfo::ByteOrder == QSysInfo::BigEndian)
        for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
            std::swap(bytes[i], bytes[i + 1]);
    bytes.append(2, '\0');
    return {type, bytes};
}

TRegValue TRegValue::fromDword(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return {REG_DWORD, bytes};
}

TRegValue TRegValue::fromBinary(const QByteArray &bytes, quint32 type)
{
    return {type, bytes};
}

std::optional<QString> TRegValue::toString() const
{
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return std::nullopt;
    QString text;
    for (qsizetype i = 0; i + 1 < data.size(); i += 2)
        text.append(QChar(qFromLittleEndian<quint16>(data.constData() + i)));
    if (text.endsWith(QChar(0)))
        text.chop(1); // the terminating null, once: a text may end with a null of its own
    return text;
}

std::optional<quint32> TRegValue::toDword() const
{
    if (type != REG_DWORD || data.size() != 4)
        return std::nullopt;
    return qFromLittleEndian<quint32>(data.constData());
}

QString TRegistryDb::defaultPath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/Norvane/registry.sqlite3");
}

TRegistryDb::TRegistryDb(const QString &file, bool createIfMissing, int busyTimeoutMs)
{
    open(file, createIfMissing, busyTimeoutMs);
}

TRegistryDb::~TRegistryDb()
{
    if (m_db && inTransaction())
        rollback();
    sqlite3_close(m_db);
}

bool TRegistryDb::open(const QString &file, bool createIfMissing, int busyTimeoutMs)
{
    if (!createIfMissing && !QFileInfo::exists(file)) {
        m_error = QStringLiteral("%1 does not exist").arg(file);
        m_missing = true;
        return false;
    }
    if (createIfMissing && !QDir().mkpath(QFileInfo(file).absolutePath())) {
        m_error = QStringLiteral("cannot create the folder of %1").arg(file);
        return false;
    }
    const int flags = SQLITE_OPEN_READWRITE | (createIfMissing ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &m_db, flags, nullptr) != SQLITE_OK) {
        fail("open");
        sqlite3_close(m_db);
        m_db = nullptr;
        return false;
    }
    sqlite3_busy_timeout(m_db, busyTimeoutMs);
    sqlite3_extended_result_codes(m_db, 1);
    if (!exec("PRAGMA journal_mode=WAL") || !exec(kSchema)) {
        sqlite3_close(m_db);
        m_db = nullptr;
        return false;
    }
    return true;
}

bool TRegistryDb::fail(const char *what)
{
    if (!m_db && !m_error.isEmpty())
        return false; // keep the reason why the database did not open
    m_error = QStringLiteral("%1: %2").arg(QLatin1String(what),
                                           m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                                                : QStringLiteral("no database"));
    return false;
}

bool TRegistryDb::exec(const char *sql)
{
    if (!m_db)
        return fail("exec");
    char *message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        m_error = QString::fromUtf8(message ? message : "sqlite error");
        sqlite3_free(message);
        return false;
    }
    return true;
}

bool TRegistryDb::inTransaction() const
{
    return m_db && !sqlite3_get_autocommit(m_db);
}

bool TRegistryDb::begin()
{
    // SQLite opens a write-protected file read-only and would let the save run
    // to a "successful" commit of nothing.
    if (m_db && sqlite3_db_readonly(m_db, "main") == 1) {
        m_error = QStringLiteral("%1 is read-only")
                      .arg(QString::fromUtf8(sqlite3_db_filename(m_db, "main")));
        return false;
    }
    return exec("BEGIN IMMEDIATE");
}

bool TRegistryDb::commit()
{
    return exec("COMMIT");
}

void TRegistryDb::rollback()
{
    if (inTransaction())
        exec("ROLLBACK");
}

bool TRegistryDb::keyExists(const QString &path)
{
    const QString key = regNormalisePath(path);
    if (!m_db)
        return false;
    if (key.isEmpty())
        return true;
    TStatement st(m_db, "SELECT 1 FROM regkeys WHERE path = ?1");
    return st.bind(1, key).step() == SQLITE_ROW;
}

bool TRegistryDb::createKey(const QString &path)
{
    const QString key = regNormalisePath(path);
    if (!m_db)
        return fail("createKey");
    if (keyExists(key))
        return true;
    TAtomic unit(*this);
    if (!unit.ok())
        return false;
    for (QString at = key; !at.isEmpty(); at = parentOf(at)) {
        const QString parent = parentOf(at);
        TStatement st(m_db, "INSERT OR IGNORE INTO regkeys(path, parent, name) VALUES(?1, ?2, ?3)");
        if (!st.bind(1, at)
                 .bind(2, parent)
                 .bind(3, at.mid(parent.isEmpty() ? 0 : parent.size() + 1))
                 .run())
            return fail("createKey");
    }
    return unit.commit() || fail("createKey");
}

bool TRegistryDb::deleteKeyTree(const QString &path)
{
    const QString key = regNormalisePath(path);
    if (!m_db)
        return m_missing; // no database: nothing to delete
    TAtomic unit(*this);
    if (!unit.ok())
        return false;
    if (key.isEmpty()) {
        if (!exec("DELETE FROM regvalues; DELETE FROM regkeys"))
            return false;
    } else {
        TStatement values(m_db, "DELETE FROM regvalues WHERE key = ?1 OR "
                                "substr(key, 1, length(?1) + 1) COLLATE NOCASE = ?1 || '\\'");
        TStatement keys(m_db, "DELETE FROM regkeys WHERE path = ?1 OR "
                              "substr(path, 1, length(?1) + 1) COLLATE NOCASE = ?1 || '\\'");
        if (!values.bind(1, key).run() || !keys.bind(1, key).run())
            return fail("deleteKeyTree");
    }
    return unit.commit() || fail("deleteKeyTree");
}

std::optional<QStringList> TRegistryDb::names(const char *sql, const QString &path)
{
    const QString key = regNormalisePath(path);
    if (!keyExists(key))
        return std::nullopt;
    TStatement st(m_db, sql);
    st.bind(1, key);
    QStringList names;
    while (st.step() == SQLITE_ROW)
        names << st.text(0);
    return names;
}

std::optional<QStringList> TRegistryDb::subKeyNames(const QString &path)
{
    return names("SELECT name FROM regkeys WHERE parent = ?1 ORDER BY name COLLATE NOCASE", path);
}

std::optional<QStringList> TRegistryDb::valueNames(const QString &path)
{
    return names("SELECT name FROM regvalues WHERE key = ?1 ORDER BY rowid", path);
}

bool TRegistryDb::setValue(const QString &path, const QString &name, const TRegValue &value)
{
    const QString key = regNormalisePath(path);
    if (!keyExists(key))
        return fail("setValue: no such key");
    TStatement st(m_db, "INSERT INTO regvalues(key, name, type, data) VALUES(?1, ?2, ?3, ?4) "
                        "ON CONFLICT(key, name) DO UPDATE SET type = excluded.type, "
                        "data = excluded.data");
    st.bind(1, key).bind(2, name).bind(3, qint64(value.type));
    // Strings are stored as text, readable with sqlite3, unless they hold half
    // a surrogate pair, which UTF-8 cannot carry: those keep their UTF-16 bytes.
    const auto text = value.toString();
    if (text && isWellFormedUtf16(*text))
        st.bind(4, *text);
    else if (const auto dword = value.toDword())
        st.bind(4, qint64(*dword));
    else
        st.bindBlob(4, value.data);
    return st.run() || fail("setValue");
}

std::optional<TRegValue> TRegistryDb::value(const QString &path, const QString &name)
{
    if (!m_db)
        return std::nullopt;
    TStatement st(m_db, "SELECT type, data FROM regvalues WHERE key = ?1 AND name = ?2");
    if (st.bind(1, regNormalisePath(path)).bind(2, name).step() != SQLITE_ROW)
        return std::nullopt;
    const auto type = quint32(st.integer(0));
    switch (st.columnType(1)) {
    case SQLITE_TEXT:
        return TRegValue::fromString(st.text(1), type);
    case SQLITE_INTEGER:
        return TRegValue{type, TRegValue::fromDword(quint32(st.integer(1))).data};
    default:
        return TRegValue::fromBinary(st.blob(1), type);
    }
}

bool TRegistryDb::deleteValue(const QString &path, const QString &name)
{
    if (!m_db)
        return fail("deleteValue");
    TStatement st(m_db, "DELETE FROM regvalues WHERE key = ?1 AND name = ?2");
    if (!st.bind(1, regNormalisePath(path)).bind(2, name).run())
        return fail("deleteValue");
    return sqlite3_changes(m_db) > 0;
}
