#include "uFilterElements.h"

#include "uFramesNotifier.h"
#include "uNotifier.h"
#include "uVideoSink.h"

bool RegisterFilterElements()
{
    const bool notifier = TNotifier::Register();
    const bool framesNotifier = TFramesNotifier::Register();
    const bool videoSink = TVideoSink::Register();
    return notifier && framesNotifier && videoSink;
}
