#include "uImageMetadata.h"

#include "uFrameRecord.h"

#include <QFileInfo>

#include <exiv2/exiv2.hpp>

#include <cmath>
#include <mutex>

namespace {

constexpr int kApp1 = 0xE1; // JPEG_APP0 + 1
constexpr qsizetype kMaxMarkerData = 65533;
const QByteArray kExifHeader("Exif\0\0", 6);
const QByteArray kXmpHeader("http://ns.adobe.com/xap/1.0/\0", 29);

void initialiseExiv2()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::XmpParser::initialize();
        Exiv2::XmpProperties::registerNs(kKadrexXmpNamespace, kKadrexXmpPrefix);
    });
}

std::string utf8(const QString &text)
{
    return text.toStdString();
}

// The XMP time format of a frame rate, as far as the frame duration tells it.
// DV packs do not say drop frame here, so 29.97 frames per second is written
// as non-drop.
std::string timeFormatOf(qint64 frameDuration)
{
    if (frameDuration <= 0)
        return "25Timecode";
    const double fps = 10'000'000.0 / double(frameDuration);
    struct {
        double fps;
        const char *format;
    } const formats[] = {{23.976, "23976Timecode"},      {24, "24Timecode"}, {25, "25Timecode"},
                         {29.97, "2997NonDropTimecode"}, {30, "30Timecode"}, {50, "50Timecode"},
                         {59.94, "5994NonDropTimecode"}, {60, "60Timecode"}};
    const char *best = "25Timecode";
    double distance = 1e9;
    for (const auto &f : formats)
        if (std::abs(f.fps - fps) < distance) {
            distance = std::abs(f.fps - fps);
            best = f.format;
        }
    return best;
}

Exiv2::ExifData exifOf(const TFrameRecord &frame)
{
    Exiv2::ExifData exif;
    exif["Exif.Image.Software"] = "Kadrex";
    if (frame.dvRecorded.isValid())
        exif["Exif.Photo.DateTimeOriginal"] =
            utf8(frame.dvRecorded.toString(QStringLiteral("yyyy:MM:dd HH:mm:ss")));
    return exif;
}

Exiv2::XmpData xmpOf(const TFrameRecord &frame)
{
    Exiv2::XmpData xmp;
    if (frame.dvTimecode) {
        const TDVTimecode &tc = *frame.dvTimecode;
        Exiv2::XmpTextValue structure;
        structure.setXmpStruct();
        xmp.add(Exiv2::XmpKey("Xmp.xmpDM.startTimecode"), &structure);
        xmp["Xmp.xmpDM.startTimecode/xmpDM:timeFormat"] = timeFormatOf(frame.frameDuration);
        xmp["Xmp.xmpDM.startTimecode/xmpDM:timeValue"] =
            QString::asprintf("%02d:%02d:%02d:%02d", tc[0], tc[1], tc[2], tc[3]).toStdString();
    }
    const std::string ns = std::string("Xmp.") + kKadrexXmpPrefix + ".";
    xmp[ns + "SourceFile"] = utf8(QFileInfo(frame.sourceFile).fileName());
    xmp[ns + "Position"] = utf8(frame.positionText());
    if (frame.frameNumber() >= 0)
        xmp[ns + "FrameNumber"] = std::to_string(frame.frameNumber());
    return xmp;
}

bool appendMarker(std::vector<TJpegMarker> &markers, const QByteArray &header, const char *data,
                  size_t size, QString *error)
{
    if (qsizetype(size) + header.size() > kMaxMarkerData) {
        if (error)
            *error = QStringLiteral("the image metadata is too large");
        return false;
    }
    markers.push_back({kApp1, header + QByteArray(data, qsizetype(size))});
    return true;
}

} // namespace

bool ProvenanceMarkers(const TFrameRecord &frame, std::vector<TJpegMarker> &markers, QString *error)
{
    initialiseExiv2();
    markers.clear();
    try {
        Exiv2::Blob exif;
        Exiv2::ExifParser::encode(exif, Exiv2::littleEndian, exifOf(frame));
        std::string xmp;
        if (Exiv2::XmpParser::encode(xmp, xmpOf(frame), Exiv2::XmpParser::useCompactFormat) != 0)
            throw Exiv2::Error(Exiv2::kerErrorMessage, "XMP could not be encoded");
        return appendMarker(markers, kExifHeader, reinterpret_cast<const char *>(exif.data()),
                            exif.size(), error) &&
               appendMarker(markers, kXmpHeader, xmp.data(), xmp.size(), error);
    } catch (const Exiv2::AnyError &e) {
        markers.clear();
        if (error)
            *error = QStringLiteral("the image metadata could not be written: %1")
                         .arg(QString::fromStdString(e.what()));
        return false;
    }
}
