#include "DVFixtures.h"
#include "TestSupport.h"
#include "capture/uGrabber.h"
#include "capture/uImageFile.h"
#include "filters/uDVDate.h"
#include "filters/uNotifier.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <csignal>
#include <ostream>
#include <sys/resource.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations" // Exiv2 0.27's auto_ptr
#include <exiv2/exiv2.hpp>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QImage quadrants(int w, int h)
{
    QImage frame(w, h, QImage::Format_RGB32);
    QPainter p(&frame);
    p.fillRect(0, 0, w / 2, h / 2, QColor(200, 30, 30));
    p.fillRect(w / 2, 0, w - w / 2, h / 2, QColor(30, 200, 30));
    p.fillRect(0, h / 2, w / 2, h - h / 2, QColor(30, 30, 200));
    p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, QColor(250, 250, 250));
    return frame;
}

TCapture captureOf(TGrabber &grabber, const QImage &frame, const TFrameRecord &record = {})
{
    return grabber.Capture(frame, record, {false, {frame.width(), frame.height()}});
}

quint32 le32(const QByteArray &data, int offset)
{
    return qFromLittleEndian<quint32>(data.constData() + offset);
}
quint16 le16(const QByteArray &data, int offset)
{
    return qFromLittleEndian<quint16>(data.constData() + offset);
}

TEST(BmpFile, Standard24BitBitmap)
{
    QTemporaryDir dir;
    TGrabber grabber;
    const TCapture capture = captureOf(grabber, quadrants(7, 5)); // rows need padding
    const QString path = dir.filePath("g.bmp");
    ASSERT_TRUE(grabber.SaveImage(capture, path, {0, 50, true}).saved());

    const QByteArray bmp = readAll(path);
    const int rowBytes = (7 * 3 + 3) / 4 * 4;
    ASSERT_EQ(bmp.size(), 14 + 40 + rowBytes * 5);
    EXPECT_EQ(bmp.left(2), "BM");
    EXPECT_EQ(le32(bmp, 2), quint32(bmp.size()));
    EXPECT_EQ(le32(bmp, 10), 54u); // pixels right after the two headers
    EXPECT_EQ(le32(bmp, 14), 40u); // the information header
    EXPECT_EQ(int(le32(bmp, 18)), 7);
    EXPECT_EQ(int(le32(bmp, 22)), 5); // positive: bottom-up rows
    EXPECT_EQ(le16(bmp, 26), 1);
    EXPECT_EQ(le16(bmp, 28), 24);
    EXPECT_EQ(le32(bmp, 30), 0u); // uncompressed
    // the first pixel in the file is the bottom-left one, blue, stored B G R
    EXPECT_EQ(bmp.mid(54, 3), QByteArray("\xc8\x1e\x1e", 3));
    EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB32), capture.image);
}

// The frame header that follows SOF0 (baseline) or another SOF marker.
QByteArray startOfFrame(const QByteArray &jpeg)
{
    for (qsizetype i = 2; i + 4 < jpeg.size();) {
        if (quint8(jpeg[i]) != 0xFF)
            return {};
        const quint8 marker = quint8(jpeg[i + 1]);
        const int length = quint8(jpeg[i + 2]) << 8 | quint8(jpeg[i + 3]);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return jpeg.mid(i + 1, length + 1);
        i += 2 + length;
    }
    return {};
}

TEST(JpegFile, BaselineColourWithTheQualityRule)
{
    QTemporaryDir dir;
    TGrabber grabber;
    const TCapture capture = captureOf(grabber, quadrants(64, 48));
    auto write = [&](int quality) {
        const QString path = dir.filePath(QStringLiteral("q%1.jpg").arg(quality));
        EXPECT_TRUE(grabber.SaveImage(capture, path, {1, quality, true}).saved());
        return readAll(path);
    };
    const QByteArray q44 = write(44);
    const QByteArray sof = startOfFrame(q44);
    ASSERT_FALSE(sof.isEmpty());
    EXPECT_EQ(quint8(sof[0]), 0xC0); // baseline
    EXPECT_EQ(quint8(sof[8]), 3);    // colour: three components
    EXPECT_EQ(write(300), q44);      // low 8 bits
    EXPECT_EQ(write(0), write(1));
    EXPECT_EQ(write(100), write(255));
    EXPECT_NE(write(90), q44);

    const QImage back(dir.filePath("q90.jpg"));
    EXPECT_EQ(back.size(), QSize(64, 48));
    EXPECT_LT(qAbs(back.pixelColor(8, 8).red() - 200), 12);
    EXPECT_EQ(JpegQuality(-1), 100);
}

struct OverwriteCase {
    const char *what;
    TOverwriteAnswer answer;
    bool confirm;
    TSaveStatus status;
    bool replaced;
    bool turnsConfirmationOff;
};

void PrintTo(const OverwriteCase &c, std::ostream *os)
{
    *os << c.what;
}

class OverwriteAnswers : public ::testing::TestWithParam<OverwriteCase>
{
};

