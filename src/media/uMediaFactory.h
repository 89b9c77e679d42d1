#pragma once
// The media factory: chooses a file's source (and splitter) by its extension,
// probes the file into a media device listing its video and audio sources,
// and keeps one device per file name.

#include "uFileDevices.h"

#include <QMap>
#include <QObject>
#include <QPointer>

class TGrapheMan;
struct TFilterRec;

// A plain component that holds a session reference, cleared when the
// session is destroyed.
class TGrapheComponent : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    TGrapheMan *GrapheMan() const;
    void SetGrapheMan(TGrapheMan *session);

private:
    QPointer<QObject> m_grapheMan;
};

class TMediaFactory : public TGrapheComponent
{
    Q_OBJECT
public:
    explicit TMediaFactory(QObject *owner = nullptr);
    ~TMediaFactory() override;

    // The cached device of the file, else a new one (also cached when none).
    TFileDevice *GetDevice(const QString &fileName);
    // Chooses the source by extension and probes; nullptr when the extension
    // is not handled. The caller owns the device.
    TFileDevice *CreateDevice(const QString &fileName);
    // An empty record or one with a null class identifier restores the
    // default; the cache is then emptied.
    void SetPreferredSource(TFilterRec *rec);
    TFilterRec *PreferredSource() const { return m_preferred; }
    void ClearCache();
    int CachedCount() const { return int(m_cache.size()); }

    // The lower-cased extension with its dot; empty when the name has none.
    static QString Extension(const QString &fileName);

    // The fixed records, registered in this order by the constructor.
    TFilterRec *LAVSplitterSource = nullptr, *FileSourceAsync = nullptr, *AVISplitter = nullptr,
               *WMASFReader = nullptr, *WaveParser = nullptr, *MPEG2Splitter = nullptr,
               *MPEGIStreamSplitter = nullptr, *DVSplitter = nullptr;

private:
    QMap<QString, TFileDevice *> m_cache;
    TFilterRec *m_preferred = nullptr;
};
