#include "uDecoders.h"

#include "mf/mfPins.h"
#include "prefs/uPreferences.h"
#include "uGrapheMan.h"

#include <QHash>
#include <QThread>

#include <algorithm>
#include <cstring>
#include <exception>

// ---- Link lists ------------------------------------------------------------

TFilterRec *TDecoderLinks::Find(const TMediaTypeKey &type) const
{
    for (const TDecoderLink &link : m_links)
        if (link.type == type)
            return link.rec;
    return nullptr;
}

void TDecoderLinks::Set(const TMediaTypeKey &type, TFilterRec *rec)
{
    for (TDecoderLink &link : m_links)
        if (link.type == type) {
            link.rec = rec;
            return;
        }
    m_links.append({type, rec});
}

void TDecoderLinks::Remove(const TMediaTypeKey &type)
{
    m_links.removeIf([&](const TDecoderLink &link) { return link.type == type; });
}

namespace {

const QString kMajor = QStringLiteral("majortype"), kSub = QStringLiteral("subtype"),
              kFormat = QStringLiteral("formattype"), kPrivate = QStringLiteral("Private"),
              kName = QStringLiteral("name"), kDecoder = QStringLiteral("decoderguid");

// A GUID text that parses; the null GUID only when written as such.
bool readGuid(TNorvanePreferences &store, const QString &name, TGuid &guid)
{
    const QString text = store.ReadString(name, QString());
    guid = GuidFromText(text);
    return !guid.isNull() || text.trimmed() == GuidToText(guids::GUID_NULL);
}

bool loadLink(TNorvanePreferences &store, TDecoderLinks &links)
{
    TMediaTypeKey type;
    TGuid decoder;
    if (!readGuid(store, kMajor, type.majortype) || !readGuid(store, kSub, type.subtype) ||
        !readGuid(store, kFormat, type.formattype) || !readGuid(store, kDecoder, decoder))
        return false;
    const QString name = store.ReadString(kName, QString());
    const bool isPrivate = store.ReadBool(kPrivate, false);
    links.Set(type,
              TFilterRecs::Global().FindOrAdd(decoder, name, isPrivate ? fkPrivate : fkSystem));
    return true;
}

} // namespace

