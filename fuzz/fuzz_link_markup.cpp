// The link label's markup: runs cover the text, links lie inside it.
#include "FuzzSupport.h"
#include "controls/uLinkMarkup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const TLinkDocument doc = BuildLinkDocument(fuzzText(data, size), TLinkMarkupStyle());
    int covered = 0;
    for (const TLinkRun &run : doc.runs) {
        FUZZ_CHECK(run.start == covered && run.length >= 0);
        covered += run.length;
    }
    FUZZ_CHECK(doc.runs.isEmpty() || covered == doc.text.size());
    for (const TLinkRef &link : doc.links) {
        FUZZ_CHECK(0 <= link.start && link.start <= link.end && link.end <= doc.text.size());
        doc.LinkAt(link.start);
    }
    return 0;
}
