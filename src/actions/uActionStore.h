#pragma once
// What a typed action needs of the preference store: typed reads and writes
// keyed by the action's ScriptName within the store's current section.
// A read returns the default when nothing is stored or the store is off; a
// write returns whether it stored. Backends may throw; actions catch.

#include "uActionTypes.h"

class TActionStore
{
public:
    virtual ~TActionStore() = default;

    virtual bool ReadBool(const QString &name, bool def) = 0;
    virtual qint32 ReadInteger(const QString &name, qint32 def) = 0;
    virtual double ReadFloat(const QString &name, double def) = 0;
    virtual QString ReadString(const QString &name, const QString &def) = 0;
    virtual QPoint ReadPoint(const QString &name, QPoint def) = 0;
    virtual TNvRect ReadRect(const QString &name, const TNvRect &def) = 0;
    // Fills value, or copies def into it when the read fails.
    virtual void ReadFont(const QString &name, const TNvFont &def, TNvFont &value) = 0;

    virtual bool WriteBool(const QString &name, bool value) = 0;
    virtual bool WriteInteger(const QString &name, qint32 value) = 0;
    virtual bool WriteFloat(const QString &name, double value) = 0;
    virtual bool WriteString(const QString &name, const QString &value) = 0;
    virtual bool WritePoint(const QString &name, QPoint value) = 0;
    virtual bool WriteRect(const QString &name, const TNvRect &value) = 0;
    virtual bool WriteFont(const QString &name, const TNvFont &value) = 0;
};
