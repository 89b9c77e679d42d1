#include "uGrabber.h"

#include "uImageFile.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>

QString OverwriteQuestionText(const QString &fileName)
{
    return QStringLiteral("The file %1 already exists. Do yout want to replace it?\r\n\r\nClick on "
                          "\"Yes to All\" to stop being prompted.")
        .arg(fileName);
}

TOverwriteAnswer HeadlessOverwriteAnswer(const QString &)
{
    return TOverwriteAnswer::No;
}

TCapture TGrabber::Capture(const QImage &current, const TFrameRecord &record,
                           const TCaptureSettings &settings, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return TCapture{};
    };
    if (current.isNull() || current.height() <= 0)
        return fail(
            QStringLiteral("Nothing was grabbed: the video window has no current picture."));
    const QSize size = FittedSize(settings.aspect, current.size());
    if (size.isEmpty())
        return fail(QStringLiteral("Nothing was grabbed: the %1 x %2 picture is too small for "
                                   "the aspect ratio %3:%4.")
                        .arg(current.width())
                        .arg(current.height())
                        .arg(settings.aspect.x)
                        .arg(settings.aspect.y));
    TCapture capture;
    capture.record = record;
    capture.frame = settings.deinterlace ? m_deinterlacer.Deinterlace(current) : current;
    // RGB32 holds 24-bit colour in 32-bit words: Qt's smooth scaler works on
    // it, the bitmap writer writes it as 24 bits and libjpeg-turbo reads it
    // directly, so no grab pays for a repacking.
    const QImage source = capture.frame.format() == QImage::Format_RGB32
                              ? capture.frame
                              : capture.frame.convertToFormat(QImage::Format_RGB32);
    capture.image = size == source.size()
                        ? source
                        : source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return capture;
}

TSaveResult TGrabber::ConfirmSave(const TCapture &capture, const QString &fileName,
                                  const TSaveSettings &settings, const TOverwriteQuestion &ask)
{
    if (!settings.confirm || !QFileInfo::exists(fileName))
        return SaveImage(capture, fileName, settings);
    const QString question = OverwriteQuestionText(fileName);
    const TOverwriteAnswer answer = ask ? ask(question) : HeadlessOverwriteAnswer(question);
    switch (answer) {
    case TOverwriteAnswer::Yes:
        return SaveImage(capture, fileName, settings);
    case TOverwriteAnswer::YesToAll: {
        TSaveResult result = SaveImage(capture, fileName, settings);
        result.turnOffConfirmation = true;
        return result;
    }
    case TOverwriteAnswer::Cancel:
        return {TSaveStatus::Cancelled, fileName,
                QStringLiteral("%1 already exists and was kept; the grab was cancelled.")
                    .arg(fileName)};
    case TOverwriteAnswer::No:
        break;
    }
    return {TSaveStatus::Declined, fileName,
            QStringLiteral("%1 already exists and was kept.").arg(fileName)};
}

TSaveResult TGrabber::SaveImage(const TCapture &capture, const QString &fileName,
                                const TSaveSettings &settings)
{
    TSaveResult result{TSaveStatus::Failed, fileName, {}};
    if (capture.isNull()) {
        result.message = QStringLiteral("Nothing was saved: there is no captured picture.");
        return result;
    }
    const bool written = settings.imageExtension != 0
                             ? WriteJpegFile(fileName, capture.image, settings.jpegQuality,
                                             capture.record, m_encoder, &result.message)
                             : WriteBmpFile(fileName, capture.image, &result.message);
    if (written)
        result.status = TSaveStatus::Saved;
    return result;
}

TGrabResult TGrabber::Grab(const QImage &current, const TFrameRecord &record,
                           const QString &fileName, const TCaptureSettings &capture,
                           const TSaveSettings &save, const TOverwriteQuestion &ask)
{
    TGrabResult result;
    QString why;
    result.capture = Capture(current, record, capture, &why);
    if (result.capture.isNull()) {
        result.save = {TSaveStatus::Failed, fileName, why};
        return result;
    }
    result.save = ConfirmSave(result.capture, fileName, save, ask);
    return result;
}

void CopyToClipboard(const TCapture &capture)
{
    if (!capture.frame.isNull())
        QGuiApplication::clipboard()->setImage(capture.frame);
}
