#include "uDVGuard.h"

#include "uDVPack.h"

#include <algorithm>

namespace {

const TFilterClassInfo kClassInfo = {
    "KadrexDVGuard",
    TDVGuard::FactoryName,
    TDVGuard::FriendlyName,
    TDVGuard::ClassId,
    "Blanks the DV auxiliary packs that contradict their own frame",
    []() -> TInPlaceFilter * { return new TDVGuard; }};

constexpr qsizetype kBlockSize = 80;
constexpr int kBlocksPerSequence = 150;
constexpr qsizetype kPackSize = 5, kPackStart = 3;
constexpr int kVauxFirstBlock = 3, kVauxBlocks = 3, kPacksPerVauxBlock = 15;
constexpr int kAudioFirstBlock = 6, kAudioBlockSpacing = 16, kAudioBlocks = 9;
constexpr qsizetype kHeaderSystemByte = 3;
constexpr quint8 kSystemFlag625 = 0x80; // DSF: 625 lines, 50 fields

enum TSection : quint8 { sectHeader, sectSubcode, sectVaux, sectAudio, sectVideo };

TSection expectedSection(int block)
{
    if (block == 0)
        return sectHeader;
    if (block < kVauxFirstBlock)
        return sectSubcode;
    if (block < kAudioFirstBlock)
        return sectVaux;
    return (block - kAudioFirstBlock) % kAudioBlockSpacing == 0 ? sectAudio : sectVideo;
}

void blank(quint8 *pack)
{
    std::fill_n(pack, kPackSize, kDVPackNoInfo);
}

// Blanks the pack when it is a source pack of `header` that `fits` refuses.
template <typename Fits> int guardPack(quint8 *pack, quint8 header, Fits fits, TDVSystemCode system)
{
    if (pack[0] != header || fits(TDVPack(pack, kPackSize), system))
        return 0;
    blank(pack);
    return 1;
}

void guardSequence(quint8 *seq, TDVSystemCode system, TDVGuardReport &report)
{
    for (int block = 0; block < kBlocksPerSequence; ++block)
        report.badBlockIds += (seq[block * kBlockSize] >> 5) != expectedSection(block);
    // Decoders look packs up by their header wherever they stand, so every
    // pack place is checked, not only the usual ones.
    for (int b = 0; b < kVauxBlocks; ++b) {
        quint8 *block = seq + (kVauxFirstBlock + b) * kBlockSize + kPackStart;
        for (int p = 0; p < kPacksPerVauxBlock; ++p)
            report.blankedPacks +=
                guardPack(block + p * kPackSize, kDVPackVideoSource, DVVideoSourceFits, system);
    }
    for (int a = 0; a < kAudioBlocks; ++a) {
        quint8 *pack = seq + (kAudioFirstBlock + a * kAudioBlockSpacing) * kBlockSize + kPackStart;
        report.blankedPacks += guardPack(pack, kDVPackAudioSource, DVAudioSourceFits, system);
    }
}

TDVSystemCode headerSystem(const quint8 *frame)
{
    return (frame[kHeaderSystemByte] & kSystemFlag625) ? dvSystem625 : dvSystem525;
}

qsizetype frameSizeOf(TDVSystemCode system)
{
    return system == dvSystem625 ? kDVFrameSize625 : kDVFrameSize525;
}

} // namespace

TDVGuardReport DVGuardFrame(std::span<quint8> frame)
{
    TDVGuardReport report;
    if (frame.size() <= size_t(kHeaderSystemByte))
        return report;
    // The header's system is what decoders size the frame by.
    const TDVSystemCode system = headerSystem(frame.data());
    const qsizetype size = std::min(qsizetype(frame.size()), frameSizeOf(system));
    report.frames = size == frameSizeOf(system);
    for (qsizetype at = 0; at + kDVSequenceSize <= size; at += kDVSequenceSize)
        guardSequence(frame.data() + at, system, report);
    return report;
}

TDVGuardReport DVGuardBuffer(std::span<quint8> buffer)
{
    TDVGuardReport report;
    const qsizetype size = qsizetype(buffer.size());
    for (qsizetype at = 0; at + kHeaderSystemByte < size;) {
        const qsizetype frameSize = frameSizeOf(headerSystem(buffer.data() + at));
        const qsizetype length = std::min(frameSize, size - at);
        const TDVGuardReport one = DVGuardFrame(buffer.subspan(size_t(at), size_t(length)));
        report.frames += one.frames;
        report.blankedPacks += one.blankedPacks;
        report.badBlockIds += one.badBlockIds;
        at += frameSize;
    }
    return report;
}

bool TDVGuard::Register()
{
    return RegisterInPlaceFilter(kClassInfo);
}

GstElement *TDVGuard::Create(const char *name)
{
    if (!Register())
        return nullptr;
    return gst_element_factory_make(FactoryName, name);
}

TDVGuard *TDVGuard::From(GstElement *element)
{
    return dynamic_cast<TDVGuard *>(TInPlaceFilter::FromElement(element));
}

bool TDVGuard::TransformBuffer(GstBuffer *buffer)
{
    const bool writable = gst_buffer_is_writable(buffer);
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, writable ? GST_MAP_READWRITE : GST_MAP_READ))
        return false;
    TDVGuardReport report;
    if (writable) {
        report = DVGuardBuffer({map.data, map.size});
    } else {
        QByteArray copy(reinterpret_cast<const char *>(map.data), qsizetype(map.size));
        report = DVGuardBuffer({reinterpret_cast<quint8 *>(copy.data()), size_t(copy.size())});
    }
    gst_buffer_unmap(buffer, &map);
    const bool mended = report.blankedPacks != 0;
    if (mended) {
        ++m_mended;
        GST_CAT_INFO_OBJECT(
            DebugCategory(), Element(), "buffer at %" G_GUINT64_FORMAT ": %d packs blanked%s",
            GST_BUFFER_OFFSET(buffer), report.blankedPacks, writable ? "" : " (shared: dropped)");
    }
    if (report.badBlockIds != 0)
        GST_CAT_LOG_OBJECT(DebugCategory(), Element(),
                           "buffer at %" G_GUINT64_FORMAT ": %d DIF blocks out of place",
                           GST_BUFFER_OFFSET(buffer), report.badBlockIds);
    return writable || !mended;
}
