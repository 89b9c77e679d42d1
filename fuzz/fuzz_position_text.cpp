// Position text: any text parses to a time; a time's text parses back to the
// frame it names.
#include "FuzzSupport.h"
#include "mf/uPositionText.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size >= 16) {
        qint64 duration = 0, position = 0;
        std::memcpy(&duration, data, 8);
        std::memcpy(&position, data + 8, 8);
        const QString text = PositionToText(duration, position);
        TextToPosition(text, duration);
        data += 16;
        size -= 16;
    }
    const QString text = fuzzText(data, size);
    for (qint64 duration : {qint64(0), qint64(400'000), qint64(333'667), qint64(1), qint64(-1)})
        TextToPosition(text, duration);
    return 0;
}
