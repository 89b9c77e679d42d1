#pragma once
// Helpers shared by the tests.

#include <QString>
#include <QStringList>

namespace testsupport {

// Runs a program to completion (stdout and stderr merged into *output when
// given); returns its exit code, or -1 when it could not start or timed out.
int runProgram(const QString &program, const QStringList &arguments, QString *output = nullptr,
               int timeoutMs = 120000);

// Folder of the test executable's build tree, where the programs under test live.
QString buildBinDir();

} // namespace testsupport
