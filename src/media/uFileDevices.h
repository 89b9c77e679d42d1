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
    GstElement *SourceFilter = nullptr; // borrowed from the records
    GstElement *SplitterFilter = nullptr;
};
