#pragma once

#include "tests/support/TestIsolation.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

namespace jobstest {

// The case's folder as a program folder: an "AddIn.lst" of the lines given and, beside it, the
// settings program named program, a shell script of body. Ends in "/".
inline QString folderWithSettingsProgram(const QByteArray &addInList, const QString &program,
                                         const QByteArray &body)
{
    const QString folder = testsupport::caseFolder() + QStringLiteral("/");
    QFile list(folder + QStringLiteral("AddIn.lst"));
    EXPECT_TRUE(list.open(QIODevice::WriteOnly));
    list.write(addInList);
    list.close();
    QFile prog(folder + program);
    EXPECT_TRUE(prog.open(QIODevice::WriteOnly));
    prog.write("#!/bin/sh\n" + body);
    prog.close();
    prog.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return folder;
}

} // namespace jobstest
