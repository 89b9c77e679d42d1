#include "mfSourceBin.h"

#include "mfPins.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <gst/base/gstbaseparse.h>
#include <gst/base/gstbasesrc.h>
#include <gst/base/gstbasetransform.h>
#include <gst/base/gsttypefindhelper.h>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace {
thread_local qint64 t_deadline = 0; // msecs since epoch; 0: no budget in force
std::atomic<TDemuxerGuardMaker> g_guardMaker{nullptr};
} // namespace

TDiscoveryBudget::TDiscoveryBudget(int milliseconds) : m_previousDeadline(t_deadline)
{
    const qint64 mine = QDateTime::currentMSecsSinceEpoch() + milliseconds;
    t_deadline = t_deadline ? qMin(t_deadline, mine) : mine;
}

TDiscoveryBudget::~TDiscoveryBudget()
{
    t_deadline = m_previousDeadline;
}

int TDiscoveryBudget::Remaining()
{
    if (!t_deadline)
        return kDiscoveryTimeoutMs;
    const qint64 left = t_deadline - QDateTime::currentMSecsSinceEpoch();
    return int(std::clamp<qint64>(left, 0, kDiscoveryTimeoutMs));
}

namespace {

struct TDiscovered;

struct TStreamInfo {
    QByteArray padName;
    GstCaps *caps = nullptr;    // as found by discovery (owned)
    QByteArray parser;          // parser factory between demuxer and queue, or empty
    GstElement *head = nullptr; // first element of the stream's chain inside the bin
    // Interleaved DV: what the DV splitter behind it found in the same run,
    // handed to the splitter bin that is linked to this stream.
    std::shared_ptr<TDiscovered> nested;
};

void releaseStreams(std::vector<TStreamInfo> &streams)
{
    for (TStreamInfo &s : streams)
        if (s.caps)
            gst_caps_unref(s.caps);
    streams.clear();
}

// What one discovery found: the demuxer that ran (kept for the live bin,
// so that a file is demuxed by one instance) and its streams.
struct TDiscovered {
    QByteArray factory;
    GstElement *demux = nullptr; // owned reference, nullptr once handed over
    std::vector<TStreamInfo> streams;
    ~TDiscovered()
    {
        if (demux)
            gst_object_unref(demux);
        releaseStreams(streams);
    }
};

// A copy of stream records with their own references.
std::vector<TStreamInfo> copyStreams(const std::vector<TStreamInfo> &streams)
{
    std::vector<TStreamInfo> copy = streams;
    for (TStreamInfo &s : copy) {
        if (s.caps)
            gst_caps_ref(s.caps);
        s.head = nullptr;
    }
    return copy;
}

struct TBinState {
    QStringList demuxers;
    bool hasInput = false;
    QString path;
    QByteArray demuxFactory;
    std::vector<TStreamInfo> streams;
    std::vector<GstElement *> children; // elements added for the current streams
    GstElement *demux = nullptr;
    GstElement *input = nullptr; // the demuxer, or the guard in front of it
    GstPad *sinkGhost = nullptr;
    QByteArray upstreamKey; // splitter: the stream it was discovered behind
    std::mutex lock;        // guards `streams` against the streaming threads
    // Stream time less time stamp in the demuxer's latest segment (Matroska).
    std::atomic<qint64> streamTimeOffset{0};

    ~TBinState() { clearStreams(); }
    void clearStreams()
    {
        std::lock_guard guard(lock);
        releaseStreams(streams);
        upstreamKey.clear();
        streamTimeOffset = 0;
    }
};

GQuark typeQuark()
{
    return g_quark_from_static_string("kadrex-stream-type");
}
GQuark capsQuark()
{
    return g_quark_from_static_string("kadrex-stream-caps");
}
GQuark queryQuark()
{
    return g_quark_from_static_string("kadrex-ghost-query");
}

} // namespace

G_BEGIN_DECLS
#define KADREX_TYPE_SOURCE_BIN (kadrex_source_bin_get_type())
G_DECLARE_FINAL_TYPE(KadrexSourceBin, kadrex_source_bin, KADREX, SOURCE_BIN, GstBin)
G_END_DECLS

struct _KadrexSourceBin {
    GstBin parent;
    TBinState *state;
};

G_DEFINE_TYPE(KadrexSourceBin, kadrex_source_bin, GST_TYPE_BIN)

static void sourceBinFinalize(GObject *object)
{
    delete KADREX_SOURCE_BIN(object)->state;
    G_OBJECT_CLASS(kadrex_source_bin_parent_class)->finalize(object);
}

static void kadrex_source_bin_class_init(KadrexSourceBinClass *klass)
{
    G_OBJECT_CLASS(klass)->finalize = sourceBinFinalize;
    gst_element_class_set_static_metadata(GST_ELEMENT_CLASS(klass), "Kadrex source",
                                          "Source/Demuxer", "Reads and splits a file", "Norvane");
}

static void kadrex_source_bin_init(KadrexSourceBin *bin)
{
    bin->state = new TBinState;
}

