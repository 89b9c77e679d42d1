#include "TestSupport.h"

#include <QCoreApplication>
#include <QProcess>

namespace testsupport {

int runProgram(const QString &program, const QStringList &arguments, QString *output, int timeoutMs)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        return -1;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        return -1;
    }
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QString buildBinDir()
{
    return QStringLiteral(KADREX_BIN_DIR);
}

} // namespace testsupport
