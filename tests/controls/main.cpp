#include "tst_lists.h"
#include "tst_menus.h"

#include <QApplication>
#include <QTest>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int failed = 0;
    {
        ListControlsTest lists;
        failed += QTest::qExec(&lists, argc, argv);
    }
    {
        MenuTreeTest menus;
        failed += QTest::qExec(&menus, argc, argv);
    }
    return failed;
}
