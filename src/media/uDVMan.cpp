#include "uDVMan.h"

#include "filters/uFilterMessages.h"
#include "filters/uNotifier.h"
#include "media/uMediaDevices.h"

TDVMan::TDVMan(QObject *owner) : TGrapheMan(owner) {}

TDVMan::~TDVMan()
{
    ReleaseDVNotifier();
}

void TDVMan::ReleaseDVNotifier()
{
    if (!m_dvNotifier)
        return;
    if (TNotifier *previous = TNotifier::From(m_dvNotifier)) {
        previous->SetDVReports(false);
        previous->SetDVWindow({});
    }
    gst_object_unref(m_dvNotifier);
    m_dvNotifier = nullptr;
}

void TDVMan::AttachDVSource(TavSource *source)
{
    TNotifier *dvNotifier = source ? source->FramesNotifier() : nullptr;
    TNotifier *own = source ? source->SourceNotifier() : nullptr;
    AttachDVNotifiers(dvNotifier ? dvNotifier->Element() : nullptr, own ? own->Element() : nullptr);
}

void TDVMan::AttachDVNotifiers(GstElement *dvNotifier, GstElement *sourceNotifier)
{
    if (dvNotifier)
        gst_object_ref(dvNotifier); // before releasing: it may be the same element
    ReleaseDVNotifier();
    m_dvNotifier = dvNotifier;
    if (TNotifier *notifier = TNotifier::From(dvNotifier)) {
        // Cleared again (under the sink's lock) before this relay goes away.
        notifier->SetDVWindow([this](const TNvMessage &message) { PostMessage(message); });
        notifier->SetDVReports(true);
    }
    if (TNotifier *notifier = TNotifier::From(sourceNotifier))
        notifier->SetDateFormat(m_dateFormat);
}

void TDVMan::WndProc(const TNvMessage &message)
{
    if (message.msg != kNvMsgDVFrameData) {
        TGrapheMan::WndProc(message);
        return;
    }
    if (!OnDVcode || !m_forwarding)
        return;
    const TframeData frame = message.data.value<TframeData>();
    OnDVcode(frame.dateValid ? frame.dateText : QStringLiteral("No Datecode"),
             frame.timecodeValid ? frame.timecodeText : QStringLiteral("NoTimecode"));
}
