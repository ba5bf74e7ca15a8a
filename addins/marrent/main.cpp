#include "addins/marrent/ui/Main.h"

#include "addins/frame/ui/AddInProgram.h"

int main(int argc, char **argv)
{
    return RunAddInProgram(argc, argv, QStringLiteral("ｱﾄﾞｲﾝﾋﾟｯｷﾝｸﾞ検品設定"),
                           [] { return std::make_unique<TMainForm>(); });
}
