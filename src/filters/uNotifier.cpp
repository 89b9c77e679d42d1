#include "uNotifier.h"

#include "uFilterMessages.h"

#include <QMutexLocker>

using namespace guids;

namespace {

const TFilterClassInfo kClassInfo = {
    "KadrexNotifier",
    TNotifier::FactoryName,
    TNotifier::FriendlyName,
    TNotifier::ClassId,
    "Reports stream formats and DV codes of the samples passing through",
    []() -> TInPlaceFilter * { return new TNotifier; }};

constexpr qint64 kVideoGeometryChanged = 4;
constexpr qint64 kVideoFormatTextChanged = 2;
constexpr qint64 kAudioFormatChanged = 3;
constexpr double kNtscFramesPerSecond = 30000.0 / 1001.0;

const QString kNoDatecode = QStringLiteral("No Datecode");
const QString kNoTimecode = QStringLiteral("NoTimecode");

TMediaType guidsOf(const TMediaType &type)
{
    return {type.majortype, type.subtype, type.formattype, {}};
}

bool guidAccepts(const TGuid &accepted, const TGuid &offered)
{
    return accepted.isNull() || accepted == offered;
}

bool audioDiffersA(const TframeData &a, const TframeData &b)
{
    return a.audioFormatName != b.audioFormatName || a.channels != b.channels ||
           a.bitsPerSample != b.bitsPerSample || a.sampleRate != b.sampleRate ||
           a.bitRate != b.bitRate;
}

bool videoDiffersA(const TVideoData &a, const TVideoData &b)
{
    return a.width != b.width || a.height != b.height || a.pictAspectX != b.pictAspectX ||
           a.pictAspectY != b.pictAspectY || a.aspectCode != b.aspectCode;
}

bool videoDiffersB(const TVideoData &a, const TVideoData &b)
{
    return a.width != b.width || a.height != b.height || a.bitCount != b.bitCount ||
           a.framesPerSecond != b.framesPerSecond || a.avgTimePerFrame != b.avgTimePerFrame ||
           a.description != b.description || a.pictAspectX != b.pictAspectX ||
           a.pictAspectY != b.pictAspectY;
}

QString aspectSuffix(bool wide)
{
    return wide ? QStringLiteral(" (16x9)") : QStringLiteral(" (4x3)");
}

} // namespace

QString AudioFormatName(const TMediaType &type)
{
    if (type.majortype != MEDIATYPE_Audio)
        return {};
    QString name;
    if (type.subtype == MEDIASUBTYPE_MPEG2_AUDIO)
        name = QStringLiteral("MPEG2");
    else if (type.subtype == MEDIASUBTYPE_DOLBY_AC3)
        name = QStringLiteral("DOLBY AC3");
    else if (type.subtype == MEDIASUBTYPE_DVD_LPCM_AUDIO)
        name = QStringLiteral("LPCM");
    else if (type.subtype == MEDIASUBTYPE_MPEG1Packet)
        name = QStringLiteral("MPEG1Packet");
    else if (type.subtype == MEDIASUBTYPE_MPEG1Payload)
        name = QStringLiteral("MPEG1Payload");
    else if (type.subtype == MEDIASUBTYPE_MPEG1AudioPayload)
        name = QStringLiteral("MPEG1");
    else if (IsFourCCGuid(type.subtype))
        name = FourCCOrRGB(type.subtype.data1);
    if (type.formattype == FORMAT_WaveFormatEx && type.format.size() > 17) {
        const quint16 tag = ReadLE16(type.format, 0);
        const QString tagName = tag != 0 ? WaveTagName(tag).left(4) : QString();
        if (!tagName.isEmpty())
            name = tagName;
    }
    return name;
}

