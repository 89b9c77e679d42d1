// kadrex-probe [--frames N] FILE...: prints what the media engine sees in each
// file; with --frames, also plays its first N frames and prints per frame the
// position, DV date and time code, and the format reports.
// Exit status 0 when every file gave a usable device, 1 otherwise.

#include "media/uGrapheMan.h"
#include "media/uMediaFactory.h"
#include "uProbeFrames.h"
#include "uProbeReport.h"

#include <QCoreApplication>
#include <QTextStream>

#include <gst/gst.h>

int main(int argc, char **argv)
{
    gst_init(&argc, &argv);
    QCoreApplication app(argc, argv);
    QStringList files = app.arguments().mid(1);
    QTextStream out(stdout), err(stderr);
    int frames = 0;
    if (files.size() >= 2 && files[0] == QLatin1String("--frames")) {
        frames = files[1].toInt();
        files = files.mid(2);
    }
    if (files.isEmpty() || frames < 0) {
        err << "usage: kadrex-probe [--frames N] FILE...\n";
        return 2;
    }
    TGrapheMan session;
    TMediaFactory factory;
    factory.SetGrapheMan(&session);
    bool allUsable = true;
    for (int i = 0; i < files.size(); ++i) {
        const TProbeReport report = ProbeFile(factory, files[i]);
        if (i > 0)
            out << "\n";
        out << report.text;
        bool ok = report.usable;
        QString reason = report.reason;
        QString why;
        if (frames > 0 && ok && !ProbeFrames(factory, files[i], frames, out, &why)) {
            ok = false;
            reason = PrintableName(files[i]) + QStringLiteral(": ") + why;
        }
        out.flush();
        if (!ok) {
            allUsable = false;
            err << reason << "\n";
            err.flush();
        }
    }
    return allUsable ? 0 : 1;
}
