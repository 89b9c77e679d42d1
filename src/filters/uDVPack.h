#pragma once
// Decoding of the subcode and auxiliary packs of one consumer DV frame (DIF
// sequences of 150 blocks of 80 bytes): time code, recording date and time,
// television system, display aspect, audio rate and quantization, and the
// structure check. Pure functions: they read a handful of bytes and allocate
// nothing. A sequence that lies outside the buffer counts as absent, so a
// short buffer is never read past its end.

#include <QtGlobal>

#include <array>
#include <span>

using TDVFrame = std::span<const quint8>;

constexpr qsizetype kDVSequenceSize = 12'000;
constexpr qsizetype kDVFrameSize625 = 144'000; // 12 sequences, 625 lines / 50 fields
constexpr qsizetype kDVFrameSize525 = 120'000; // 10 sequences, 525 lines / 60 fields
// Only the first ten sequences are scanned for codes, whatever the system.
constexpr int kDVScannedSequences = 10;

// Hours, minutes, seconds, frames; no time code when the first byte has bit 7 set.
using TDVTimecode = std::array<quint8, 4>;
constexpr quint8 kDVNoTimecode = 0xFF;
inline bool DVTimecodePresent(const TDVTimecode &code)
{
    return (code[0] & 0x80) == 0;
}

struct TDVDateTime {
    int year = -1; // -1: no usable date packs
    quint8 month = 0, day = 0, hours = 0, minutes = 0, seconds = 0;
};

enum TDVSystemCode : quint8 { dvSystem625 = 0, dvSystem525 = 1, dvSystemUndecided = 2 };

TDVTimecode DVTimecode(TDVFrame frame, int sequence);
TDVDateTime DVRecDateTime(TDVFrame frame, int sequence);
quint8 DVSystem(TDVFrame frame);
bool DVIsWide(TDVFrame frame);
int DVAudioRate(TDVFrame frame); // 48000, 44100, 32000, 0 (other code), -1 (none)
int DVAudioBits(TDVFrame frame); // 16, 12, 0 (other code), -1 (none)
bool DVSequenceValid(TDVFrame frame, bool ntsc, int sequence);
bool DVFrameValid(TDVFrame frame, bool ntsc);

// --- single packs (5 bytes: header and PC1..PC4) -----------------------------
using TDVPack = std::span<const quint8, 5>;
constexpr quint8 kDVPackAudioSource = 0x50, kDVPackVideoSource = 0x60, kDVPackNoInfo = 0xFF;

// Audio samples one frame may carry per channel at a sampling frequency code
// (0: 48 kHz, 1: 44.1 kHz, 2: 32 kHz); {0, 0} for any other code.
struct TDVSampleRange {
    int min = 0, max = 0;
};
TDVSampleRange DVSampleRange(TDVSystemCode system, int frequencyCode);
// Whether an audio source pack describes audio a frame of `system` can hold:
// its 50/60 flag, the two-channel audio type, a known rate, 16-bit linear or
// (at 32 kHz) 12-bit samples, and a sample count within the system's range.
bool DVAudioSourceFits(TDVPack pack, TDVSystemCode system);
// Whether a video source pack's 50/60 flag is the frame's.
bool DVVideoSourceFits(TDVPack pack, TDVSystemCode system);
