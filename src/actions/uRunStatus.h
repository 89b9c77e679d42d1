#pragma once
// Whether this run failed somewhere. Whoever tells the user that something
// was not done (a save that did not land, a refused switch value, a damaged
// settings line) reports it here; main() reads the flag when the event loop
// ends, so a batch run (`kadrex ... /quit` without a screen) ends with exit
// status 1 after any failure. Safe to call from any thread.

#include <QString>

class TRunStatus
{
public:
    // Prints the message and a line break on stderr and marks the run as failed.
    static void ReportFailure(const QString &message);
    // Marks the run as failed; for failures the user was told of another way
    // (a message box).
    static void MarkFailed();
    static bool Failed();
    // The exit status main() returns: 1 after a failure when the event loop
    // itself ended well.
    static int ExitStatus(int eventLoopStatus);
    // Forgets earlier failures (tests that run several cases in one process).
    static void Reset();
};