namespace {

TBinState *stateOf(GstElement *element)
{
    return MfIsSourceBin(element) ? KADREX_SOURCE_BIN(element)->state : nullptr;
}

gint byRank(gconstpointer a, gconstpointer b)
{
    return gst_plugin_feature_rank_compare_func(a, b);
}

// Factories of a type (demuxers, parsers) of rank >= MARGINAL taking `caps`,
// highest rank first.
QList<QByteArray> factoriesFor(GstElementFactoryListType type, GstCaps *caps)
{
    GList *all = gst_element_factory_list_get_elements(type, GST_RANK_MARGINAL);
    GList *fit = gst_element_factory_list_filter(all, caps, GST_PAD_SINK, FALSE);
    fit = g_list_sort(fit, byRank);
    QList<QByteArray> names;
    for (GList *l = fit; l; l = l->next)
        names.append(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(l->data)));
    gst_plugin_feature_list_free(fit);
    gst_plugin_feature_list_free(all);
    return names;
}

// The type of a file from its first bytes; nullptr when nothing is likely.
GstCaps *typeFindFile(const QString &path)
{
    if (!MfFileRefusal(path).isEmpty())
        return nullptr;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray head = file.read(1 << 20);
    if (head.isEmpty())
        return nullptr;
    GstTypeFindProbability probability = GST_TYPE_FIND_NONE;
    const QByteArray ext = QFileInfo(path).suffix().toLower().toUtf8();
    GstCaps *caps = gst_type_find_helper_for_data_with_extension(
        nullptr, reinterpret_cast<const guint8 *>(head.constData()), gsize(head.size()),
        ext.isEmpty() ? nullptr : ext.constData(), &probability);
    if (caps && probability < GST_TYPE_FIND_LIKELY) {
        gst_caps_unref(caps);
        return nullptr;
    }
    return caps;
}

// The demuxer for a stream of type `caps` (nullptr: the type is unknown and
// only a single allowed demuxer can be tried).
QByteArray chooseDemuxer(const QStringList &allowed, GstCaps *caps)
{
    if (!caps)
        return allowed.size() == 1 ? allowed.first().toUtf8() : QByteArray();
    for (GstElementFactoryListType type :
         {GST_ELEMENT_FACTORY_TYPE_DEMUXER, GST_ELEMENT_FACTORY_TYPE_PARSER}) {
        for (const QByteArray &name : factoriesFor(type, caps))
            if (allowed.isEmpty() || allowed.contains(QString::fromUtf8(name)))
                return name;
        if (!allowed.isEmpty())
            break; // splitters are demuxers
    }
    return {};
}

// Whether the caps give what the program reads (video size and rate, audio
// rate and channels); if not, a parser is put behind the demuxer.
bool capsComplete(GstCaps *caps)
{
    if (!caps || gst_caps_is_empty(caps) || gst_caps_is_any(caps))
        return false;
    const GstStructure *s = gst_caps_get_structure(caps, 0);
    const char *name = gst_structure_get_name(s);
    if (g_str_has_prefix(name, "video/") && !gst_structure_has_name(s, "video/x-raw")) {
        gboolean system = FALSE;
        if (gst_structure_get_boolean(s, "systemstream", &system) && system)
            return true;
        return gst_structure_has_field(s, "width") && gst_structure_has_field(s, "framerate");
    }
    if (g_str_has_prefix(name, "audio/") && !gst_structure_has_name(s, "audio/x-raw"))
        return gst_structure_has_field(s, "rate") && gst_structure_has_field(s, "channels");
    return true;
}

QByteArray chooseParser(GstCaps *caps, const QByteArray &demux)
{
    if (!caps || capsComplete(caps))
        return {};
    for (const QByteArray &name : factoriesFor(GST_ELEMENT_FACTORY_TYPE_PARSER, caps))
        if (name != demux)
            return name;
    return {};
}

GstElement *makeElement(const QByteArray &factory)
{
    return factory.isEmpty() ? nullptr : gst_element_factory_make(factory.constData(), nullptr);
}

GstElement *makeGuard(const QByteArray &demuxFactory)
{
    const TDemuxerGuardMaker maker = g_guardMaker.load();
    return maker && !demuxFactory.isEmpty() ? maker(demuxFactory.constData()) : nullptr;
}

// The pad the demuxer is fed from: `from`, or its guard's output.
GstPad *guardedInput(GstBin *pipeline, GstPad *from, const QByteArray &demuxFactory)
{
    GstElement *guard = from ? makeGuard(demuxFactory) : nullptr;
    if (!guard)
        return from;
    gst_bin_add(pipeline, guard);
    GstPad *into = gst_element_get_static_pad(guard, "sink");
    const bool linked = GST_PAD_LINK_SUCCESSFUL(gst_pad_link(from, into));
    gst_object_unref(into);
    GstPad *out = gst_element_get_static_pad(guard, "src");
    gst_object_unref(out); // the element keeps it
    return linked ? out : nullptr;
}

// ---------------------------------------------------------------------------
// Discovery: the demuxer runs in a private pipeline with a fake sink behind
// each pad until every stream's caps are known, the demuxer says it has no
// more pads (or none came for a while), the stream ends, fails, or time runs out.

using TUpstreamBuilder = std::function<GstPad *(GstBin *pipeline)>;

bool isInterleavedDV(GstCaps *caps)
{
    if (!caps || gst_caps_is_empty(caps) || gst_caps_is_any(caps))
        return false;
    const GstStructure *s = gst_caps_get_structure(caps, 0);
    gboolean system = FALSE;
    return gst_structure_has_name(s, "video/x-dv") &&
           gst_structure_get_boolean(s, "systemstream", &system) && system;
}

