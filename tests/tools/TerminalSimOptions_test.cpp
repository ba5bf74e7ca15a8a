// The simulator's command line: what it accepts, what it refuses, and --help.

#include "Options.h"

#include <QProcess>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "tests/support/TestIsolation.h"

using namespace termsim;

namespace {

TEST(SimOptions, HelpStandsInForAnyRunAndNeedsNoValue)
{
    const std::vector<std::vector<std::string>> asks = {
        {"--help"},
        {"-h"},
        {"--inbox", "in", "--help"},
        // What follows is not read: a bad option after it does not turn it into an error.
        {"--help", "--rate", "fast"},
    };
    for (const auto &args : asks) {
        std::string error;
        const auto options = parseOptions(args, error);
        ASSERT_TRUE(options) << args.front() << ": " << error;
        EXPECT_TRUE(options->help) << args.size();
        EXPECT_EQ(error, "");
    }
}

TEST(SimOptions, RefusesWhatItCannotRunWith)
{
    const struct {
        std::vector<std::string> args;
        std::string error;
    } cases[] = {
        {{}, "give --inbox, --outbox or both"},
        {{"--inbox"}, "missing value after --inbox"},
        {{"--inbox", "in", "--rate", "fast"}, "bad value for --rate: fast"},
        {{"--inbox", "in", "--drop", "2"}, "bad rate for --drop: 2"},
        {{"--inbox", "in", "--colour", "1"}, "unknown option --colour"},
        // Taken as the value of --log, it asks for nothing.
        {{"--log", "--help"}, "give --inbox, --outbox or both"},
    };
    for (const auto &c : cases) {
        std::string error;
        EXPECT_FALSE(parseOptions(c.args, error));
        EXPECT_EQ(error, c.error);
    }
    std::string error;
    const auto options = parseOptions({"--outbox", "out", "--batches", "3"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_FALSE(options->help);
    EXPECT_EQ(options->session.sendBatches, 3);
}

TEST(SimOptions, HelpPrintsTheUsageAloneAndSucceeds)
{
    QProcess sim;
    sim.start(testsupport::toolFolder() + QStringLiteral("/harbrook-terminal-sim"),
              {QStringLiteral("--help")});
    ASSERT_TRUE(sim.waitForFinished(10000)) << sim.errorString().toStdString();
    EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_EQ(sim.readAllStandardOutput().toStdString(), std::string(Usage));
    EXPECT_EQ(sim.readAllStandardError().toStdString(), "");
}

} // namespace
