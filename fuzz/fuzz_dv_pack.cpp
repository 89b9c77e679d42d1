// DV frames: the pack readers, the structure check, the date packs and the
// guard, which must leave nothing it would mend a second time.
#include "FuzzSupport.h"
#include "filters/uDVDate.h"
#include "filters/uDVGuard.h"
#include "filters/uDVPack.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const TDVFrame frame(data, size);
    DVSystem(frame);
    DVIsWide(frame);
    DVAudioRate(frame);
    DVAudioBits(frame);
    DVFrameValid(frame, false);
    DVFrameValid(frame, true);
    for (int n = -1; n <= 12; ++n) {
        DVTimecode(frame, n);
        double number = 0;
        if (DVDateTimeToNumber(DVRecDateTime(frame, n), number))
            FormatDVDate(kDefaultDVDateFormat, number);
        DVSequenceValid(frame, n % 2 == 0, n);
    }
    if (size >= 5) {
        const TDVPack pack(data, 5);
        for (TDVSystemCode system : {dvSystem625, dvSystem525, dvSystemUndecided}) {
            DVAudioSourceFits(pack, system);
            DVVideoSourceFits(pack, system);
        }
    }
    std::vector<quint8> copy(data, data + size);
    const TDVGuardReport first = DVGuardBuffer(copy);
    const TDVGuardReport second = DVGuardBuffer(copy);
    FUZZ_CHECK(second.blankedPacks == 0);
    FUZZ_CHECK(second.frames == first.frames);
    return 0;
}