TEST_P(OverwriteAnswers, DecideWhatIsWritten)
{
    const OverwriteCase &c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath("g_001.bmp");
    writeAll(path, "old picture");
    TGrabber grabber;
    int asked = 0;
    QString question;
    const TSaveResult r = grabber.ConfirmSave(captureOf(grabber, quadrants(8, 8)), path,
                                              {0, 50, c.confirm}, [&](const QString &q) {
                                                  ++asked;
                                                  question = q;
                                                  return c.answer;
                                              });
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(readAll(path) != "old picture", c.replaced);
    EXPECT_EQ(r.turnOffConfirmation, c.turnsConfirmationOff);
    EXPECT_EQ(r.stopSeries(), c.status == TSaveStatus::Cancelled);
    EXPECT_EQ(asked, c.confirm ? 1 : 0);
    if (c.confirm) {
        EXPECT_EQ(question, "The file " + path +
                                " already exists. Do yout want to replace it?\r\n\r\n"
                                "Click on \"Yes to All\" to stop being prompted.");
    }
    EXPECT_EQ(r.saved(), r.message.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Answers, OverwriteAnswers,
                         ::testing::Values(OverwriteCase{"Yes", TOverwriteAnswer::Yes, true,
                                                         TSaveStatus::Saved, true, false},
                                           OverwriteCase{"No", TOverwriteAnswer::No, true,
                                                         TSaveStatus::Declined, false, false},
                                           OverwriteCase{"Cancel", TOverwriteAnswer::Cancel, true,
                                                         TSaveStatus::Cancelled, false, false},
                                           OverwriteCase{"YesToAll", TOverwriteAnswer::YesToAll,
                                                         true, TSaveStatus::Saved, true, true},
                                           OverwriteCase{"confirmation off", TOverwriteAnswer::No,
                                                         false, TSaveStatus::Saved, true, false}));

TEST(ConfirmSave, HeadlessKeepsTheFileAndSaysSo)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("g_001.bmp");
    writeAll(path, "old picture");
    TGrabber grabber;
    const TSaveResult r = grabber.ConfirmSave(captureOf(grabber, quadrants(8, 8)), path,
                                              {0, 50, true}, HeadlessOverwriteAnswer);
    EXPECT_EQ(r.status, TSaveStatus::Declined);
    EXPECT_TRUE(r.message.contains(path));
    EXPECT_EQ(readAll(path), "old picture");
    // A free name is written without a question.
    EXPECT_TRUE(grabber
                    .ConfirmSave(captureOf(grabber, quadrants(8, 8)), dir.filePath("new.bmp"),
                                 {0, 50, true}, nullptr)
                    .saved());
}

using testsupport::FileSizeLimit;

TEST(SaveImage, InterruptedWriteKeepsTheGoodFile)
{
    QTemporaryDir dir;
    TGrabber grabber;
    for (const int format : {0, 1}) {
        const QString path = dir.filePath(format ? "g.jpg" : "g.bmp");
        ASSERT_TRUE(
            grabber.SaveImage(captureOf(grabber, quadrants(8, 8)), path, {format, 50}).saved());
        const QByteArray good = readAll(path);
        QImage noise(1024, 768, QImage::Format_RGB32);
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, 0xFF000000u | (x * 2654435761u ^ y * 40503u));
        TSaveResult r;
        {
            FileSizeLimit limit(64 * 1024);
            r = grabber.SaveImage(captureOf(grabber, noise), path, {format, 100});
        }
        EXPECT_EQ(r.status, TSaveStatus::Failed);
        EXPECT_TRUE(r.message.contains(path)) << r.message.toStdString();
        EXPECT_TRUE(r.message.contains("too large", Qt::CaseInsensitive))
            << r.message.toStdString();
        EXPECT_EQ(readAll(path), good);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"g.bmp", "g.jpg"})); // no temporary file left behind
}

