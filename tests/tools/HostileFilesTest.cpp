// Damaged and hostile files as kadrex-probe meets them: each ends, within the
// probing budget, either playable (exit 0, frames come out) or refused with
// one clear line (exit 1) - never a crash or a stall.
#include "MediaFixtures.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kRunLimitMs = 20'000;
constexpr qsizetype kPalFrame = 144'000, kHostileOffset = 4326;

struct TRun {
    bool finished = false, crashed = false;
    int status = -1;
    QString out, err;
};

TRun runTool(const QString &name, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    static QTemporaryDir config; // no run touches the user's settings
    env.insert("XDG_CONFIG_HOME", config.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    process.start(testsupport::buildBinDir() + "/" + name, arguments);
    TRun run;
    run.finished = process.waitForFinished(kRunLimitMs);
    if (!run.finished) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.crashed = process.exitStatus() != QProcess::NormalExit;
    run.status = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

TRun probe(const QStringList &arguments)
{
    return runTool("kadrex-probe", arguments);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The one-byte change in the audio source pack of every PAL frame: it flips
// the 50/60 flag and the audio type (0xE0 -> 0xD7).
QString hostileDV(const QDir &dir)
{
    QByteArray dv = readAll(fixtures::mediaFixture("dv_pal.dv"));
    for (qsizetype at = kHostileOffset; at < dv.size(); at += kPalFrame) {
        if (quint8(dv[at]) != 0xE0)
            return {}; // not the pack this case changes
        dv[at] = char(0xD7);
    }
    const QString path = dir.filePath("changed.dv");
    return dv.size() >= kPalFrame && writeAll(path, dv) ? path : QString();
}

QString hostileType1Avi(const QDir &dir)
{
    const QString raw = hostileDV(dir), avi = dir.filePath("changed_type1.avi");
    return !raw.isEmpty() && fixtures::writeType1DvAvi(raw, avi) ? avi : QString();
}

QString fifo(const QDir &dir)
{
    const QString path = dir.filePath("x.mp4");
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0 ? path : QString();
}

// The video stream format's height (a BITMAPINFOHEADER's biHeight) set to INT_MIN.
QString intMinHeightAvi(const QDir &dir)
{
    QByteArray avi = readAll(fixtures::mediaFixture("avi_mjpeg_pcm.avi"));
    const qsizetype strf = avi.indexOf("strf");
    if (strf < 0 || strf + 20 > avi.size() ||
        qFromLittleEndian<quint32>(avi.data() + strf + 8) != 40)
        return {}; // not the video stream's bitmap header
    qToLittleEndian<qint32>(std::numeric_limits<qint32>::min(), avi.data() + strf + 16);
    const QString path = dir.filePath("int_min_height.avi");
    return writeAll(path, avi) ? path : QString();
}

// Audio that starts 3 s after the video, placed there by an edit list.
QString lateAudioMov(const QDir &dir)
{
    const QString path = dir.filePath("late_audio.mov");
    const QStringList args =
        QStringLiteral("-v error -y -f lavfi -i testsrc=size=320x240:rate=25:duration=6 "
                       "-itsoffset 3 -f lavfi -i sine=r=48000:duration=3 -map 0:v -map 1:a "
                       "-c:v libx264 -g 12 -c:a aac -use_editlist 1")
            .split(u' ')
        << path;
    return testsupport::runProgram("ffmpeg", args) == 0 ? path : QString();
}

enum TOutcome { playable, refused };

struct THostileCase {
    const char *name;
    std::function<QString(const QDir &)> make;
    TOutcome outcome;         // of kadrex-probe FILE
    TOutcome playOutcome;     // of playing it: kadrex-probe --frames, kadrex /o=FILE
    const char *refusal = ""; // part of the one line, when every run refuses
};

void PrintTo(const THostileCase &c, std::ostream *os)
{
    *os << c.name;
}

class HostileFiles : public ::testing::TestWithParam<THostileCase>
{
};

void expectEnds(const TRun &run, TOutcome outcome)
{
    ASSERT_TRUE(run.finished) << "stalled";
    ASSERT_FALSE(run.crashed) << "crashed\n" << run.err.toStdString();
    ASSERT_TRUE(run.status == 0 || run.status == 1) << run.status;
    EXPECT_EQ(run.status, outcome == playable ? 0 : 1) << run.err.toStdString();
}

// The lines of standard error that say why, without the decoder library's
// notes ("# no audio" for a frame whose audio was blanked) and the program's
// standing notes of a run without a screen.
QStringList reasonLines(const TRun &run)
{
    QStringList lines = run.err.split('\n', Qt::SkipEmptyParts);
    lines.removeIf([](const QString &line) {
        return line.startsWith("# ") || line.startsWith("QStandardPaths: ") ||
               line.contains("no screen to ask where to save the preferences");
    });
    return lines;
}

void expectProbeEnds(const TRun &run, const QString &path, const THostileCase &c, bool frames)
{
    const TOutcome outcome = frames ? c.playOutcome : c.outcome;
    expectEnds(run, outcome);
    EXPECT_FALSE(run.out.contains(QRegularExpression("\\d+x-\\d+"))) << "a negative size shown";
    if (run.status == 0) {
        EXPECT_TRUE(run.out.contains("device: usable\n"));
        if (frames) {
            EXPECT_TRUE(run.out.contains("\nframe 0: ")) << run.out.toStdString();
        }
        return;
    }
    const QStringList lines = reasonLines(run);
    ASSERT_EQ(lines.size(), 1) << run.err.toStdString();
    EXPECT_TRUE(lines[0].startsWith(path + ": ")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains(QString::fromUtf8(c.refusal))) << lines[0].toStdString();
}

TEST_P(HostileFiles, EndPlayableOrWithOneClearLine)
{
    const THostileCase &c = GetParam();
    QTemporaryDir dir;
    const QString path = c.make(QDir(dir.path()));
    ASSERT_FALSE(path.isEmpty()) << "fixture not made";
    {
        SCOPED_TRACE("kadrex-probe FILE");
        expectProbeEnds(probe({path}), path, c, false);
    }
    {
        SCOPED_TRACE("kadrex-probe --frames 30 FILE");
        expectProbeEnds(probe({"--frames", "30", path}), path, c, true);
    }
    {
        SCOPED_TRACE("kadrex /o=FILE /quit");
        const TRun run = runTool("kadrex", {"/o=" + path, "/quit"});
        expectEnds(run, c.playOutcome);
        const QStringList lines = reasonLines(run);
        if (run.status == 1) {
            ASSERT_EQ(lines.size(), 1) << run.err.toStdString();
            EXPECT_TRUE(lines[0].contains(path + ": ")) << lines[0].toStdString();
            EXPECT_TRUE(lines[0].contains(QString::fromUtf8(c.refusal))) << lines[0].toStdString();
        } else {
            EXPECT_TRUE(lines.isEmpty()) << run.err.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileFiles,
    ::testing::Values(THostileCase{"raw_dv_changed_byte", hostileDV, playable, playable},
                      THostileCase{"type1_avi_changed_byte", hostileType1Avi, playable, playable},
                      THostileCase{"fifo_named_mp4", fifo, refused, refused, "named pipe"},
                      // Its header reads (height unknown), but no decoded frame comes.
                      THostileCase{"avi_int_min_height", intMinHeightAvi, playable, refused},
                      THostileCase{"mov_late_audio", lateAudioMov, playable, playable}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(HostileFiles, ReasonsAndNamesKeepToOneLineEach)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("clip.mp4");
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString odd = dir.filePath("two\nlines.dv");
    ASSERT_TRUE(QFile::copy(fixtures::mediaFixture("dv_pal.dv"), odd));
    const QString wav = fixtures::mediaFixture("sine.wav");
    // The same file twice: the second run meets the elements the first left in the cache.
    const TRun run = probe({"--frames", "3", folder, odd, odd, wav});
    ASSERT_TRUE(run.finished && !run.crashed);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, folder + ": is a folder, not a file\n" + wav + ": no video to play\n");
    const QString shown = QString(odd).replace("\n", "\\n");
    EXPECT_EQ(run.out.count("file: " + shown + "\n"), 2) << run.out.toStdString();
    EXPECT_EQ(run.out.count("\nframe 2: "), 2);
}

} // namespace
