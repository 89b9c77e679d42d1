#pragma once
// Writing image files so that a failure never costs a picture: the encoded
// file goes to a temporary file in the same folder, which replaces the name
// only once it is complete. A failed or interrupted write leaves the name as
// it was.

#include "uJpegEncoder.h"

#include <QByteArray>
#include <QImage>
#include <QString>

struct TFrameRecord;

// Writes data into a temporary file and renames it over fileName. False with
// the file system's message when any step fails, a short write included.
bool WriteFileAtomically(const QString &fileName, const QByteArray &data, QString *error = nullptr);

// A 24-bit uncompressed bitmap with the standard file and information headers.
bool WriteBmpFile(const QString &fileName, const QImage &image, QString *error = nullptr);

// A baseline colour JPEG at JpegQuality(quality) carrying the frame's provenance.
bool WriteJpegFile(const QString &fileName, const QImage &image, int quality,
                   const TFrameRecord &frame, TJpegEncoder &encoder, QString *error = nullptr);
