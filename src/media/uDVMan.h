#pragma once
// The DV code relay: the media session that receives a DV notifier's per-frame
// reports and turns them into its OnDVcode event (the navigation manager
// derives from it).

#include "media/uGrapheMan.h"

#include <gst/gst.h>

#include <QString>

#include <functional>

class TNotifier;
class TavSource;

class TDVMan : public TGrapheMan
{
    Q_OBJECT
public:
    using TDVCodeEvent =
        std::function<void(const QString &aDateCodeStr, const QString &aTimecodeStr)>;

    explicit TDVMan(QObject *owner = nullptr);
    ~TDVMan() override;

    TDVCodeEvent OnDVcode;

    // Whether DV reports are forwarded to OnDVcode (switched by the navigation manager).
    void SetDVForwarding(bool on) { m_forwarding = on; }
    bool DVForwarding() const { return m_forwarding; }

    // Date format handed to the notifier of each attached source (empty).
    QString DateFormat() const { return m_dateFormat; }
    void SetDateFormat(const QString &format) { m_dateFormat = format; }

    // Hands the DV reports over to a newly connected source (called by the
    // video and audio managers): its DV notifier (the one that sees whole DV
    // frames) reports to this relay, the previous one stops, and the source's
    // own notifier takes the relay's date format.
    void AttachDVSource(TavSource *source);
    // The same with the two notifier elements; either may be null. The DV
    // notifier is kept alive while attached.
    void AttachDVNotifiers(GstElement *dvNotifier, GstElement *sourceNotifier);
    GstElement *AttachedDVNotifier() const { return m_dvNotifier; }

protected:
    void WndProc(const TNvMessage &message) override;

private:
    void ReleaseDVNotifier();

    bool m_forwarding = false;
    QString m_dateFormat;
    GstElement *m_dvNotifier = nullptr; // a reference of our own
};