bool TDecoderLinks::Load(TNorvanePreferences &store)
{
    try {
        QStringList names;
        store.GetSectionNames(names);
        for (const QString &name : std::as_const(names)) {
            if (!store.OpenSection(name))
                continue;
            loadLink(store, *this);
            store.CloseSection();
        }
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

bool TDecoderLinks::Save(TNorvanePreferences &store)
{
    try {
        QSet<QString> written;
        bool ok = true;
        for (int i = 0; i < m_links.size(); ++i) {
            const TDecoderLink &link = m_links[i];
            if (!link.rec || link.rec->Kind == fkOwnInstance)
                continue;
            const QString section = QStringLiteral("dc%1").arg(i);
            if (!store.OpenSection(section)) {
                ok = false;
                continue;
            }
            written.insert(section.toLower());
            ok = store.WriteString(kMajor, GuidToText(link.type.majortype)) && ok;
            ok = store.WriteString(kSub, GuidToText(link.type.subtype)) && ok;
            ok = store.WriteString(kFormat, GuidToText(link.type.formattype)) && ok;
            ok = store.WriteString(kDecoder, GuidToText(link.rec->ClassId)) && ok;
            ok = store.WriteString(kName, link.rec->Name) && ok;
            ok = store.WriteBool(kPrivate, link.rec->Kind == fkPrivate) && ok;
            store.CloseSection();
        }
        // What earlier saves left beyond this one would come back at the next load.
        QStringList existing;
        store.GetSectionNames(existing);
        for (const QString &name : std::as_const(existing))
            if (!written.contains(name.toLower()) && !name.contains(QLatin1Char('\\')))
                ok = store.DeleteSection(name) && ok;
        return ok;
    } catch (const std::exception &) {
        return false;
    }
}

// ---- Records and tables of the run ----------------------------------------------

namespace decoders {

namespace {

struct TBuiltIns {
    TFilterRec *noVideo, *noAudio, *dtvVideo, *dtvAudio;
    TDecoderLinks videoExcluded, audioExcluded, videoPrefs, audioPrefs;

    TBuiltIns()
    {
        TFilterRecs &recs = TFilterRecs::Global();
        noVideo = recs.FindOrAdd(guids::GUID_NULL, QStringLiteral("No Video decoder"), fkSystem);
        noAudio = recs.FindOrAdd(guids::GUID_NULL, QStringLiteral("No Audio decoder"), fkSystem);
        dtvVideo = recs.FindOrAdd(GuidFromText("{212690FB-83E5-4526-8FD7-74478B7939CD}"),
                                  QStringLiteral("Microsoft DTV-DVD Video Decoder"), fkSystem);
        dtvAudio = recs.FindOrAdd(GuidFromText("{E1F1A0B8-BEEE-490D-BA7C-066C40B5E2B9}"),
                                  QStringLiteral("Microsoft DTV-DVD Audio Decoder"), fkSystem);
        // H.264 in every form it is known by, "avc1" in lower case included.
        for (const char *subtype :
             {"{34363248-0000-0010-8000-00AA00389B71}", "{34363268-0000-0010-8000-00AA00389B71}",
              "{8D2D71CB-243F-45E3-B2D8-5FD7967EC09B}", "{31435641-0000-0010-8000-00AA00389B71}",
              "{31637661-0000-0010-8000-00AA00389B71}"})
            videoExcluded.Set({guids::MEDIATYPE_Video, GuidFromText(subtype), guids::GUID_NULL},
                              dtvVideo);
        audioExcluded.Set({guids::MEDIATYPE_Audio, guids::MEDIASUBTYPE_DOLBY_AC3, guids::GUID_NULL},
                          dtvAudio);
    }
};

TBuiltIns &builtIns()
{
    static TBuiltIns b;
    return b;
}

} // namespace

TFilterRec *NoVideoDecoder()
{
    return builtIns().noVideo;
}
TFilterRec *NoAudioDecoder()
{
    return builtIns().noAudio;
}
TFilterRec *DTVDVDVideoDecoder()
{
    return builtIns().dtvVideo;
}
TFilterRec *DTVDVDAudioDecoder()
{
    return builtIns().dtvAudio;
}
TDecoderLinks &VideoExcluded()
{
    return builtIns().videoExcluded;
}
TDecoderLinks &AudioExcluded()
{
    return builtIns().audioExcluded;
}
TDecoderLinks &VideoPreferences()
{
    return builtIns().videoPrefs;
}
TDecoderLinks &AudioPreferences()
{
    return builtIns().audioPrefs;
}

TGuid FactoryClassIdOf(GstElementFactory *factory)
{
    if (const char *meta = gst_element_factory_get_metadata(factory, "class-id")) {
        const TGuid id = GuidFromText(QString::fromUtf8(meta));
        if (!id.isNull())
            return id;
    }
    return FactoryClassId(QString::fromUtf8(gst_plugin_feature_get_name(factory)));
}

namespace {

// How many element factories carry each long name, for telling apart those
// that share one (avdec_ac3 and avdec_ac3_fixed do).
int factoriesNamed(const QString &longName)
{
    static QHash<QString, int> counts;
    static guint cookie = 0;
    GstRegistry *registry = gst_registry_get();
    if (counts.isEmpty() || cookie != gst_registry_get_feature_list_cookie(registry)) {
        counts.clear();
        cookie = gst_registry_get_feature_list_cookie(registry);
        GList *features = gst_registry_get_feature_list(registry, GST_TYPE_ELEMENT_FACTORY);
        for (GList *l = features; l; l = l->next)
            ++counts[QString::fromUtf8(gst_element_factory_get_metadata(
                GST_ELEMENT_FACTORY(l->data), GST_ELEMENT_METADATA_LONGNAME))];
        gst_plugin_feature_list_free(features);
    }
    return counts.value(longName);
}

} // namespace

TGuid ElementClassId(GstElement *element)
{
    GstElementFactory *factory = element ? gst_element_get_factory(element) : nullptr;
    return factory ? FactoryClassIdOf(factory) : guids::GUID_NULL;
}

QString ElementFriendlyName(GstElement *element)
{
    if (!element)
        return {};
    GstElementFactory *factory = gst_element_get_factory(element);
    if (!factory)
        return QString::fromUtf8(GST_OBJECT_NAME(element));
    const QString longName =
        QString::fromUtf8(gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_LONGNAME));
    if (factoriesNamed(longName) > 1)
        return QStringLiteral("%1 (%2)").arg(
            longName, QString::fromUtf8(gst_plugin_feature_get_name(factory)));
    return longName;
}

bool IsDecoderElement(GstElement *element)
{
    GstElementFactory *factory = element ? gst_element_get_factory(element) : nullptr;
    return factory && gst_element_factory_list_is_type(factory, GST_ELEMENT_FACTORY_TYPE_DECODER);
}

bool IsConverterElement(GstElement *element)
{
    GstElementFactory *factory = element ? gst_element_get_factory(element) : nullptr;
    const gchar *klass =
        factory ? gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS) : nullptr;
    return klass && std::strstr(klass, "Converter") && !IsDecoderElement(element);
}

} // namespace decoders

