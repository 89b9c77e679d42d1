#pragma once
// A file's source filter (and splitter, where one is needed) as a media device.

#include "uMediaDevices.h"

struct TFilterRec;

class TFileDevice : public TMediaDevice
{
public:
    // Probes the file at once; Usable tells whether it worked.
    TFileDevice(const QString &fileName, TFilterRec *source, TFilterRec *splitter);
    ~TFileDevice() override;

    bool Connect() override;
    bool Disconnect() override;

    QString FileName;
    TFilterRec *SourceRec = nullptr;
    TFilterRec *SplitterRec = nullptr;
    GstElement *SourceFilter = nullptr; // while connected: the kept filters below
    GstElement *SplitterFilter = nullptr;

private:
    // The source loaded (its streams found) when the file was probed, and the
    // splitter behind it: kept for every later connection, so that a file is
    // discovered once. Owned references.
    GstElement *m_loadedSource = nullptr;
    GstElement *m_keptSplitter = nullptr;
};
