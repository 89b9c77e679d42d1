#include "uPreferencesMan.h"

namespace prefspath {

QString child(const QString &path, const QString &name)
{
    return path.isEmpty() ? name : path + QLatin1Char('\\') + name;
}

QString parent(const QString &path)
{
    const qsizetype cut = path.lastIndexOf(QLatin1Char('\\'));
    return cut < 0 ? QString() : path.left(cut);
}

} // namespace prefspath
