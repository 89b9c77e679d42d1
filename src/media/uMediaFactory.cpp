#include "uMediaFactory.h"

#include "mf/mfSourceBin.h"
#include "uFilterRecs.h"
#include "uGrapheMan.h"

#include <utility>
#include <vector>

namespace {
constexpr int kProbeBudgetMs = 5000;
}

TGrapheMan *TGrapheComponent::GrapheMan() const
{
    return static_cast<TGrapheMan *>(m_grapheMan.data());
}

void TGrapheComponent::SetGrapheMan(TGrapheMan *session)
{
    m_grapheMan = session;
}

TMediaFactory::TMediaFactory(QObject *owner) : TGrapheComponent(owner)
{
    TFilterRecs &recs = TFilterRecs::Global();
    LAVSplitterSource =
        recs.FindOrAdd(clsids::LAVSplitterSource, QStringLiteral("LAV Splitter Source"), fkSystem);
    FileSourceAsync =
        recs.FindOrAdd(clsids::FileSourceAsync, QStringLiteral("File Source (Async.)"), fkSystem);
    AVISplitter = recs.FindOrAdd(clsids::AVISplitter, QStringLiteral("AVI Splitter"), fkSystem);
    WMASFReader = recs.FindOrAdd(clsids::WMASFReader, QStringLiteral("WM ASF Reader"), fkSystem);
    WaveParser = recs.FindOrAdd(clsids::WaveParser, QStringLiteral("Wave Parser"), fkSystem);
    MPEG2Splitter =
        recs.FindOrAdd(clsids::MPEG2Splitter, QStringLiteral("MPEG-2 Splitter"), fkSystem);
    MPEGIStreamSplitter = recs.FindOrAdd(clsids::MPEGIStreamSplitter,
                                         QStringLiteral("MPEG-I Stream Splitter"), fkSystem);
    DVSplitter = recs.FindOrAdd(guids::CLSID_DVSplitter, QStringLiteral("DV Splitter"), fkSystem);
    m_preferred = LAVSplitterSource;
}

TMediaFactory::~TMediaFactory()
{
    ClearCache();
}

void TMediaFactory::ClearCache()
{
    qDeleteAll(m_cache);
    m_cache.clear();
}

QString TMediaFactory::Extension(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot < 0)
        return {};
    const QString ext = fileName.mid(dot);
    if (ext.contains(u'/') || ext.contains(u':'))
        return {};
    return ext.toLower();
}

TFileDevice *TMediaFactory::GetDevice(const QString &fileName)
{
    TGrapheMan *session = GrapheMan();
    if (!session)
        return nullptr;
    TFileDevice *device = m_cache.value(fileName);
    if (!device) {
        // A name without a device (extension not handled) is tried again.
        device = CreateDevice(fileName);
        m_cache.insert(fileName, device);
    }
    if (device)
        device->OwningSession = session;
    return device;
}

TFileDevice *TMediaFactory::CreateDevice(const QString &fileName)
{
    using TChoice = std::pair<TFilterRec *, TFilterRec *>;
    static const QStringList mpegExts = {".mts", ".m2ts", ".mkv", ".mov",  ".mp4",
                                         ".3g2", ".ts",   ".mpg", ".mpeg", ".m1v",
                                         ".mp2", ".mpe",  ".vob", ".m4v",  ".m2v"};
    const QString ext = Extension(fileName);
    std::vector<TChoice> choices;
    if (mpegExts.contains(ext))
        choices = {{m_preferred, nullptr},
                   {FileSourceAsync, MPEG2Splitter},
                   {FileSourceAsync, MPEGIStreamSplitter}};
    else if (ext == u".avi" || ext == u".ivf")
        choices = {{m_preferred, nullptr}, {FileSourceAsync, AVISplitter}};
    else if (ext == u".wmv" || ext == u".asf")
        choices = {{m_preferred, nullptr}, {WMASFReader, nullptr}};
    else if (ext == u".wav")
        choices = {{FileSourceAsync, WaveParser}};
    else if (ext == u".dv" || ext == u".dif")
        choices = {{m_preferred, nullptr}, {FileSourceAsync, DVSplitter}};
    else
        return nullptr;
    // However the file misbehaves, probing it ends within a few seconds.
    const TDiscoveryBudget budget(kProbeBudgetMs);
    for (size_t i = 0; i < choices.size(); ++i) {
        auto *device = new TFileDevice(fileName, choices[i].first, choices[i].second);
        if (device->Usable || i + 1 == choices.size())
            return device;
        delete device;
    }
    return nullptr;
}

void TMediaFactory::SetPreferredSource(TFilterRec *rec)
{
    m_preferred = rec && !rec->ClassId.isNull() ? rec : LAVSplitterSource;
    ClearCache();
}
