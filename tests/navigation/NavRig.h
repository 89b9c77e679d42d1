#pragma once
// A navigation manager over a real file: the file's video source, its
// decoder (intelligent connect), the frames notifier and a BGRx app sink
// standing for the video window. The shown frame is the sink's last frame,
// or the one the manager presented from its cache; its index is read from
// the picture (indexed clips).

#include "FrameIndex.h"
#include "MediaFixtures.h"
#include "filters/uFramesNotifier.h"
#include "filters/uNotifier.h"
#include "media/uMediaFactory.h"
#include "navigation/uFrameImage.h"
#include "navigation/uNavMan.h"

#include <gst/app/gstappsink.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMutex>

class TNavRig
{
public:
    TNavRig()
    {
        TNotifier::Register();
        TFramesNotifier::Register();
        nav.CreateFresh();
        factory.SetGrapheMan(&nav);
        nav.FramePresenter = [this](GstSample *frame, qint64 position) {
            presented = FrameImage(frame);
            presentedPosition = position;
            ++presentations;
            return !presented.isNull();
        };
    }
    ~TNavRig()
    {
        close();
        keep(nullptr);
    }

    // Opens the file and shows its first frame, paused; false on failure.
    bool open(const QString &path)
    {
        TFileDevice *device = factory.GetDevice(path);
        if (!device || !device->Usable || device->VideoCount() == 0)
            return false;
        video = device->VideoSource(0);
        if (!video->Attach(&nav, {}))
            return false;
        TMfGraph *graph = nav.Graph();
        GstElement *notifier = TFramesNotifier::Create();
        GstElement *convert = gst_element_factory_make("videoconvert", nullptr);
        sink = gst_element_factory_make("appsink", nullptr);
        GstCaps *bgrx = gst_caps_from_string("video/x-raw,format=BGRx");
        g_object_set(sink, "caps", bgrx, "max-buffers", 1, "drop", TRUE, "sync", TRUE, nullptr);
        gst_caps_unref(bgrx);
        // Like a video sink, the picture on show is the newest of the preroll
        // frame and the frames rendered.
        GstAppSinkCallbacks callbacks = {};
        callbacks.new_preroll = [](GstAppSink *appsink, gpointer self) {
            static_cast<TNavRig *>(self)->keep(gst_app_sink_pull_preroll(appsink));
            return GST_FLOW_OK;
        };
        callbacks.new_sample = [](GstAppSink *appsink, gpointer self) {
            static_cast<TNavRig *>(self)->keep(gst_app_sink_pull_sample(appsink));
            return GST_FLOW_OK;
        };
        gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, this, nullptr);
        // The decoder manager's way: decoder by intelligent connect, then the
        // frames notifier put in front of what follows it.
        if (FAILED(graph->AddFilter(convert, "Color converter")) ||
            FAILED(graph->AddFilter(sink, "Video Renderer")) ||
            FAILED(graph->Connect(mf::Pin(video->NotifierFilter, 1), mf::Pin(convert, 0))) ||
            FAILED(graph->ConnectDirect(mf::Pin(convert, 1), mf::Pin(sink, 0))) ||
            FAILED(graph->AddFilter(notifier, "Frames Notifier")) ||
            FAILED(nav.InsertFilter(notifier, mf::Pin(convert, 0), 0)))
            return false;
        nav.SetFramesNotifier(notifier);
        nav.SetRendererStateFilter(sink);
        nav.FramesNotifier()->SetPositionReports(true);
        nav.ResetPositions();
        if (!nav.Pause())
            return false;
        settle();
        nav.SetPosition(false, 0);
        nav.WaitRendererState();
        settle();
        return nav.FrameDuration() > 1;
    }

    void close()
    {
        if (!video)
            return;
        nav.Stop();
        nav.SetFramesNotifier(nullptr);
        nav.SetRendererStateFilter(nullptr);
        video->Detach();
        nav.Graph()->RemoveAll();
        video = nullptr;
        sink = nullptr;
    }

    // Lets the manager handle what the filters posted.
    void settle(int ms = 30)
    {
        QElapsedTimer clock;
        clock.start();
        do
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        while (clock.elapsed() < ms);
    }

    // The picture on show and its index.
    QImage shownImage()
    {
        if (nav.ShownFromCache())
            return presented;
        GstSample *sample = nullptr;
        {
            QMutexLocker locker(&lock);
            sample = newest ? gst_sample_ref(newest) : nullptr;
        }
        const QImage image = FrameImage(sample);
        if (sample)
            gst_sample_unref(sample);
        return image;
    }
    void keep(GstSample *sample)
    {
        QMutexLocker locker(&lock);
        if (newest)
            gst_sample_unref(newest);
        newest = sample;
    }
    int shownIndex() { return fixtures::frameIndexOf(shownImage()); }

    // The frame number of the manager's current position.
    qint64 positionIndex()
    {
        const qint64 fd = nav.FrameDuration();
        return fd > 0 ? nav.CurrentPosition() / fd : -1;
    }

    TNavMan nav;
    TMediaFactory factory;
    TVideoSource *video = nullptr;
    GstElement *sink = nullptr;
    QMutex lock;
    GstSample *newest = nullptr;
    QImage presented;
    qint64 presentedPosition = -1;
    int presentations = 0;
};
