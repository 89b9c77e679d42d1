#pragma once
// Test stand-ins for the two outside parties of the action framework: an
// in-memory preference store and a script host that records declarations.

#include "actions/uActionStore.h"
#include "actions/uScriptHost.h"

#include <QMap>
#include <QRegularExpression>
#include <QVariant>

#include <stdexcept>

class MemoryStore : public TActionStore
{
public:
    QMap<QString, QVariant> values;
    QString failOn; // a name whose read or write throws

    template <typename T> T read(const QString &name, const T &def)
    {
        check(name);
        return values.contains(name) ? values[name].value<T>() : def;
    }
    template <typename T> bool write(const QString &name, const T &value)
    {
        check(name);
        values[name] = QVariant::fromValue(value);
        return true;
    }

    bool ReadBool(const QString &n, bool d) override { return read(n, d); }
    qint32 ReadInteger(const QString &n, qint32 d) override { return read(n, d); }
    double ReadFloat(const QString &n, double d) override { return read(n, d); }
    QString ReadString(const QString &n, const QString &d) override { return read(n, d); }
    QPoint ReadPoint(const QString &n, QPoint d) override { return read(n, d); }
    TNvRect ReadRect(const QString &n, const TNvRect &d) override
    {
        check(n);
        const QVariantList v = values.value(n).toList();
        return v.size() == 4 ? TNvRect{v[0].toInt(), v[1].toInt(), v[2].toInt(), v[3].toInt()} : d;
    }
    void ReadFont(const QString &n, const TNvFont &d, TNvFont &value) override
    {
        check(n);
        value = d;
        if (values.contains(n))
            value.name = values[n].toString();
    }
    bool WriteBool(const QString &n, bool v) override { return write(n, v); }
    bool WriteInteger(const QString &n, qint32 v) override { return write(n, v); }
    bool WriteFloat(const QString &n, double v) override { return write(n, v); }
    bool WriteString(const QString &n, const QString &v) override { return write(n, v); }
    bool WritePoint(const QString &n, QPoint v) override { return write(n, v); }
    bool WriteRect(const QString &n, const TNvRect &v) override
    {
        return write(n, QVariantList{v.left, v.top, v.right, v.bottom});
    }
    bool WriteFont(const QString &n, const TNvFont &v) override { return write(n, v.name); }

private:
    void check(const QString &name) const
    {
        if (name == failOn)
            throw std::runtime_error("store failure");
    }
};

class RecordingHost : public TScriptHost
{
public:
    QStringList declarations;
    QMap<QString, TProcedure> procedures; // by declared name

    bool DeclareProcedure(const QString &declaration, TProcedure proc) override
    {
        // "procedure Name(...)" or "procedure Name;": an empty name is rejected.
        const QString rest = declaration.mid(QStringLiteral("procedure ").size());
        const QString name = rest.left(rest.indexOf(QRegularExpression(QStringLiteral("[(;]"))));
        if (name.isEmpty())
            return false;
        declarations << declaration;
        procedures[name] = std::move(proc);
        return true;
    }
    void Compile()
    {
        declarations.clear();
        if (OnCompile)
            OnCompile(this);
    }
};