bool hasSometimesPads(GstElement *element)
{
    const GList *templates =
        gst_element_class_get_pad_template_list(GST_ELEMENT_GET_CLASS(element));
    for (const GList *l = templates; l; l = l->next)
        if (GST_PAD_TEMPLATE_PRESENCE(GST_PAD_TEMPLATE(l->data)) == GST_PAD_SOMETIMES)
            return true;
    return false;
}

// One demuxer's discovery. Behind each pad a fake sink (through a parser
// where the caps leave size or rate open), or, behind interleaved DV, a DV
// demuxer with a discovery of its own. Once every stream has said what it
// carries, the sinks hold the data back: the file is only prerolled, never
// played through.
struct TDiscovery {
    struct TFound {
        QByteArray name, parser;
        GstCaps *demuxCaps = nullptr;
        GstPad *sinkPad = nullptr; // fake sink's (or nested demuxer's) pad (owned ref)
        bool needsParser = false;
        std::unique_ptr<TDiscovery> nested;
    };
    std::mutex lock;
    std::vector<TFound> found;
    QByteArray demuxFactory;
    GstElement *demux = nullptr;
    GstBin *pipeline = nullptr;
    TDiscovery *root = this;
    bool noMorePads = false;
    QElapsedTimer sinceLastPad;
    bool inputEnded = false; // the demuxer's input saw the end of the stream
    QElapsedTimer sinceInputEnded;

    ~TDiscovery()
    {
        for (TFound &f : found) {
            if (f.demuxCaps)
                gst_caps_unref(f.demuxCaps);
            if (f.sinkPad)
                gst_object_unref(f.sinkPad);
        }
    }

    void start(GstElement *element)
    {
        demux = element;
        sinceLastPad.start();
        g_signal_connect(demux, "pad-added", G_CALLBACK(onPadAdded), this);
        g_signal_connect(demux, "no-more-pads", G_CALLBACK(onNoMorePads), this);
        for (GstPad *pad : mf::Pins(demux))
            if (GST_PAD_IS_SRC(pad))
                addPad(pad);
        if (!hasSometimesPads(demux))
            noMorePads = true;
    }
    void stop()
    {
        g_signal_handlers_disconnect_by_data(demux, this);
        for (TFound &f : found)
            if (f.nested)
                f.nested->stop();
    }

    GstPad *addNested(TFound &f, GstPad *pad)
    {
        GstElement *dv = makeElement("dvdemux");
        if (!dv)
            return nullptr;
        gst_bin_add(pipeline, dv);
        f.nested = std::make_unique<TDiscovery>();
        f.nested->demuxFactory = "dvdemux";
        f.nested->pipeline = pipeline;
        f.nested->root = root;
        f.nested->start(dv);
        // Interleaved DV meets the DV guard before its splitter, as anywhere.
        GstPad *feed = guardedInput(GST_BIN(pipeline), pad, "dvdemux");
        GstPad *into = gst_element_get_static_pad(dv, "sink");
        if (feed)
            gst_pad_link(feed, into);
        gst_element_sync_state_with_parent(dv);
        if (feed && feed != pad)
            gst_element_sync_state_with_parent(GST_ELEMENT(GST_PAD_PARENT(feed)));
        return into;
    }

    GstPad *addSink(TFound &f, GstPad *pad)
    {
        GstElement *sink = gst_element_factory_make("fakesink", nullptr);
        g_object_set(sink, "sync", FALSE, "async", FALSE, "enable-last-sample", FALSE, nullptr);
        GstElement *parser = makeElement(f.parser);
        gst_bin_add(pipeline, sink);
        GstPad *into = nullptr;
        if (parser) {
            gst_bin_add(pipeline, parser);
            gst_element_link(parser, sink);
            into = gst_element_get_static_pad(parser, "sink");
            gst_element_sync_state_with_parent(sink);
            gst_element_sync_state_with_parent(parser);
        } else {
            into = gst_element_get_static_pad(sink, "sink");
            gst_element_sync_state_with_parent(sink);
        }
        gst_pad_link(pad, into);
        gst_object_unref(into);
        GstPad *sinkPad = gst_element_get_static_pad(sink, "sink");
        gst_pad_add_probe(sinkPad,
                          GstPadProbeType(GST_PAD_PROBE_TYPE_BLOCK | GST_PAD_PROBE_TYPE_BUFFER |
                                          GST_PAD_PROBE_TYPE_BUFFER_LIST),
                          holdWhenKnown, root, nullptr);
        return sinkPad;
    }

    void addPad(GstPad *pad)
    {
        TFound f;
        f.name = GST_PAD_NAME(pad);
        // Only caps the demuxer has set tell what a stream needs; a pad without
        // them yet gets no parser.
        f.demuxCaps = gst_pad_get_current_caps(pad);
        const bool dv = root == this && isInterleavedDV(f.demuxCaps);
        if (!dv && f.demuxCaps && gst_caps_is_fixed(f.demuxCaps))
            f.parser = chooseParser(f.demuxCaps, demuxFactory);
        f.needsParser = !f.parser.isEmpty();
        std::lock_guard guard(lock);
        f.sinkPad = dv ? addNested(f, pad) : nullptr;
        if (!f.sinkPad)
            f.sinkPad = addSink(f, pad);
        found.push_back(std::move(f));
        sinceLastPad.restart();
    }

