// A file whose audio starts seconds after its video (Matroska stores it
// seconds later in the file) pauses, and its video steps frame by frame,
// without a stall: the queues of the source bin never hold the demuxer back
// on a stream that waits.
#include "TestSupport.h"
#include "media/uGrapheMan.h"
#include "mf/mfSourceBin.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

GstPad *appSink(TMfGraph *graph, const char *caps, const QString &name)
{
    GstElement *sink = gst_element_factory_make("appsink", nullptr);
    GstCaps *only = gst_caps_from_string(caps);
    g_object_set(sink, "caps", only, "sync", FALSE, "max-buffers", 1u, "drop", TRUE, nullptr);
    gst_caps_unref(only);
    graph->AddFilter(sink, name);
    return mf::Pin(sink, 0);
}

TEST(LateStream, AudioStartingLatePausesAndSteps)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("late_audio.mkv"));
    ASSERT_EQ(
        testsupport::runProgram("ffmpeg", {"-nostdin",   "-loglevel",
                                           "error",      "-y",
                                           "-f",         "lavfi",
                                           "-i",         "testsrc=size=320x240:rate=25:duration=5",
                                           "-itsoffset", "2.5",
                                           "-f",         "lavfi",
                                           "-i",         "sine=duration=2",
                                           "-c:v",       "libx264",
                                           "-preset",    "ultrafast",
                                           "-g",         "100",
                                           "-pix_fmt",   "yuv420p",
                                           "-c:a",       "aac",
                                           path}),
        0);
    TGrapheMan session;
    TMfGraph *graph = session.Graph();
    GstElement *source = MfCreateSourceBin({});
    graph->AddFilter(source, QStringLiteral("Source"));
    ASSERT_EQ(MfLoadFile(source, path), S_OK);
    GstPad *video = mf::FindOutputPin(source, guids::MEDIATYPE_Video, 0);
    GstPad *audio = mf::FindOutputPin(source, guids::MEDIATYPE_Audio, 0);
    ASSERT_TRUE(video && audio);
    ASSERT_EQ(graph->Connect(video, appSink(graph, "video/x-raw", QStringLiteral("V"))), S_OK);
    ASSERT_EQ(graph->Connect(audio, appSink(graph, "audio/x-raw", QStringLiteral("A"))), S_OK);
    ASSERT_TRUE(session.Pause()) << session.LastError().toStdString();
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(session.Step(1)) << "step " << i;
    ASSERT_TRUE(session.Play());
    ASSERT_TRUE(session.Stop());
}

} // namespace
