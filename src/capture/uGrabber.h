#pragma once
// The grab without its widgets: the captured picture and its frame record go
// in; the picture to save (deinterlaced when asked, fitted to the aspect pair,
// stretched to a 24-bit colour image) and the outcome of writing it come out. The main
// window feeds it its settings and turns the outcome into labels, the number
// advance and error reports.

#include "uAspectFit.h"
#include "uDeinter.h"
#include "uFrameRecord.h"
#include "uJpegEncoder.h"

#include <QImage>
#include <QString>

#include <functional>

// One capture: what grab and copy share.
struct TCapture {
    QImage frame; // as delivered, deinterlaced when asked: what the copy puts on the clipboard
    QImage image; // Format_RGB888, fitted to the aspect pair: what is saved
    TFrameRecord record; // the frame's position and provenance
    bool isNull() const { return image.isNull(); }
};

struct TCaptureSettings {
    bool deinterlace = false; // baImageDeinterlacer
    TAspectPair aspect;       // the video manager's pair
};

struct TSaveSettings {
    int imageExtension = 0; // iaImageExtension: 0 bitmap, else JPEG
    int jpegQuality = 50;   // iaJpegCompressionQuality
    bool confirm = true;    // baConfirmerImage
};

enum class TOverwriteAnswer { Yes, No, Cancel, YesToAll };

// Asked with the question's text when the next image exists and confirmation is on.
using TOverwriteQuestion = std::function<TOverwriteAnswer(const QString &question)>;

// The question, with the file's full name in it.
QString OverwriteQuestionText(const QString &fileName);

// Without a screen nobody can answer: the file is kept (No), and the outcome
// says so.
TOverwriteAnswer HeadlessOverwriteAnswer(const QString &question);

enum class TSaveStatus {
    Saved,     // written: mark the thumbnail saved and advance iaNextNum
    Declined,  // No: nothing written
    Cancelled, // Cancel: nothing written, and a running series stops
    Failed,    // nothing written; message says why
};

struct TSaveResult {
    TSaveStatus status = TSaveStatus::Failed;
    QString fileName;
    QString message;                  // why nothing was written (empty when saved)
    bool turnOffConfirmation = false; // Yes to All: set baConfirmerImage to False
    bool saved() const { return status == TSaveStatus::Saved; }
    bool stopSeries() const { return status == TSaveStatus::Cancelled; }
};

struct TGrabResult {
    TCapture capture; // null when there was no picture; the thumbnail keeps its content
    TSaveResult save;
};

class TGrabber
{
public:
    // The capture of a delivered picture: deinterlaced when asked, fitted to
    // the aspect pair and stretched with Qt's smooth scaling (which averages
    // the covered source pixels, the fit only ever shrinking). A null
    // picture, or one too small for the pair, gives a null capture and the
    // reason in error.
    TCapture Capture(const QImage &current, const TFrameRecord &record,
                     const TCaptureSettings &settings, QString *error = nullptr);

    // Writes the capture under fileName after asking when the file exists
    // and confirmation is on.
    TSaveResult ConfirmSave(const TCapture &capture, const QString &fileName,
                            const TSaveSettings &settings, const TOverwriteQuestion &ask);
    // Writes without asking.
    TSaveResult SaveImage(const TCapture &capture, const QString &fileName,
                          const TSaveSettings &settings);

    // Capture and save with confirmation. Without a picture nothing is
    // written and the outcome says why.
    TGrabResult Grab(const QImage &current, const TFrameRecord &record, const QString &fileName,
                     const TCaptureSettings &capture, const TSaveSettings &save,
                     const TOverwriteQuestion &ask);

private:
    TDeinterlacer m_deinterlacer;
    TJpegEncoder m_encoder;
};

// Puts the captured frame on the clipboard at its captured size.
void CopyToClipboard(const TCapture &capture);