    // Every stream's caps are known (and no more pads will come).
    bool capsKnown(bool waitForPads)
    {
        std::lock_guard guard(lock);
        if (found.empty())
            return false;
        for (TFound &f : found) {
            if (f.nested) {
                if (!f.nested->capsKnown(waitForPads))
                    return false;
                continue;
            }
            GstCaps *caps = gst_pad_get_current_caps(f.sinkPad);
            const bool ok = caps && (!f.needsParser || capsComplete(caps));
            if (caps)
                gst_caps_unref(caps);
            if (!ok)
                return false;
        }
        return !waitForPads || noMorePads || sinceLastPad.elapsed() > 300;
    }

    bool complete()
    {
        {
            std::lock_guard guard(lock);
            // A demuxer with no sink behind it posts no end of stream: once its
            // input has ended, give it a moment to finish, then stop waiting.
            if (inputEnded && sinceInputEnded.elapsed() > 200)
                return true;
        }
        return capsKnown(true);
    }

    // The streams found, their demuxer taken out of the private pipeline.
    std::shared_ptr<TDiscovered> harvest()
    {
        auto result = std::make_shared<TDiscovered>();
        result->factory = demuxFactory;
        std::lock_guard guard(lock);
        for (TFound &f : found) {
            GstCaps *caps = f.nested ? nullptr : gst_pad_get_current_caps(f.sinkPad);
            if (!caps && f.demuxCaps && !f.needsParser && gst_caps_is_fixed(f.demuxCaps))
                caps = gst_caps_ref(f.demuxCaps);
            if (!caps)
                continue; // a stream that never said what it carries
            TStreamInfo s;
            s.padName = f.name;
            s.parser = f.parser;
            s.caps = caps;
            if (f.nested) {
                s.nested = f.nested->harvest();
                if (s.nested->streams.empty())
                    s.nested.reset();
            }
            result->streams.push_back(s);
        }
        return result;
    }
    // After the pipeline stopped: the demuxers, kept for the live bins.
    void takeDemuxers(TDiscovered &result)
    {
        result.demux = GST_ELEMENT(gst_object_ref(demux));
        gst_bin_remove(pipeline, demux);
        for (size_t i = 0, k = 0; i < found.size(); ++i) {
            if (!found[i].nested)
                continue;
            for (; k < result.streams.size(); ++k)
                if (result.streams[k].padName == found[i].name)
                    break;
            if (k < result.streams.size() && result.streams[k].nested)
                found[i].nested->takeDemuxers(*result.streams[k].nested);
        }
    }

    static GstPadProbeReturn holdWhenKnown(GstPad *, GstPadProbeInfo *, gpointer root)
    {
        // Demuxers add pads as their streams first show (dvdemux: audio, then
        // video): hold only once no more are due.
        return static_cast<TDiscovery *>(root)->capsKnown(true) ? GST_PAD_PROBE_OK
                                                                : GST_PAD_PROBE_PASS;
    }
    static void onPadAdded(GstElement *, GstPad *pad, gpointer self)
    {
        if (GST_PAD_IS_SRC(pad))
            static_cast<TDiscovery *>(self)->addPad(pad);
    }
    static GstPadProbeReturn onInputEvent(GstPad *, GstPadProbeInfo *info, gpointer self)
    {
        if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_EOS) {
            auto *d = static_cast<TDiscovery *>(self);
            std::lock_guard guard(d->lock);
            d->inputEnded = true;
            d->sinceInputEnded.start();
        }
        return GST_PAD_PROBE_OK;
    }
    static void onNoMorePads(GstElement *, gpointer self)
    {
        auto *d = static_cast<TDiscovery *>(self);
        std::lock_guard guard(d->lock);
        d->noMorePads = true;
    }
};

std::shared_ptr<TDiscovered> discover(const TUpstreamBuilder &upstream,
                                      const QByteArray &demuxFactory)
{
    const int timeoutMs = TDiscoveryBudget::Remaining();
    if (timeoutMs <= 0)
        return nullptr;
    TDiscovery d;
    d.demuxFactory = demuxFactory;
    d.pipeline = GST_BIN(gst_pipeline_new(nullptr));
    GstElement *demux = makeElement(demuxFactory);
    GstPad *from = guardedInput(d.pipeline, upstream(d.pipeline), demuxFactory);
    bool ok = demux && from;
    if (ok) {
        gst_bin_add(d.pipeline, demux);
        GstPad *into = gst_element_get_static_pad(demux, "sink");
        ok = into && GST_PAD_LINK_SUCCESSFUL(gst_pad_link(from, into));
        if (ok)
            gst_pad_add_probe(into, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, TDiscovery::onInputEvent,
                              &d, nullptr);
        if (into)
            gst_object_unref(into);
    } else if (demux) {
        gst_object_unref(demux);
    }
    if (ok) {
        d.start(demux);
        ok = gst_element_set_state(GST_ELEMENT(d.pipeline), GST_STATE_PLAYING) !=
             GST_STATE_CHANGE_FAILURE;
    }
    GstBus *bus = gst_element_get_bus(GST_ELEMENT(d.pipeline));
    QElapsedTimer clock;
    clock.start();
    bool ended = false;
    // On the UI thread the window keeps painting meanwhile (no user input).
    QCoreApplication *app = QCoreApplication::instance();
    const bool uiThread = app && app->thread() == QThread::currentThread();
    while (ok && !ended && !d.complete() && clock.elapsed() < timeoutMs) {
        if (uiThread)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        GstMessage *m = gst_bus_timed_pop_filtered(
            bus, 10 * GST_MSECOND, GstMessageType(GST_MESSAGE_ERROR | GST_MESSAGE_EOS));
        if (m) {
            ended = true;
            gst_message_unref(m);
        }
    }
    gst_object_unref(bus);
    // Caps go with the pads' deactivation: read them while still streaming.
    std::shared_ptr<TDiscovered> result = ok ? d.harvest() : nullptr;
    if (ok)
        d.stop();
    gst_element_set_state(GST_ELEMENT(d.pipeline), GST_STATE_NULL);
    if (result && !result->streams.empty())
        d.takeDemuxers(*result);
    gst_object_unref(d.pipeline);
    return result && !result->streams.empty() ? result : nullptr;
}

