// The program itself, run as a batch tool without a screen.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTemporaryDir>

namespace {

// Runs kadrex with a private settings folder, so no run touches the user's.
int runKadrex(const QStringList &arguments, QString *output)
{
    static QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    return testsupport::runProgram(testsupport::buildBinDir() + "/kadrex", arguments, output,
                                   30000);
}

} // namespace

TEST(KadrexCommandLine, RunsSwitchesAndQuits)
{
    const QStringList lines[] = {
        {"/p1=a=b", "/ci", "/quit"},
        {"/nosuch=1", "clip.avi", "+alsonot", "/dig=5", "/quit"}, // unknown ones are dropped
    };
    for (const QStringList &arguments : lines) {
        QString output;
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(runKadrex(arguments, &output), 0) << output.toStdString();
        EXPECT_LT(timer.elapsed(), 20000);
    }
}
