#include "uFileDevices.h"

#include "mf/mfSourceBin.h"
#include "uFilterRecs.h"
#include "uGrapheMan.h"

namespace {
// The graph keeps refusing a name for another reason after this many tries.
constexpr int kMaxNameAttempts = 100;
} // namespace

TFileDevice::TFileDevice(const QString &fileName, TFilterRec *source, TFilterRec *splitter)
    : TMediaDevice(fileName, 1), FileName(fileName), SourceRec(source), SplitterRec(splitter)
{
    Probe();
}

TFileDevice::~TFileDevice()
{
    if (Session)
        Disconnect();
}

bool TFileDevice::Connect()
{
    if (!Session)
        return false;
    TFilterRecs &recs = TFilterRecs::Global();
    TMfGraph *graph = Session->Graph();
    const auto fail = [this] {
        Disconnect();
        return false;
    };
    if (SourceRec && !SourceRec->ClassId.isNull()) {
        SourceFilter = recs.GetInstance(SourceRec);
        if (!SourceFilter || FAILED(MfLoadFile(SourceFilter, FileName)))
            return fail();
    }
    OutputFilter = SourceFilter;
    if (SourceFilter) {
        HRESULT hr = graph->AddFilter(SourceFilter, SourceRec->Name);
        for (int i = 1; hr == VFW_E_DUPLICATE_NAME && i < kMaxNameAttempts; ++i)
            hr = graph->AddFilter(SourceFilter, SourceRec->Name + QStringLiteral("_%1").arg(i));
        if (FAILED(hr))
            return fail();
    }
    if (SplitterRec) {
        if (GstElement *splitter = recs.GetInstance(SplitterRec)) {
            SplitterFilter = splitter;
            OutputFilter = splitter;
            if (FAILED(graph->AddFilter(splitter, SplitterRec->Name)) ||
                FAILED(graph->ConnectDirect(mf::Pin(SourceFilter, 0), mf::Pin(splitter, 0))))
                return fail();
        }
    }
    return true;
}

bool TFileDevice::Disconnect()
{
    if (!Session)
        return false;
    TMfGraph *graph = Session->Graph();
    if (SplitterFilter && graph->Contains(SplitterFilter))
        graph->RemoveFilter(SplitterFilter);
    if (SourceFilter && graph->Contains(SourceFilter))
        graph->RemoveFilter(SourceFilter);
    TFilterRecs::Global().ReleaseInstance(SourceRec);
    SourceFilter = SplitterFilter = OutputFilter = nullptr;
    return true;
}
