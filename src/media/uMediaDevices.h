#pragma once
// Graph chunks: pieces of the graph that each know how to put themselves in
// (Connect) and take themselves out (Disconnect): media devices (a file's
// source and splitter, a DV splitter behind an interleaved output, raw
// stream outputs) and the video and audio sources with their notifiers.

#include "filters/uInPlaceFilter.h"
#include "mf/mfMediaType.h"
#include "uGrapheMan.h"

#include <QList>
#include <QPointer>
#include <QString>

#include <gst/gst.h>

class TNotifier;
class TVideoSource;
class TAudioSource;

class TGraphChunk
{
public:
    TGraphChunk(const QString &name, int index);
    virtual ~TGraphChunk() = default;
    TGraphChunk(const TGraphChunk &) = delete;
    TGraphChunk &operator=(const TGraphChunk &) = delete;

    virtual bool Connect() = 0;
    virtual bool Disconnect() = 0;
    // The session's duration (100-ns units), 0 without a session.
    virtual qint64 GetDuration() const;

    // The session the chunk is connected into; cleared when that session goes.
    QPointer<TGrapheMan> Session;
    QString Name;
    QString DisplayName; // Name below index 2, else Name + " #" + index
    int Index = 1;
    TGraphChunk *Parent = nullptr;
    QPointer<TGrapheMan> OwningSession;
};

class TMediaDevice : public TGraphChunk
{
public:
    TMediaDevice(const QString &name, int index, TMediaDevice *parent = nullptr);
    ~TMediaDevice() override;

    bool Usable = false;
    GstElement *OutputFilter = nullptr; // borrowed from the chunk's own filters

    QList<TVideoSource *> VideoSources;
    QList<TAudioSource *> AudioSources;
    QList<TMediaDevice *> DVDevices;
    QList<TMediaDevice *> StreamDevices;
    int VideoCount() const { return int(VideoSources.size()); }
    int AudioCount() const { return int(AudioSources.size()); }
    int DVCount() const { return int(DVDevices.size()); }
    int StreamCount() const { return int(StreamDevices.size()); }
    TVideoSource *VideoSource(int i) const;
    TAudioSource *AudioSource(int i) const;

protected:
    // Probing: called at the end of the most derived constructor.
    void Probe();

private:
    void probeOutputs();
    QList<TVideoSource *> m_ownVideo;
    QList<TAudioSource *> m_ownAudio;
};

// The DV splitter behind an interleaved DV output, with its notifier in front.
class TDVDevice : public TMediaDevice
{
public:
    TDVDevice(TMediaDevice *parent, int index);
    explicit TDVDevice(const QString &placeholderName); // "No DV"
    ~TDVDevice() override;
    bool Connect() override;
    bool Disconnect() override;

    GstElement *Splitter = nullptr;       // owned reference
    GstElement *NotifierFilter = nullptr; // owned reference
    TNotifier *Notifier() const;
};

// Raw stream outputs: the program connects nothing behind them.
class TStreamDevice : public TMediaDevice
{
public:
    TStreamDevice(TMediaDevice *parent, int index);
    explicit TStreamDevice(const QString &placeholderName); // "No Stream"
    bool Connect() override { return true; }
    bool Disconnect() override { return true; }
};

class TavSource : public TGraphChunk
{
public:
    TavSource(TMediaDevice *device, int index);
    explicit TavSource(const QString &placeholderName);
    ~TavSource() override;
    bool Connect() override { return false; }
    bool Disconnect() override { return false; }

    virtual bool Attach(TGrapheMan *session, TMessageSink window) = 0;
    virtual bool Detach() = 0;

    GstElement *NotifierFilter = nullptr; // the source notifier (owned reference)
    TNotifier *SourceNotifier() const;
    // The notifier that sees this stream's frames: the DV device's for a DV
    // stream, else the source's own.
    TNotifier *FramesNotifier() const;

    // The stream's type as the notifier saw it when attached.
    TGuid MajorType, SubType, FormatType;
    TMediaType AttachedType; // the whole type, format block included

protected:
    bool AttachAs(TGrapheMan *session, TMessageSink window, bool video);
    bool DetachAs(bool video);
};

class TVideoSource : public TavSource
{
public:
    using TavSource::TavSource;
    bool Attach(TGrapheMan *session, TMessageSink window) override;
    bool Detach() override;
};

class TAudioSource : public TavSource
{
public:
    using TavSource::TavSource;
    bool Attach(TGrapheMan *session, TMessageSink window) override;
    bool Detach() override;
};

// The four chunks that exist for the whole run.
namespace placeholders {
TVideoSource *NoVideo();
TAudioSource *NoAudio();
TDVDevice *NoDV();
TStreamDevice *NoStream();
} // namespace placeholders
