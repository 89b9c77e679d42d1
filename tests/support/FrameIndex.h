#pragma once
// Reads back the index that the indexed clips (MediaFixtures.h) draw on each
// frame: 12 bits as columns over the top half, their complement below.

#include <QImage>

namespace fixtures {

// The frame's index, or -1 when the picture holds no readable index (a bit
// and its complement agree, or the picture is empty).
int frameIndexOf(const QImage &image);

} // namespace fixtures
