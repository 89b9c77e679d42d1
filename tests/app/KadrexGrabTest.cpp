// Grabs from the command line: the program opens a clip whose frames show
// their index, grabs, and the file it writes must hold the right frame at the
// right size, in the right format, under the right name.
#include "FrameIndex.h"
#include "MediaFixtures.h"
#include "TestSupport.h"
#include "capture/uJpegEncoder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

// indexed.mkv blown up to 720 x 576 shown as 16:9, every frame kept.
QString wideClip()
{
    static QTemporaryDir dir;
    const QString clip = dir.filePath("wide.mkv");
    if (!QFile::exists(clip))
        testsupport::runProgram("ffmpeg", {"-loglevel", "error", "-y", "-i",
                                           fixtures::mediaFixture("indexed.mkv"), "-an", "-vf",
                                           "scale=720:576,setdar=16/9", "-c:v", "libx264", "-g",
                                           "12", "-pix_fmt", "yuv420p", clip});
    return QFile::exists(clip) ? clip : QString();
}

int runKadrex(const QStringList &arguments, QString *output)
{
    static QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    return testsupport::runProgram(testsupport::buildBinDir() + "/kadrex", arguments, output,
                                   60000);
}

// The JPEG's quantisation table segments, which depend on the quality alone.
QByteArray quantisationTables(const QByteArray &jpeg)
{
    QByteArray tables;
    for (qsizetype i = 2; i + 4 < jpeg.size();) {
        const quint8 marker = quint8(jpeg[i + 1]);
        const int length = quint8(jpeg[i + 2]) << 8 | quint8(jpeg[i + 3]);
        if (marker == 0xDB)
            tables += jpeg.mid(i + 4, length - 2);
        if (marker == 0xDA)
            break;
        i += 2 + length;
    }
    return tables;
}

QByteArray tablesAtQuality(int quality)
{
    TJpegEncoder encoder;
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::gray);
    return encoder.Encode(image, quality, {}) ? quantisationTables(encoder.Data()) : QByteArray();
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct GrabLine {
    const char *what;
    QStringList switches; // between /o=clip /savfold=DIR and /quit
    const char *file;     // expected in DIR; nullptr: nothing written
    QSize size;
    int frame;
    int status;
    int quality = 0;               // the JPEG's quality, 0: not checked
    const char *fixture = nullptr; // grabbed from this clip instead of the wide one
};

} // namespace

TEST(KadrexGrab, CommandLinesWriteTheFrameOnScreen)
{
    const QString clip = wideClip();
    ASSERT_FALSE(clip.isEmpty());
    ASSERT_NE(tablesAtQuality(44), tablesAtQuality(50));
    const QStringList naming{"/root=g", "/addi=1", "/dig=3", "/ci=false"};
    const GrabLine lines[] = {
        {"16:9 JPEG, number", {"/iex=1", "/g"}, "g_001.jpg", {720, 405}, 0, 0, 50},
        {"forced 4:3", {"/iex=1", "/far=1", "/g"}, "g_001.jpg", {720, 540}, 0, 0},
        {"bitmap", {"/iex=0", "/g"}, "g_001.bmp", {720, 405}, 0, 0},
        {"quality 300 is 44", {"/iex=1", "/qual=300", "/g"}, "g_001.jpg", {720, 405}, 0, 0, 44},
        {"time stamp of the frame shown",
         {"/iex=1", "/addi=0", "/pos=0:00:01:23", "/g"},
         "g_0.00.01.23.jpg",
         {720, 405},
         48,
         0},
        // The first frame at 21 ms (AAC priming) still counts as frame 0.
        {"time stamp, MKV whose video starts late",
         {"/iex=0", "/addi=0", "/pos=0:00:01:23", "/g"},
         "g_0.00.01.23.bmp",
         {320, 240},
         48,
         0,
         0,
         "indexed_aac.mkv"},
        // The failed grab leaves the number alone: the next one is still 001.
        {"missing folder, then a good one",
         {"/iex=1", "/savfold=MISSING", "/g", "/savfold=DIR", "/g"},
         "g_001.jpg",
         {720, 405},
         0,
         1},
    };
    for (const GrabLine &line : lines) {
        SCOPED_TRACE(line.what);
        QTemporaryDir dir;
        const QString missing = dir.filePath("missing");
        const QString from = line.fixture ? fixtures::mediaFixture(line.fixture) : clip;
        ASSERT_FALSE(from.isEmpty());
        QStringList arguments{"/o=" + from, "/savfold=" + dir.path()};
        arguments << naming;
        for (QString s : line.switches)
            arguments << s.replace("MISSING", missing).replace("DIR", dir.path());
        arguments << "/quit";
        QString output;
        EXPECT_EQ(runKadrex(arguments, &output), line.status) << output.toStdString();
        const QStringList written = QDir(dir.path()).entryList(QDir::Files);
        ASSERT_EQ(written, QStringList{line.file}) << output.toStdString();
        const QString path = dir.filePath(line.file);
        const QImage image(path);
        EXPECT_EQ(image.size(), line.size);
        EXPECT_EQ(fixtures::frameIndexOf(image), line.frame);
        const QByteArray data = readAll(path);
        if (QString(line.file).endsWith(".bmp")) {
            EXPECT_EQ(qFromLittleEndian<quint16>(data.constData() + 28), 24);
        }
        if (line.quality) {
            EXPECT_EQ(quantisationTables(data), tablesAtQuality(line.quality));
        }
        if (line.status) {
            EXPECT_TRUE(output.contains(missing + "/g_001.jpg: No such file or directory"))
                << output.toStdString();
        }
        EXPECT_FALSE(QDir(missing).exists());
    }
}
