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
    for (GstElement *kept : {m_loadedSource, m_keptSplitter})
        if (kept)
            gst_object_unref(kept);
}

namespace {

// The record's instance, kept by the device with its own reference; the
// record lets go of it so that another device gets a filter of its own.
GstElement *keepInstance(TFilterRecs &recs, TFilterRec *rec)
{
    GstElement *instance = recs.GetInstance(rec);
    if (!instance)
        return nullptr;
    gst_object_ref(instance);
    if (rec->Kind != fkOwnInstance)
        recs.ReleaseInstance(rec);
    return instance;
}

} // namespace

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
    if (SourceRec && !SourceRec->ClassId.isNull() && !m_loadedSource) {
        GstElement *source = keepInstance(recs, SourceRec);
        if (!source)
            return fail();
        if (FAILED(MfLoadFile(source, FileName))) {
            gst_object_unref(source);
            return fail();
        }
        m_loadedSource = source;
    }
    SourceFilter = m_loadedSource;
    OutputFilter = SourceFilter;
    if (SourceFilter) {
        HRESULT hr = graph->AddFilter(SourceFilter, SourceRec->Name);
        for (int i = 1; hr == VFW_E_DUPLICATE_NAME && i < kMaxNameAttempts; ++i)
            hr = graph->AddFilter(SourceFilter, SourceRec->Name + QStringLiteral("_%1").arg(i));
        if (FAILED(hr))
            return fail();
    }
    if (SplitterRec) {
        if (!m_keptSplitter)
            m_keptSplitter = keepInstance(recs, SplitterRec);
        if (GstElement *splitter = m_keptSplitter) {
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
    SourceFilter = SplitterFilter = OutputFilter = nullptr;
    return true;
}
