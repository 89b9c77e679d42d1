#include "uImageFile.h"

#include "uImageMetadata.h"

#include <QBuffer>
#include <QImageWriter>
#include <QSaveFile>

namespace {

QString cannotWrite(const QString &fileName, const QString &reason)
{
    return QStringLiteral("Cannot write %1: %2").arg(fileName, reason);
}

// QSaveFile reports a short write (a size limit, a full disk) as a smaller
// count without an error, and would commit the truncated file: write again
// until the system says why.
bool writeAll(QSaveFile &file, const QByteArray &data)
{
    for (qsizetype done = 0; done < data.size();) {
        const qint64 n = file.write(data.constData() + done, data.size() - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

bool WriteFileAtomically(const QString &fileName, const QByteArray &data, QString *error)
{
    QSaveFile file(fileName);
    bool ok = file.open(QIODevice::WriteOnly) && writeAll(file, data);
    // commit() flushes and renames: a late write failure shows here.
    QString reason = file.errorString();
    if (ok && !file.commit()) {
        ok = false;
        reason = file.errorString();
    }
    if (!ok && error)
        *error = cannotWrite(fileName, reason);
    return ok; // on failure the destructor removes the temporary file
}

bool WriteBmpFile(const QString &fileName, const QImage &image, QString *error)
{
    // Qt writes 32-bit and 24-bit colour pictures as 24-bit bitmaps with the
    // 14-byte file header and the 40-byte information header.
    QByteArray data;
    data.reserve(54 + qsizetype((image.width() * 3 + 3) / 4 * 4) * image.height());
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(image)) {
        if (error)
            *error = cannotWrite(fileName, writer.errorString());
        return false;
    }
    return WriteFileAtomically(fileName, data, error);
}

bool WriteJpegFile(const QString &fileName, const QImage &image, int quality,
                   const TFrameRecord &frame, TJpegEncoder &encoder, QString *error)
{
    std::vector<TJpegMarker> markers;
    QString reason;
    if (!ProvenanceMarkers(frame, markers, &reason) ||
        !encoder.Encode(image, quality, markers, &reason)) {
        if (error)
            *error = cannotWrite(fileName, reason);
        return false;
    }
    return WriteFileAtomically(fileName, encoder.Data(), error);
}