// ---------------------------------------------------------------------------
// The live bin.

gboolean ghostQuery(GstPad *pad, GstObject *parent, GstQuery *query)
{
    if (GST_QUERY_TYPE(query) == GST_QUERY_CAPS) {
        GstCaps *found = static_cast<GstCaps *>(g_object_get_qdata(G_OBJECT(pad), capsQuark()));
        GstPad *target = gst_ghost_pad_get_target(GST_GHOST_PAD(pad));
        GstCaps *current = target ? gst_pad_get_current_caps(target) : nullptr;
        if (target)
            gst_object_unref(target);
        GstCaps *answer = current ? current : (found ? gst_caps_ref(found) : nullptr);
        if (answer) {
            GstCaps *filter = nullptr;
            gst_query_parse_caps(query, &filter);
            if (filter) {
                GstCaps *both = gst_caps_intersect(answer, filter);
                gst_caps_unref(answer);
                answer = both;
            }
            gst_query_set_caps_result(query, answer);
            gst_caps_unref(answer);
            return TRUE;
        }
    }
    auto original =
        reinterpret_cast<GstPadQueryFunction>(g_object_get_qdata(G_OBJECT(pad), queryQuark()));
    return original ? original(pad, parent, query) : gst_pad_query_default(pad, parent, query);
}

void addChild(GstElement *bin, TBinState *st, GstElement *child)
{
    gst_bin_add(GST_BIN(bin), child);
    st->children.push_back(child);
}

TStreamInfo *streamNamed(TBinState *st, const char *name)
{
    for (TStreamInfo &s : st->streams)
        if (s.padName == name)
            return &s;
    return nullptr;
}

// Streaming thread (pad-added) or the loading thread.
void linkDemuxPad(GstElement *bin, GstPad *pad)
{
    TBinState *st = stateOf(bin);
    if (!st)
        return;
    GstElement *head = nullptr;
    {
        std::lock_guard guard(st->lock);
        TStreamInfo *s = streamNamed(st, GST_PAD_NAME(pad));
        if (s && s->head)
            head = GST_ELEMENT(gst_object_ref(s->head));
    }
    if (!head)
        return; // a stream the program does not offer stays unlinked
    GstPad *into = gst_element_get_static_pad(head, "sink");
    if (into && !gst_pad_is_linked(into))
        gst_pad_link(pad, into);
    if (into)
        gst_object_unref(into);
    gst_object_unref(head);
}

void onDemuxPadAdded(GstElement *, GstPad *pad, gpointer bin)
{
    if (GST_PAD_IS_SRC(pad))
        linkDemuxPad(GST_ELEMENT(bin), pad);
}

GstPadProbeReturn dropWhenUnlinked(GstPad *, GstPadProbeInfo *, gpointer ghost)
{
    return gst_pad_is_linked(GST_PAD(ghost)) ? GST_PAD_PROBE_OK : GST_PAD_PROBE_DROP;
}

// Each stream's queue is bounded by size only, never by time or count: a
// file whose streams are far apart (audio starting a second or more after
// the video) would otherwise fill one queue while another waits for data,
// and pausing would stall. The audio queue drops its oldest data rather
// than hold the demuxer back while video is stepped frame by frame.
GstElement *makeQueue(GstCaps *caps)
{
    GstElement *queue = gst_element_factory_make("queue", nullptr);
    g_object_set(queue, "max-size-time", guint64(0), "max-size-buffers", 0u, "max-size-bytes",
                 kStreamQueueBytes, nullptr);
    const GstStructure *s =
        caps && !gst_caps_is_empty(caps) ? gst_caps_get_structure(caps, 0) : nullptr;
    if (s && g_str_has_prefix(gst_structure_get_name(s), "audio/"))
        gst_util_set_object_arg(G_OBJECT(queue), "leaky", "downstream");
    return queue;
}

// Whether frames of a video stream of `caps` may come out of decode order
// (B-frames), so that a frame without a time stamp has none of its own.
bool mayReorder(GstCaps *caps)
{
    const GstStructure *s =
        caps && !gst_caps_is_empty(caps) ? gst_caps_get_structure(caps, 0) : nullptr;
    return s &&
           (gst_structure_has_name(s, "video/mpeg") || gst_structure_has_name(s, "video/x-h264") ||
            gst_structure_has_name(s, "video/x-h265"));
}

