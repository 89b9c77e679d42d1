#include "uDVPack.h"

namespace {

// Offsets inside one DIF sequence.
constexpr qsizetype kHeaderSystem = 3;
constexpr qsizetype kHeaderFlags = 5;
constexpr qsizetype kHeaderAP3 = 7;
constexpr qsizetype kSubcode1Pack = 110;
constexpr qsizetype kSubcode2Pack = 190;
constexpr qsizetype kVauxOddSource = 243, kVauxOddControl = 248;
constexpr qsizetype kVauxEvenSource = 448, kVauxEvenControl = 453;
constexpr qsizetype kRecDatePack = 458;
constexpr qsizetype kRecTimePack = 463;
constexpr qsizetype kAauxOddSource = 483, kAauxEvenSource = 4323;
constexpr qsizetype kAauxControlDistance = 1280;

constexpr quint8 kPackTimecode = 0x13;
constexpr quint8 kPackAauxSource = 0x50, kPackAauxControl = 0x51;
constexpr quint8 kPackVauxSource = 0x60, kPackVauxControl = 0x61;
constexpr quint8 kPackRecDate = 0x62, kPackRecTime = 0x63;

// One DIF sequence of the frame, or none when the buffer does not hold it whole.
struct TSequence {
    const quint8 *data = nullptr;
    explicit operator bool() const { return data != nullptr; }
    quint8 operator[](qsizetype offset) const { return data[offset]; }
};

TSequence sequenceAt(TDVFrame frame, int n)
{
    if (n < 0 || qsizetype(frame.size()) < (qsizetype(n) + 1) * kDVSequenceSize)
        return {};
    return {frame.data() + qsizetype(n) * kDVSequenceSize};
}

quint8 bcd(quint8 byte, quint8 tensMask)
{
    return quint8((byte & 0x0F) + 10 * ((byte & tensMask) >> 4));
}

// The first of sequences 0..9 whose byte at offset holds the pack header.
TSequence firstSequenceWith(TDVFrame frame, qsizetype offset, quint8 header)
{
    for (int n = 0; n < kDVScannedSequences; ++n) {
        const TSequence seq = sequenceAt(frame, n);
        if (!seq)
            break;
        if (seq[offset] == header)
            return seq;
    }
    return {};
}

int samplingFrequencyCode(quint8 pc4)
{
    return (pc4 >> 3) & 7;
}

} // namespace

TDVTimecode DVTimecode(TDVFrame frame, int sequence)
{
    const TSequence seq = sequenceAt(frame, sequence);
    if (!seq || seq[kSubcode1Pack] != kPackTimecode || seq[kSubcode2Pack] != kPackTimecode)
        return {kDVNoTimecode, 0, 0, 0};
    const qsizetype pc = kSubcode1Pack + 1;
    return {bcd(seq[pc + 3], 0x30), bcd(seq[pc + 2], 0x70), bcd(seq[pc + 1], 0x70),
            bcd(seq[pc], 0x30)};
}

TDVDateTime DVRecDateTime(TDVFrame frame, int sequence)
{
    const TSequence seq = sequenceAt(frame, sequence);
    if (!seq)
        return {};
    const quint8 dateHeader = seq[kRecDatePack], timeHeader = seq[kRecTimePack];
    if ((dateHeader != kPackRecDate && dateHeader != 0) ||
        (timeHeader != kPackRecTime && timeHeader != 0))
        return {};
    TDVDateTime result;
    result.day = bcd(seq[kRecDatePack + 2], 0x30);
    result.month = bcd(seq[kRecDatePack + 3], 0x10);
    const int yy = bcd(seq[kRecDatePack + 4], 0xF0);
    result.year = yy < 40 ? 2000 + yy : 1900 + yy;
    result.seconds = bcd(seq[kRecTimePack + 2], 0x70);
    result.minutes = bcd(seq[kRecTimePack + 3], 0x70);
    result.hours = bcd(seq[kRecTimePack + 4], 0x30);
    return result;
}

quint8 DVSystem(TDVFrame frame)
{
    int count625 = 0, count525 = 0;
    for (int n = 0; n < kDVScannedSequences; ++n) {
        const TSequence seq = sequenceAt(frame, n);
        if (!seq)
            return dvSystemUndecided; // a short buffer cannot be judged
        count625 += seq[kHeaderSystem] == 0xBF;
        count525 += seq[kHeaderSystem] == 0x3F;
    }
    if (count625 > count525)
        return dvSystem625;
    if (count525 > count625)
        return dvSystem525;
    return dvSystemUndecided;
}

