#include "addins/quillon/ui/Main.h"
#include "addins/frame/ui/AddInProgram.h"

int main(int argc, char **argv)
{
    return RunAddInProgram(argc, argv, QStringLiteral("ｱﾄﾞｲﾝ照合設定"),
                           [] { return std::make_unique<TMainForm>(); });
}
