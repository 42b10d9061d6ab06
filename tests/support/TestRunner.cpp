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
    // LUMADEX_TEST_CLASS=Name runs that class alone (the other arguments
    // then go to it, e.g. the name of one test function).
    const QByteArray only = qgetenv("LUMADEX_TEST_CLASS");
    int failed = 0;
    for (const TestFactory &factory : testClasses()) {
        std::unique_ptr<QObject> test = factory();
        if (!only.isEmpty() && only != test->metaObject()->className())
            continue;
        if (QTest::qExec(test.get(), argc, argv) != 0)
            ++failed;
    }
    return failed;
}

} // namespace testsupport
