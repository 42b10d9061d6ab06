#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QTest>

int runDisplayLayoutTest(int argc, char **argv);
int runImageControlTest(int argc, char **argv);
int runScrollBarTest(int argc, char **argv);
int runFullViewTest(int argc, char **argv);

int main(int argc, char **argv)
{
    testsupport::HermeticEnvironment environment;
    QApplication app(argc, argv);
    int failures = 0;
    failures += runDisplayLayoutTest(argc, argv);
    failures += runImageControlTest(argc, argv);
    failures += runScrollBarTest(argc, argv);
    failures += runFullViewTest(argc, argv);
    return failures;
}
