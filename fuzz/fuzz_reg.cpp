// .reg files imported into the per-user key tree, in any of their encodings.
#include "FuzzSupport.h"
#include "prefs/uRegImport.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.reg"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    TRegistryDb db(QStringLiteral(":memory:"));
    if (!db.isOpen())
        return 0;
    const TRegImportReport report = regImportFile(db, path);
    FUZZ_CHECK(report.keys >= 0 && report.values >= 0 && report.deletions >= 0);
    return 0;
}
