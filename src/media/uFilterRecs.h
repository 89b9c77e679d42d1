#pragma once
// The filter registry: known filters by class identifier and friendly name,
// how each is made (system element, element of a private plugin module, or
// an object of the program handed in), and the live instance of each.

#include "mf/mfGuid.h"

#include <QString>

#include <memory>
#include <vector>

#include <gst/gst.h>

enum TFilterKind : quint8 { fkSystem = 0, fkPrivate = 1, fkOwnInstance = 2 };

struct TFilterRec {
    GstElement *Instance = nullptr; // a reference held by the record
    TGuid ClassId;
    QString Name; // friendly name, also the name in the graph
    quint8 Kind = fkSystem;
};

class TFilterRecs
{
public:
    // The program's registry, alive until exit.
    static TFilterRecs &Global();

    // The newest record with this class identifier and exactly this name, else
    // a new one of the given kind. An existing record keeps its kind.
    TFilterRec *FindOrAdd(const TGuid &classId, const QString &name, quint8 kind);
    // The live instance, made on first use; nullptr when it cannot be made.
    GstElement *GetInstance(TFilterRec *rec);
    // Kinds 0 and 1 drop their instance; kind 2 takes `value` when not null.
    void ReleaseInstance(TFilterRec *rec, GstElement *value = nullptr);
    int Count() const { return int(m_recs.size()); }

    ~TFilterRecs();

private:
    std::vector<std::unique_ptr<TFilterRec>> m_recs;
};

// Makes the element a system class identifier stands for: the fixed source
// and splitter records, the DV splitter, and any element factory of the
// running GStreamer by its name-based identifier (FactoryClassId). nullptr
// when no such element can be made, as for a class that is not registered.
GstElement *CreateSystemFilter(const TGuid &classId);

// Fixed class identifiers of the source and splitter records.
namespace clsids {
extern const TGuid LAVSplitterSource, FileSourceAsync, AVISplitter, WMASFReader, WaveParser,
    MPEG2Splitter, MPEGIStreamSplitter;
}

// Private plugin modules loaded from files, each giving one element by class
// identifier. Loading failures keep the entry, without a factory.
struct TPrivateFactory {
    TGuid ClassId;
    QString ModulePath;
    GstPlugin *Module = nullptr;
    GstElementFactory *Factory = nullptr;
};

class TPrivateFactories
{
public:
    static TPrivateFactories &Global();
    ~TPrivateFactories();

    // Loads the module and finds the element registered under the class
    // identifier (its factory name's identifier, or a "class-id" metadata
    // entry holding the registry text form). The entry stays on failure.
    TPrivateFactory *Add(const TGuid &classId, const QString &modulePath);
    // Newest first.
    TPrivateFactory *Find(const TGuid &classId) const;
    void Clear();
    int Count() const { return int(m_entries.size()); }

private:
    std::vector<std::unique_ptr<TPrivateFactory>> m_entries;
};
