#include "FrameIndex.h"

namespace fixtures {

namespace {

constexpr int kBits = 12;

// Mean grey of a small patch around (x, y), clipped to the picture.
int meanGrey(const QImage &image, int x, int y)
{
    int sum = 0, count = 0;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const int px = x + dx, py = y + dy;
            if (px < 0 || py < 0 || px >= image.width() || py >= image.height())
                continue;
            sum += qGray(image.pixel(px, py));
            ++count;
        }
    return count ? sum / count : 0;
}

} // namespace

int frameIndexOf(const QImage &image)
{
    if (image.isNull() || image.width() < kBits * 4 || image.height() < 16)
        return -1;
    int index = 0;
    for (int b = 0; b < kBits; ++b) {
        const int x = (2 * b + 1) * image.width() / (2 * kBits);
        const bool bit = meanGrey(image, x, image.height() / 4) > 128;
        const bool complement = meanGrey(image, x, 5 * image.height() / 8) > 128;
        if (bit == complement)
            return -1;
        index = index * 2 + (bit ? 1 : 0);
    }
    return index;
}

} // namespace fixtures
