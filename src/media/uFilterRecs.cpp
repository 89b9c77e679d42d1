#include "uFilterRecs.h"

#include "filters/uDVGuard.h"
#include "mf/mfSourceBin.h"

#include <QHash>

#include <functional>

namespace clsids {
const TGuid LAVSplitterSource = GuidFromText("{B98D13E7-55DB-4385-A33D-09FD1BA26338}"),
            FileSourceAsync = GuidFromText("{E436EBB5-524F-11CE-9F53-0020AF0BA770}"),
            AVISplitter = GuidFromText("{1B544C20-FD0B-11CE-8C63-00AA0044B51E}"),
            WMASFReader = GuidFromText("{187463A0-5BB7-11D3-ACBE-0080C75E246E}"),
            WaveParser = GuidFromText("{D51BD5A1-7548-11CF-A520-0080C77EF58A}"),
            MPEG2Splitter = GuidFromText("{3AE86B20-7BE8-11D1-ABE6-00A0C905F375}"),
            MPEGIStreamSplitter = GuidFromText("{336475D0-942A-11CE-A870-00AA002FEAB5}");
}

namespace {

GstElement *ownedRef(GstElement *element)
{
    return element ? GST_ELEMENT(gst_object_ref_sink(element)) : nullptr;
}

bool factoryExists(const char *name)
{
    GstElementFactory *f = gst_element_factory_find(name);
    if (f)
        gst_object_unref(f);
    return f != nullptr;
}

// A source or splitter bin whose demuxers are all present.
GstElement *splitterOf(const QStringList &demuxers, bool readsFile)
{
    for (const QString &d : demuxers)
        if (!factoryExists(d.toUtf8().constData()))
            return nullptr;
    return readsFile ? MfCreateSourceBin(demuxers) : MfCreateSplitterBin(demuxers);
}

using TMaker = std::function<GstElement *()>;

GstElement *dvGuardFor(const char *demuxFactory)
{
    return qstrcmp(demuxFactory, "dvdemux") == 0 ? TDVGuard::Create() : nullptr;
}

const QHash<TGuid, TMaker> &fixedMakers()
{
    // Every source and splitter made here checks DV frames before the DV
    // splitter decodes them.
    [[maybe_unused]] static const bool guarded = (MfSetDemuxerGuard(dvGuardFor), true);
    static const QHash<TGuid, TMaker> makers = {
        {clsids::LAVSplitterSource, [] { return MfCreateSourceBin({}); }},
        {clsids::FileSourceAsync, [] { return gst_element_factory_make("filesrc", nullptr); }},
        {clsids::AVISplitter, [] { return splitterOf({"avidemux"}, false); }},
        {clsids::WMASFReader, [] { return splitterOf({"asfdemux"}, true); }},
        {clsids::WaveParser, [] { return splitterOf({"wavparse"}, false); }},
        {clsids::MPEG2Splitter,
         [] {
             return splitterOf({"tsdemux", "mpegpsdemux"}, false);
         }},
        {clsids::MPEGIStreamSplitter, [] { return splitterOf({"mpegpsdemux"}, false); }},
        {guids::CLSID_DVSplitter, [] { return splitterOf({"dvdemux"}, false); }},
    };
    return makers;
}

// Identifier -> factory name of every element factory, built once.
QString factoryNameFor(const TGuid &classId)
{
    static QHash<TGuid, QString> names;
    static guint cookie = 0;
    GstRegistry *registry = gst_registry_get();
    if (names.isEmpty() || cookie != gst_registry_get_feature_list_cookie(registry)) {
        names.clear();
        cookie = gst_registry_get_feature_list_cookie(registry);
        GList *features = gst_registry_get_feature_list(registry, GST_TYPE_ELEMENT_FACTORY);
        for (GList *l = features; l; l = l->next) {
            const QString name = QString::fromUtf8(gst_plugin_feature_get_name(l->data));
            names.insert(FactoryClassId(name), name);
        }
        gst_plugin_feature_list_free(features);
    }
    return names.value(classId);
}

} // namespace

