#include "uFilterElements.h"

#include "uFramesNotifier.h"
#include "uNotifier.h"

bool RegisterFilterElements()
{
    const bool notifier = TNotifier::Register();
    const bool framesNotifier = TFramesNotifier::Register();
    return notifier && framesNotifier;
}
