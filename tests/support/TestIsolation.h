#pragma once

#include <QString>

namespace testsupport {

// The folder of the running test case: its registry store lives there, and so does TMPDIR.
QString caseFolder();

// The folder with the built programs and the shipped data files.
QString programFolder();

// The folder with the tools that drive and check the link (the terminal simulator, ymtool), which
// do not ship and so lie beside the program folder.
QString toolFolder();

// Called once by the test main.
void installCaseIsolation();

} // namespace testsupport
