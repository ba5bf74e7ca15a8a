#include "TestIsolation.h"

#include <QTemporaryDir>
#include <QtGlobal>
#include <gtest/gtest.h>
#include <memory>

namespace testsupport {
namespace {

std::unique_ptr<QTemporaryDir> currentCase;

// Gives every test case a fresh registry store and temporary folder, so no case sees another's.
class CaseIsolation final : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo &) override
    {
        currentCase = std::make_unique<QTemporaryDir>(QStringLiteral("/tmp/harbrook-test-XXXXXX"));
        if (!currentCase->isValid())
            std::abort();
        qputenv("HARBROOK_REGISTRY", currentCase->filePath(QStringLiteral("registry.json")).toLocal8Bit());
        qputenv("TMPDIR", currentCase->path().toLocal8Bit());
    }
    void OnTestEnd(const testing::TestInfo &) override { currentCase.reset(); }
};

} // namespace

QString caseFolder()
{
    return currentCase ? currentCase->path() : QString();
}

QString programFolder()
{
    return qEnvironmentVariable("HARBROOK_PROGRAM_DIR");
}

QString toolFolder()
{
    return QStringLiteral(HARBROOK_TOOL_DIR);
}

void installCaseIsolation()
{
    testing::UnitTest::GetInstance()->listeners().Append(new CaseIsolation);
}

} // namespace testsupport
