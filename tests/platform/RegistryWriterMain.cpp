// Writes values into one key of the registry store, for the tests that run several writers at
// once or kill one mid-write.
//
// harbrook_registry_writer KEY PREFIX COUNT [--wait]
// Value i is the integer i when i is even, else the string "text i". With --wait it starts only
// after a line on standard input, so that a test can release several writers together. After
// each write it prints i on a line of its own.

#include <QCoreApplication>
#include <QString>
#include <cstdio>
#include <iostream>
#include <string>

#include "platform/Registry.h"

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: %s KEY PREFIX COUNT [--wait]\n", argv[0]);
        return 2;
    }
    const QString key = args.at(1);
    const QString prefix = args.at(2);
    bool countOk = false;
    const int count = args.at(3).toInt(&countOk);
    if (!countOk || count < 0)
        return 2;
    if (args.size() > 4 && args.at(4) == QLatin1String("--wait")) {
        std::string line;
        std::getline(std::cin, line);
    }

    platform::TRegistry reg;
    if (!reg.OpenKey(key, true)) {
        std::fprintf(stderr, "open: %s\n", qPrintable(reg.errorString()));
        return 1;
    }
    for (int i = 0; i < count; ++i) {
        const QString name = prefix + QString::number(i);
        const bool written =
            i % 2 == 0 ? reg.WriteInteger(name, i) : reg.WriteString(name, QStringLiteral("text %1").arg(i));
        if (!written) {
            std::fprintf(stderr, "write %d: %s\n", i, qPrintable(reg.errorString()));
            return 1;
        }
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
    return 0;
}
