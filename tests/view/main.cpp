#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QTest>

int runDisplayLayoutTest(int argc, char **argv);
int runControlsTest(int argc, char **argv);
int runFullViewTest(int argc, char **argv);

int main(int argc, char **argv)
{
    testsupport::HermeticEnvironment environment;
    QApplication app(argc, argv);
    int failures = 0;
    failures += runDisplayLayoutTest(argc, argv);
    failures += runControlsTest(argc, argv);
    failures += runFullViewTest(argc, argv);
    return failures;
}