// A parser resets to interpolating presentation times whenever it starts
// again (after a stop or a decoder's retry), and some video parsers turn that
// off only once, when made: a B-frame without its own stamp would then be
// given the one after the frame before it in decode order. Turned off again
// at every start of the stream, before its first frame.
GstPadProbeReturn noInterpolationAtStart(GstPad *, GstPadProbeInfo *info, gpointer parser)
{
    if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_STREAM_START)
        gst_base_parse_set_pts_interpolation(GST_BASE_PARSE(parser), FALSE);
    return GST_PAD_PROBE_OK;
}

void keepStampsOfReorderedFrames(GstElement *parser, GstCaps *caps)
{
    if (!GST_IS_BASE_PARSE(parser) || !mayReorder(caps))
        return;
    GstPad *sink = gst_element_get_static_pad(parser, "sink");
    gst_pad_add_probe(sink, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, noInterpolationAtStart, parser,
                      nullptr);
    gst_object_unref(sink);
}

// The Matroska demuxer counts stream time from the earliest block it has
// read so far, so its origin moves: the segment it opens with counts from
// the first block (the video, at 21 ms after AAC priming), a later one from
// the audio's earlier block, and its seeks from the origin of the moment. The
// same frame would change its stream time, and a seek made in the opening
// segment's time land a frame early. Downstream, its segments count from the
// time stamps instead, and seeks coming up are moved to its origin.
// The segment counting from the time stamps; nullptr when it already does.
GstEvent *segmentFromStamps(GstEvent *event, TBinState *st)
{
    GstSegment segment;
    gst_event_copy_segment(event, &segment);
    if (segment.format != GST_FORMAT_TIME)
        return nullptr;
    st->streamTimeOffset = qint64(segment.time) - qint64(segment.start);
    if (segment.time == segment.start)
        return nullptr;
    segment.time = segment.start;
    return gst_event_new_segment(&segment);
}

// The seek moved to the demuxer's origin; nullptr when nothing moves.
GstEvent *seekToOrigin(GstEvent *event, const TBinState *st)
{
    double rate = 1;
    GstFormat format = GST_FORMAT_UNDEFINED;
    GstSeekFlags flags = GST_SEEK_FLAG_NONE;
    GstSeekType startType = GST_SEEK_TYPE_NONE, stopType = GST_SEEK_TYPE_NONE;
    gint64 start = 0, stop = 0;
    gst_event_parse_seek(event, &rate, &format, &flags, &startType, &start, &stopType, &stop);
    const qint64 offset = st->streamTimeOffset;
    if (format != GST_FORMAT_TIME || offset == 0)
        return nullptr;
    auto moved = [offset](GstSeekType type, gint64 t) {
        return type == GST_SEEK_TYPE_SET && t >= 0 ? qMax<gint64>(0, t + offset) : t;
    };
    return gst_event_new_seek(rate, format, flags, startType, moved(startType, start), stopType,
                              moved(stopType, stop));
}

GstPadProbeReturn streamTimeFromStamps(GstPad *, GstPadProbeInfo *info, gpointer state)
{
    auto *st = static_cast<TBinState *>(state);
    GstEvent *event = GST_PAD_PROBE_INFO_EVENT(info);
    GstEvent *fixed = nullptr;
    if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT)
        fixed = segmentFromStamps(event, st);
    else if (GST_EVENT_TYPE(event) == GST_EVENT_SEEK)
        fixed = seekToOrigin(event, st);
    if (!fixed)
        return GST_PAD_PROBE_OK;
    gst_event_set_seqnum(fixed, gst_event_get_seqnum(event));
    gst_event_unref(event);
    GST_PAD_PROBE_INFO_DATA(info) = fixed;
    return GST_PAD_PROBE_OK;
}

void keepStreamTimeOfStamps(GstElement *head, TBinState *st)
{
    if (st->demuxFactory != "matroskademux")
        return;
    GstPad *sink = gst_element_get_static_pad(head, "sink");
    gst_pad_add_probe(
        sink,
        GstPadProbeType(GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM | GST_PAD_PROBE_TYPE_EVENT_UPSTREAM),
        streamTimeFromStamps, st, nullptr);
    gst_object_unref(sink);
}

// One output pin per found stream: [parser !] queue ! ghost pad.
void buildStreams(GstElement *bin, TBinState *st)
{
    for (TStreamInfo &s : st->streams) {
        GstElement *queue = makeQueue(s.caps);
        addChild(bin, st, queue);
        s.head = queue;
        if (GstElement *parser = makeElement(s.parser)) {
            addChild(bin, st, parser);
            keepStampsOfReorderedFrames(parser, s.caps);
            gst_element_link(parser, queue);
            s.head = parser;
        }
        keepStreamTimeOfStamps(s.head, st);
        GstPad *target = gst_element_get_static_pad(queue, "src");
        GstPad *ghost = gst_ghost_pad_new(s.padName.constData(), target);
        // An output pin nobody connected takes its samples and drops them, as
        // an unconnected pin would: the queue would otherwise stop the whole
        // pipeline with a not-linked error.
        gst_pad_add_probe(
            target, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST),
            dropWhenUnlinked, ghost, nullptr);
        gst_object_unref(target);
        g_object_set_qdata(G_OBJECT(ghost), queryQuark(),
                           reinterpret_cast<gpointer>(GST_PAD_QUERYFUNC(ghost)));
        gst_pad_set_query_function(ghost, ghostQuery);
        g_object_set_qdata_full(G_OBJECT(ghost), capsQuark(), gst_caps_ref(s.caps),
                                GDestroyNotify(gst_caps_unref));
        g_object_set_qdata_full(G_OBJECT(ghost), typeQuark(),
                                new TMediaType(MediaTypeFromCaps(s.caps)),
                                [](gpointer p) { delete static_cast<TMediaType *>(p); });
        gst_pad_set_active(ghost, TRUE);
        gst_element_add_pad(bin, ghost);
    }
    for (GstPad *pad : mf::Pins(st->demux))
        if (GST_PAD_IS_SRC(pad))
            linkDemuxPad(bin, pad);
    g_signal_connect(st->demux, "pad-added", G_CALLBACK(onDemuxPadAdded), bin);
}

