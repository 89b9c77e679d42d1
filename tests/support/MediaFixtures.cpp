#include "MediaFixtures.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

namespace fixtures {

namespace {

const QStringList kTestSrc320 = {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=1"};
const QStringList kSine = {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=48000:duration=1"};

// Ten seconds of small indexed frames, a key frame every 50: indexed_long.mp4,
// indexed_long.mkv, indexed_long.ts.
QStringList longIndexedArgs(const QString &name)
{
    const QStringList video = {"-f", "lavfi", "-i",
                               IndexedLavfiSource("160x120", kLongIndexedFrames)};
    const QStringList codec =
        name.endsWith(".ts")
            ? QStringList{"-c:v", "mpeg2video", "-q:v", "2", "-g", "50", "-bf", "2", "-f", "mpegts"}
            : QStringList{"-c:v", "libx264", "-preset",  "veryfast",
                          "-g",   "50",      "-pix_fmt", "yuv420p"};
    return video + codec;
}

QStringList indexedArgs(const QString &name)
{
    if (name.startsWith(QLatin1String("indexed_long")))
        return longIndexedArgs(name);
    const bool big = name == "indexed.mpg" || name == "indexed.ts" || name == "indexed.dv";
    const QStringList video = {"-f", "lavfi", "-i",
                               IndexedLavfiSource(big ? "720x576" : "320x240", kIndexedFrames)};
    const QStringList audio = {"-f", "lavfi", "-i",
                               "sine=frequency=440:sample_rate=48000:duration=2"};
    const QStringList h264 = {"-c:v", "libx264",  "-preset", "veryfast", "-g",
                              "12",   "-pix_fmt", "yuv420p", "-shortest"};
    const QStringList mpeg2 = {"-c:v", "mpeg2video", "-q:v", "2",   "-g",       "12",
                               "-bf",  "2",          "-c:a", "mp2", "-shortest"};
    if (name == "indexed.mp4" || name == "indexed.mov")
        return video + audio + h264 + QStringList{"-c:a", "aac"};
    if (name == "indexed.mkv")
        return video + audio + h264 + QStringList{"-c:a", "libvorbis"};
    if (name == "indexed_aac.mkv") // AAC priming puts the first frame at 21 ms
        return video + audio + h264 + QStringList{"-c:a", "aac"};
    if (name == "indexed_mjpeg.avi")
        return video + audio +
               QStringList{"-c:v", "mjpeg", "-q:v", "3", "-c:a", "pcm_s16le", "-shortest"};
    if (name == "indexed.mpg")
        return video + audio + mpeg2 + QStringList{"-f", "vob"};
    if (name == "indexed.ts")
        return video + audio + mpeg2 + QStringList{"-f", "mpegts"};
    if (name == "indexed.wmv")
        return video + audio + QStringList{"-c:v", "wmv2",  "-q:v",      "2",  "-g", "12",
                                           "-c:a", "wmav2", "-shortest", "-f", "asf"};
    if (name == "indexed.dv")
        return video + audio +
               QStringList{"-c:v",  "dvvideo", "-pix_fmt",  "yuv420p",   "-ac", "2", "-ar",
                           "48000", "-c:a",    "pcm_s16le", "-shortest", "-f",  "dv"};
    return {};
}

QStringList ffmpegArgs(const QString &name)
{
    if (name.startsWith(QLatin1String("indexed")))
        return indexedArgs(name);
    if (name == "avi_mjpeg_pcm.avi")
        return kTestSrc320 + kSine + QStringList{"-c:v", "mjpeg", "-c:a", "pcm_s16le"};
    if (name == "mp4_h264.mp4")
        return kTestSrc320 + kSine + QStringList{"-c:v",     "libx264", "-preset", "ultrafast",
                                                 "-pix_fmt", "yuv420p", "-c:a",    "aac"};
    if (name == "mkv_h264_ntsc.mkv")
        return QStringList{"-f", "lavfi", "-i", "testsrc=size=320x240:rate=30000/1001:duration=1"} +
               kSine + QStringList{"-c:v",     "libx264", "-preset", "ultrafast",
                                   "-pix_fmt", "yuv420p", "-c:a",    "libvorbis"};
    if (name == "mpeg2_ps.mpg")
        return QStringList{"-f", "lavfi", "-i", "testsrc=size=720x576:rate=25:duration=1"} + kSine +
               QStringList{"-c:v", "mpeg2video", "-b:v", "2M", "-c:a", "mp2", "-f", "vob"};
    if (name == "mpeg2_ts.ts")
        return QStringList{"-f", "lavfi", "-i", "testsrc=size=720x576:rate=25:duration=1"} + kSine +
               QStringList{"-c:v", "mpeg2video", "-b:v", "2M", "-c:a", "mp2", "-f", "mpegts"};
    if (name == "mpeg2_ac3.mpg")
        return QStringList{"-f", "lavfi", "-i", "testsrc=size=720x576:rate=25:duration=1"} + kSine +
               QStringList{"-c:v", "mpeg2video", "-b:v", "2M", "-c:a", "ac3", "-f", "vob"};
    if (name == "wmv_asf.wmv")
        return kTestSrc320 + kSine + QStringList{"-c:v", "wmv2", "-c:a", "wmav2", "-f", "asf"};
    if (name == "mkv_two_videos.mkv")
        return kTestSrc320 +
               QStringList{"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=1"} +
               kSine + QStringList{"-map",     "0",       "-map",    "1",        "-map",
                                   "2",        "-c:v",    "libx264", "-preset",  "ultrafast",
                                   "-pix_fmt", "yuv420p", "-c:a",    "libvorbis"};
    if (name == "sine.wav")
        return QStringList{"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=1"};
    const QStringList dvInput =
        QStringList{"-f", "lavfi", "-i", "testsrc=size=720x576:rate=25:duration=1"} + kSine +
        QStringList{"-c:v", "dvvideo", "-pix_fmt", "yuv420p", "-ac", "2", "-ar", "48000"};
    if (name == "dv_pal.dv")
        return dvInput + QStringList{"-c:a", "pcm_s16le", "-f", "dv"};
    if (name == "dv_type2.avi")
        return dvInput + QStringList{"-c:a", "pcm_s16le", "-f", "avi"};
    return {};
}

// RIFF writing helpers (little-endian).
class TRiff
{
public:
    explicit TRiff(QByteArray &out) : m_out(out) {}
    void u32(quint32 v)
    {
        for (int i = 0; i < 4; ++i)
            m_out.append(char(v >> (8 * i)));
    }
    void u16(quint16 v) { m_out.append(char(v)), m_out.append(char(v >> 8)); }
    void tag(const char *t) { m_out.append(t, 4); }
    int open(const char *t, const char *listType = nullptr)
    {
        tag(t);
        const int at = int(m_out.size());
        u32(0);
        if (listType)
            tag(listType);
        return at;
    }
    void close(int at)
    {
        const quint32 size = quint32(m_out.size() - at - 4);
        for (int i = 0; i < 4; ++i)
            m_out[at + i] = char(size >> (8 * i));
        if (m_out.size() % 2)
            m_out.append('\0');
    }

private:
    QByteArray &m_out;
};

bool makeRandom(const QString &path)
{
    QRandomGenerator generator(20261210);
    QByteArray bytes(256 * 1024, '\0');
    for (char &c : bytes)
        c = char(generator.generate() & 0xFF);
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

// Frames that show their own index (see FrameIndex.h): 12 columns of bits,
// most significant first, over the top half; their complement over the next
// quarter; the bottom quarter white on the left, black on the right.
QString IndexedLavfiSource(const QString &size, int frames)
{
    const QString bit = QStringLiteral("mod(floor(N/pow(2,11-floor(X*12/W))),2)");
    const QString lum = QStringLiteral("if(lt(Y,H/2),16+219*%1,if(lt(Y,3*H/4),235-219*%1,"
                                       "if(lt(X,W/2),235,16)))")
                            .arg(bit);
    return QStringLiteral("color=c=gray:size=%1:rate=25:duration=%2,format=yuv420p,"
                          "geq=lum='%3':cb=128:cr=128")
        .arg(size)
        .arg(frames / 25.0)
        .arg(lum);
}

bool writeType1DvAvi(const QString &rawDv, const QString &avi)
{
    QFile in(rawDv);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray dv = in.readAll();
    // Bit 7 of byte 3 of the header block: 0 for 525/60, 1 for 625/50.
    const bool pal = dv.size() > 3 && (quint8(dv[3]) & 0x80);
    const int frameSize = pal ? 144000 : 120000;
    const int frames = int(dv.size() / frameSize);
    if (frames == 0)
        return false;
    const quint32 rate = pal ? 25 : 30000, scale = pal ? 1 : 1001;

    QByteArray out;
    TRiff r(out);
    const int riff = r.open("RIFF", "AVI ");
    const int hdrl = r.open("LIST", "hdrl");
    const int avih = r.open("avih");
    r.u32(1000000 * scale / rate), r.u32(frameSize * rate / scale), r.u32(0), r.u32(0x10);
    r.u32(frames), r.u32(0), r.u32(1), r.u32(frameSize);
    r.u32(720), r.u32(pal ? 576 : 480), r.u32(0), r.u32(0), r.u32(0), r.u32(0);
    r.close(avih);
    const int strl = r.open("LIST", "strl");
    const int strh = r.open("strh");
    r.tag("iavs"), r.tag("dvsd"), r.u32(0), r.u16(0), r.u16(0), r.u32(0);
    r.u32(scale), r.u32(rate), r.u32(0), r.u32(frames), r.u32(frameSize), r.u32(0xFFFFFFFF),
        r.u32(0);
    r.u16(0), r.u16(0), r.u16(720), r.u16(pal ? 576 : 480);
    r.close(strh);
    const int strf = r.open("strf");
    // DVINFO: the AAUX and VAUX source and control packs of the first frame
    // (payload bytes of packs 0x50, 0x51, 0x60, 0x61), reserved words zero.
    const auto pack = [&](int offset) {
        quint32 v = 0;
        for (int i = 0; i < 4; ++i)
            v |= quint32(quint8(dv[offset + 1 + i])) << (8 * i);
        return v;
    };
    // Audio block 0 of sequence 0 holds AAUX packs at offset 3 of each DIF block;
    // the first frame's first audio DIF block is at 6 * 80.
    r.u32(pack(6 * 80 + 3)), r.u32(pack(6 * 80 + 3)), r.u32(0), r.u32(0);
    r.u32(pack(3 * 80 + 3)), r.u32(pack(3 * 80 + 3)), r.u32(0), r.u32(0);
    r.close(strf);
    r.close(strl);
    r.close(hdrl);
    const int movi = r.open("LIST", "movi");
    QList<int> offsets;
    for (int i = 0; i < frames; ++i) {
        offsets.append(int(out.size()) - movi - 4);
        const int chunk = r.open("00dc");
        out.append(dv.mid(i * frameSize, frameSize));
        r.close(chunk);
    }
    r.close(movi);
    const int idx1 = r.open("idx1");
    for (int i = 0; i < frames; ++i)
        r.tag("00dc"), r.u32(0x10), r.u32(offsets[i]), r.u32(frameSize);
    r.close(idx1);
    r.close(riff);

    QSaveFile file(avi);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size() && file.commit();
}

QString mediaFixtureDir()
{
    const QString dir = testsupport::buildBinDir() + QStringLiteral("/../test-fixtures");
    QDir().mkpath(dir);
    return QDir(dir).absolutePath();
}

QStringList mediaFixtureNames()
{
    return {"avi_mjpeg_pcm.avi", "mp4_h264.mp4", "mkv_h264_ntsc.mkv", "mpeg2_ps.mpg",
            "mpeg2_ts.ts",       "wmv_asf.wmv",  "sine.wav",          "dv_pal.dv",
            "dv_type2.avi",      "dv_type1.avi", "random.avi",        "mkv_two_videos.mkv",
            "mpeg2_ac3.mpg"};
}

QStringList indexedFixtureNames()
{
    return {"indexed.mp4", "indexed.mov", "indexed.mkv", "indexed_aac.mkv", "indexed_mjpeg.avi",
            "indexed.mpg", "indexed.ts",  "indexed.wmv", "indexed.dv",      "indexed_dv_type1.avi"};
}

QString mediaFixture(const QString &name)
{
    const QString path = mediaFixtureDir() + u'/' + name;
    if (QFileInfo(path).size() > 0)
        return path;
    // Build under a private name and rename, so a parallel test never reads a
    // half-written file.
    const QString partial =
        path + QStringLiteral(".part%1").arg(QCoreApplication::applicationPid());
    bool made = false;
    if (name == "random.avi") {
        made = makeRandom(partial);
    } else if (name == "dv_type1.avi" || name == "indexed_dv_type1.avi") {
        const QString raw = mediaFixture(name == "dv_type1.avi" ? "dv_pal.dv" : "indexed.dv");
        made = !raw.isEmpty() && writeType1DvAvi(raw, partial);
    } else {
        const QStringList args = ffmpegArgs(name);
        if (args.isEmpty())
            return {};
        const QString ext = QFileInfo(name).suffix();
        const QString target = partial + u'.' + ext;
        made =
            testsupport::runProgram("ffmpeg", QStringList{"-nostdin", "-loglevel", "error", "-y"} +
                                                  args + QStringList{target}) == 0 &&
            QFile::rename(target, partial);
    }
    if (!made) {
        QFile::remove(partial);
        return {};
    }
    QFile::remove(path);
    QFile::rename(partial, path);
    return QFileInfo(path).size() > 0 ? path : QString();
}

} // namespace fixtures
