#pragma once
// Short media files made at test time by real encoders (ffmpeg), cached under
// the build tree so that every test process of a run reuses them.

#include <QString>
#include <QStringList>

namespace fixtures {

// Makes the named fixture once and returns its path; an empty path when it
// cannot be made (ffmpeg missing or failing). Names:
//   avi_mjpeg_pcm.avi  320x240 25 fps MJPEG + PCM
//   mp4_h264.mp4       320x240 25 fps H.264 + AAC
//   mkv_h264_ntsc.mkv  320x240 29.97 fps H.264 + Vorbis
//   mkv_two_videos.mkv two H.264 streams (320x240, 160x120) + Vorbis
//   mpeg2_ps.mpg       720x576 25 fps MPEG-2 + MP2 program stream
//   mpeg2_ts.ts        720x576 25 fps MPEG-2 + MP2 transport stream
//   mpeg2_ac3.mpg      720x576 25 fps MPEG-2 + AC-3 program stream (as on a DVD)
//   wmv_asf.wmv        320x240 WMV2 + WMA2
//   sine.wav           PCM 44.1 kHz mono
//   dv_pal.dv          raw DV, PAL, 48 kHz stereo
//   dv_type2.avi       DV in AVI with a separate audio stream
//   dv_type1.avi       interleaved DV in AVI ("iavs"), written here
//   random.avi         random bytes
// and the clips whose frames show their own index (read it back with
// frameIndexOf), kIndexedFrames frames at 25 fps with audio, a key frame every
// 12 frames where the codec has inter frames:
//   indexed.mp4, indexed.mov, indexed.mkv  320x240 H.264 (B-frames) + AAC/Vorbis
//   indexed_aac.mkv                        indexed.mkv with AAC: first frame at 21 ms
//   indexed_mjpeg.avi                      320x240 MJPEG + PCM
//   indexed.mpg, indexed.ts                720x576 MPEG-2 (B-frames) + MP2
//   indexed.wmv                            320x240 WMV2 + WMA2
//   indexed.dv, indexed_dv_type1.avi       720x576 PAL DV, raw and interleaved AVI
//   indexed_long.mp4, indexed_long.mkv      160x120 H.264, kLongIndexedFrames, key every 50, no
//   audio indexed_long.ts                         160x120 MPEG-2, the same
QString mediaFixture(const QString &name);

inline constexpr int kIndexedFrames = 50;
inline constexpr int kLongIndexedFrames = 250; // 10 s

// The ffmpeg lavfi source of `frames` frames at `size` ("WxH") that show their
// own index, 25 fps, as the indexed clips have them.
QString IndexedLavfiSource(const QString &size, int frames);

// Every indexed clip's name.
QStringList indexedFixtureNames();

// Every fixture name above.
QStringList mediaFixtureNames();

// Folder of the fixture cache.
QString mediaFixtureDir();

// Writes a type-1 DV AVI (one "iavs" stream of whole frames with a DVINFO
// block) from a raw DV file. False when the input holds no whole frame.
bool writeType1DvAvi(const QString &rawDv, const QString &avi);

} // namespace fixtures
