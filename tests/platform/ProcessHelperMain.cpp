// A program for the process tests. It takes no arguments, as the programs the manager starts; what
// it does comes from the environment, which also shows that the environment reaches the child.
//   HARBROOK_TEST_SLEEP_MS  sleep this long first
//   HARBROOK_TEST_CRASH     when set, die by a signal instead of exiting
//   HARBROOK_TEST_EXIT_CODE the exit code (0 when unset)
// With any argument it exits with 99, so a test sees arguments that should not be there.
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

namespace {

int envNumber(const char *name)
{
    const char *value = std::getenv(name);
    return value ? std::atoi(value) : 0;
}

} // namespace

int main(int argc, char **)
{
    if (argc != 1)
        return 99;
    if (const int sleepMs = envNumber("HARBROOK_TEST_SLEEP_MS"); sleepMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(sleepMs));
    if (std::getenv("HARBROOK_TEST_CRASH"))
        std::raise(SIGKILL);
    return envNumber("HARBROOK_TEST_EXIT_CODE");
}
