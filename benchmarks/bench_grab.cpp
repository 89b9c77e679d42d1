// bench_grab: one grab of a 1080p frame saved as JPEG at quality 90 and as a
// bitmap, beside a bare libjpeg-turbo encode of the same pixels in memory.
// Prints the median of each and the ratio of the JPEG grab to the bare encode.

#include "capture/uGrabber.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int kRuns = 25;

// Gradients, shapes and a little noise: roughly what a video frame costs to compress.
QImage testFrame()
{
    QImage frame(1920, 1080, QImage::Format_RGB32);
    for (int y = 0; y < frame.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(frame.scanLine(y));
        for (int x = 0; x < frame.width(); ++x) {
            const int n = int(QRandomGenerator::global()->bounded(12));
            row[x] = qRgb((x / 8 + n) & 0xFF, (y / 5 + n) & 0xFF, ((x + y) / 12 + n) & 0xFF);
        }
    }
    QPainter p(&frame);
    p.setRenderHint(QPainter::Antialiasing);
    for (int k = 0; k < 40; ++k) {
        p.setBrush(QColor::fromHsv(k * 9, 200, 220));
        p.drawEllipse(QPoint(k * 47 % 1920, k * 131 % 1080), 60 + k, 40 + k);
    }
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 40));
    p.drawText(QRect(0, 900, 1920, 180), Qt::AlignCenter, QStringLiteral("0:01:23:12 Kadrex"));
    return frame;
}

double medianMs(const std::function<void()> &work)
{
    work(); // warm caches and first-use initialisation
    std::vector<double> times;
    for (int k = 0; k < kRuns; ++k) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The median ratio of work to base, timed in alternation so that a change in
// the machine's load falls on both.
double pairedRatio(const std::function<void()> &work, const std::function<void()> &base)
{
    work();
    base();
    std::vector<double> ratios;
    for (int k = 0; k < kRuns; ++k) {
        QElapsedTimer timer;
        timer.start();
        base();
        const double b = double(timer.nsecsElapsed());
        timer.restart();
        work();
        ratios.push_back(double(timer.nsecsElapsed()) / b);
    }
    std::sort(ratios.begin(), ratios.end());
    return ratios[ratios.size() / 2];
}

// The library alone: one compressor kept, into one buffer large enough for
// any result, so that nothing but the compression is timed.
unsigned long bareEncode(const QImage &frame, int quality)
{
    static jpeg_compress_struct cinfo;
    static jpeg_error_mgr err;
    static std::vector<unsigned char> buffer(8 << 20);
    static bool created = false;
    if (!created) {
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_compress(&cinfo);
        created = true;
    }
    unsigned char *out = buffer.data();
    unsigned long size = buffer.size();
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = JDIMENSION(frame.width());
    cinfo.image_height = JDIMENSION(frame.height());
    cinfo.in_color_space = JCS_EXT_BGRX;
    cinfo.input_components = 4;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(frame.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    return size;
}

void benchFolder(const char *where, const QString &folder, const QImage &frame)
{
    QTemporaryDir dir(folder + QStringLiteral("/bench_grab-XXXXXX"));
    if (!dir.isValid())
        return;
    TFrameRecord record;
    record.position = 830'000'000;
    record.frameDuration = 400'000;
    record.sourceFile = QStringLiteral("/films/holiday.mkv");
    record.dvRecorded = QDateTime(QDate(2004, 7, 14), QTime(10, 20, 30));
    record.dvTimecode = TDVTimecode{10, 0, 1, 23};
    TGrabber grabber;
    bool ok = true;
    auto grab = [&](TAspectPair aspect, int extension, const char *name) {
        return medianMs([&] {
            const TGrabResult r = grabber.Grab(frame, record, dir.filePath(QString::fromUtf8(name)),
                                               {false, aspect}, {extension, 90, false}, nullptr);
            ok = ok && r.save.saved();
        });
    };
    const double jpeg = grab({16, 9}, 1, "g.jpg");
    const double ratio = pairedRatio(
        [&] {
            ok = ok && grabber
                           .Grab(frame, record, dir.filePath("g.jpg"), {false, {16, 9}},
                                 {1, 90, false}, nullptr)
                           .save.saved();
        },
        [&] { bareEncode(frame, 90); });
    const double bmp = grab({16, 9}, 0, "g.bmp");
    const double fourThree = grab({4, 3}, 1, "s.jpg");
    const double deinterlaced = medianMs([&] {
        ok = ok && grabber
                       .Grab(frame, record, dir.filePath("d.jpg"), {true, {16, 9}}, {1, 90, false},
                             nullptr)
                       .save.saved();
    });
    if (!ok) {
        std::printf("%s: a save failed\n", where);
        return;
    }
    std::printf("\nsaved in %s (%s)\n", qPrintable(dir.path()), where);
    std::printf(
        "  grab + save JPEG q90:                %7.2f ms  %.2fx the bare encode (goal <= 1.3x)\n",
        jpeg, ratio);
    std::printf("  grab + save BMP:                     %7.2f ms\n", bmp);
    std::printf("  grab forced 4:3 (stretch) + JPEG q90: %7.2f ms\n", fourThree);
    std::printf("  grab deinterlaced + JPEG q90:        %7.2f ms\n", deinterlaced);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // fonts for the test frame
    const QImage frame = testFrame();
    unsigned long bareSize = 0;
    const double bare = medianMs([&] { bareSize = bareEncode(frame, 90); });
    std::printf("1920x1080 frame, median of %d runs\n", kRuns);
    std::printf("bare libjpeg-turbo encode q90 in memory: %7.2f ms (%lu bytes)\n", bare, bareSize);
    // Every save is synced to disk before it replaces the name, so the
    // disk's sync time is part of a save: shown on memory and on disk.
    benchFolder("memory file system: the program's own cost", QStringLiteral("/dev/shm"), frame);
    benchFolder("disk: with the disk's sync time", QDir::tempPath(), frame);
    return 0;
}
