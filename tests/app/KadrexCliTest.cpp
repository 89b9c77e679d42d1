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
    struct Line {
        QStringList arguments;
        int status;
    };
    const Line lines[] = {
        {{"/p1=a=b", "/ci", "/quit"}, 0},
        {{"/quit"}, 0},
        // A bare argument, like a switch of no known name, goes to the file
        // opener: a file that is not there fails the run, the rest still runs.
        {{"/nosuch=1", "clip.avi", "+alsonot", "/dig=5", "/quit"}, 1},
    };
    for (const Line &line : lines) {
        QString output;
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(runKadrex(line.arguments, &output), line.status) << output.toStdString();
        EXPECT_LT(timer.elapsed(), 20000);
    }
}