// Removes the streams of an earlier file (a splitter kept for the next file).
void clearBin(GstElement *bin, TBinState *st)
{
    for (GstPad *pad : mf::Pins(bin))
        if (GST_PAD_IS_SRC(pad))
            gst_element_remove_pad(bin, pad);
    if (st->sinkGhost)
        gst_ghost_pad_set_target(GST_GHOST_PAD(st->sinkGhost), nullptr);
    for (GstElement *child : st->children) {
        gst_element_set_state(child, GST_STATE_NULL);
        gst_bin_remove(GST_BIN(bin), child);
    }
    st->children.clear();
    st->demux = st->input = nullptr;
    st->clearStreams();
}

// Adds the demuxer that ran the discovery to the bin, and the streams behind it.
bool installDemuxer(GstElement *bin, TBinState *st, TDiscovered &found)
{
    {
        std::lock_guard guard(st->lock);
        st->streams = copyStreams(found.streams);
    }
    st->demuxFactory = found.factory;
    const bool handedOver = found.demux != nullptr;
    st->demux = handedOver ? found.demux : makeElement(found.factory);
    found.demux = nullptr;
    if (!st->demux)
        return false;
    addChild(bin, st, st->demux);
    if (handedOver)
        gst_object_unref(st->demux); // the bin holds it now
    st->input = st->demux;
    if (GstElement *guard = makeGuard(st->demuxFactory)) {
        addChild(bin, st, guard);
        gst_element_link(guard, st->demux);
        st->input = guard;
    }
    buildStreams(bin, st);
    return true;
}

TUpstreamBuilder fileUpstream(const QString &path)
{
    return [path](GstBin *pipeline) -> GstPad * {
        if (!MfFileRefusal(path).isEmpty())
            return nullptr;
        GstElement *src = gst_element_factory_make("filesrc", nullptr);
        if (!src)
            return nullptr;
        g_object_set(src, "location", path.toUtf8().constData(), nullptr);
        gst_bin_add(pipeline, src);
        GstPad *pad = gst_element_get_static_pad(src, "src");
        gst_object_unref(pad); // the element keeps it
        return pad;
    };
}

HRESULT loadSourceBin(GstElement *bin, TBinState *st, const QString &path)
{
    if (GST_STATE(bin) > GST_STATE_READY || GST_STATE_PENDING(bin) > GST_STATE_READY)
        return E_FAIL;
    clearBin(bin, st);
    if (!MfFileRefusal(path).isEmpty())
        return E_FAIL;
    GstCaps *type = typeFindFile(path);
    const QByteArray demux = chooseDemuxer(st->demuxers, type);
    if (type)
        gst_caps_unref(type);
    const std::shared_ptr<TDiscovered> found =
        demux.isEmpty() ? nullptr : discover(fileUpstream(path), demux);
    if (!found)
        return E_FAIL;
    st->path = path;
    GstElement *src = gst_element_factory_make("filesrc", nullptr);
    g_object_set(src, "location", path.toUtf8().constData(), nullptr);
    addChild(bin, st, src);
    if (!installDemuxer(bin, st, *found))
        return E_FAIL;
    gst_element_link(src, st->input);
    return S_OK;
}

// What a splitter linked behind a pin reads: a key naming that stream, the
// streams found behind it when its source was discovered (interleaved DV),
// and how to rebuild the chain upstream for a private pipeline otherwise:
// through pass-through elements up to a file source or a source bin.
struct TUpstream {
    QByteArray key;
    QString filePath;
    TUpstreamBuilder builder;
    std::shared_ptr<TDiscovered> nested;
};

bool upstreamOf(GstPad *peer, TUpstream &up)
{
    GstPad *pad = peer;
    for (int hops = 0; pad && hops < 16; ++hops) {
        GstElement *element = mf::PinFilter(pad);
        if (!element)
            return false;
        if (GST_IS_BASE_TRANSFORM(element)) {
            GstPad *in = gst_element_get_static_pad(element, "sink");
            pad = mf::ConnectedTo(in);
            if (in)
                gst_object_unref(in);
            continue;
        }
        if (GST_IS_BASE_SRC(element) &&
            g_object_class_find_property(G_OBJECT_GET_CLASS(element), "location")) {
            gchar *location = nullptr;
            g_object_get(element, "location", &location, nullptr);
            up.filePath = QString::fromUtf8(location ? location : "");
            g_free(location);
            up.builder = fileUpstream(up.filePath);
            up.key = up.filePath.toUtf8();
            return !up.filePath.isEmpty();
        }
        TBinState *st = stateOf(element);
        if (st && !st->hasInput && !st->path.isEmpty()) {
            const QStringList demuxers = st->demuxers;
            const QString path = st->path;
            const QByteArray padName = GST_PAD_NAME(pad);
            up.key = path.toUtf8() + '#' + padName;
            {
                std::lock_guard guard(st->lock);
                if (TStreamInfo *s = streamNamed(st, padName.constData()))
                    up.nested = s->nested;
            }
            up.builder = [demuxers, path, padName](GstBin *pipeline) -> GstPad * {
                GstElement *clone = MfCreateSourceBin(demuxers);
                gst_bin_add(pipeline, clone);
                if (FAILED(MfLoadFile(clone, path)))
                    return nullptr;
                GstPad *out = gst_element_get_static_pad(clone, padName.constData());
                if (out)
                    gst_object_unref(out);
                return out;
            };
            return true;
        }
        return false;
    }
    return false;
}

