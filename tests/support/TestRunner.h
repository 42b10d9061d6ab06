#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

// Several Qt Test classes in one executable: each class registers itself
// with LUMADEX_TEST_CLASS(Name), and main() runs them all in order.
namespace testsupport {

using TestFactory = std::function<std::unique_ptr<QObject>()>;
std::vector<TestFactory> &testClasses();

struct TestRegistration {
    explicit TestRegistration(TestFactory factory) { testClasses().push_back(std::move(factory)); }
};

// Runs every registered class; returns the number of failed classes.
int runTestClasses(int argc, char *argv[]);

} // namespace testsupport

#define LUMADEX_TEST_CLASS(Name)                                                                   \
    static const testsupport::TestRegistration lumadexTestRegistration##Name(                      \
        [] { return std::unique_ptr<QObject>(new Name); })

// A main() that starts a QApplication and runs every registered test class.
#define LUMADEX_TEST_MAIN()                                                                        \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        return testsupport::runTestClasses(argc, argv);                                            \
    }
