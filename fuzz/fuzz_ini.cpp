// The ini file as the preference store reads it: every section, every value
// in every typed form.
#include "FuzzSupport.h"
#include "prefs/uIniPreferences.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

void readAll(TIniPreferencesMan &ini, int depth)
{
    QStringList values, keys;
    ini.GetValueNames(values);
    for (const QString &name : values) {
        QString text;
        bool flag = false;
        qint32 number = 0;
        double real = 0;
        ini.ReadString(name, text);
        ini.ReadBool(name, flag);
        ini.ReadInteger(name, number);
        ini.ReadFloat(name, real);
    }
    if (depth == 0 || !ini.GetKeyNames(keys))
        return;
    const QString here = ini.CurrentPath();
    for (const QString &key : keys) {
        if (ini.OpenKey(key, false))
            readAll(ini, depth - 1);
        ini.OpenRoot();
        if (!here.isEmpty())
            ini.OpenKey(here, false);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Kadrex.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    TIniPreferencesMan ini(path);
    readAll(ini, 3);
    return 0;
}
