#pragma once

#include "tests/support/FuzzCheck.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace fuzzsupport {

// The folder a fuzz target writes its inputs to, made once per run and removed at its end: in memory
// when the machine has it, as every input is written out once.
inline const QString &scratchFolder()
{
    static const std::unique_ptr<QTemporaryDir> dir = [] {
        const QString shm = QStringLiteral("/dev/shm");
        auto made = QDir(shm).exists()
                        ? std::make_unique<QTemporaryDir>(shm + QStringLiteral("/harbrook-fuzz-XXXXXX"))
                        : std::make_unique<QTemporaryDir>();
        FUZZ_REQUIRE(made->isValid());
        return made;
    }();
    static const QString path = dir->path();
    return path;
}

} // namespace fuzzsupport
