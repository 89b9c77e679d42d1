#pragma once
// The decoder manager: chooses the decoder between a stream's notifier and
// its renderer, in a fixed order — the stored preference for the stream's
// media type, then the candidate list (private decoders), then the media
// framework's own choice — remembers per media type which decoder ended up
// in use, puts the post-decoder filter and the frames notifier in front of
// the renderer, and on "next decoder" replaces the decoder in use by the
// next one of that order, starting over after the last.
//
// The framework's choice is GStreamer's: intelligent connect tries parsers
// and decoders by rank (MARGINAL and up) and offers each to a veto that
// refuses the excluded class identifiers. At equal rank GStreamer orders the
// factories by name, which puts libav's decoders (avdec_*) ahead of the
// others (avdec_mp2float before mpg123audiodec, for instance); we keep that
// order on purpose and prefer libav's there, as its library is fuzzed
// continuously. Every installed decoder of the type still joins the cycle.
// Each element gets its stable class identifier (FactoryClassId of its
// factory name, or the "class-id" its private module gives it) and its
// factory's long name as friendly name, so what the user reads is the
// decoder that really runs.

#include "mf/mfGuid.h"
#include "uFilterRecs.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>

#include <gst/gst.h>

class TGrapheMan;
class TNorvanePreferences;

// A media type key: major type, subtype and format type.
struct TMediaTypeKey {
    TGuid majortype, subtype, formattype;
    friend bool operator==(const TMediaTypeKey &, const TMediaTypeKey &) = default;
};

struct TDecoderLink {
    TMediaTypeKey type;
    TFilterRec *rec = nullptr; // borrowed from the filter registry
};

// A list of links, one per media type key.
class TDecoderLinks
{
public:
    // The record linked to the type (all three GUIDs equal), or nullptr.
    TFilterRec *Find(const TMediaTypeKey &type) const;
    // Adds the link, or replaces the record of the type's link.
    void Set(const TMediaTypeKey &type, TFilterRec *rec);
    void Remove(const TMediaTypeKey &type);
    void Clear() { m_links.clear(); }
    const QList<TDecoderLink> &Links() const { return m_links; }
    int Count() const { return int(m_links.size()); }

    // In the store's current section: every sub-section is one link
    // ("majortype", "subtype", "formattype", "Private", "name",
    // "decoderguid"); an entry that does not parse is skipped.
    bool Load(TNorvanePreferences &store);
    // Writes link i as sub-section "dc<i>" (records of the program's own
    // instances are skipped but use up their number), then deletes every
    // other sub-section of the current section, so that a link removed
    // since the last save stays removed. Runs inside the store's save
    // (one transaction).
    bool Save(TNorvanePreferences &store);

private:
    QList<TDecoderLink> m_links;
};

// The records and tables that live for the whole run.
namespace decoders {
// Registered at first use, in this order: "No Video decoder", "No Audio
// decoder" (both GUID_NULL: straight to the renderer), "Microsoft DTV-DVD
// Video Decoder", "Microsoft DTV-DVD Audio Decoder".
TFilterRec *NoVideoDecoder();
TFilterRec *NoAudioDecoder();
TFilterRec *DTVDVDVideoDecoder();
TFilterRec *DTVDVDAudioDecoder();
// Built in: the decoders never chosen by the framework for a type.
TDecoderLinks &VideoExcluded();
TDecoderLinks &AudioExcluded();
// Loaded from and saved to "VideoDecoders" / "AudioDecoders".
TDecoderLinks &VideoPreferences();
TDecoderLinks &AudioPreferences();

// The class identifier of an element factory: the "class-id" its private
// module gives it, else FactoryClassId of its name.
TGuid FactoryClassIdOf(GstElementFactory *factory);
// The class identifier of an element (GUID_NULL without a factory).
TGuid ElementClassId(GstElement *element);
// Whether the element's factory is a decoder.
bool IsDecoderElement(GstElement *element);
// A colour or size converter (its class names a converter), not a decoder.
bool IsConverterElement(GstElement *element);
// The long name of the element's factory (its name when it has no factory).
QString ElementFriendlyName(GstElement *element);
} // namespace decoders

