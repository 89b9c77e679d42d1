#include "DVFixtures.h"
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

TEST(KadrexProbeFrames, PrintsDVCodesPerFrameAndFormats)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("wide.dv");
    dvfixtures::DVFileOptions options;
    options.wide = true;
    ASSERT_TRUE(dvfixtures::makeDVFile(path, options));

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
    EXPECT_TRUE(video.last().contains(QStringLiteral("(16x9) - 720x576")))
        << video.last().toStdString();
    const QStringList audio = lines.filter(QRegularExpression("^audio format: "));
    ASSERT_FALSE(audio.isEmpty());
    EXPECT_EQ(audio.last(), QStringLiteral("audio format: PCM 48000Hz 16bits  stereo"));
}

} // namespace
