// Takes the single-instance lock of the class and title given as arguments and reports on one line
// "acquired", "held" or "failed"; a holder then keeps the lock until its input ends. With a third
// argument it first starts that program, which outlives a holder that is killed.
#include <QCoreApplication>
#include <cstdio>

#include "platform/Process.h"
#include "platform/SingleInstance.h"

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 3;
    platform::SingleInstanceLock lock;
    const auto result = lock.acquire(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    if (result == platform::SingleInstanceLock::Result::Held) {
        std::puts("held");
        return 1;
    }
    if (result == platform::SingleInstanceLock::Result::Failed) {
        std::printf("failed %s\n", qPrintable(lock.errorString()));
        return 2;
    }
    platform::Process child;
    if (argc > 3 && !child.start(QString::fromLocal8Bit(argv[3]))) {
        std::puts("failed to start the child");
        return 4;
    }
    std::puts("acquired");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}
