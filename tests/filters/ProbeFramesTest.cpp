#include "DVFixtures.h"
#include "MediaFixtures.h"
#include "TestSupport.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString probe(const QString &path, int frames)
{
    QString text;
    const int code = testsupport::runProgram(testsupport::buildBinDir() + "/kadrex-probe",
                                             {"--frames", QString::number(frames), path}, &text);
    EXPECT_EQ(code, 0) << text.toStdString();
    return text;
}

void expectDVFrames(const QString &path, const QString &formatEnd, const QString &audioLine)
{
    const QStringList lines = probe(path, 3).split('\n', Qt::SkipEmptyParts);
    const QStringList frames = lines.filter(QRegularExpression("^frame "));
    ASSERT_EQ(frames.size(), 3) << lines.join('\n').toStdString();
    for (int k = 0; k < 3; ++k) {
        EXPECT_TRUE(
            frames[k].startsWith(QStringLiteral("frame %1: position 0:00:00:0%1 date ").arg(k)))
            << frames[k].toStdString();
        EXPECT_TRUE(frames[k].endsWith(QStringLiteral(" timecode 10:00:00:0%1").arg(k)))
            << frames[k].toStdString();
        EXPECT_TRUE(frames[k].contains("2004")) << frames[k].toStdString();
        EXPECT_TRUE(frames[k].contains("10:20")) << frames[k].toStdString();
    }
    const QStringList video = lines.filter(QRegularExpression("^video format: "));
    ASSERT_FALSE(video.isEmpty());
    EXPECT_TRUE(video.last().endsWith(formatEnd)) << video.last().toStdString();
    const QStringList audio = lines.filter(QRegularExpression("^audio format: "));
    ASSERT_FALSE(audio.isEmpty());
    EXPECT_EQ(audio.last(), audioLine);
}

TEST(KadrexProbeFrames, PrintsDVCodesPerFrameAndFormats)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("wide.dv");
    dvfixtures::DVFileOptions options;
    options.wide = true;
    ASSERT_TRUE(dvfixtures::makeDVFile(path, options));
    expectDVFrames(path, QStringLiteral("(16x9) - 720x576 - 25 fps"),
                   QStringLiteral("audio format: PCM 48000Hz 16bits  stereo"));

    // The same recording as interleaved DV: the DV notifier in front of the
    // DV splitter reads the codes.
    const QString avi = dir.filePath("type1.avi");
    ASSERT_TRUE(fixtures::writeType1DvAvi(path, avi));
    expectDVFrames(avi, QStringLiteral("DV type1 Pal  (16x9)  - 720x576 - 25 fps"),
                   QStringLiteral("audio format: DV 48000Hz 16bits stereo"));
}

} // namespace
