#pragma once
// Helpers shared by the tests.

#include <QString>
#include <QStringList>

#include <sys/resource.h>

#include <functional>

namespace testsupport {

// Runs a program to completion (stdout and stderr merged into *output when
// given); returns its exit code, or -1 when it could not start or timed out.
int runProgram(const QString &program, const QStringList &arguments, QString *output = nullptr,
               int timeoutMs = 120000);

// Runs the program under test with a settings folder of this test process
// (empty at first), so that no stored setting of the user leaks in.
int runKadrex(const QStringList &arguments, QString *output = nullptr, int timeoutMs = 60000);

// Handles events until done() holds or ms have passed; returns done().
bool waitFor(const std::function<bool()> &done, int ms = 5000);

// Folder of the test executable's build tree, where the programs under test live.
QString buildBinDir();

// While it lives, files may grow to `bytes` at most: a write past it fails
// half-way, as on a full disk (it binds even root).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

} // namespace testsupport
