// kadrex-probe FILE...: prints what the media engine sees in each file.
// Exit status 0 when every file gave a usable device, 1 otherwise.

#include "media/uGrapheMan.h"
#include "media/uMediaFactory.h"
#include "uProbeReport.h"

#include <QCoreApplication>
#include <QTextStream>

#include <gst/gst.h>

int main(int argc, char **argv)
{
    gst_init(&argc, &argv);
    QCoreApplication app(argc, argv);
    const QStringList files = app.arguments().mid(1);
    QTextStream out(stdout), err(stderr);
    if (files.isEmpty()) {
        err << "usage: kadrex-probe FILE...\n";
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
        out.flush();
        if (!report.usable) {
            allUsable = false;
            err << report.reason << "\n";
            err.flush();
        }
    }
    return allUsable ? 0 : 1;
}