bool ParseMpeg2SequenceHeader(const quint8 *d, qsizetype size, TVideoData &video)
{
    if (size < 8 || d[0] != 0 || d[1] != 0 || d[2] != 1 || d[3] != 0xB3)
        return false;
    const int aspectInfo = d[7] >> 4, rateCode = d[7] & 0x0F;
    if (aspectInfo == 0 || rateCode == 0)
        return false;
    video.width = d[4] * 16 + (d[5] >> 4);
    video.height = (d[5] & 0x0F) * 256 + d[6];
    video.aspectCode = aspectInfo == 2   ? aspectcode::k4x3
                       : aspectInfo == 3 ? aspectcode::k16x9
                                         : aspectcode::kNone;
    static const double kRates[] = {24000.0 / 1001, 24, 25, 30000.0 / 1001, 30, 50,
                                    60000.0 / 1001, 60};
    // Reserved codes 9 to 15 keep the rate known so far.
    if (rateCode <= 8)
        video.framesPerSecond = kRates[rateCode - 1];
    video.formatText = QStringLiteral("MPEG2");
    if (video.aspectCode != aspectcode::kNone)
        video.formatText += aspectSuffix(video.aspectCode == aspectcode::k16x9);
    return true;
}

bool TNotifier::Register()
{
    return RegisterInPlaceFilter(kClassInfo);
}

GstElement *TNotifier::Create(const char *name)
{
    if (!Register())
        return nullptr;
    return gst_element_factory_make(FactoryName, name);
}

TNotifier *TNotifier::From(GstElement *element)
{
    return dynamic_cast<TNotifier *>(TInPlaceFilter::FromElement(element));
}

// --- configuration -------------------------------------------------------

void TNotifier::ResetCodes()
{
    m_videoReports = m_audioReports = m_dvReports = false;
    {
        QMutexLocker locker(&m_lock);
        m_frame.dateValid = false;
        m_frame.timecodeValid = false;
        m_frame.dateText = kNoDatecode;
        m_frame.timecodeText = kNoTimecode;
        m_frame.frameNumber = 0;
        m_video.description.clear();
        m_frame.audioFormatName.clear();
        m_dateFormat = kDefaultDVDateFormat;
    }
    ResetReports();
}

void TNotifier::ResetReports()
{
    QMutexLocker locker(&m_lock);
    m_lastFrameDuration = 0;
}

void TNotifier::SetVideoReports(bool on)
{
    m_videoReports = on;
    m_active = true;
}

void TNotifier::SetAudioReports(bool on)
{
    m_audioReports = on;
    m_active = true;
}

void TNotifier::SetDVReports(bool on)
{
    m_dvReports = on;
    m_active = true;
}

void TNotifier::SetFrameDurationWindow(TMessageSink sink)
{
    m_frameDurationWindow.Set(std::move(sink));
    m_frameDurationReports = true;
}

void TNotifier::SetInlayCodes(bool on)
{
    m_inlayCodes = on;
    TNvMessage entry;
    {
        QMutexLocker locker(&m_lock);
        entry = CodeEntryMessage();
    }
    m_inlayWindow.Post(entry);
}

void TNotifier::SetDateFormat(const QString &format)
{
    QMutexLocker locker(&m_lock);
    m_dateFormat = format;
}

QString TNotifier::DateFormat() const
{
    QMutexLocker locker(&m_lock);
    return m_dateFormat;
}

void TNotifier::SetAudioFormatName(const QString &name)
{
    QMutexLocker locker(&m_lock);
    m_frame.audioFormatName = name;
}

TframeData TNotifier::FrameData() const
{
    QMutexLocker locker(&m_lock);
    return m_frame;
}

TVideoData TNotifier::VideoData() const
{
    QMutexLocker locker(&m_lock);
    return m_video;
}

TMediaType TNotifier::AcceptedType() const
{
    QMutexLocker locker(&m_lock);
    return m_acceptedType;
}

// --- element overrides ---------------------------------------------------

void TNotifier::StartStreaming()
{
    QMutexLocker locker(&m_lock);
    if (!m_inputType.isNull())
        m_acceptedType = guidsOf(m_inputType);
    m_frame.frameNumber = -1;
    m_frame.earliestDateTime = 0;
    m_firstSample = true;
}

bool TNotifier::CheckInputType(GstCaps *caps)
{
    const TMediaType offered = MediaTypeFromCaps(caps);
    QMutexLocker locker(&m_lock);
    return guidAccepts(m_acceptedType.majortype, offered.majortype) &&
           guidAccepts(m_acceptedType.subtype, offered.subtype) &&
           guidAccepts(m_acceptedType.formattype, offered.formattype);
}

