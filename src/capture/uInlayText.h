#pragma once
// The inlay's text: templates with placeholders, the values they expand to,
// the insert commands that choose the templates, and the analysis that tells
// which value sources must run for the templates in use.
//
// Placeholders, replaced in this order, every occurrence, ignoring case, each
// also acting on the text that earlier ones inserted:
//   %D  DV recording date plus the time difference, in the line's date format
//   %T  DV time code text
//   %S  time stamp (position text) of the frame
//   %R  real date and time, in the line's %R format (empty: the default)
//   %N  number text of the next image
//   %F  video file name without folder and extension
//   %P  folder of the video with its trailing separator
//   %E  extension of the video with its dot
// A value that is not known expands to its fallback (empty unless set).
//
// Frame exactness: %S and the DV codes (%D, %T) belong to one picture. They
// are never kept from the latest message; the caller passes the record that
// travelled with the frame being drawn or grabbed (TInlayFrameRecord), so a
// grab while playing stamps the values of its own frame. The other values
// (real date, number, file name, time difference) belong to the session and
// are held in TInlayValues.

#include "filters/uNotifier.h" // TDVCodeEntry

#include <QDateTime>
#include <QString>

#include <array>
#include <optional>

inline constexpr int kInlayLineCount = 8;

enum class TInlayAlign : quint8 { Left = 0, Right = 1, Centre = 2 };

// One line of the overlay.
struct TInlayLine {
    QString text;
    float xFraction = 0; // of the overlay's width
    float yFraction = 0; // of the overlay's height
    bool enabled = false;
    bool relative = true; // y is added to the running line position
    TInlayAlign align = TInlayAlign::Left;
    friend bool operator==(const TInlayLine &, const TInlayLine &) = default;
};
using TInlayLines = std::array<TInlayLine, kInlayLineCount>;

// The lines at creation: line 1 "Write an inlay", enabled; the others off.
TInlayLines InitialInlayLines();

// The template table of the video window: per line a template, a %D format
// and fallback, a %R format and fallback; one fallback for %T and for %S.
struct TInlayTemplates {
    std::array<QString, kInlayLineCount> pattern;
    std::array<QString, kInlayLineCount> dateFormat;
    std::array<QString, kInlayLineCount> dateFallback;
    QString timecodeFallback;
    QString timestampFallback;
    std::array<QString, kInlayLineCount> realDateFormat;
    std::array<QString, kInlayLineCount> realDateFallback;
};

// The values of the session, each unknown until its first message.
struct TInlayValues {
    std::optional<double> realDateTime; // date-time number
    std::optional<QString> number;      // number text of the next image
    std::optional<QString> fileName;    // full path of the video
    double timeDifference = 0;          // days added to the DV date
};

// The values that travel with one frame: its position text and the DV codes
// read from it. Empty when the frame carries none.
struct TInlayFrameRecord {
    std::optional<QString> timeStamp;
    std::optional<TDVCodeEntry> dvCodes;
};

// File-name parts, split on the last "/".
QString FileNamePart(const QString &path);  // %F
QString FolderPart(const QString &path);    // %P
QString ExtensionPart(const QString &path); // %E

// The text of line `line` (0-based) for its template.
QString ExpandInlayTemplate(int line, const TInlayTemplates &templates, const TInlayValues &values,
                            const TInlayFrameRecord &frame);

// Every line: an empty template disables the line and clears its text;
// otherwise the line is enabled with the expanded text. Offsets and flags
// are kept; align applies to all lines.
void ExpandInlayLines(TInlayLines &lines, TInlayAlign align, const TInlayTemplates &templates,
                      const TInlayValues &values, const TInlayFrameRecord &frame);

// Which value sources the templates need (the source analysis).
struct TInlaySources {
    bool dvCodes = false;  // the DV notifier sends codes (only with a DV source)
    bool realDate = false; // the 250 ms real-date timer
    bool fileName = false; // the video path is sent when it changes
    bool number = false;   // the number text is sent when it changes
    friend bool operator==(const TInlaySources &, const TInlaySources &) = default;
};

TInlaySources AnalyseInlaySources(bool inlayOn, const QString &pattern1, const QString &pattern2,
                                  bool hasDVSource);

// The analysis with the memory of its last result: tells which values must
// be sent at once because their flag has just become true.
class TInlaySourceSwitch
{
public:
    struct TChange {
        TInlaySources sources;
        bool sendFileNameNow = false;
        bool sendNumberNow = false;
        bool sendDVCodesNow = false; // the notifier sends the current codes at once
    };
    TChange Analyse(bool inlayOn, const QString &pattern1, const QString &pattern2,
                    bool hasDVSource);
    const TInlaySources &Sources() const { return m_sources; }

private:
    TInlaySources m_sources;
};

// The insert commands and iaInsertMode.
enum class TInsertMode : int {
    None = -1,
    Timestamp = 0,
    Numero = 1,
    Timecode = 2,
    Datecode = 3,
    Perso = 4,
    SysdateTime = 5
};

struct TInsertCommand {
    const char *action; // "naInsertTimestamp"
    TInsertMode mode;
    const char *pattern1; // nullptr: the custom template of the page
    const char *pattern2;
    bool needsDV; // enabled only with a DV source
};

// The six commands in the order of the page's buttons.
const std::array<TInsertCommand, 6> &InsertCommands();
const TInsertCommand *InsertCommandOf(TInsertMode mode);
const TInsertCommand *InsertCommandNamed(const QString &action);

struct TInsertPatterns {
    QString pattern1, pattern2;
};
// The two templates a mode sets; Perso takes the two custom texts. Nothing
// for a mode outside 0 to 5.
std::optional<TInsertPatterns> InsertPatterns(TInsertMode mode, const QString &perso1,
                                              const QString &perso2);

// The real-date timer: every 250 ms while %R is in use, the date and time of
// `now` goes to the inlay and the picture is redisplayed, so a paused picture
// shows the running clock. Nothing while the timer is off.
inline constexpr int kSysDateIntervalMs = 250;
std::optional<double> SysDateTick(bool timerOn, const QDateTime &now);
