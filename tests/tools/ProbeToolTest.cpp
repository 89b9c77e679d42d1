// kadrex-probe as a user runs it: its lines, its exit status and its reasons.
#include "MediaFixtures.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace
{

struct TRun {
    int status = -1;
    QString out, err;
};

TRun probe(const QStringList &files)
{
    QProcess process;
    process.start(testsupport::buildBinDir() + "/kadrex-probe", files);
    TRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

TEST(ProbeTool, PrintsResolutionsAndTypes)
{
    const QString ps = fixtures::mediaFixture("mpeg2_ps.mpg");
    const QString mkv = fixtures::mediaFixture("mkv_h264_ntsc.mkv");
    QTemporaryDir dir;
    const QString upper = dir.filePath("CLIP.MKV");
    ASSERT_TRUE(QFile::copy(mkv, upper));
    const TRun run = probe({ps, upper});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty());
    for (const QString &line :
         {"file: " + ps, QString("device: usable"), QString("source: LAV Splitter Source"),
          "video 0: " + ps, QString("  resolution: 720x576 - 25 fps"),
          QString("  description: MPEG2"), "file: " + upper,
          QString("  resolution: 320x240 - 29.97 fps"),
          QString("  type: {73646976-0000-0010-8000-00AA00389B71} "
                  "{31435641-0000-0010-8000-00AA00389B71} "
                  "{E06D80E3-DB46-11CF-B4D1-00804F9B5B7E}"),
          "audio 0: " + upper, QString("  format name: MPEG")})
        EXPECT_TRUE(run.out.contains(line + "\n")) << line.toStdString() << "\n"
                                                   << run.out.toStdString();
}

TEST(ProbeTool, UnusableFilesFailWithAReason)
{
    const QString random = fixtures::mediaFixture("random.avi");
    QTemporaryDir dir;
    const QString text = dir.filePath("notes.txt");
    QFile(text).open(QIODevice::WriteOnly);
    const TRun run = probe({random, text, fixtures::mediaFixture("sine.wav")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.contains("file: " + random + "\ndevice: unusable\n"))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("device: none (extension not handled)\n"));
    EXPECT_TRUE(run.out.contains("source: File Source (Async.), splitter: Wave Parser\n"));
    const QStringList reasons = run.err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(reasons.size(), 2) << run.err.toStdString();
    EXPECT_TRUE(reasons[0].startsWith(random + ": "));
    EXPECT_TRUE(reasons[1].startsWith(text + ": "));
}

} // namespace
