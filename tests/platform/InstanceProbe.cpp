// Asks whether another copy runs, prints "running" or "first", then waits
// for a line on standard input before it exits (so a test decides how long
// it holds the lock, or kills it).
#include "platform/SingleInstance.h"

#include <QCoreApplication>

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::puts(platform::previousInstanceRunning() ? "running" : "first");
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);
    return 0;
}
