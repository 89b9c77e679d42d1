// The intervalometer from the command line: every 25th frame of a 10 s clip,
// each image the exact frame by its picture, one progress line per image,
// and the run over before /quit.
#include "FrameIndex.h"
#include "MediaFixtures.h"
#include "TestSupport.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class KadrexIntervallo : public ::testing::TestWithParam<const char *>
{
};

TEST_P(KadrexIntervallo, SavesEveryTwentyFifthFrameExactly)
{
    const QString clip = fixtures::mediaFixture(GetParam());
    ASSERT_FALSE(clip.isEmpty());
    QTemporaryDir config, out;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QString output;
    const int code =
        testsupport::runProgram(testsupport::buildBinDir() + "/kadrex",
                                {"/o=" + clip, "/savfold=" + out.path(), "/addi=1", "/iex=1",
                                 "/ci=false", "/idelai=25", "/iunit=0", "/inter", "/quit"},
                                &output, 120000);
    EXPECT_EQ(code, 0) << qPrintable(output);
    const QStringList images = QDir(out.path()).entryList({"*.jpg"}, QDir::Files, QDir::Name);
    const int frames = fixtures::kLongIndexedFrames;
    // The count follows the duration the container states: a transport
    // stream's estimate may fall short of the last target at the end.
    ASSERT_GE(images.size(), frames / 25) << qPrintable(output);
    ASSERT_LE(images.size(), frames / 25 + 1) << qPrintable(output);
    for (int a = 0; a < images.size(); ++a) {
        // The last target is the end of the video: two frames before it.
        const int want = a * 25 >= frames - 1 ? frames - 2 : a * 25;
        EXPECT_EQ(fixtures::frameIndexOf(QImage(out.filePath(images[a]))), want) << a;
    }
    EXPECT_EQ(output.count("intervalometer:"), images.size());
    EXPECT_TRUE(output.contains("0 left"));
}

INSTANTIATE_TEST_SUITE_P(Clips, KadrexIntervallo,
                         ::testing::Values("indexed_long.mp4", "indexed_long.mkv",
                                           "indexed_long.ts"));

} // namespace