// ---- The manager -------------------------------------------------------------

TDecoderMan::TDecoderMan(QObject *owner) : QObject(owner) {}

void TDecoderMan::SetTables(TDecoderLinks *excluded, TDecoderLinks *preferences, TFilterRec *none)
{
    m_excludedTable = excluded;
    m_preferences = preferences;
    m_none = none;
    if (!m_current)
        m_current = none;
}

void TDecoderMan::SetSession(TGrapheMan *session)
{
    m_session = session;
}

void TDecoderMan::Reset()
{
    m_excluded.clear();
    m_candidateIndex = 0;
    m_phase = 0;
}

void TDecoderMan::Exclude(const TGuid &classId)
{
    m_excluded.insert(GuidToText(classId));
}

bool TDecoderMan::vetoes(GstElementFactory *factory) const
{
    if (m_partsOnly && gst_element_factory_list_is_type(factory, GST_ELEMENT_FACTORY_TYPE_DECODER))
        return true;
    return m_excluded.contains(GuidToText(decoders::FactoryClassIdOf(factory)));
}

void TDecoderMan::addBuiltInExclusions()
{
    if (!m_excludedTable)
        return;
    const auto fits = [](const TGuid &row, const TGuid &current) {
        return row.isNull() || row == current;
    };
    for (const TDecoderLink &row : m_excludedTable->Links())
        if (row.rec && fits(row.type.majortype, m_type.majortype) &&
            fits(row.type.subtype, m_type.subtype) && fits(row.type.formattype, m_type.formattype))
            Exclude(row.rec->ClassId);
}

bool TDecoderMan::Connect(GstElement *upstream, GstElement *downstream)
{
    if (!m_session || !upstream || !downstream)
        return false;
    m_upstream = upstream;
    m_downstream = downstream;
    TMfGraph *graph = m_session->Graph();
    graph->SetConnectVeto([this](GstElementFactory *f) { return vetoes(f); });
    bool ok = false;
    try {
        const TMediaType type = mf::ConnectionMediaType(mf::Pin(upstream, 0));
        m_type = {type.majortype, type.subtype, type.formattype};
        if (m_phase == 0) {
            m_phase = 1;
            m_candidateIndex = 0;
            if (m_preferred && !m_preferred->ClassId.isNull())
                ok = tryDecoder(m_preferred);
        }
        if (!ok && m_phase == 1) {
            while (!ok && m_candidateIndex < Candidates.size()) {
                TFilterRec *candidate = Candidates[m_candidateIndex++];
                if (m_preferred && candidate->Name == m_preferred->Name &&
                    candidate->ClassId == m_preferred->ClassId)
                    continue;
                ok = tryDecoder(candidate);
            }
            if (!ok) {
                m_phase = 2;
                m_candidateIndex = 0;
                m_excluded.clear();
                addBuiltInExclusions();
                // The preference and the candidates have had their turn: the
                // framework's brings the others, so that "next decoder"
                // always changes the decoder.
                if (m_preferred && !m_preferred->ClassId.isNull())
                    Exclude(m_preferred->ClassId);
                for (TFilterRec *candidate : std::as_const(Candidates))
                    if (candidate && !candidate->ClassId.isNull())
                        Exclude(candidate->ClassId);
            }
        }
        if (!ok && m_phase == 2)
            ok = plainConnect();
    } catch (const std::exception &) {
        ok = false;
    }
    graph->SetConnectVeto({});
    m_partsOnly = false;
    return ok;
}

namespace {

GstPad *firstPin(GstElement *element, GstPadDirection direction)
{
    for (GstPad *pad : mf::Pins(element))
        if (GST_PAD_DIRECTION(pad) == direction)
            return pad;
    return nullptr;
}

bool hasConnectedPin(GstElement *element)
{
    for (GstPad *pad : mf::Pins(element))
        if (mf::IsConnected(pad))
            return true;
    return false;
}

} // namespace

