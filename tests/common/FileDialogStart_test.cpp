#include "common/FileDialogStart.h"

#include <gtest/gtest.h>

namespace {

TEST(FileDialogStart, DialogsStartAtTheLastFile)
{
    bool forget = false;
    filedialog::DialogStart start = filedialog::openDialogStart("/sets/", "/old/a.bnf", true, &forget);
    EXPECT_EQ(filedialog::dialogPath(start).toStdString(), "/old/a.bnf");
    EXPECT_FALSE(forget);
    start = filedialog::openDialogStart("/sets/", "/old/gone.bnf", false, &forget);
    EXPECT_EQ(filedialog::dialogPath(start).toStdString(), "/sets/");
    EXPECT_TRUE(forget);
    start = filedialog::openDialogStart("/sets/", "", false, &forget);
    EXPECT_EQ(filedialog::dialogPath(start).toStdString(), "/sets/");
    EXPECT_FALSE(forget);
    EXPECT_EQ(filedialog::dialogPath(filedialog::saveDialogStart("/sets/", "/old/a.bnf")).toStdString(),
              "/old/a.bnf");
    EXPECT_EQ(filedialog::dialogPath(filedialog::saveDialogStart("/sets/", "")).toStdString(), "/sets/");
}

} // namespace