class TDecoderMan : public QObject
{
    Q_OBJECT
public:
    explicit TDecoderMan(QObject *owner = nullptr);

    void SetTables(TDecoderLinks *excluded, TDecoderLinks *preferences, TFilterRec *none);
    TDecoderLinks *ExcludedTable() const { return m_excludedTable; }
    TDecoderLinks *PreferenceTable() const { return m_preferences; }
    TFilterRec *NoneRecord() const { return m_none; }

    void SetSession(TGrapheMan *session);
    TGrapheMan *Session() const { return m_session; }
    void SetPreferredDecoder(TFilterRec *rec) { m_preferred = rec; }
    TFilterRec *PreferredDecoder() const { return m_preferred; }

    // Connects the upstream filter's output (pin 1) to the downstream
    // filter's input (pin 0) through a decoder, continuing the order where
    // the last Connect stopped.
    bool Connect(GstElement *upstream, GstElement *downstream);
    // Takes the decoder and everything between the two filters out, and
    // forgets the two filters.
    bool Release();
    // Replaces the decoder in use by the next one of the order (the graph is
    // stopped, re-linked, then paused, or run when it was running).
    bool NextDecoder();
    // NextDecoder's re-linking alone, for a graph that is not running.
    bool Advance();
    // Each file starts over with the preferred decoder.
    void Reset();

    TFilterRec *CurrentDecoder() const { return m_current; }
    void SetCurrentDecoder(TFilterRec *rec) { m_current = rec; }
    // The decoders the order cycles through, the one in use first, found by
    // advancing through the whole cycle once (graph not running); the
    // manager ends with the first one connected again. Names only.
    QStringList DecoderCycle(int limit = 16);

    QList<TFilterRec *> Candidates;
    // Both go in front of the renderer and of the converters it needs.
    TFilterRec *PostDecoderFilter = nullptr;
    TFilterRec *FramesFilter = nullptr;

    // State, for the owners and tests.
    int Phase() const { return m_phase; }
    int CandidateIndex() const { return m_candidateIndex; }
    const QSet<QString> &ExcludedClassIds() const { return m_excluded; }
    void Exclude(const TGuid &classId);
    const TMediaTypeKey &CurrentMediaType() const { return m_type; }
    GstElement *Upstream() const { return m_upstream; }
    GstElement *Downstream() const { return m_downstream; }

private:
    bool tryDecoder(TFilterRec *rec);
    bool plainConnect();
    bool finish(TFilterRec *tried);
    bool insertAfterDecoder(TFilterRec *rec);
    QList<GstElement *> rendererConverters() const;
    GstPad *rendererInput() const;
    bool addUnderUniqueName(GstElement *element, const QString &name);
    void addBuiltInExclusions();
    TFilterRec *recordDecoder(GstElement *first, TFilterRec *tried);
    bool vetoes(GstElementFactory *factory) const;
    bool connectLegs(GstElement *decoder);
    void removeElement(GstElement *element);

    TDecoderLinks *m_excludedTable = nullptr;
    TDecoderLinks *m_preferences = nullptr;
    TFilterRec *m_none = nullptr;
    QPointer<TGrapheMan> m_session;
    GstElement *m_upstream = nullptr;   // borrowed: the stream's notifier
    GstElement *m_downstream = nullptr; // borrowed: the renderer
    TMediaTypeKey m_type;
    int m_phase = 0;
    int m_candidateIndex = 0;
    TFilterRec *m_preferred = nullptr;
    QSet<QString> m_excluded;
    TFilterRec *m_current = nullptr;
    bool m_partsOnly = false; // while linking to a tried decoder: no other decoder
};