bool TDecoderMan::addUnderUniqueName(GstElement *element, const QString &name)
{
    // A taken name is refused: the next of "_1", "_2"... is tried instead.
    TMfGraph *graph = m_session->Graph();
    HRESULT hr = graph->AddFilter(element, name);
    for (int i = 1; hr == VFW_E_DUPLICATE_NAME && i < 1000; ++i)
        hr = graph->AddFilter(element, name + QStringLiteral("_%1").arg(i));
    return hr == S_OK;
}

void TDecoderMan::removeElement(GstElement *element)
{
    if (element && m_session && m_session->Graph()->Contains(element))
        m_session->Graph()->RemoveFilter(element);
}

bool TDecoderMan::connectLegs(GstElement *decoder)
{
    TMfGraph *graph = m_session->Graph();
    GstPad *in = firstPin(decoder, GST_PAD_SINK), *out = firstPin(decoder, GST_PAD_SRC);
    if (!in || !out)
        return false;
    // Parsers in front and converters behind, but no second decoder.
    m_partsOnly = true;
    const bool ok = SUCCEEDED(graph->Connect(mf::Pin(m_upstream, 1), in)) &&
                    SUCCEEDED(graph->Connect(out, mf::Pin(m_downstream, 0)));
    m_partsOnly = false;
    return ok;
}

bool TDecoderMan::tryDecoder(TFilterRec *rec)
{
    if (!rec || rec->ClassId.isNull())
        return false;
    TFilterRecs &recs = TFilterRecs::Global();
    GstElement *decoder = recs.GetInstance(rec);
    if (!decoder)
        return false;
    if (!addUnderUniqueName(decoder, rec->Name)) {
        recs.ReleaseInstance(rec);
        return false;
    }
    if (connectLegs(decoder) && hasConnectedPin(decoder))
        return finish(rec);
    // Nothing stays behind: neither the chain to the renderer nor a parser
    // left in front of the refused decoder.
    m_session->RemoveChainBetween(m_downstream, m_upstream);
    m_session->RemoveChainBetween(decoder, m_upstream);
    removeElement(decoder);
    recs.ReleaseInstance(rec);
    return false;
}

bool TDecoderMan::plainConnect()
{
    return SUCCEEDED(
               m_session->Graph()->Connect(mf::Pin(m_upstream, 1), mf::Pin(m_downstream, 0))) &&
           finish(nullptr);
}

TFilterRec *TDecoderMan::recordDecoder(GstElement *first, TFilterRec *tried)
{
    // The decoder is the tried record's element or, in the framework's chain,
    // the first element that decodes (a parser may come before it); a chain
    // without one (a converter for raw video) is no decoder at all.
    GstElement *found = nullptr;
    for (GstElement *e = first; e && e != m_downstream && !found;) {
        if ((tried && e == tried->Instance) || decoders::IsDecoderElement(e))
            found = e;
        GstPad *out = firstPin(e, GST_PAD_SRC);
        e = out ? mf::PinFilter(mf::ConnectedTo(out)) : nullptr;
    }
    if (tried && found == tried->Instance)
        return tried;
    if (!found)
        return m_none; // parsers or converters alone: the stream needs no decoder
    return TFilterRecs::Global().FindOrAdd(decoders::ElementClassId(found),
                                           decoders::ElementFriendlyName(found), fkSystem);
}

namespace {

// A converter in front of the renderer works on the streaming thread: while a
// 1080p frame is converted there, the decoder waits for it (a frame step, the
// landing of every target of a run). Its rows are split over the cores, up to
// four; the picture is the same.
void spreadOverCores(GstElement *converter)
{
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(converter), "n-threads"))
        g_object_set(converter, "n-threads", guint(std::clamp(QThread::idealThreadCount(), 1, 4)),
                     nullptr);
}

} // namespace

bool TDecoderMan::finish(TFilterRec *tried)
{
    GstPad *peer = mf::ConnectedTo(mf::Pin(m_upstream, 1));
    if (!peer)
        return false;
    GstElement *first = mf::PinFilter(peer);
    m_current = first == m_downstream ? m_none : recordDecoder(first, tried);
    if (m_preferences && m_current)
        m_preferences->Set(m_type, m_current);
    const TGuid currentId = m_current ? m_current->ClassId : TGuid();
    const auto wanted = [&](TFilterRec *rec) {
        return rec && !rec->ClassId.isNull() && rec->ClassId != currentId;
    };
    for (GstElement *converter : rendererConverters())
        spreadOverCores(converter);
    bool ok = true;
    if (wanted(PostDecoderFilter))
        ok = insertAfterDecoder(PostDecoderFilter);
    if (wanted(FramesFilter))
        ok = ok && insertAfterDecoder(FramesFilter);
    return ok;
}

