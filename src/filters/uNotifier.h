#pragma once
// The notifier: an in-place element right behind a media source's output. It
// passes every sample on unchanged and works out what the stream is (video
// format, audio format, and for DV the recording date, time code, system and
// aspect), reporting to the components' message sinks with copied records.

#include "mf/mfMediaType.h"
#include "mf/uMediaTypes.h"
#include "uDVDate.h"
#include "uDVPack.h"
#include "uFrameMeta.h"
#include "uInPlaceFilter.h"

#include <QMetaType>
#include <QString>

#include <atomic>
#include <optional>
#include <vector>

// Per-frame stream data, copied whole into messages.
struct TframeData {
    qint32 frameNumber = -1; // frames seen since streaming started; 0 at the first
    bool interleavedDV = false;
    bool dvParsed = false;
    quint8 systemCode = dvSystemUndecided;
    bool dateValid = false;
    double recDateTime = 0;      // date-time number; 0 when no date packs were found
    double earliestDateTime = 0; // earliest valid recording date since streaming started
    QString dateText = QStringLiteral("No Datecode");
    bool timecodeValid = false;
    TDVTimecode timecode{kDVNoTimecode, 0, 0, 0};
    QString timecodeText = QStringLiteral("NoTimecode");
    QString audioFormatName;
    qint32 channels = 0;
    qint32 bitsPerSample = 0;
    qint32 sampleRate = 0;
    qint32 bitRate = 0;
    QString audioDescription;
};
Q_DECLARE_METATYPE(TframeData)

// The DV codes of a frame for the inlay.
struct TDVCodeEntry {
    bool dateValid = false;
    bool timecodeValid = false;
    double recDateTime = 0;
    QString timecodeText;
};
Q_DECLARE_METATYPE(TDVCodeEntry)

// "h:mm:ss:ff".
QString DVTimecodeText(const TDVTimecode &code);
// The entry of the codes a frame carries; nothing when it carries none.
std::optional<TDVCodeEntry> DVCodeEntryOf(const TFrameDVCodes &codes);

// The format name of an audio media type: by subtype, then the first four
// characters of its WAVE tag's name; empty for other major types.
QString AudioFormatName(const TMediaType &type);

// Reads an MPEG-2 sequence header at the start of a sample into the record
// (size, aspect code, frames per second, format text); false and no change
// when the sample does not start with one.
bool ParseMpeg2SequenceHeader(const quint8 *data, qsizetype size, TVideoData &video);

class TNotifier : public TInPlaceFilter
{
public:
    static constexpr const char *FactoryName = "kadrexnotifier";
    static constexpr const char *FriendlyName = "Norvane's Notifier";
    static constexpr const char *ClassId = "{904F906E-CC19-462D-95DF-B61A7082E6AD}";

    // Registers the element factory (once is enough; again is harmless).
    static bool Register();
    // Registers the element when needed and makes one (a floating reference).
    static GstElement *Create(const char *name = nullptr);
    static TNotifier *From(GstElement *element);

    // Configuration (user-interface thread).
    void ResetCodes();
    void ResetReports();
    void SetVideoReports(bool on);
    void SetAudioReports(bool on);
    void SetDVReports(bool on);
    bool VideoReports() const { return m_videoReports; }
    bool AudioReports() const { return m_audioReports; }
    bool DVReports() const { return m_dvReports; }
    void SetVideoWindow(TMessageSink sink) { m_videoWindow.Set(std::move(sink)); }
    void SetAudioWindow(TMessageSink sink) { m_audioWindow.Set(std::move(sink)); }
    void SetDVWindow(TMessageSink sink) { m_dvWindow.Set(std::move(sink)); }
    void SetInlayWindow(TMessageSink sink) { m_inlayWindow.Set(std::move(sink)); }
    void SetFrameDurationWindow(TMessageSink sink);
    void ClearFrameDurationWindow() { m_frameDurationReports = false; }
    // Sets the inlay-entry switch and posts one entry at once, also when switching off.
    void SetInlayCodes(bool on);
    bool InlayCodes() const { return m_inlayCodes; }
    void SetDateFormat(const QString &format);
    QString DateFormat() const;
    // The notifier sits behind the splitter of an interleaved DV source.
    void SetDVSource(bool on) { m_dvSource = on; }
    // Set by the audio source from AudioFormatName of its connection type.
    void SetAudioFormatName(const QString &name);

    // Copies of the current records, for any thread.
    TframeData FrameData() const;
    TVideoData VideoData() const;
    TMediaType AcceptedType() const;

protected:
    void StartStreaming() override;
    bool CheckInputType(GstCaps *caps) override;
    bool SetMediaType(GstCaps *caps) override;
    bool TransformBuffer(GstBuffer *buffer) override;
    // DV frames carry their codes on to the picture.
    bool LabelsBuffers() const override { return true; }

private:
    // Messages gathered under the lock and posted after it is released.
    using TOutbox = std::vector<std::pair<const TSinkSlot *, TNvMessage>>;

    void AnalyseMediaType(const TMediaType &type, TOutbox &out);
    bool DescribeAudio(const TMediaType &type);
    void ChangeCheckA(TOutbox &out);
    void ChangeCheckB(TOutbox &out);
    void ReportVideo(TOutbox &out);
    void ReportAudio(TOutbox &out);
    TNvMessage CodeEntryMessage() const;
    // Each returns whether it read the DV codes of the sample.
    bool ParseSample(const quint8 *data, qsizetype size);
    bool ParseVideoStreamDV(TDVFrame frame);
    bool ParseInterleavedDV(TDVFrame frame);
    TFrameDVCodes FrameDVCodes() const;
    void ReadDVCodes(TDVFrame frame, const QString &noDateText);
    QString DateText(double number);
    static void Flush(TOutbox &out);

    mutable QMutex m_lock; // guards the records and the date format below
    TframeData m_frame, m_prevFrame;
    TVideoData m_video, m_prevVideo;
    TMediaType m_inputType;
    TMediaType m_acceptedType; // GUIDs only
    QString m_dateFormat = kDefaultDVDateFormat;
    bool m_firstSample = true;
    qint64 m_lastFrameDuration = 0;
    double m_formattedDate = -1; // the last date text formatted, and from what
    QString m_formattedWith, m_formattedText;

    std::atomic<bool> m_active{false};
    std::atomic<bool> m_videoReports{false}, m_audioReports{false}, m_dvReports{false};
    std::atomic<bool> m_inlayCodes{false}, m_frameDurationReports{false};
    std::atomic<bool> m_dvSource{false};
    TSinkSlot m_videoWindow, m_audioWindow, m_dvWindow, m_inlayWindow, m_frameDurationWindow;
};