bool TNotifier::SetMediaType(GstCaps *caps)
{
    const TMediaType type = MediaTypeFromCaps(caps);
    GST_CAT_DEBUG_OBJECT(DebugCategory(), Element(), "input type %s %s %s, %d format bytes",
                         qPrintable(GuidToText(type.majortype)),
                         qPrintable(GuidToText(type.subtype)),
                         qPrintable(GuidToText(type.formattype)), int(type.format.size()));
    TOutbox out;
    {
        QMutexLocker locker(&m_lock);
        m_inputType = type;
        m_acceptedType = guidsOf(type);
        AnalyseMediaType(type, out);
    }
    Flush(out);
    return true;
}

bool TNotifier::TransformBuffer(GstBuffer *buffer)
{
    if (!m_active)
        return true;
    GstMapInfo map;
    const bool mapped = gst_buffer_map(buffer, &map, GST_MAP_READ);
    TOutbox out;
    {
        QMutexLocker locker(&m_lock);
        ChangeCheckA(out);
        if (m_dvReports) // the codes of the previous sample
            out.emplace_back(&m_dvWindow,
                             TNvMessage{kNvMsgDVFrameData, 0, 0, QVariant::fromValue(m_frame)});
        m_prevFrame = m_frame;
        m_prevVideo = m_video;
        if (mapped && ParseSample(map.data, qsizetype(map.size)))
            SetFrameDVCodes(buffer, FrameDVCodes());
        ChangeCheckA(out);
        if (m_firstSample) {
            ReportAudio(out);
            ReportVideo(out);
        }
        m_frame.frameNumber = m_prevFrame.frameNumber + 1;
        if (m_frame.recDateTime > 0 &&
            (m_frame.earliestDateTime == 0 || m_frame.earliestDateTime > m_frame.recDateTime))
            m_frame.earliestDateTime = m_frame.recDateTime;
        ChangeCheckB(out);
        m_firstSample = false;
        if (m_inlayCodes)
            out.emplace_back(&m_inlayWindow, CodeEntryMessage());
    }
    if (mapped)
        gst_buffer_unmap(buffer, &map);
    Flush(out);
    return true;
}

// --- analysis (under the lock) -------------------------------------------

void TNotifier::Flush(TOutbox &out)
{
    for (const auto &[slot, message] : out)
        slot->Post(message);
    out.clear();
}

void TNotifier::AnalyseMediaType(const TMediaType &type, TOutbox &out)
{
    m_frame.interleavedDV = false;
    TVideoData described;
    DescribeVideoType(type, described);
    m_video = described;
    if (type.formattype == FORMAT_DvInfo && type.format.size() >= mtlayout::kDvInfo) {
        m_frame.interleavedDV = true;
        if (m_videoReports) {
            m_frame.systemCode = dvSystemUndecided;
            m_video.aspectCode = aspectcode::kNone;
        }
    }
    if (m_video.valid && (m_videoReports || m_dvReports))
        ReportVideo(out);
    if (DescribeAudio(type) && m_audioReports)
        ReportAudio(out);
}

bool TNotifier::DescribeAudio(const TMediaType &type)
{
    if (type.formattype != FORMAT_WaveFormatEx || type.format.size() <= 17)
        return false;
    TframeData &f = m_frame;
    // The audio source names the format; a stream typed before it did still
    // gets its name rather than a description without one.
    if (f.audioFormatName.isEmpty())
        f.audioFormatName = AudioFormatName(type);
    f.channels = ReadLE16(type.format, 2);
    f.sampleRate = qint32(ReadLE32(type.format, 4));
    f.bitRate = qint32(ReadLE32(type.format, 8) * 8);
    f.bitsPerSample = ReadLE16(type.format, 14);
    QString text = f.audioFormatName;
    if (f.sampleRate > 0)
        text += QStringLiteral(" %1Hz").arg(f.sampleRate);
    if (f.bitsPerSample <= 0) {
        if (f.bitRate > 0)
            text += QStringLiteral(" %1Kb/s").arg(f.bitRate / 1000);
    } else {
        text += QStringLiteral(" %1bits ").arg(f.bitsPerSample);
    }
    if (f.channels == 1)
        text += QStringLiteral(" mono");
    else if (f.channels == 2)
        text += QStringLiteral(" stereo");
    else
        text += QStringLiteral(" %1 channels").arg(f.channels);
    f.audioDescription = text;
    return true;
}

