#include <gst/gst.h>

#include <QApplication>

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
    return app.exec();
}