bool DVIsWide(TDVFrame frame)
{
    const TSequence seq = firstSequenceWith(frame, kVauxEvenControl, kPackVauxControl);
    if (!seq)
        return false;
    const int displayMode = seq[kVauxEvenControl + 2] & 7;
    const int ap3 = seq[kHeaderAP3] & 7;
    return displayMode == 2 || (ap3 == 0 && displayMode == 7);
}

int DVAudioRate(TDVFrame frame)
{
    const TSequence seq = firstSequenceWith(frame, kAauxEvenSource, kPackAauxSource);
    if (!seq)
        return -1;
    switch (samplingFrequencyCode(seq[kAauxEvenSource + 4])) {
    case 0:
        return 48'000;
    case 1:
        return 44'100;
    case 2:
        return 32'000;
    default:
        return 0;
    }
}

int DVAudioBits(TDVFrame frame)
{
    const TSequence seq = firstSequenceWith(frame, kAauxEvenSource, kPackAauxSource);
    if (!seq)
        return -1;
    switch (seq[kAauxEvenSource + 4] & 7) {
    case 0:
        return 16;
    case 1:
        return 12;
    default:
        return 0;
    }
}

bool DVSequenceValid(TDVFrame frame, bool ntsc, int sequence)
{
    const TSequence seq = sequenceAt(frame, sequence);
    if (!seq)
        return false;
    if (seq[kHeaderSystem] != (ntsc ? 0x3F : 0xBF) || (seq[kHeaderFlags] & 0x80) != 0)
        return false;
    const bool even = sequence % 2 == 0;
    const qsizetype vauxSource = even ? kVauxEvenSource : kVauxOddSource;
    const qsizetype vauxControl = even ? kVauxEvenControl : kVauxOddControl;
    if (seq[vauxSource] != kPackVauxSource || seq[vauxControl] != kPackVauxControl)
        return false;
    const qsizetype aauxSource = even ? kAauxEvenSource : kAauxOddSource;
    if (seq[aauxSource] != kPackAauxSource || samplingFrequencyCode(seq[aauxSource + 4]) > 2)
        return false;
    return seq[aauxSource + kAauxControlDistance] == kPackAauxControl;
}

bool DVFrameValid(TDVFrame frame, bool ntsc)
{
    const int sequences = ntsc ? 10 : 12;
    for (int n = 0; n < sequences; ++n)
        if (!DVSequenceValid(frame, ntsc, n))
            return false;
    return true;
}

TDVSampleRange DVSampleRange(TDVSystemCode system, int frequencyCode)
{
    // Per frame: 1600 / 1920 samples at 48 kHz (525 / 625 lines), 1471.5 /
    // 1764 at 44.1 kHz, 1067.7 / 1280 at 32 kHz, each with its tolerance.
    static constexpr TDVSampleRange k525[] = {{1580, 1620}, {1452, 1489}, {1053, 1080}};
    static constexpr TDVSampleRange k625[] = {{1896, 1944}, {1742, 1786}, {1264, 1296}};
    if (frequencyCode < 0 || frequencyCode > 2 || system == dvSystemUndecided)
        return {};
    return system == dvSystem525 ? k525[frequencyCode] : k625[frequencyCode];
}

bool DVAudioSourceFits(TDVPack pack, TDVSystemCode system)
{
    const quint8 pc1 = pack[1], pc2 = pack[2], pc3 = pack[3], pc4 = pack[4];
    const bool fiftyFields = (pc3 & 0x20) != 0;
    if (system == dvSystemUndecided || fiftyFields != (system == dvSystem625))
        return false;
    const int audioType = pc3 & 0x1F, channelsPerBlock = (pc2 >> 5) & 3;
    if (audioType != 0 || channelsPerBlock > 1)
        return false;
    const int frequency = samplingFrequencyCode(pc4), quantization = pc4 & 7;
    if (frequency > 2 || quantization > 1 || (quantization == 1 && frequency != 2))
        return false;
    const TDVSampleRange range = DVSampleRange(system, frequency);
    const int samples = range.min + (pc1 & 0x3F);
    return samples <= range.max;
}

bool DVVideoSourceFits(TDVPack pack, TDVSystemCode system)
{
    const bool fiftyFields = (pack[3] & 0x20) != 0;
    return system != dvSystemUndecided && fiftyFields == (system == dvSystem625);
}