void TNotifier::ChangeCheckA(TOutbox &out)
{
    if (m_videoReports && videoDiffersA(m_video, m_prevVideo))
        ReportVideo(out);
    if (m_audioReports && audioDiffersA(m_frame, m_prevFrame))
        ReportAudio(out);
}

void TNotifier::ChangeCheckB(TOutbox &out)
{
    if (m_audioReports && (audioDiffersA(m_frame, m_prevFrame) ||
                           m_frame.audioDescription != m_prevFrame.audioDescription))
        ReportAudio(out);
    if (m_videoReports && videoDiffersB(m_video, m_prevVideo))
        ReportVideo(out);
}

void TNotifier::ReportVideo(TOutbox &out)
{
    if (m_frameDurationReports && m_video.avgTimePerFrame != m_lastFrameDuration) {
        out.emplace_back(&m_frameDurationWindow,
                         TNvMessage{kNvMsgFrameDuration, m_video.avgTimePerFrame, 0, {}});
        m_lastFrameDuration = m_video.avgTimePerFrame;
    }
    if (m_videoReports) {
        const QVariant data = QVariant::fromValue(m_video);
        out.emplace_back(&m_videoWindow,
                         TNvMessage{kNvMsgVideoData, kVideoGeometryChanged, 0, data});
        out.emplace_back(&m_videoWindow,
                         TNvMessage{kNvMsgVideoData, kVideoFormatTextChanged, 0, data});
    }
}

void TNotifier::ReportAudio(TOutbox &out)
{
    if (m_audioReports)
        out.emplace_back(&m_audioWindow, TNvMessage{kNvMsgAudioData, kAudioFormatChanged, 0,
                                                    QVariant::fromValue(m_frame)});
}

TNvMessage TNotifier::CodeEntryMessage() const
{
    const TDVCodeEntry entry{m_frame.dateValid, m_frame.timecodeValid, m_frame.recDateTime,
                             m_frame.timecodeText};
    return {kNvMsgDVCodeEntry, 0, 0, QVariant::fromValue(entry)};
}

QString DVTimecodeText(const TDVTimecode &code)
{
    return QString::asprintf("%d:%.2d:%.2d:%.2d", code[0], code[1], code[2], code[3]);
}

std::optional<TDVCodeEntry> DVCodeEntryOf(const TFrameDVCodes &codes)
{
    if (!codes.present)
        return std::nullopt;
    const TDVTimecode code{codes.timecode[0], codes.timecode[1], codes.timecode[2],
                           codes.timecode[3]};
    return TDVCodeEntry{codes.dateValid, codes.timecodeValid, codes.recDateTime,
                        codes.timecodeValid ? DVTimecodeText(code) : kNoTimecode};
}

bool TNotifier::ParseSample(const quint8 *data, qsizetype size)
{
    const TMediaType &type = m_acceptedType;
    if (type.formattype == FORMAT_MPEG2Video && type.subtype == MEDIASUBTYPE_MPEG2_VIDEO)
        ParseMpeg2SequenceHeader(data, size, m_video);
    else if ((type.formattype == FORMAT_VideoInfo || type.formattype == FORMAT_VideoInfo2) &&
             (type.subtype == MEDIASUBTYPE_dvsd || type.subtype == MEDIASUBTYPE_dvcp))
        return ParseVideoStreamDV(TDVFrame(data, size_t(size)));
    else if (type.formattype == FORMAT_DvInfo)
        return ParseInterleavedDV(TDVFrame(data, size_t(size)));
    return false;
}

TFrameDVCodes TNotifier::FrameDVCodes() const
{
    TFrameDVCodes codes;
    codes.present = true;
    codes.dateValid = m_frame.dateValid;
    codes.timecodeValid = m_frame.timecodeValid;
    codes.recDateTime = m_frame.recDateTime;
    for (int n = 0; n < 4; ++n)
        codes.timecode[n] = m_frame.timecode[n];
    return codes;
}

