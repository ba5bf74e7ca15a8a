#pragma once

#include <QString>

namespace testsupport {

// The folder of the running test case: its registry store lives there, and so does TMPDIR.
QString caseFolder();

// The folder with the built programs and the shipped data files.
QString programFolder();

// Called once by the test main.
void installCaseIsolation();

} // namespace testsupport