QList<GstElement *> TDecoderMan::rendererConverters() const
{
    // The converters that intelligent connect put in front of the renderer
    // (colour, size), nearest the renderer first.
    QList<GstElement *> converters;
    GstPad *in = mf::Pin(m_downstream, 0);
    for (GstPad *peer = mf::ConnectedTo(in); peer; peer = mf::ConnectedTo(in)) {
        GstElement *element = mf::PinFilter(peer);
        GstPad *input = element != m_upstream && decoders::IsConverterElement(element)
                            ? firstPin(element, GST_PAD_SINK)
                            : nullptr;
        if (!input || !mf::IsConnected(input))
            break;
        converters.append(element);
        in = input;
    }
    return converters;
}

GstPad *TDecoderMan::rendererInput() const
{
    // The converters belong to the renderer's input: what goes in front of
    // the renderer goes in front of them, so that frames dropped on the way
    // (the frames notifier's) are never converted.
    const QList<GstElement *> converters = rendererConverters();
    return converters.isEmpty() ? mf::Pin(m_downstream, 0)
                                : firstPin(converters.last(), GST_PAD_SINK);
}

bool TDecoderMan::insertAfterDecoder(TFilterRec *rec)
{
    TFilterRecs &recs = TFilterRecs::Global();
    GstElement *filter = recs.GetInstance(rec);
    if (!filter || !addUnderUniqueName(filter, rec->Name))
        return false;
    if (SUCCEEDED(m_session->InsertFilter(filter, rendererInput(), 0)))
        return true;
    m_session->RemoveChainBothWays(m_downstream, m_upstream);
    if (m_current)
        Exclude(m_current->ClassId);
    removeElement(filter);
    recs.ReleaseInstance(rec);
    return false;
}

bool TDecoderMan::Release()
{
    if (!m_session)
        return false;
    try {
        // A renderer holding a prerolled frame keeps the streaming thread,
        // and with it the chain's pads, until it is flushed.
        const bool live = m_downstream && GST_STATE(m_downstream) >= GST_STATE_PAUSED;
        if (live)
            gst_pad_send_event(mf::Pin(m_downstream, 0), gst_event_new_flush_start());
        // The chain goes first, while it still leads from one end to the other;
        // the decoder's own element then, should it not have been on it.
        const bool ok = m_session->RemoveChainBetween(m_downstream, m_upstream);
        if (live)
            gst_pad_send_event(mf::Pin(m_downstream, 0), gst_event_new_flush_stop(TRUE));
        if (m_current && m_current->Instance) {
            removeElement(m_current->Instance);
            TFilterRecs::Global().ReleaseInstance(m_current);
        }
        m_current = m_none;
        m_upstream = m_downstream = nullptr; // the next Connect names them again
        return ok;
    } catch (const std::exception &) {
        return false;
    }
}

bool TDecoderMan::Advance()
{
    if (!m_session || !m_current || !m_upstream || !m_downstream)
        return false;
    if (m_phase == 2) {
        Exclude(m_current->ClassId);
        if (m_preferences)
            m_preferences->Remove(m_type);
    }
    GstElement *upstream = m_upstream, *downstream = m_downstream;
    if (!Release())
        return false;
    if (Connect(upstream, downstream))
        return true;
    m_excluded.clear();
    m_phase = 0;
    m_candidateIndex = 0;
    return Connect(upstream, downstream);
}

bool TDecoderMan::NextDecoder()
{
    if (!m_session || !m_current)
        return false;
    const TGrapheManState before = m_session->State();
    m_session->Stop();
    const bool ok = Advance();
    // The graph's own pause, showing again the frame that was on show when
    // it stopped, then its run when it was running; no session events.
    TMfGraph *graph = m_session->Graph();
    graph->Pause();
    m_session->WaitStateChange();
    if (graph->HasRemembered()) {
        graph->RestorePosition();
        m_session->WaitStateChange();
    }
    if (before == gmPlaying)
        graph->Run();
    return ok;
}

QStringList TDecoderMan::DecoderCycle(int limit)
{
    QStringList names;
    if (!m_current)
        return names;
    TFilterRec *first = m_current;
    names << first->Name;
    for (int i = 0; i < limit && Advance() && m_current != first; ++i)
        if (!names.contains(m_current->Name))
            names << m_current->Name;
    return names;
}
