#include "main.h"

#include "uProductInfo.h"

TShowForm::TShowForm(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("ShowForm"));
    setWindowTitle(product::versionText());
    resize(kInitialSize);
    setMinimumSize(kMinimumSize);
}

TShowForm::~TShowForm() = default;