void targetSinkGhost(TBinState *st)
{
    // The DV guard, when there is one, stands in front of the demuxer.
    GstPad *into = gst_element_get_static_pad(st->input ? st->input : st->demux, "sink");
    gst_ghost_pad_set_target(GST_GHOST_PAD(st->sinkGhost), into);
    gst_object_unref(into);
}

GstElement *createBin(const QStringList &demuxers, bool hasInput)
{
    auto *bin = KADREX_SOURCE_BIN(g_object_new(KADREX_TYPE_SOURCE_BIN, nullptr));
    bin->state->demuxers = demuxers;
    bin->state->hasInput = hasInput;
    if (hasInput) {
        GstPad *sink = gst_ghost_pad_new_no_target("sink", GST_PAD_SINK);
        gst_pad_set_active(sink, TRUE);
        gst_element_add_pad(GST_ELEMENT(bin), sink);
        bin->state->sinkGhost = sink;
    }
    return GST_ELEMENT(bin);
}

} // namespace

GstElement *MfCreateSourceBin(const QStringList &demuxers)
{
    return createBin(demuxers, false);
}

GstElement *MfCreateSplitterBin(const QStringList &demuxers)
{
    return createBin(demuxers, true);
}

QString MfFileRefusal(const QString &path)
{
    struct stat info = {};
    // stat, not open: opening a named pipe waits for a writer, a device may act.
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return QStringLiteral("file not found");
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("is a folder, not a file");
    if (S_ISFIFO(info.st_mode))
        return QStringLiteral("is a named pipe, not a regular file");
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        return QStringLiteral("is a device, not a regular file");
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("is not a regular file");
    if (!QFileInfo(path).isReadable())
        return QStringLiteral("cannot be read (no permission)");
    return {};
}

void MfSetDemuxerGuard(TDemuxerGuardMaker maker)
{
    g_guardMaker = maker;
}

bool MfIsSourceBin(GstElement *element)
{
    return element && KADREX_IS_SOURCE_BIN(element);
}

HRESULT MfLoadFile(GstElement *element, const QString &path)
{
    if (!element)
        return E_POINTER;
    if (TBinState *st = stateOf(element))
        return st->hasInput ? E_NOINTERFACE : loadSourceBin(element, st, path);
    if (GST_IS_BASE_SRC(element) &&
        g_object_class_find_property(G_OBJECT_GET_CLASS(element), "location")) {
        if (!MfFileRefusal(path).isEmpty())
            return E_FAIL;
        g_object_set(element, "location", path.toUtf8().constData(), nullptr);
        return S_OK;
    }
    return E_NOINTERFACE;
}

bool MfSplitterInputLinked(GstElement *splitter, GstPad *peer)
{
    TBinState *st = stateOf(splitter);
    if (!st || !st->hasInput)
        return true;
    // Its streams may not change under a running pipeline.
    if (GST_STATE(splitter) > GST_STATE_READY || GST_STATE_PENDING(splitter) > GST_STATE_READY)
        return false;
    TUpstream up;
    if (!upstreamOf(peer, up))
        return false;
    if (st->demux && up.key == st->upstreamKey) {
        targetSinkGhost(st); // linked again to the same stream: nothing to find
        return true;
    }
    clearBin(splitter, st);
    std::shared_ptr<TDiscovered> found;
    if (up.nested &&
        (st->demuxers.isEmpty() || st->demuxers.contains(QString::fromUtf8(up.nested->factory)))) {
        found = up.nested; // found with the source, in the same run
    } else {
        GstCaps *type = up.filePath.isEmpty() ? nullptr : typeFindFile(up.filePath);
        if (!up.filePath.isEmpty() && !type)
            return false;
        const QByteArray demux = chooseDemuxer(st->demuxers, type);
        if (type)
            gst_caps_unref(type);
        found = demux.isEmpty() ? nullptr : discover(up.builder, demux);
    }
    if (!found || !installDemuxer(splitter, st, *found))
        return false;
    st->upstreamKey = up.key;
    targetSinkGhost(st);
    return true;
}

const TMediaType *MfStreamMediaType(GstPad *pad)
{
    return pad ? static_cast<const TMediaType *>(g_object_get_qdata(G_OBJECT(pad), typeQuark()))
               : nullptr;
}

QString MfSourceBinDemuxer(GstElement *element)
{
    TBinState *st = stateOf(element);
    return st ? QString::fromUtf8(st->demuxFactory) : QString();
}

QString MfSourceBinFile(GstElement *element)
{
    TBinState *st = stateOf(element);
    return st && !st->hasInput ? st->path : QString();
}
