#include <QGuiApplication>

#include "TestMain.inc"

int main(int argc, char **argv)
{
    return runTests<QGuiApplication>(argc, argv);
}
