#include "DVFixtures.h"
#include "filters/uNotifier.h"
#include "media/uDVMan.h"

#include <QCoreApplication>

#include <gst/check/gstharness.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

using dvfixtures::DVFrameBuilder;

namespace {

GstHarness *dvHarness(GstElement *notifier)
{
    TNotifier::From(notifier)->ResetCodes();
    GstHarness *h = gst_harness_new_with_element(notifier, "sink", "src");
    gst_harness_set_src_caps_str(
        h, "video/x-dv,systemstream=false,width=720,height=576,framerate=25/1");
    return h;
}

void push(GstHarness *h, const QByteArray &bytes)
{
    ASSERT_EQ(gst_harness_push(h, gst_buffer_new_memdup(bytes.constData(), gsize(bytes.size()))),
              GST_FLOW_OK);
    gst_buffer_unref(gst_harness_pull(h));
}

TEST(DVMan, RelaysDVCodesWhileForwarding)
{
    TDVMan relay;
    std::vector<std::pair<QString, QString>> codes;
    relay.OnDVcode = [&codes](const QString &date, const QString &timecode) {
        codes.emplace_back(date, timecode);
    };

    GstHarness *h = dvHarness(TNotifier::Create());
    TNotifier *notifier = TNotifier::From(h->element);
    notifier->SetDateFormat(QStringLiteral("x"));
    relay.AttachDVNotifiers(h->element, h->element);
    EXPECT_TRUE(notifier->DVReports());
    EXPECT_EQ(notifier->DateFormat(), QString()); // the relay's own, empty

    push(h, DVFrameBuilder().timecode(0x02, 0, 0, 0x10).bytes());
    push(h, DVFrameBuilder().bytes());
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(codes.empty()); // forwarding is off

    relay.SetDVForwarding(true);
    push(h, DVFrameBuilder().recDate(0x14, 0x07, 0x04, 0, 0, 0x10).bytes());
    QCoreApplication::sendPostedEvents();
    // the report of a sample carries the codes of the sample before it
    ASSERT_EQ(codes.size(), 1u);
    EXPECT_EQ(codes[0].first, QStringLiteral("No Datecode"));
    EXPECT_EQ(codes[0].second, QStringLiteral("NoTimecode"));
    push(h, DVFrameBuilder().bytes());
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(codes.size(), 2u);
    EXPECT_EQ(codes[1].first,
              notifier->FrameData().dateText.isEmpty() ? QString() : codes[1].first);
    EXPECT_NE(codes[1].first, QStringLiteral("No Datecode"));
    EXPECT_TRUE(codes[1].first.contains(QStringLiteral("2004")));

    // a new source takes the reports over
    GstHarness *next = dvHarness(TNotifier::Create());
    relay.AttachDVNotifiers(next->element, next->element);
    EXPECT_FALSE(notifier->DVReports());
    push(h, DVFrameBuilder().bytes());
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(codes.size(), 2u);
    push(next, DVFrameBuilder().bytes());
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(codes.size(), 3u);

    relay.AttachDVNotifiers(nullptr, nullptr);
    gst_harness_teardown(h);
    gst_harness_teardown(next);
}

} // namespace
