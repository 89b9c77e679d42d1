// kadrex-probe demuxes each file with one demuxer instance: the streams found
// when the file is probed are kept and reused, the demuxer that found them
// is the one that plays, and discovery holds the data once it knows enough.
#include "MediaFixtures.h"
#include "TestSupport.h"

#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// How many elements of each demuxer factory one run of the tool created.
QMap<QString, int> demuxersCreated(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("GST_DEBUG"), QStringLiteral("GST_ELEMENT_FACTORY:4"));
    env.insert(QStringLiteral("GST_DEBUG_NO_COLOR"), QStringLiteral("1"));
    process.setProcessEnvironment(env);
    process.start(testsupport::buildBinDir() + "/kadrex-probe", arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().right(400).toStdString();
    const QString log = QString::fromUtf8(process.readAllStandardError());
    QMap<QString, int> counts;
    static const QRegularExpression created(QStringLiteral("creating element \"(\\w+demux)\""));
    for (auto it = created.globalMatch(log); it.hasNext();)
        ++counts[it.next().captured(1)];
    return counts;
}

TEST(ProbeDiscovery, OneDemuxerInstancePerFile)
{
    const QString mp4 = fixtures::mediaFixture(QStringLiteral("mp4_h264.mp4"));
    const QString dv1 = fixtures::mediaFixture(QStringLiteral("dv_type1.avi"));
    using TCounts = QMap<QString, int>;
    EXPECT_EQ(demuxersCreated({mp4}), (TCounts{{QStringLiteral("qtdemux"), 1}}));
    const TCounts type1 = {{QStringLiteral("avidemux"), 1}, {QStringLiteral("dvdemux"), 1}};
    EXPECT_EQ(demuxersCreated({dv1}), type1);
    const TCounts withFrames =
        demuxersCreated({QStringLiteral("--frames"), QStringLiteral("3"), dv1});
    EXPECT_LE(withFrames.value(QStringLiteral("avidemux")), 2);
    EXPECT_LE(withFrames.value(QStringLiteral("dvdemux")), 2);
}

} // namespace
