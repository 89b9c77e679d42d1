#pragma once
// Where a JPEG came from, written into it through Exiv2: EXIF DateTimeOriginal
// (the DV recording date and time), XMP xmpDM:startTimecode (the DV time
// code), and in the program's own XMP namespace the source file's name, the
// frame's position text and its frame number.

#include "uJpegEncoder.h"

#include <QString>

#include <vector>

struct TFrameRecord;

// The program's XMP namespace; its properties appear as Xmp.kadrex.*.
inline constexpr char kKadrexXmpNamespace[] = "http://ns.norvane.org/kadrex/1.0/";
inline constexpr char kKadrexXmpPrefix[] = "kadrex";

// The APP1 markers (Exif, then XMP) for a frame; false with the reason when
// Exiv2 cannot encode them.
bool ProvenanceMarkers(const TFrameRecord &frame, std::vector<TJpegMarker> &markers,
                       QString *error = nullptr);
