// Writes `count` settings named <prefix>0 .. <prefix>N-1 as fast as it can,
// so that a test can run two writers against one hive file at once.
#include "settings/Settings.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const QString prefix = QString::fromLocal8Bit(argv[1]);
    const int count = QString::fromLocal8Bit(argv[2]).toInt();
    for (int i = 0; i < count; ++i)
        settings::Write(prefix + QString::number(i), QString::number(i));
    return 0;
}
