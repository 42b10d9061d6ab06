#include "tests/support/TestRunner.h"

#include <QApplication>
#include <QTest>

namespace testsupport {

std::vector<TestFactory> &testClasses()
{
    static std::vector<TestFactory> classes;
    return classes;
}

int runTestClasses(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int failed = 0;
    for (const TestFactory &factory : testClasses()) {
        std::unique_ptr<QObject> test = factory();
        if (QTest::qExec(test.get(), argc, argv) != 0)
            ++failed;
    }
    return failed;
}

} // namespace testsupport
