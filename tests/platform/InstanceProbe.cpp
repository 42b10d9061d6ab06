// The single-instance rule from another process.
//   instance-probe        asks whether another copy runs, prints "running"
//                         or "first", then waits for a line on standard
//                         input before it exits (so a test decides how long
//                         it holds the lock, or kills it);
//   instance-probe serve [MS]  prints the same, then, as the first copy,
//                         starts answering (MS milliseconds later, as a
//                         window that is still painting would) and prints
//                         each path handed to it as hex bytes, one a line,
//                         until it is handed "/quit";
//   instance-probe hand HEX  hands the path with those bytes to the running
//                         copy and prints "taken" or "refused";
//   instance-probe hand-long N  the same with a path of N bytes.
#include "platform/HostPath.h"
#include "platform/SingleInstance.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "hand" && argc > 2) {
        const QString path = platform::hostPathFromBytes(QByteArray::fromHex(argv[2]));
        std::puts(platform::handOverToRunningInstance(path) ? "taken" : "refused");
        return 0;
    }
    if (mode == "hand-long" && argc > 2) {
        const QString path = QStringLiteral("/") + QString(QByteArray(argv[2]).toInt(), QLatin1Char('a'));
        std::puts(platform::handOverToRunningInstance(path) ? "taken" : "refused");
        return 0;
    }
    const bool running = platform::previousInstanceRunning();
    std::puts(running ? "running" : "first");
    std::fflush(stdout);
    if (mode == "serve") {
        if (running)
            return 0;
        QTimer::singleShot(argc > 2 ? QByteArray(argv[2]).toInt() : 0, [] { platform::answerHandOvers(); });
        platform::setHandOverReceiver([](const QString &path) {
            const QByteArray bytes = platform::hostPathBytes(path);
            std::puts(bytes.toHex().constData());
            std::fflush(stdout);
            if (bytes == "/quit")
                QCoreApplication::quit();
        });
        return app.exec();
    }
    std::string line;
    std::getline(std::cin, line);
    return 0;
}
