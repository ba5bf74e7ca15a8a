// Writes a job settings file holding one add-in job, through the editor's own codec, for the desktop
// test to open as an operator would:
//
//   harbrook-desktop-addin-set OUT.BNF PROGRAM_FOLDER JOB_NAME PROGRAM_NAME [PARA ...]
//
// The PARA values are the job's parameter strings Para0 to Para<count>, as the settings program
// stores them (UTF-8 on the command line, Shift-JIS in the file): the job's add-in count is one less
// than their number, none giving count 0. The program folder is where AddIn.lst lies: a program it
// does not list would lose its add-in lines on the way.
#include "common/FerPrgLib.h"
#include "jobs/BnfFile.h"
#include "jobs/DataType.h"
#include "jobs/LetterCodes.h"
#include "platform/Cp932.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const qsizetype strings = args.size() - 5;
    // A lone Para0 would be a count of 0, which carries no strings at all.
    if (args.size() < 5 || strings == 1 || strings > AddInBlockCount) {
        std::fprintf(stderr, "usage: %s OUT.BNF PROGRAM_FOLDER JOB_NAME PROGRAM_NAME [PARA ...]\n", argv[0]);
        return 2;
    }
    const QString folder = args[2] + QStringLiteral("/");
    TSetData set;
    InitSetData(set);
    set.GyCount = 1;
    set.TmpGyNo = 0;
    TGyData &job = set.GyData[0];
    job.GyName = args[3];
    job.GyMode = GyModeIndex(u'X');
    job.PName = args[4];
    job.AddInCount = strings > 0 ? int(strings - 1) : 0;
    for (int i = 0; i < int(strings); ++i)
        job.AddInData[std::size_t(i)] = platform::cp932::encode(args[5 + i]);
    const AddInKnown known = [&](const QString &name) { return !GetAddInSetPrg(folder, name).isEmpty(); };
    if (!known(job.PName)) {
        std::fprintf(stderr, "%s is not in %sAddIn.lst\n", qPrintable(job.PName), qPrintable(folder));
        return 2;
    }
    const BnfResult result = SaveBnf(args[1], set, BasePageValues(), known);
    if (result != BnfResult::Ok) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(args[1]), qPrintable(BnfResultMessage(result).text));
        return 1;
    }
    return 0;
}
