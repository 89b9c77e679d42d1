#include <gst/gst.h>

#include <QApplication>

#include "actions/uRunStatus.h"
#include "filters/uFilterElements.h"
#include "shell/main.h"

int main(int argc, char **argv)
{
    gst_init(&argc, &argv);
    RegisterFilterElements(); // the program's own elements, before any graph
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kadrex"));
    TShowForm form;
    form.show();
    // A run that reported a failure ends with status 1 (batch runs rely on it).
    return TRunStatus::ExitStatus(app.exec());
}
