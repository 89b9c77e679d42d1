#include "uFilterElements.h"

#include "uDVGuard.h"
#include "uFramesNotifier.h"
#include "uNotifier.h"
#include "uVideoSink.h"

bool RegisterFilterElements()
{
    const bool notifier = TNotifier::Register();
    const bool framesNotifier = TFramesNotifier::Register();
    const bool videoSink = TVideoSink::Register();
    const bool dvGuard = TDVGuard::Register();
    return notifier && framesNotifier && videoSink && dvGuard;
}
