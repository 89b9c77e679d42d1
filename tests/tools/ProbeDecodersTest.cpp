// kadrex-probe's decoder lines and its frames through the real video chain.
#include "MediaFixtures.h"
#include "TestSupport.h"

#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

QString probe(const QStringList &arguments)
{
    QProcess process;
    process.start(testsupport::buildBinDir() + "/kadrex-probe", arguments);
    if (!process.waitForFinished(90000)) {
        process.kill();
        process.waitForFinished();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The report of one file, cut into its stream blocks ("video 0: ...", "audio 0: ...").
QStringList streamBlocks(const QString &report)
{
    QStringList blocks;
    for (const QString &line : report.split('\n')) {
        if (line.startsWith("video ") || line.startsWith("audio "))
            blocks << line + '\n';
        else if (line.startsWith("  ") && !blocks.isEmpty())
            blocks.last() += line + '\n';
    }
    return blocks;
}

QStringList decodersOf(const QString &block)
{
    const auto m = QRegularExpression("\n  decoders: ([^\n]*)\n").match(block);
    return m.hasMatch() ? m.captured(1).split(", ") : QStringList();
}

const QStringList kFiles = {"indexed.mp4",       "indexed.mov",  "indexed.mkv",
                            "indexed_mjpeg.avi", "indexed.mpg",  "indexed.ts",
                            "indexed.wmv",       "indexed.dv",   "indexed_dv_type1.avi",
                            "dv_type2.avi",      "mpeg2_ac3.mpg"};

TEST(ProbeDecoders, EveryStreamShowsItsDecoderAndTheCycle)
{
    QStringList paths;
    for (const QString &name : kFiles)
        paths << fixtures::mediaFixture(name);
    const QStringList reports = probe(paths).split("\nfile: ");
    ASSERT_EQ(reports.size(), kFiles.size());
    for (int i = 0; i < kFiles.size(); ++i) {
        SCOPED_TRACE(kFiles[i].toStdString());
        const QStringList blocks = streamBlocks(reports[i]);
        EXPECT_GE(blocks.size(), 2) << reports[i].toStdString();
        for (const QString &block : blocks) {
            const auto used = QRegularExpression("\n  decoder: ([^\n]*)\n").match(block);
            ASSERT_TRUE(used.hasMatch()) << block.toStdString();
            EXPECT_NE(used.captured(1), "none") << block.toStdString();
            EXPECT_EQ(decodersOf(block).value(0), used.captured(1)) << "the one in use first";
        }
        // Where more than one decoder is installed, the cycle lists them all.
        const QString first = blocks.value(0), audio = blocks.value(1);
        if (kFiles[i] == "indexed_mjpeg.avi" || kFiles[i].contains("dv")) {
            EXPECT_GE(decodersOf(first).size(), 2) << first.toStdString();
        }
        if (kFiles[i] == "mpeg2_ac3.mpg") {
            EXPECT_GE(decodersOf(audio).size(), 3) << audio.toStdString();
        }
    }
}

// "h:mm:ss:ff" at 25 fps as a frame count.
int framesOf(const QString &position)
{
    const QStringList p = position.split(':');
    return p.size() == 4
               ? ((p[0].toInt() * 60 + p[1].toInt()) * 60 + p[2].toInt()) * 25 + p[3].toInt()
               : -1;
}

TEST(ProbeDecoders, FramesComeDecodedInDisplayOrderFromTheFirstFrame)
{
    QStringList arguments{"--frames", "12"};
    // The MPEG program stream restarts its parser after the decoder's first
    // preroll: its B-frames must keep coming without made-up time stamps.
    for (const QString &name : kFiles)
        if (name.startsWith("indexed"))
            arguments << fixtures::mediaFixture(name);
    const QStringList reports = probe(arguments).split("\nfile: ");
    ASSERT_EQ(reports.size(), arguments.size() - 2);
    static const QRegularExpression frameLine("\nframe (\\d+): position (\\S+) ");
    for (const QString &report : reports) {
        QList<int> positions;
        for (auto it = frameLine.globalMatch(report); it.hasNext();)
            positions << framesOf(it.next().captured(2));
        SCOPED_TRACE(report.section('\n', 0, 0).toStdString());
        ASSERT_EQ(positions.size(), 12) << report.toStdString();
        // Decoded frames in display order, placed from the file's first frame
        // whatever the demuxer's time base: frame k at k frame durations.
        for (int k = 0; k < positions.size(); ++k)
            EXPECT_EQ(positions[k], k) << report.toStdString();
    }
}

} // namespace
