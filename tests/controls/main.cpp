#include <QApplication>

int runListControlsTest(int argc, char *argv[]);
int runBrowseForFolderTest(int argc, char *argv[]);
int runMenuTreeTest(int argc, char *argv[]);
int runTimerTest(int argc, char *argv[]);

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    return runListControlsTest(argc, argv) + runBrowseForFolderTest(argc, argv) + runMenuTreeTest(argc, argv) + runTimerTest(argc, argv);
}
