#pragma once
// The report kadrex-probe prints for one file: "key: value" lines.

#include <QString>

class TMediaFactory;

struct TProbeReport {
    QString text; // the lines, each ending in a newline
    bool usable = false;
    QString reason; // one line for standard error when not usable
};

// A file name as one line: control characters (a newline in the name) are
// written as \n, \t or \xHH, and a backslash as \\.
QString PrintableName(const QString &name);

// Probes the file through the factory (whose session must be set), attaches
// each source in turn to read the type its notifier place sees, and detaches.
TProbeReport ProbeFile(TMediaFactory &factory, const QString &path);