bool TNotifier::ParseVideoStreamDV(TDVFrame frame)
{
    bool pal;
    if (qsizetype(frame.size()) == kDVFrameSize625)
        pal = true;
    else if (qsizetype(frame.size()) == kDVFrameSize525)
        pal = false;
    else
        return false;
    m_frame.dvParsed = false;
    m_frame.systemCode = DVSystem(frame);
    m_video.formatText = m_dvSource ? QStringLiteral("DV type 1") : m_video.description;
    m_video.formatText += pal ? QStringLiteral(" Pal") : QStringLiteral(" NTSC");
    m_video.framesPerSecond = pal ? 25.0 : kNtscFramesPerSecond;
    const bool wide = DVIsWide(frame);
    m_video.aspectCode = wide ? aspectcode::k16x9 : aspectcode::k4x3;
    m_video.formatText += aspectSuffix(wide);
    ReadDVCodes(frame, QStringLiteral("N/A"));
    m_frame.dvParsed = true;
    return true;
}

bool TNotifier::ParseInterleavedDV(TDVFrame frame)
{
    // The DV decoders read ten whole sequences: a shorter sample is not a frame.
    if (qsizetype(frame.size()) < kDVFrameSize525)
        return false;
    const bool structure525 = qsizetype(frame.size()) != kDVFrameSize625;
    m_frame.dvParsed = false;
    m_video.formatText = QStringLiteral("DV type1 ");
    m_frame.systemCode = DVSystem(frame);
    if (m_frame.systemCode == dvSystem625) {
        m_video.width = 720;
        m_video.height = 576;
        m_video.framesPerSecond = 25;
        m_video.formatText += QStringLiteral("Pal ");
        m_video.resolutionText = QStringLiteral("720x576 - 25 fps");
    } else if (m_frame.systemCode == dvSystem525) {
        m_video.width = 720;
        m_video.height = 480;
        m_video.framesPerSecond = kNtscFramesPerSecond;
        m_video.formatText += QStringLiteral("NTSC ");
        m_video.resolutionText = QStringLiteral("720x480 - 29.97 fps");
    }
    const bool wide = DVIsWide(frame);
    m_video.aspectCode = wide ? aspectcode::k16x9 : aspectcode::k4x3;
    m_video.formatText += aspectSuffix(wide) + QLatin1Char(' ');
    m_frame.sampleRate = DVAudioRate(frame);
    m_frame.bitsPerSample = DVAudioBits(frame);
    m_frame.audioDescription =
        QStringLiteral("DV %1Hz %2bits stereo").arg(m_frame.sampleRate).arg(m_frame.bitsPerSample);
    ReadDVCodes(frame, kNoDatecode);
    m_frame.dvParsed = DVFrameValid(frame, structure525);
    return true;
}

QString TNotifier::DateText(double number)
{
    // Consecutive frames mostly share their recording second: format it once.
    if (number != m_formattedDate || m_dateFormat != m_formattedWith) {
        m_formattedDate = number;
        m_formattedWith = m_dateFormat;
        m_formattedText = FormatDVDate(m_dateFormat, number);
    }
    return m_formattedText;
}

void TNotifier::ReadDVCodes(TDVFrame frame, const QString &noDateText)
{
    TDVDateTime packs;
    for (int n = 0; n < kDVScannedSequences && packs.year == -1; ++n)
        packs = DVRecDateTime(frame, n);
    double number = 0;
    m_frame.dateValid = packs.year != -1 && DVDateTimeToNumber(packs, number);
    m_frame.recDateTime = number;
    m_frame.dateText = m_frame.dateValid ? DateText(number) : noDateText;

    TDVTimecode code{kDVNoTimecode, 0, 0, 0};
    for (int n = 0; n < kDVScannedSequences && !DVTimecodePresent(code); ++n)
        code = DVTimecode(frame, n);
    m_frame.timecodeValid = DVTimecodePresent(code);
    if (m_frame.timecodeValid) {
        m_frame.timecode = code;
        m_frame.timecodeText = DVTimecodeText(code);
    } else {
        m_frame.timecodeText = kNoTimecode;
    }
}
