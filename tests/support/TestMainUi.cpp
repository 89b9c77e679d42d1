#include <QApplication>

#include "TestMain.inc"

int main(int argc, char **argv)
{
    return runTests<QApplication>(argc, argv);
}
