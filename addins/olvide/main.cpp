#include "addins/olvide/ui/Main.h"
#include "addins/frame/ui/AddInProgram.h"

int main(int argc, char **argv)
{
    return RunAddInProgram(argc, argv, QStringLiteral("GS1-128日付検査設定"),
                           [] { return std::make_unique<olvide::TMainForm>(); });
}
