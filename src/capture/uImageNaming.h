#pragma once
// Names of grabbed images: folder/root_suffix.ext, the suffix being the
// running number or the frame's time stamp. Pure functions over the naming
// settings, so the main window only copies its actions into TImageNameSettings.

#include <QColor>
#include <QString>
#include <QtGlobal>

#include <optional>

struct TFrameRecord;

struct TImageNameSettings {
    QString folder;     // waDossierSave
    int nameSource = 0; // iaNomFichierImage: 0 the root text, else the video's name
    QString root = QStringLiteral("Kadrex"); // waDefaultRacine
    bool limitLength = false;                // baLimiterLongueur
    int rootLength = 8;                      // iaRacineLength
    int suffixKind = 0;     // iaImageAjouter: 0 time stamp, 1 number, else no new name
    int digits = 3;         // iaDigits
    int nextNum = 1;        // iaNextNum
    int imageExtension = 0; // iaImageExtension: 0 ".bmp", else ".jpg"
};

// The root: the settings' text, or the video's file name without folder and
// last extension, cut to rootLength characters when limited.
QString ImageRoot(const TImageNameSettings &settings, const QString &videoPath);

// The number in decimal with leading zeros up to `digits` characters; never cut.
QString NumberText(int number, int digits);

// The position text of the frame with every ":" turned into ".".
QString TimeStampText(qint64 frameDuration, qint64 position);

QString ImageExtension(int imageExtension);

// The full path of the next image; nullopt when the suffix kind is neither
// time stamp nor number (the previous name stays).
std::optional<QString> NextImageName(const TImageNameSettings &settings, const QString &videoPath,
                                     qint64 frameDuration, qint64 position);
// The same for a captured frame: its video, position and frame duration.
std::optional<QString> NextImageName(const TImageNameSettings &settings, const TFrameRecord &frame);

// How the next-name label shows whether the name is taken.
enum class TImageNameState { Free, Exists };
TImageNameState ImageNameState(const QString &fileName);
QColor ImageNameColor(TImageNameState state); // maroon when free, green when taken

// The thumbnail's name label: unsaved after a capture, saved after a write.
struct TSnapNameLook {
    QColor background; // invalid: the palette's button colour
    bool handCursor;
    QString hint;
};
TSnapNameLook SnapNameLook(bool saved);

// What a click on the next-name label shows in the file manager: the next
// image when it exists, else the first entry of the folder (by name) that
// starts with root + "_", else the folder itself when it exists; empty when
// there is nothing to show.
QString EntryToShow(const QString &nextImageName, const QString &folder, const QString &root);
