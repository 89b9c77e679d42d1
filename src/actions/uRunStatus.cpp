#include "uRunStatus.h"

#include <atomic>
#include <cstdio>

namespace {
std::atomic<bool> failed{false};
}

void TRunStatus::ReportFailure(const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    std::fflush(stderr);
    MarkFailed();
}

void TRunStatus::MarkFailed()
{
    failed = true;
}

bool TRunStatus::Failed()
{
    return failed;
}

int TRunStatus::ExitStatus(int eventLoopStatus)
{
    return eventLoopStatus == 0 && Failed() ? 1 : eventLoopStatus;
}

void TRunStatus::Reset()
{
    failed = false;
}