TEST(SaveImage, MissingFolderGivesTheFileSystemsMessage)
{
    QTemporaryDir dir;
    TGrabber grabber;
    const QString path = dir.filePath("missing/g_001.jpg");
    const TSaveResult r =
        grabber.SaveImage(captureOf(grabber, quadrants(8, 8)), path, {1, 50, true});
    EXPECT_EQ(r.status, TSaveStatus::Failed);
    EXPECT_TRUE(r.message.contains(path));
    EXPECT_TRUE(r.message.contains("No such file or directory")) << r.message.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

TEST(Grab, WithoutAPictureSavesNothingAndSaysWhy)
{
    QTemporaryDir dir;
    TGrabber grabber;
    const QString path = dir.filePath("g_001.jpg");
    const TGrabResult r = grabber.Grab(QImage(), {}, path, {}, {1, 50, true}, nullptr);
    EXPECT_TRUE(r.capture.isNull());
    EXPECT_EQ(r.save.status, TSaveStatus::Failed);
    EXPECT_FALSE(r.save.message.isEmpty());
    EXPECT_FALSE(QFile::exists(path));
}

// Metadata read back with Exiv2.

struct Metadata {
    Exiv2::ExifData exif;
    Exiv2::XmpData xmp;
    std::string exifText(const char *key) const
    {
        const auto it = exif.findKey(Exiv2::ExifKey(key));
        return it == exif.end() ? std::string("(none)") : it->toString();
    }
    std::string xmpText(const char *key) const
    {
        const auto it = xmp.findKey(Exiv2::XmpKey(key));
        return it == xmp.end() ? std::string("(none)") : it->toString();
    }
};

Metadata readMetadata(const QString &path)
{
    auto image = Exiv2::ImageFactory::open(path.toStdString());
    image->readMetadata();
    return {image->exifData(), image->xmpData()};
}

TEST(JpegMetadata, ProvenanceFromTheFrameRecord)
{
    QTemporaryDir dir;
    TGrabber grabber;
    TFrameRecord record;
    record.position = 10'000'000 + 23 * 400'000;
    record.frameDuration = 400'000;
    record.sourceFile = QStringLiteral("/films/été.2019.dv");
    record.dvRecorded = QDateTime(QDate(2004, 7, 14), QTime(10, 20, 30));
    record.dvTimecode = TDVTimecode{10, 0, 1, 23};
    const QString path = dir.filePath("g.jpg");
    ASSERT_TRUE(
        grabber.SaveImage(captureOf(grabber, quadrants(32, 32), record), path, {1, 90}).saved());

    const Metadata m = readMetadata(path);
    EXPECT_EQ(m.exifText("Exif.Photo.DateTimeOriginal"), "2004:07:14 10:20:30");
    EXPECT_EQ(m.xmpText("Xmp.xmpDM.startTimecode/xmpDM:timeValue"), "10:00:01:23");
    EXPECT_EQ(m.xmpText("Xmp.xmpDM.startTimecode/xmpDM:timeFormat"), "25Timecode");
    EXPECT_EQ(m.xmpText("Xmp.kadrex.SourceFile"), "été.2019.dv");
    EXPECT_EQ(m.xmpText("Xmp.kadrex.Position"), "0:00:01:23");
    EXPECT_EQ(m.xmpText("Xmp.kadrex.FrameNumber"), "48");
    EXPECT_FALSE(QImage(path).isNull());

    // A frame without DV codes or known rate says only what is known.
    TFrameRecord plain;
    plain.sourceFile = "/v/clip.mp4";
    plain.position = 5'000'000;
    ASSERT_TRUE(
        grabber.SaveImage(captureOf(grabber, quadrants(32, 32), plain), path, {1, 90}).saved());
    const Metadata p = readMetadata(path);
    EXPECT_EQ(p.exifText("Exif.Photo.DateTimeOriginal"), "(none)");
    EXPECT_EQ(p.xmpText("Xmp.xmpDM.startTimecode/xmpDM:timeValue"), "(none)");
    EXPECT_EQ(p.xmpText("Xmp.kadrex.FrameNumber"), "(none)");
    EXPECT_EQ(p.xmpText("Xmp.kadrex.Position"), "0:00:00:500");
}

TEST(JpegMetadata, DVRecordingDateOfARealFile)
{
    QTemporaryDir dir;
    const QString dv = dir.filePath("clip.dv");
    dvfixtures::DVFileOptions options;
    options.frames = 2;
    ASSERT_TRUE(dvfixtures::makeDVFile(dv, options));
    const QByteArray bytes = readAll(dv).left(kDVFrameSize625);
    const TDVFrame frame{reinterpret_cast<const quint8 *>(bytes.constData()), size_t(bytes.size())};

    // The code entry as the notifier reports it for the frame on display.
    TDVCodeEntry entry;
    entry.dateValid = DVDateTimeToNumber(DVRecDateTime(frame, 0), entry.recDateTime);
    const TDVTimecode tc = DVTimecode(frame, 0);
    entry.timecodeValid = DVTimecodePresent(tc);
    entry.timecodeText = QString::asprintf("%d:%.2d:%.2d:%.2d", tc[0], tc[1], tc[2], tc[3]);
    TFrameRecord record;
    record.sourceFile = dv;
    record.frameDuration = 400'000;
    record.setDVCodes(entry);

    TGrabber grabber;
    const QString path = dir.filePath("dv.jpg");
    ASSERT_TRUE(
        grabber.SaveImage(captureOf(grabber, quadrants(720, 576), record), path, {1, 50}).saved());
    const Metadata m = readMetadata(path);
    EXPECT_EQ(m.exifText("Exif.Photo.DateTimeOriginal"), "2004:07:14 10:20:30");
    EXPECT_EQ(m.xmpText("Xmp.xmpDM.startTimecode/xmpDM:timeValue"), "10:00:00:00");
    EXPECT_EQ(m.xmpText("Xmp.kadrex.SourceFile"), "clip.dv");
}

} // namespace

#pragma GCC diagnostic pop