GstElement *CreateSystemFilter(const TGuid &classId)
{
    if (classId.isNull())
        return nullptr;
    const auto fixed = fixedMakers().constFind(classId);
    if (fixed != fixedMakers().constEnd())
        return (*fixed)();
    const QString name = factoryNameFor(classId);
    return name.isEmpty() ? nullptr : gst_element_factory_make(name.toUtf8().constData(), nullptr);
}

TFilterRecs &TFilterRecs::Global()
{
    static TFilterRecs recs;
    return recs;
}

TFilterRecs::~TFilterRecs()
{
    for (auto &rec : m_recs)
        if (rec->Instance)
            gst_object_unref(rec->Instance);
}

TFilterRec *TFilterRecs::FindOrAdd(const TGuid &classId, const QString &name, quint8 kind)
{
    for (auto it = m_recs.rbegin(); it != m_recs.rend(); ++it)
        if ((*it)->ClassId == classId && (*it)->Name == name)
            return it->get();
    auto rec = std::make_unique<TFilterRec>();
    rec->ClassId = classId;
    rec->Name = name;
    rec->Kind = kind;
    m_recs.push_back(std::move(rec));
    return m_recs.back().get();
}

GstElement *TFilterRecs::GetInstance(TFilterRec *rec)
{
    if (!rec)
        return nullptr;
    if (rec->Instance)
        return rec->Instance;
    GstElement *made = nullptr;
    if (rec->Kind == fkSystem) {
        made = CreateSystemFilter(rec->ClassId);
    } else if (rec->Kind == fkPrivate) {
        TPrivateFactory *f = TPrivateFactories::Global().Find(rec->ClassId);
        if (f && f->Factory)
            made = gst_element_factory_create(f->Factory, nullptr);
    }
    rec->Instance = ownedRef(made);
    return rec->Instance;
}

void TFilterRecs::ReleaseInstance(TFilterRec *rec, GstElement *value)
{
    if (!rec)
        return;
    if (rec->Kind == fkOwnInstance) {
        if (value && value != rec->Instance) {
            gst_object_ref_sink(value);
            if (rec->Instance)
                gst_object_unref(rec->Instance);
            rec->Instance = value;
        }
        return;
    }
    if (rec->Instance)
        gst_object_unref(rec->Instance);
    rec->Instance = nullptr;
}

TPrivateFactories &TPrivateFactories::Global()
{
    static TPrivateFactories factories;
    return factories;
}

TPrivateFactories::~TPrivateFactories()
{
    Clear();
}

void TPrivateFactories::Clear()
{
    // GStreamer never unloads a module; dropping the references is the release.
    for (auto &e : m_entries) {
        if (e->Factory)
            gst_object_unref(e->Factory);
        if (e->Module)
            gst_object_unref(e->Module);
    }
    m_entries.clear();
}

namespace {

bool factoryHasClassId(GstElementFactory *factory, const TGuid &classId)
{
    const QString name = QString::fromUtf8(gst_plugin_feature_get_name(factory));
    if (FactoryClassId(name) == classId)
        return true;
    const char *meta = gst_element_factory_get_metadata(factory, "class-id");
    return meta && GuidFromText(QString::fromUtf8(meta)) == classId;
}

} // namespace

TPrivateFactory *TPrivateFactories::Add(const TGuid &classId, const QString &modulePath)
{
    auto entry = std::make_unique<TPrivateFactory>();
    entry->ClassId = classId;
    entry->ModulePath = modulePath;
    GError *error = nullptr;
    entry->Module = gst_plugin_load_file(modulePath.toUtf8().constData(), &error);
    g_clear_error(&error);
    if (entry->Module) {
        GList *features = gst_registry_get_feature_list_by_plugin(
            gst_registry_get(), gst_plugin_get_name(entry->Module));
        for (GList *l = features; l && !entry->Factory; l = l->next)
            if (GST_IS_ELEMENT_FACTORY(l->data) &&
                factoryHasClassId(GST_ELEMENT_FACTORY(l->data), classId))
                entry->Factory = GST_ELEMENT_FACTORY(gst_object_ref(l->data));
        gst_plugin_feature_list_free(features);
    }
    m_entries.push_back(std::move(entry));
    return m_entries.back().get();
}

TPrivateFactory *TPrivateFactories::Find(const TGuid &classId) const
{
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it)
        if ((*it)->ClassId == classId)
            return it->get();
    return nullptr;
}
