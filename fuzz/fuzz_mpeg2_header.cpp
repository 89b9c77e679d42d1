// The MPEG-2 sequence header at the start of a sample.
#include "FuzzSupport.h"
#include "filters/uNotifier.h"
#include "mf/uMediaTypes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TVideoData video;
    if (ParseMpeg2SequenceHeader(data, qsizetype(size), video)) {
        FUZZ_CHECK(video.width >= 0 && video.height >= 0);
        FinishVideoData(video);
    }
    return 0;
}
