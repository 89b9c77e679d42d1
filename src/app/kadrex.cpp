#include <gst/gst.h>

#include <QApplication>

#include "shell/main.h"

int main(int argc, char **argv)
{
    gst_init(&argc, &argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kadrex"));
    TShowForm form;
    form.show();
    return app.exec();
}
